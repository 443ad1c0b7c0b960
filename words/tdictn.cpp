#include "words/tdictn.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <utility>

#include "fileio/file_rules.h"
#include "words/notice_sink.h"
#include "words/word_index.h"

namespace lexiflip::words {
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

// The list's name, matched without regard to case as the original file system
// did. Whatever has the name is found, so that a refused one can be reported.
std::filesystem::path findEnglish(const std::filesystem::path& directory)
{
    std::error_code error;
    const std::filesystem::path exact = directory / "English";
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, error)))
        return exact;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        std::string name = entry.path().filename().string();
        for (char& c : name)
            c = upper(c);
        if (name == "ENGLISH")
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
        fileio::FileRead read = fileio::readRegularFile(english, fileio::Owner::User);
        if (read.kind == fileio::FileRead::Kind::Read) {
            m_fileList = std::move(read.bytes);
            m_records = m_fileList.data();
            bytes = m_fileList.size();
            opened = true;
        } else if (read.kind == fileio::FileRead::Kind::Refused) {
            std::fprintf(stderr,
                         "Lexiflip: the word list %s is not used (%s); the built-in list is used instead\n",
                         english.c_str(), read.problem.c_str());
        }
    }
    if (!opened && !embedded.empty()) {
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

TDictn::~TDictn() = default;

const WordIndex& TDictn::wordIndex() const
{
    std::call_once(m_indexBuilt, [this] {
        const std::size_t bytes = m_open ? static_cast<std::size_t>(m_lastindex + 1) * kRecordSize : 0;
        m_index = std::make_unique<const WordIndex>(std::string_view(m_records ? m_records : "", bytes));
    });
    return *m_index;
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

} // namespace lexiflip::words
