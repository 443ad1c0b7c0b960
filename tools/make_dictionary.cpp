// make_dictionary: turns the plain dictionary word list into the record file
// TDictn searches.
//
//     make_dictionary <words.txt> <TEXT_DEMO>
//
// Each line of the word list is one record: 2 to 14 letters a..z in either case
// (the list already holds longer words cut to 14). Each record is the byte 0x1E,
// then the word in upper case padded with spaces to 14 characters; records are
// sorted by byte order of those 14 characters, duplicates kept. The output
// depends only on the list's content, so two builds give the same bytes. Any
// other line stops the build with the line number, so that a damaged list can
// never ship as a dictionary that quietly rejects words.

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kLetters = 14;
constexpr std::size_t kMinLetters = 2;
constexpr char kRecordMark = '\x1E';

using Word = std::array<char, kLetters>;

// The record's word, or an explanation of why the line is not one.
bool toWord(const std::string& line, Word& word, std::string& why)
{
    if (line.empty()) {
        why = "empty line";
        return false;
    }
    if (line.size() > kLetters) {
        why = "\"" + line + "\" has " + std::to_string(line.size()) +
              " letters; the list holds words cut to " + std::to_string(kLetters);
        return false;
    }
    if (line.size() < kMinLetters) {
        why = "\"" + line + "\" is shorter than " + std::to_string(kMinLetters) + " letters";
        return false;
    }
    word.fill(' ');
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c >= 'a' && c <= 'z') {
            word[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            word[i] = c;
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(c));
            why = "character " + std::to_string(i + 1) + " of \"" + line + "\" (" + code +
                  ") is not a letter a..z";
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make_dictionary <words.txt> <TEXT_DEMO>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "make_dictionary: cannot read " << argv[1] << "\n";
        return 1;
    }

    std::vector<Word> words;
    std::string line;
    std::size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        Word word;
        std::string why;
        if (!toWord(line, word, why)) {
            std::cerr << argv[1] << ":" << number << ": " << why << "\n";
            return 1;
        }
        words.push_back(word);
    }
    if (words.empty()) {
        std::cerr << "make_dictionary: " << argv[1] << " holds no words\n";
        return 1;
    }

    // std::array compares with char's signedness; every byte here is below 0x80,
    // so that is byte order.
    std::sort(words.begin(), words.end());

    // Written under a temporary name and renamed, so that an interrupted build
    // never leaves a short list behind that looks up to date.
    const std::string target = argv[2];
    const std::string partial = target + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        for (const Word& word : words) {
            out.put(kRecordMark);
            out.write(word.data(), static_cast<std::streamsize>(word.size()));
        }
        if (!out.flush()) {
            std::cerr << "make_dictionary: cannot write " << partial << "\n";
            return 1;
        }
    }
    if (std::rename(partial.c_str(), target.c_str()) != 0) {
        std::cerr << "make_dictionary: cannot rename " << partial << " to " << target << "\n";
        return 1;
    }
    return 0;
}
