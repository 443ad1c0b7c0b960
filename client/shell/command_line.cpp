#include "client/shell/command_line.h"

#include "lexiflip/version.h"

namespace lexiflip::client {

CommandLineRequest readCommandLine(const std::vector<std::string>& arguments)
{
    using Kind = CommandLineRequest::Kind;
    if (arguments.size() == 1) {
        const std::string& only = arguments.front();
        if (only == "--help" || only == "-h")
            return {Kind::PrintHelp, {}};
        if (only == "--version")
            return {Kind::PrintVersion, {}};
    }
    if (!arguments.empty() && arguments.front() == "--")
        return {Kind::Run, {arguments.begin() + 1, arguments.end()}};
    return {Kind::Run, arguments};
}

std::string helpText()
{
    return "Usage: lexiflip [NAME ADDRESS ROLE]\n"
           "       lexiflip lexiflip://HOST[:PORT]\n"
           "       lexiflip --help | --version\n"
           "\n"
           "Lexiflip, a turn-based word game: flip five board tiles a turn and build\n"
           "a word from the board and your bar of seven letters.\n"
           "\n"
           "Without parameters it starts a solo game against the computer player Klot,\n"
           "hosted on this computer. With three parameters it starts a network game:\n"
           "  NAME     your player name\n"
           "  ADDRESS  the address of the host to join\n"
           "  ROLE     true to host the game on this computer (TCP port 7772),\n"
           "           anything else to join the host at ADDRESS\n"
           "A first parameter \"--\" is skipped, for a NAME that starts with \"-\".\n"
           "\n"
           "An invite link alone joins the game at HOST (a name, an IPv4 address or\n"
           "an IPv6 address in brackets) on PORT (7772 when left out) with the name\n"
           "last used; a copy already running is handed the link, and asks before it\n"
           "leaves a game that runs. The File menu hosts, joins and leaves games too.\n"
           "\n"
           "  -h, --help  show this help and exit\n"
           "  --version   show the version and exit\n"
           "\n"
           "Environment:\n"
           "  LEXIFLIP_HOME        directory of halvolobby.ini and Lexifliptally.tld\n"
           "  LEXIFLIP_PORT        the game's TCP port instead of 7772\n"
           "  LEXIFLIP_LOBBY_PORT  the lobby's TCP port instead of 9001\n";
}

std::string versionText()
{
    return "lexiflip " + std::string(kVersionText) + "\n";
}

} // namespace lexiflip::client
