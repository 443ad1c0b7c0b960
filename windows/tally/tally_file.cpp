#include "windows/tally/tally_file.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <utility>

#include "compress/tlzrw1.h"
#include "fileio/atomic_file.h"
#include "fileio/file_rules.h"
#include "fileio/set_aside.h"

namespace lexiflip::windows {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void appendLine(std::string& text, std::string_view line)
{
    for (char c : line)
        text += c == '\r' || c == '\n' ? ' ' : c;
    text += kLineEnd;
}

// The lines of a text, each without its LF and a CR before it; a last line
// without LF counts too.
std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// A cell as read: a CR left inside a line (one not before its LF) becomes a
// space, as the writer would make it, so that what is read is what is saved.
std::string cellText(std::string_view line)
{
    std::string cell(line);
    for (char& c : cell)
        if (c == '\r')
            c = ' ';
    return cell;
}

bool readCount(std::string_view text, int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string tallyText(const std::vector<TallyRow>& rows)
{
    std::string text;
    appendLine(text, std::to_string(kTallyColumns));
    appendLine(text, std::to_string(rows.size()));
    for (int column = 0; column < kTallyColumns; ++column)
        for (const TallyRow& row : rows)
            appendLine(text, row[column]);
    return text;
}

TallyTextRead readTallyText(std::string_view text)
{
    TallyTextRead result;
    const std::vector<std::string_view> lines = linesOf(text);
    if (lines.size() < 2) {
        result.error = "The tally text has no column and row counts";
        return result;
    }
    int columns = 0;
    if (!readCount(lines[0], columns) || columns != kTallyColumns) {
        result.error = "The tally text's column count \"" + std::string(lines[0]) + "\" is not 9";
        return result;
    }
    int rows = 0;
    if (!readCount(lines[1], rows) || rows < 1 || rows > kMaxTallyRows) {
        result.error = "The tally text's row count \"" + std::string(lines[1]) +
                       "\" is not a number from 1 to " + std::to_string(kMaxTallyRows);
        return result;
    }

    const std::size_t cells = lines.size() - 2;
    const std::size_t wanted = static_cast<std::size_t>(rows) * kTallyColumns;
    // Only rows whose names were read are kept; the rest of their cells stay "0".
    const std::size_t named = std::min<std::size_t>(static_cast<std::size_t>(rows), cells);
    TallyRow zero;
    zero.fill("0");
    result.rows.assign(named, zero);
    for (std::size_t i = 0; i < std::min(cells, wanted); ++i) {
        const std::size_t column = i / static_cast<std::size_t>(rows);
        const std::size_t row = i % static_cast<std::size_t>(rows);
        result.rows[row][column] = cellText(lines[i + 2]);
    }
    if (cells < wanted)
        result.error = "The tally text ends after " + std::to_string(cells) + " of its " +
                       std::to_string(wanted) + " cells";
    return result;
}

std::string tallyFileBytes(const std::vector<TallyRow>& rows)
{
    compress::Tlzrw1 doit;
    doit.setCompressMode(compress::TCompressMode::Fast);
    return doit.compressBytes(tallyText(rows));
}

TallyTextRead readTallyFileBytes(std::string_view container)
{
    try {
        compress::Tlzrw1 doit;
        return readTallyText(doit.decompressBytes(container));
    } catch (const compress::ELzrw1Exception& error) {
        TallyTextRead damaged;
        damaged.error = error.what();
        return damaged;
    }
}

TallyFileRead readTallyFile(const fs::path& file)
{
    TallyFileRead result;
    // Another user's link, a pipe or a folder under the name is refused like
    // a damaged file (and moved aside, which touches only the name in our
    // own folder): never followed, never waited on.
    const fileio::FileRead contents = fileio::readRegularFile(file);
    if (contents.kind == fileio::FileRead::Kind::Missing)
        return result;
    if (contents.kind == fileio::FileRead::Kind::Refused)
        result.problem = "Cannot read the tally file " + file.string() + ": " + contents.problem;

    if (result.problem.empty()) {
        TallyTextRead read = readTallyFileBytes(contents.bytes);
        result.rows = std::move(read.rows);
        result.problem = std::move(read.error);
    }
    if (!result.problem.empty()) {
        result.keptAs = fileio::setAside(file);
    }
    return result;
}

void writeTallyFile(const fs::path& file, const std::vector<TallyRow>& rows)
{
    fileio::writeFileAtomically(file, tallyFileBytes(rows));
}

} // namespace lexiflip::windows
