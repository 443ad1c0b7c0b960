#pragma once

// The recorded games a player can open, in plain C++: each record of the
// records folder read and described in a line of the list (when, who, the scores, the
// winner), newest first, and one file read back for the replay. A file that
// cannot be read is listed with the reason, never skipped in silence and
// never a crash.

#include <cstddef>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "record/game_record.h"

namespace lexiflip::windows {

struct RecordEntry {
    std::filesystem::path file;
    // When the record was last written (the game's last move), local time,
    // "2026-12-09 14:05".
    std::string date;
    std::string players; // "Ann, Klot"
    std::string scores;  // "250, 180", in the seats' order
    std::string winner;  // empty while nobody won (a game left unfinished)
    // Why the file cannot be replayed; empty when it can.
    std::string problem;
};

// A record holds at most GameRecorder::kMaxEvents events of well under 160
// bytes each, so a record file is never larger than this; a larger one is
// refused unread.
inline constexpr std::uintmax_t kMaxRecordFileBytes = 16 * 1024 * 1024;

// The records of folder, newest first (the record files' own order), at most
// limit of them. A missing folder lists nothing.
std::vector<RecordEntry> recentRecords(const std::filesystem::path& folder, std::size_t limit = 500);

// One record file read and checked: the record, or why it cannot be replayed.
std::variant<record::GameRecord, std::string> loadRecordFile(const std::filesystem::path& file);

// The list's words for a record that was read.
RecordEntry describeRecord(const record::GameRecord& record);

} // namespace lexiflip::windows
