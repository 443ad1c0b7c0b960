#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "record/game_record.h"

// A record stepped through: the board and the scores as they stood after each
// move of the game. The summary reads each round's scores from it and the
// replay window shows one step at a time; both count the same way.
namespace lexiflip::record {

struct ReplayCell {
    enum class Face { down, up, taken };
    Face face = Face::down;
    char letter = kNoLetter; // the letter shown when up or taken
    bool operator==(const ReplayCell&) const = default;
};

// The board and the scores after one step.
struct ReplayStep {
    std::size_t event = 0; // the index of the step's event in GameRecord::events; 0 for the start
    int round = 0;         // 1 from the first turn on; 0 before it
    int seat = 0;          // the seat on turn, 0 when none
    std::array<ReplayCell, kCells> cells{};
    std::array<int, kSeats> scores{};
    std::optional<Word> word; // the word made at this step
    bool finished = false;    // the step is the winner's

    // Column x 1..10, row y 1..8.
    const ReplayCell& cell(int x, int y) const
    {
        return cells[static_cast<std::size_t>((x - 1) * wire::kBoardRows + (y - 1))];
    }
};

// Step 0 is the game as it began (all face down, the catch-up's scores or
// none); each turn's start, flip, word, pass, buy and time-out is a step after
// it, and so is the winner. A round begins when a turn goes to a seat numbered
// no higher than the previous turn's. Events that move nothing on the board or
// the scores (joins, leaves, just watch, the own bar, a tie) are no steps.
std::vector<ReplayStep> replaySteps(const GameRecord& record);

// Every seat's score at the end of each round, the first round's first: the
// scores of the last step of that round. A game cut short ends with the round
// it was in.
std::vector<std::array<int, kSeats>> roundScores(const std::vector<ReplayStep>& steps);

} // namespace lexiflip::record
