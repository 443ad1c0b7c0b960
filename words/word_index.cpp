#include "words/word_index.h"

#include <algorithm>
#include <string>

#include "words/word_score.h"

namespace lexiflip::words {
namespace {

constexpr std::size_t kRecordSize = 15;
constexpr std::size_t kRecordWord = 14;
constexpr std::size_t kShortestWord = 2;

struct Candidate {
    std::string letters; // codes 1..26 as characters, ascending
    std::string word;
};

// The record's word in lower case, or nothing when it cannot be laid.
bool layableWord(std::string_view record, std::string& word)
{
    word.clear();
    for (std::size_t i = 1; i <= kRecordWord && i < record.size(); ++i) {
        const char c = record[i];
        if (c == ' ')
            break;
        if (c < 'A' || c > 'Z')
            return false;
        word += char(c - 'A' + 'a');
    }
    for (std::size_t i = 1 + word.size(); i < record.size(); ++i) {
        if (record[i] != ' ')
            return false;
    }
    return word.size() >= kShortestWord && word.size() <= static_cast<std::size_t>(kPlayerTiles);
}

} // namespace

WordIndex::WordIndex(std::string_view records)
{
    std::vector<Candidate> candidates;
    candidates.reserve(records.size() / kRecordSize);
    std::string word;
    for (std::size_t at = 0; at + kRecordSize <= records.size(); at += kRecordSize) {
        if (!layableWord(records.substr(at, kRecordSize), word))
            continue;
        std::string letters;
        for (char c : word)
            letters += char(c - 'a' + 1);
        std::sort(letters.begin(), letters.end());
        candidates.push_back({std::move(letters), word});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.letters != b.letters ? a.letters < b.letters : a.word < b.word;
    });
    candidates.erase(std::unique(candidates.begin(), candidates.end(),
                                 [](const Candidate& a, const Candidate& b) { return a.letters == b.letters; }),
                     candidates.end());

    std::size_t textSize = 0;
    for (const Candidate& candidate : candidates)
        textSize += 2 * candidate.letters.size();
    m_text.reserve(textSize);
    m_entries.reserve(candidates.size());
    for (const Candidate& candidate : candidates) {
        Entry entry;
        entry.offset = static_cast<std::uint32_t>(m_text.size());
        entry.length = static_cast<std::uint8_t>(candidate.letters.size());
        for (char code : candidate.letters)
            entry.mask |= 1u << (code - 1);
        m_text.insert(m_text.end(), candidate.letters.begin(), candidate.letters.end());
        m_text.insert(m_text.end(), candidate.word.begin(), candidate.word.end());
        m_entries.push_back(entry);
    }
}

std::size_t WordIndex::memoryBytes() const
{
    return sizeof(*this) + m_entries.capacity() * sizeof(Entry) + m_text.capacity();
}

} // namespace lexiflip::words
