#include "record/record_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "fileio/file_rules.h"

namespace lexiflip::record {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNameLetters = 16;
constexpr int kSameNameTries = 100;

std::string reason(int error)
{
    return std::generic_category().message(error);
}

// The end of a move: the record is flushed to the disk after it.
bool endsAMove(const Event& event)
{
    return std::holds_alternative<Word>(event) || std::holds_alternative<Pass>(event) ||
           std::holds_alternative<Buy>(event) || std::holds_alternative<TimeOut>(event) ||
           std::holds_alternative<FinalScores>(event);
}

bool isRecordName(const std::string& name)
{
    return name.size() > kRecordSuffix.size() && name.ends_with(kRecordSuffix) && name.front() != '.';
}

// Creates the folder and, as needed, its parents; the folder itself private.
std::string prepareFolder(const fs::path& folder)
{
    std::error_code error;
    if (folder.has_parent_path())
        fs::create_directories(folder.parent_path(), error);
    return fileio::makeFolder(folder, fileio::FolderUse::OwnFiles);
}

} // namespace

std::string recordFileName(const GameRecord& header)
{
    std::string name;
    // "2026-12-09T14:05:00Z" -> "2026-12-09_140500Z"
    for (const char c : header.began) {
        if (c == 'T')
            name += '_';
        else if ((c >= '0' && c <= '9') || c == '-' || c == 'Z')
            name += c;
    }
    if (name.empty())
        name = "game";
    for (const Person& seat : header.seats) {
        std::string part;
        for (const char c : seat.name) {
            const bool plain =
                (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
            if (plain && part.size() < kNameLetters)
                part += c;
        }
        if (!part.empty())
            name += '_' + part;
    }
    return name + std::string(kRecordSuffix);
}

std::vector<fs::path> listRecords(const fs::path& folder)
{
    std::vector<fs::path> records;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (isRecordName(it->path().filename().string()) && it->is_regular_file(error))
            records.push_back(it->path());
    }
    std::sort(records.begin(), records.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() > b.filename(); });
    return records;
}

std::string pruneRecords(const fs::path& folder, std::size_t keep)
{
    const std::vector<fs::path> records = listRecords(folder);
    for (std::size_t i = keep; i < records.size(); ++i) {
        if (::unlink(records[i].c_str()) != 0 && errno != ENOENT)
            return "cannot remove " + records[i].string() + ": " + reason(errno);
    }
    return {};
}

RecordFiles::RecordFiles(fs::path folder, std::function<void(const std::string&)> problem)
    : m_folder(std::move(folder)), m_problem(std::move(problem))
{
}

RecordFiles::~RecordFiles()
{
    close();
}

void RecordFiles::begin(const GameRecord& header)
{
    close();
    if (const std::string problem = prepareFolder(m_folder); !problem.empty()) {
        m_problem("The game's record is not kept: " + m_folder.string() + ": " + problem);
        return;
    }
    const std::string name = recordFileName(header);
    const std::string stem = name.substr(0, name.size() - kRecordSuffix.size());
    // Two games begun within a second get names of their own; an existing
    // file is never opened, nor a link followed.
    for (int attempt = 1; attempt <= kSameNameTries && m_fd < 0; ++attempt) {
        m_path = m_folder /
                 (attempt == 1 ? name : stem + "-" + std::to_string(attempt) + std::string(kRecordSuffix));
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST)
            return fail("cannot create", errno);
    }
    if (m_fd < 0)
        return fail("cannot create", EEXIST);
    write(writeHeader(header), true);
    if (const std::string problem = pruneRecords(m_folder); !problem.empty())
        m_problem("The oldest game records are not removed: " + problem);
}

void RecordFiles::add(const Event& event)
{
    write(writeEventLine(event), endsAMove(event));
}

void RecordFiles::end()
{
    close();
}

void RecordFiles::write(std::string_view lines, bool sync)
{
    while (m_fd >= 0 && !lines.empty()) {
        const ssize_t written = ::write(m_fd, lines.data(), lines.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail("cannot write", written < 0 ? errno : ENOSPC);
        lines.remove_prefix(static_cast<std::size_t>(written));
    }
    if (m_fd >= 0 && sync && ::fdatasync(m_fd) != 0)
        fail("cannot write", errno);
}

void RecordFiles::fail(const std::string& what, int error)
{
    close();
    m_problem("The game's record is not kept: " + what + " " + m_path.string() + ": " + reason(error));
}

void RecordFiles::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace lexiflip::record
