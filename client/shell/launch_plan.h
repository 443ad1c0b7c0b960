#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lexiflip::client {

// What the command line asks for: no parameters is a solo game; otherwise the
// player's name, the host's address and the role, where exactly "true" hosts
// and anything else joins. With fewer than three parameters the window only
// says it is loading and waits.
struct LaunchPlan {
    enum class Role { Solo, Host, Join, Wait };
    Role role = Role::Solo;
    std::string playerName;
    std::string hostAddress;
    // The line the chat shows first.
    std::string loadingLine;
    // The game's port, when the window chose one (the host and join dialogs,
    // invite links); unset is the command line's: LEXIFLIP_PORT, else 7772.
    std::optional<int> port;
};

// Reads the parameters after the program's name (processparams).
LaunchPlan processparams(const std::vector<std::string>& parameters);

} // namespace lexiflip::client
