#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace lexiflip::testing {

// A word list in the dictionary's record form (0x1E, the word upper-cased and
// padded with spaces to 14 characters), sorted as the shipped list is.
inline std::string dictionaryRecords(std::vector<std::string> words)
{
    for (std::string& word : words) {
        word.resize(std::min<std::size_t>(word.size(), 14));
        for (char& c : word)
            c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
        word.resize(14, ' ');
    }
    std::sort(words.begin(), words.end());
    std::string records;
    for (const std::string& word : words) {
        records += '\x1E';
        records += word;
    }
    return records;
}

} // namespace lexiflip::testing
