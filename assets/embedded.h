#pragma once

#include <string_view>

// The word lists built into the program. Plain bytes with no Qt, so that the
// engine and its tests use exactly what the game ships.
namespace lexiflip::assets {

// The dictionary's record file TEXT_DEMO: 15-byte records (0x1E, then the word
// in upper case padded with spaces to 14), sorted. TDictn reads it in place.
std::string_view dictionaryRecords();

// The computer player's word list as text: one lower-case word per line,
// sorted ascending (see engine/computer_words.h to split it).
std::string_view computerWords();

} // namespace lexiflip::assets
