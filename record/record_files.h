#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "record/record_sink.h"

// The records on disk: one file a game in one folder, named so that their
// names sort by the time each game began, the oldest removed first once more
// than kRecordsKept are there.
namespace lexiflip::record {

inline constexpr std::size_t kRecordsKept = 500;
inline constexpr std::string_view kRecordSuffix = ".lexiflip.txt";

// "2026-12-09_140500Z_Ann_Klot.lexiflip.txt": the time the game began (UTC,
// so that names sort by it across the clock's changes) and the seats' names,
// letters, digits and "-" only.
std::string recordFileName(const GameRecord& header);

// The records in a folder, newest first. A missing folder holds none.
std::vector<std::filesystem::path> listRecords(const std::filesystem::path& folder);

// Removes the oldest records beyond keep; returns why one could not be
// removed, or "".
std::string pruneRecords(const std::filesystem::path& folder, std::size_t keep = kRecordsKept);

// Writes each record into a new file in the folder as the game goes. Every
// line goes to the file with one write as it comes, so whatever ends the
// program, the record holds every event before; at the end of each move (a
// word, a pass, a purchase, a time-out, the winner) the file is also flushed
// to the disk, so that even the system going down loses at most the move in
// progress. A record that cannot be written is said once through the
// problem callback, and the game goes on without it.
class RecordFiles : public RecordSink {
public:
    RecordFiles(std::filesystem::path folder, std::function<void(const std::string&)> problem);
    ~RecordFiles() override;
    RecordFiles(const RecordFiles&) = delete;
    RecordFiles& operator=(const RecordFiles&) = delete;

    void begin(const GameRecord& header) override;
    void add(const Event& event) override;
    void end() override;

    // The file of the record being written, or of the last one.
    const std::filesystem::path& path() const { return m_path; }

private:
    void write(std::string_view lines, bool sync);
    void fail(const std::string& what, int error);
    void close();

    std::filesystem::path m_folder;
    std::function<void(const std::string&)> m_problem;
    std::filesystem::path m_path;
    int m_fd = -1;
};

} // namespace lexiflip::record
