#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexiflip::client {

// What the command line asks of the game before any window exists.
//
// The lobby starts the game with three parameters (player name, host address,
// role), which must reach processparams untouched, whatever they hold. So an
// option is recognised only as the only argument ("--help", "-h",
// "--version"), and a first argument "--" is dropped, so that a player really
// named "--help" can still be passed as "-- --help 10.0.0.2 true".
struct CommandLineRequest {
    enum class Kind { Run, PrintHelp, PrintVersion };
    Kind kind = Kind::Run;
    // For Run: the parameters after the program's name, for processparams.
    std::vector<std::string> parameters;

    bool operator==(const CommandLineRequest&) const = default;
};

// arguments: what follows the program's name.
CommandLineRequest readCommandLine(const std::vector<std::string>& arguments);

// The texts printed for --help and --version, each ending in a newline.
std::string helpText();
std::string versionText();

} // namespace lexiflip::client
