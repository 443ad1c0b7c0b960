#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lexiflip::words {

// The dictionary's words by their letters, for the computer's search of the
// best word a set of tiles makes. Only words a player can lay (2 to 12 letters,
// a bar and five flipped tiles, letters a..z only) are kept, and of several
// words with the same letters only the first in alphabetical order: which of
// them is played does not change the score.
class WordIndex {
public:
    struct Entry {
        std::uint32_t mask = 0;   // bit L-1 for each letter code L the word holds
        std::uint32_t offset = 0; // into the text: the sorted letters, then the word
        std::uint8_t length = 0;
    };

    // From the dictionary's 15-byte records (0x1E, the word padded to 14).
    explicit WordIndex(std::string_view records);

    const std::vector<Entry>& entries() const { return m_entries; }
    // The word's letter codes 1..26 in ascending order, as characters.
    std::string_view letters(const Entry& entry) const { return {m_text.data() + entry.offset, entry.length}; }
    // The word itself, in lower case.
    std::string_view word(const Entry& entry) const
    {
        return {m_text.data() + entry.offset + entry.length, entry.length};
    }

    // What the index holds in memory, in bytes.
    std::size_t memoryBytes() const;

private:
    std::vector<Entry> m_entries;
    std::vector<char> m_text;
};

} // namespace lexiflip::words
