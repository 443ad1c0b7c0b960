#include "app/game/game_in_progress.h"

#include <vector>

namespace lexiflip::app {

std::filesystem::path gameInProgressFile(const std::filesystem::path& settingsFile)
{
    return settingsFile.parent_path() / "game-in-progress.state";
}

std::optional<std::string> goOnQuestion(const host::HostSnapshot& kept)
{
    const engine::GameState& state = kept.game.state;
    if (!state.gamerunning)
        return std::nullopt;
    std::vector<std::string> others;
    std::string scores = "You " + std::to_string(state.players[1].score);
    for (int seat = 2; seat <= state.numseats; ++seat) {
        const engine::tplayer& player = state.players[static_cast<std::size_t>(seat)];
        // Seat 2 is Klot's when no player has it; the other seats count only
        // with a player.
        const std::string name = !player.name.empty() ? player.name
                                 : seat == 2          ? player.botname
                                                      : std::string();
        if (name.empty())
            continue;
        others.push_back(name);
        scores += ", " + name + " " + std::to_string(player.score);
    }
    std::string against;
    for (std::size_t i = 0; i < others.size(); ++i)
        against += (i == 0 ? "" : i + 1 == others.size() ? " and " : ", ") + others[i];
    return "Go on with your game against " + against + " (" + scores + ")?";
}

} // namespace lexiflip::app
