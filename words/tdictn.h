#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace lexiflip::words {

class NoticeSink;
class WordIndex;

// The dictionary: a sorted list of 15-byte records (0x1E, then the word in
// upper case padded with spaces to 14 characters), searched one record at a
// time. The embedded list is used in place; a list from a file is read into
// memory once, so that nothing done to the file later can reach the host.
class TDictn {
public:
    static constexpr std::size_t kKeyLength = 15;
    static constexpr std::size_t kRecordSize = 15;

    // A file named "English" in workingDirectory, when there is one, is used as
    // the list as it is (and never deleted: this program did not create it),
    // but only when it is a regular file that belongs to this user: another
    // user's list could refuse every word. Otherwise the embedded list is used,
    // and a refused "English" is reported with one line on standard error.
    // With no list at all, the notice "English.dic dictionary not found!" goes
    // out once and every check is false.
    TDictn(std::string_view embedded, NoticeSink& notices,
           const std::filesystem::path& workingDirectory = std::filesystem::current_path());
    ~TDictn();
    TDictn(const TDictn&) = delete;
    TDictn& operator=(const TDictn&) = delete;

    // Whether the word is in the list; case and surrounding spaces do not matter.
    bool checkWord(std::string_view question) const;

    bool isOpen() const { return m_open; }
    // Number of records minus 1 (-1 when the list is empty or missing).
    long long lastIndex() const { return m_lastindex; }

    // The list's words by their letters, for the stronger computer players.
    // Built on the first call and kept for the dictionary's life, so every
    // game that shares the dictionary shares the one index.
    const WordIndex& wordIndex() const;

private:
    std::string m_fileList;          // the content of "English", when it is used
    const char* m_records = nullptr; // the list: embedded, or m_fileList's bytes
    long long m_lastindex = -1;
    bool m_open = false;
    mutable std::once_flag m_indexBuilt;
    mutable std::unique_ptr<const WordIndex> m_index;
};

} // namespace lexiflip::words
