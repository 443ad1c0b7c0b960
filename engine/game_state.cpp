#include "engine/game_state.h"

namespace lexiflip::engine {

GameState::GameState()
{
    players[2].botname = "Klot";
    players[3].botname = "Klock";
    players[4].botname = "Kling";
    players[5].botname = "Klick";
    players[6].botname = "Krazy";
}

} // namespace lexiflip::engine
