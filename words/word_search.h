#pragma once

#include <string>
#include <vector>

#include "words/word_score.h"

namespace lexiflip::words {

class WordIndex;

// A tile the computer may put into a word: bar tile y (x 0) or the board tile
// at x, y. Letter 0 is no letter and is never used.
struct SearchTile {
    int letter = 0;
    int x = 0;
    int y = 0;
    bool onBoard() const { return x != 0; }
    bool operator==(const SearchTile&) const = default;
};

struct BestWord {
    std::vector<SearchTile> tiles; // in word order; empty when no word fits
    std::string word;
    int score = 0;
};

// The highest-scoring word of the index that the bar tiles and at most
// boardLimit board tiles make, counted as the host counts a submitted word
// (board letters double, the length bonus, the bonuses for five board tiles
// and for the whole bar). The board tiles come from board and from reserve,
// of which at most reserveLimit (tiles still to be turned, each costing a
// flip). Of words that score the same, the first in the index's order wins.
// When a letter could come from either, the tile that scores more is taken,
// and a board tile before a reserve tile. Words longer than longest letters
// are not considered: a player's word row holds fewer letters than his tiles.
BestWord findBestWord(const WordIndex& index, const std::vector<SearchTile>& bar,
                      const std::vector<SearchTile>& board, int boardLimit = kFlipsPerTurn,
                      const std::vector<SearchTile>& reserve = {}, int reserveLimit = 0,
                      int longest = wire::kWordLetters);

} // namespace lexiflip::words
