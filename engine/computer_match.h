#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/computer_strength.h"

namespace lexiflip::words {
class TDictn;
} // namespace lexiflip::words

namespace lexiflip::engine {

class Sender;

// How one computer-only game went.
struct MatchResult {
    std::string winner;          // empty when the game did not end within the tick limit
    std::array<int, 7> scores{}; // seats 1..6
    int rounds = 0;              // rounds begun (turns of seat 1)
    int turns = 0;               // turns begun
    std::int64_t virtualMs = 0;  // game time on the virtual clocks
    // For each seat, the time each of its computer turns spent choosing its
    // flips and its word (the two ticks that act), in nanoseconds: on the
    // wall clock, and of the process's CPU, which a busy machine's other work
    // does not lengthen.
    std::array<std::vector<std::int64_t>, 7> thinkNs;
    std::array<std::vector<std::int64_t>, 7> thinkCpuNs;
};

// The computer's strength in each seat 1..6 (index 0 unused); Classic unless set.
using SeatStrengths = std::array<ComputerStrength, 7>;

// Plays a whole game with the computer in every seat: slot 1 is connected and
// just watches, seat 2 is Klot, and both clocks run in virtual time, so a game
// of many minutes takes well under a millisecond. Every message the engine
// sends goes to sender. Used by the simulator and by the whole-game tests.
//
// How seat 1 is handed over: Late as a player choosing Just Watch once the
// game began, which passes the first turn on unplayed (seat 1 is a turn
// short; the golden games are played so); FromFirstTurn gives the computer
// seat 1's first turn too, for fair matches between strengths.
enum class SeatOneHandOver { Late, FromFirstTurn };
MatchResult playComputerMatch(const words::TDictn& dictionary, const std::vector<std::string>& words,
                              std::uint64_t seed, Sender& sender,
                              std::string_view startRequest = "You+100+60+t+1+0+", int botSpeedMs = 750,
                              const SeatStrengths& strengths = {},
                              SeatOneHandOver handOver = SeatOneHandOver::Late);

} // namespace lexiflip::engine
