#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/computer_strength.h"
#include "engine/game_snapshot.h"

namespace lexiflip::host {

// What a host keeps on disk to go on with its game after a crash or a restart:
// the game, the address each seat's player came from (so that he finds his
// seat again), and the host's options.
struct HostSnapshot {
    engine::GameSnapshot game;
    std::array<std::string, engine::kMaxConnections + 1> addresses; // slots 1..9
    int botSpeedMs = 750;
    engine::ComputerStrength klotStrength = engine::ComputerStrength::Classic;
};

// The state file is plain text a person can read: a version line, then one
// "key value" line per fact, then "end". Names and other texts from peers are
// written with "\xNN" for control bytes, bytes above 0x7E and the backslash.
//
// The facts (everything but the clocks' tick counts) decide whether a state
// is worth writing: a second that passes on a clock changes nothing a player
// would miss, so only the facts are compared with the last written state.
std::string stateFacts(const HostSnapshot& snapshot);
std::string stateFileText(const HostSnapshot& snapshot, std::string_view facts);
inline std::string stateFileText(const HostSnapshot& snapshot)
{
    return stateFileText(snapshot, stateFacts(snapshot));
}

struct StateRead {
    std::optional<HostSnapshot> snapshot;
    std::string problem; // why the text was refused; empty when read
};

// Reads a state file's text. Nothing in it is trusted: every fact must be
// there once and within its range, every slot and cell within the table and
// the board, and the file must end with its end line; anything else refuses
// the text whole.
StateRead readStateText(std::string_view text);

struct StateFileRead {
    std::optional<HostSnapshot> snapshot;
    std::string problem;          // one line: the file and why it was refused
    std::filesystem::path keptAs; // where a refused file was moved, if it could be
};

// Reads the state file; a missing file is no problem and holds no game. A file
// that is not the user's own regular file, or cannot be read whole, is moved
// aside to a free name ending in ".bad" and left for the user.
StateFileRead readStateFile(const std::filesystem::path& file);

} // namespace lexiflip::host
