#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "record/game_record.h"

namespace lexiflip::words {
class WordIndex;
}

namespace lexiflip::summary {

// One of the keeping window's own turns: the letters its player saw (his bar
// and the tiles he turned) and what he did with them.
struct OwnTurn {
    int number = 0;      // 1 for the seat's first turn in the record
    std::string bar;     // the bar he held when he played, A..Z
    std::string flipped; // the tiles he turned this turn, A..Z
    std::string played;  // the word he laid; empty when he laid none
    int playedScore = 0;
    enum class Ending { word, pass, buy, timeOut, none } ending = Ending::none;
};

// The record's turns of its own seat whose bar it saw. A watcher's record, or
// one made before the window sat down, has none. Letters that were never shown
// ("?") are left out: only what the player saw counts.
std::vector<OwnTurn> ownTurns(const record::GameRecord& game);

struct MissedWord {
    std::string word; // upper case; empty when the letters make no word
    int score = 0;
};

// The best-scoring word the bar and the turned tiles make, as the host counts a
// word, no longer than the word row.
MissedWord bestWordFrom(const words::WordIndex& index, std::string_view bar, std::string_view flipped);

// The best word of each turn, in the turns' order.
std::vector<MissedWord> bestWords(const words::WordIndex& index, const std::vector<OwnTurn>& turns);

// The points the best words would have made beyond what was played.
int pointsLeft(const std::vector<OwnTurn>& turns, const std::vector<MissedWord>& best);

} // namespace lexiflip::summary
