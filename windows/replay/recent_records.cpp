#include "windows/replay/recent_records.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <system_error>

#include "client/game/game_recorder.h"
#include "record/record_files.h"
#include "record/replay_steps.h"

namespace lexiflip::windows {

namespace fs = std::filesystem;

static_assert(kMaxRecordFileBytes >= client::GameRecorder::kMaxEvents * 160, "a whole record fits");

namespace {

std::string localDate(std::time_t seconds)
{
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return std::string(text, length);
}

std::string localDate(fs::file_time_type written)
{
    return localDate(std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written)));
}

// The record's own "2026-12-09T14:05:00Z" in local time; empty when it has none.
std::string localDate(const std::string& began)
{
    std::tm utc{};
    char zone = 0;
    if (std::sscanf(began.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &utc.tm_year, &utc.tm_mon, &utc.tm_mday,
                    &utc.tm_hour, &utc.tm_min, &utc.tm_sec, &zone) != 7 ||
        zone != 'Z')
        return {};
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    return localDate(timegm(&utc));
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace

std::variant<record::GameRecord, std::string> loadRecordFile(const fs::path& file)
{
    std::error_code error;
    // Only a regular file is opened: a pipe or a device would hold the window.
    if (!fs::is_regular_file(file, error))
        return std::string(error ? error.message() : "not a regular file");
    const std::uintmax_t size = fs::file_size(file, error);
    if (error)
        return error.message();
    if (size > kMaxRecordFileBytes)
        return std::string("too large for a game record");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::string("cannot be opened");
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::string("cannot be read");
    auto read = record::readRecord(text);
    if (const auto* problem = std::get_if<record::RecordError>(&read))
        return problem->text();
    return std::get<record::GameRecord>(std::move(read));
}

std::vector<RecordEntry> recentRecords(const fs::path& folder, std::size_t limit)
{
    std::vector<fs::path> files = record::listRecords(folder);
    if (files.size() > limit)
        files.resize(limit);
    std::vector<RecordEntry> entries;
    entries.reserve(files.size());
    for (const fs::path& file : files) {
        auto read = loadRecordFile(file);
        RecordEntry entry;
        if (const auto* record = std::get_if<record::GameRecord>(&read))
            entry = describeRecord(*record);
        else
            entry.problem = std::get<std::string>(read);
        entry.file = file;
        if (entry.date.empty()) {
            // A record without its time (or one that cannot be read): when it
            // was last written.
            std::error_code error;
            const fs::file_time_type written = fs::last_write_time(file, error);
            if (!error)
                entry.date = localDate(written);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

RecordEntry describeRecord(const record::GameRecord& record)
{
    std::array<int, record::kSeats> scores{};
    if (const auto final = record.finalScores()) {
        scores = *final;
    } else {
        // A game left unfinished: the scores as its last step had them.
        const std::vector<record::ReplayStep> steps = record::replaySteps(record);
        if (!steps.empty())
            scores = steps.back().scores;
    }
    std::vector<std::string> names;
    std::vector<std::string> points;
    for (int seat = 1; seat <= record::kSeats; ++seat) {
        const std::string name = record.seatName(seat);
        if (name.empty())
            continue;
        names.push_back(name);
        points.push_back(std::to_string(scores[static_cast<std::size_t>(seat - 1)]));
    }
    RecordEntry entry;
    entry.date = localDate(record.began);
    entry.players = joined(names);
    entry.scores = joined(points);
    entry.winner = record.winner().value_or(std::string());
    return entry;
}

} // namespace lexiflip::windows
