#include "engine/tdictn.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "engine/notice_sink.h"

namespace lexiflip::engine {
namespace {

using Key = std::array<char, TDictn::kKeyLength>;

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// The question's key: NULs become spaces, surrounding spaces go, then padded to
// 15 and upper-cased. A longer text is kept whole, so it can match nothing: it
// is reported as not fitting.
bool questionKey(std::string_view question, Key& key)
{
    std::size_t first = 0;
    std::size_t last = question.size();
    auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (first < last && blank(question[first]))
        ++first;
    while (last > first && blank(question[last - 1]))
        --last;
    const std::size_t length = last - first;
    if (length == 0 || length > TDictn::kKeyLength)
        return false;
    key.fill(' ');
    for (std::size_t i = 0; i < length; ++i) {
        const char c = question[first + i];
        key[i] = upper(c == '\0' ? ' ' : c);
    }
    return true;
}

Key recordKey(const char* record)
{
    Key key;
    for (std::size_t i = 0; i < 14; ++i)
        key[i] = upper(record[i + 1]);
    key[14] = ' ';
    return key;
}

// Maps the file read-only. False when it cannot be read; an empty file opens
// as a list of no records (mmap refuses a length of zero).
bool mapFile(const std::filesystem::path& path, const char*& mapped, std::size_t& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool opened = false;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (info.st_size == 0) {
            opened = true;
        } else {
            void* address =
                ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (address != MAP_FAILED) {
                mapped = static_cast<const char*>(address);
                bytes = static_cast<std::size_t>(info.st_size);
                opened = true;
            }
        }
    }
    ::close(fd);
    return opened;
}

// The list's name, matched without regard to case as the original file system did.
std::filesystem::path findEnglish(const std::filesystem::path& directory)
{
    std::error_code error;
    const std::filesystem::path exact = directory / "English";
    if (std::filesystem::is_regular_file(exact, error))
        return exact;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        std::string name = entry.path().filename().string();
        for (char& c : name)
            c = upper(c);
        if (name == "ENGLISH" && entry.is_regular_file(error))
            return entry.path();
    }
    return {};
}

} // namespace

TDictn::TDictn(std::string_view embedded, NoticeSink& notices, const std::filesystem::path& workingDirectory)
{
    const std::filesystem::path english = findEnglish(workingDirectory);
    std::size_t bytes = 0;
    bool opened = false;
    if (!english.empty()) {
        opened = mapFile(english, m_records, bytes);
        m_mappedBytes = bytes;
    } else if (!embedded.empty()) {
        m_records = embedded.data();
        bytes = embedded.size();
        opened = true;
    }
    if (!opened) {
        notices.notice("English.dic dictionary not found!");
        return;
    }
    m_open = true;
    m_lastindex = static_cast<long long>(bytes / kRecordSize) - 1;
}

TDictn::~TDictn()
{
    if (m_mappedBytes)
        ::munmap(const_cast<char*>(m_records), m_mappedBytes);
}

bool TDictn::checkWord(std::string_view question) const
{
    if (!m_open)
        return false;
    Key key;
    if (!questionKey(question, key))
        return false;
    long long low = 0;
    long long high = m_lastindex;
    while (low <= high) {
        const long long mid = (low + high) / 2;
        const Key record = recordKey(m_records + mid * static_cast<long long>(kRecordSize));
        const int order = std::memcmp(record.data(), key.data(), kKeyLength);
        if (order == 0)
            return true;
        if (order < 0)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return false;
}

} // namespace lexiflip::engine
