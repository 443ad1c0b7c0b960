#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "host/state_file.h"

namespace lexiflip::app {

// Where a game this window hosts (solo or for the network) is kept while it
// runs: beside the settings file, so that it lives and goes with the
// player's other files.
std::filesystem::path gameInProgressFile(const std::filesystem::path& settingsFile);

// The question a window asks at its next start about a kept game that has
// no winner yet, naming the others and every score, the window's own player
// (seat 1) as "You": "Go on with your game against Klot (You 57, Klot 43)?".
// Names are as the game keeps them (one byte a character). Nothing for a game
// that is over.
std::optional<std::string> goOnQuestion(const host::HostSnapshot& kept);

} // namespace lexiflip::app
