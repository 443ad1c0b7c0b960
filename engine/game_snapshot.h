#pragma once

#include <array>
#include <string>

#include "engine/computer_strength.h"
#include "engine/game_state.h"

namespace lexiflip::engine {

// Everything a game needs to go on in another process: its state, how the
// computer plays each seat, where both random sources stand and which of the
// two clocks runs (each clock's phase and ticks are in the state).
struct GameSnapshot {
    GameState state;
    std::array<ComputerStrength, kSlotCount + 1> strengths{};
    std::string random;    // core::RandomSource::state() of the game's draws
    std::string foresight; // the same of the strong players' guesses
    bool turnClockRunning = false;
    bool computerClockRunning = false;
};

} // namespace lexiflip::engine
