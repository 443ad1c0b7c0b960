#pragma once

// What the replay window shows of a recorded game, step by step, in plain C++:
// the board's 80 cells as the game's tile pictures, every seat's score and what
// happened at that step in words. The window only draws what this gives it,
// so that what a replay shows can be checked without a window.

#include <array>
#include <string>
#include <vector>

#include "record/game_record.h"
#include "record/replay_steps.h"
#include "wire/game_size.h"

namespace lexiflip::windows {

inline constexpr int kReplayCells = wire::kBoardColumns * wire::kBoardRows;

struct ReplaySeat {
    int seat = 0; // 1..6
    std::string name;
    int score = 0;
    bool onTurn = false;
};

struct ReplayFrame {
    // imagelist_letters' index of each cell in reading order (row by row from
    // the top left): the tile back, a face-up letter, a letter of this step's
    // word in the used look, or 0 for a place already taken.
    std::array<int, kReplayCells> pictures{};
    std::vector<ReplaySeat> seats;
    // "Ann played BREAD for 24 points", "Klot passed", ...
    std::string event;
};

// Each frame is made when asked for, from the record's steps: a long record
// costs its steps once, not a picture of every step.
class ReplayModel {
public:
    explicit ReplayModel(record::GameRecord record);

    // Never fewer than one: the board before the first turn is a step too.
    int stepCount() const { return static_cast<int>(m_steps.size()); }
    // step is clamped to 0..stepCount() - 1.
    ReplayFrame frame(int step) const;
    // "Ann 62, Klot 32. Ann won; it began 2026-12-09 14:05 UTC." for the
    // window's heading line.
    const std::string& summary() const { return m_summary; }

private:
    record::GameRecord m_record;
    std::vector<record::ReplayStep> m_steps;
    std::array<std::string, wire::kSeatCount> m_names; // seat 1..6's, empty for nobody
    std::vector<int> m_seats;                          // the seats with a name
    std::string m_summary;
};

// The cell of a frame's picture list: column 1..10, row 1..8.
constexpr int replayCellIndex(int column, int row)
{
    return (row - 1) * wire::kBoardColumns + (column - 1);
}

} // namespace lexiflip::windows
