#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "windows/tally/tally.h"

namespace lexiflip::windows {

inline constexpr std::string_view kTallyFileName = "Lexifliptally.tld";

// The tally as text, lines ended by CR LF: the column count 9, the row count,
// then every cell column by column (all rows of column 0, then column 1, ...).
// A cell cannot hold a line break, so CR and LF inside a cell (a name from the
// network) are written as spaces.
std::string tallyText(const std::vector<TallyRow>& rows);

struct TallyTextRead {
    std::vector<TallyRow> rows; // what could be read; cells not reached are "0"
    std::string error;          // empty when the whole text was read
};

// Reads the text back. A text that ends early keeps the rows whose names were
// read; a column count other than 9 or a row count that is no number from 1 to
// kMaxTallyRows reads nothing.
TallyTextRead readTallyText(std::string_view text);
inline constexpr int kMaxTallyRows = 100000;

// The tally file: the text inside a Fast container of the compression component.
std::string tallyFileBytes(const std::vector<TallyRow>& rows);

// Reads the tally file's bytes: the container (of either kind) opened, then its
// text read. A damaged container reads no rows and gives the component's message.
TallyTextRead readTallyFileBytes(std::string_view container);

struct TallyFileRead {
    std::vector<TallyRow> rows;   // what could be read; empty when there was no file or nothing readable
    std::string problem;          // the component's or the reader's message; empty when all was read
    std::filesystem::path keptAs; // where the damaged file was moved; empty if it stayed
};

// Reads the tally file; a missing file is an empty tally, not a problem. A
// file that cannot be read whole is moved aside to a free name ending in
// ".bad" (file.bad, file.2.bad, ...), so that the tally written at exit does
// not destroy what the player may still want to rescue.
TallyFileRead readTallyFile(const std::filesystem::path& file);

// Replaces the tally file whole or not at all (a temporary beside it, flushed,
// then renamed over it). Throws fileio::FileError or compress::ELzrw1Exception.
void writeTallyFile(const std::filesystem::path& file, const std::vector<TallyRow>& rows);

} // namespace lexiflip::windows
