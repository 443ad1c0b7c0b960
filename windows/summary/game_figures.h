#pragma once

#include <optional>
#include <string>
#include <vector>

#include "record/game_record.h"

namespace lexiflip::summary {

// A word somebody laid, as the record keeps it.
struct PlayedWord {
    int seat = 0;
    std::string letters; // upper case, as the record writes them
    int score = 0;
    bool operator==(const PlayedWord&) const = default;
};

// One seat's part in the game: its score after each round and its words.
struct SeatFigures {
    int seat = 0; // 1..6
    std::string name;
    // scores[0] is the score as the record began (0, or the score the game
    // had when this window came in); scores[r] after round r.
    std::vector<int> scores;
    std::vector<PlayedWord> words;
    int wordPoints() const;
};

// What the summary shows of a whole game, from its record alone.
struct GameFigures {
    int target = 0;                        // the play-to score
    std::vector<SeatFigures> seats;        // the seats that took part, by seat number
    int rounds = 0;                        // every seat's scores hold rounds + 1 figures
    std::optional<PlayedWord> bestWord;    // the most points (the first of equals)
    std::optional<PlayedWord> longestWord; // the most letters (the first of equals)
    std::string winner;                    // empty when the record holds none
};

// The rounds are the replay's: the last one ends with the record.
GameFigures gameFigures(const record::GameRecord& game);

} // namespace lexiflip::summary
