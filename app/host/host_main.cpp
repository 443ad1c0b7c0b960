// lexiflip-host: hosts a game without a window. The first client to connect
// gets slot 1 and is the host's own player: it starts the games.

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "client/platform/unix_signals.h"
#include "host/tserver.h"
#include "lexiflip/version.h"
#include "net/discovery_scope.h"
#include "net/error_report.h"
#include "net/esock_exception.h"
#include "net/portmap/router_mapper.h"
#include "net/router_port.h"
#include "wire/field_reader.h"

namespace {

std::optional<int> botSpeedMs(const QString& name)
{
    if (name == QLatin1String("slow"))
        return 1000;
    if (name == QLatin1String("normal"))
        return 750;
    if (name == QLatin1String("fast"))
        return 250;
    return std::nullopt;
}

void printLine(std::FILE* stream, std::string_view text)
{
    std::fprintf(stream, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(stream);
}

// What --help says before the options.
QString description()
{
    return QStringLiteral("Hosts a Lexiflip game without a window.\n"
                          "\n"
                          "Clients connect over TCP, IPv4 or IPv6, to any address of this machine,\n"
                          "on port 7772 unless --port or the environment variable LEXIFLIP_PORT\n"
                          "says otherwise (--port wins; 0 lets the system choose). The first client\n"
                          "to connect gets slot 1: it is the host's own player and the only one\n"
                          "that can start a game; when it leaves during its turn, the turn moves on\n"
                          "at once, as for anybody. Seat 2 is played by the computer player Klot\n"
                          "when nobody holds it, and the seat of a player who chooses to just watch\n"
                          "is played at the same strength.\n"
                          "\n"
                          "When a seated player's connection drops during a game, his seat (name,\n"
                          "score, bar) is kept for him for --seat-hold seconds (120 unless said):\n"
                          "the turn passes over it, Klot does not play it, and a connection from\n"
                          "the same address gets it back. 0 frees the seat at once.\n"
                          "\n"
                          "It also answers the local network's searches for games on UDP port\n"
                          "7772, or LEXIFLIP_PORT (never --port). LEXIFLIP_DISCOVERY_ADDRESS, when\n"
                          "set, answers only queries from the addresses it lists.\n"
                          "\n"
                          "At start the host prints \"lexiflip-host listening on port N\" on standard\n"
                          "output, then \"lexiflip-host answering searches on UDP port M\".\n"
                          "The host's notices (\"Invalid Letter (3)\", ...) and errors go to\n"
                          "standard error. SIGINT (Ctrl+C) or SIGTERM ends it cleanly.\n"
                          "\n"
                          "With --open-port it asks the router for a mapping of its TCP port (UPnP\n"
                          "IGD, else NAT-PMP), renews it while it runs and removes it at exit, and\n"
                          "prints what the router did (\"Your router opened port 7772: ...\").\n"
                          "The search port is never mapped. LEXIFLIP_IGD_URL names the router's\n"
                          "description URL instead of searching for it; LEXIFLIP_NATPMP_GATEWAY\n"
                          "names the NAT-PMP gateway instead of the default route's.\n"
                          "\n"
                          "With --state-file the game is kept in that file after every change; a\n"
                          "host started again on the file goes on with an unfinished game, and\n"
                          "prints \"lexiflip-host goes on with the game in FILE\". A file it cannot\n"
                          "read is moved aside as FILE.bad, said in one line on standard error.");
}

// What the command line asks for.
struct CommandLine {
    lexiflip::host::HostOptions options;
    std::string stateFile; // empty: the game is kept nowhere
    bool openPort = false;
};

// The host's options from the command line; nothing when one is wrong (said
// on standard error).
std::optional<CommandLine> readOptions(QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringList{QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("TCP port to listen on (default 7772, or LEXIFLIP_PORT)."), QStringLiteral("N"));
    const QCommandLineOption speedOption(
        QStringLiteral("bot-speed"),
        QStringLiteral(
            "Pace of the computer player: slow (1000 ms), normal (750 ms, the default) or fast (250 ms)."),
        QStringLiteral("slow|normal|fast"), QStringLiteral("normal"));
    const QCommandLineOption strengthOption(
        QStringLiteral("klot-strength"),
        QStringLiteral("How well the computer player plays: classic (random common words, the default),\n"
                       "strong (the best word the dictionary allows) or expert (strong, and he\n"
                       "remembers the tiles turned face up)."),
        QStringLiteral("classic|strong|expert"), QStringLiteral("classic"));
    const QCommandLineOption openPortOption(
        QStringLiteral("open-port"),
        QStringLiteral("Ask the router to forward the TCP port here (UPnP IGD or NAT-PMP) while hosting."));
    const QCommandLineOption stateOption(
        QStringLiteral("state-file"),
        QStringLiteral("Keep the running game in FILE after every change, and go on with an unfinished\n"
                       "game found there at start (its players get their seats back)."),
        QStringLiteral("FILE"));
    const QCommandLineOption holdOption(
        QStringLiteral("seat-hold"),
        QStringLiteral("How long a dropped player's seat is kept for his return, from 0 (not kept)\n"
                       "to 86400 seconds (default 120)."),
        QStringLiteral("SECONDS"), QStringLiteral("120"));
    parser.addOption(portOption);
    parser.addOption(openPortOption);
    parser.addOption(speedOption);
    parser.addOption(strengthOption);
    parser.addOption(holdOption);
    parser.addOption(stateOption);
    parser.process(app);

    lexiflip::host::HostOptions options;
    if (parser.isSet(portOption)) {
        const std::optional<int> port = lexiflip::wire::parseInt(parser.value(portOption).toStdString());
        if (!port || *port < 0 || *port > 65535) {
            printLine(stderr, "lexiflip-host: --port needs a number from 0 to 65535");
            return std::nullopt;
        }
        options.port = *port;
    }
    const std::optional<int> speed = botSpeedMs(parser.value(speedOption));
    if (!speed) {
        printLine(stderr, "lexiflip-host: --bot-speed is slow, normal or fast");
        return std::nullopt;
    }
    options.botSpeedMs = *speed;
    const auto strength = lexiflip::engine::parseStrength(parser.value(strengthOption).toStdString());
    if (!strength) {
        printLine(stderr, "lexiflip-host: --klot-strength is classic, strong or expert");
        return std::nullopt;
    }
    options.klotStrength = *strength;
    constexpr int kLongestHoldSeconds = 24 * 60 * 60;
    const std::optional<int> hold = lexiflip::wire::parseInt(parser.value(holdOption).toStdString());
    if (!hold || *hold < 0 || *hold > kLongestHoldSeconds) {
        printLine(stderr, "lexiflip-host: --seat-hold needs a number of seconds from 0 to 86400");
        return std::nullopt;
    }
    options.seatHoldMs = *hold * 1000;
    // Slot 1 here is a remote player, free to leave like the others.
    options.firstSeatRemote = true;
    options.discoveryPort = lexiflip::net::defaultDiscoveryPort();
    if (parser.isSet(stateOption) && parser.value(stateOption).isEmpty()) {
        printLine(stderr, "lexiflip-host: --state-file needs a file name");
        return std::nullopt;
    }
    return CommandLine{options, parser.value(stateOption).toStdString(), parser.isSet(openPortOption)};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lexiflip-host"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(
        lexiflip::kVersionText.data(), static_cast<qsizetype>(lexiflip::kVersionText.size())));

    const std::optional<CommandLine> read = readOptions(app);
    if (!read)
        return 2;
    const lexiflip::host::HostOptions& options = read->options;

    // SIGINT and SIGTERM quit the event loop: the host closes down on its own
    // thread.
    const lexiflip::client::UnixSignalWatcher quitOnSignals({SIGTERM, SIGINT},
                                                            [](int) { QCoreApplication::quit(); });
    if (!quitOnSignals.active()) {
        std::perror("lexiflip-host: socketpair");
        return 1;
    }

    lexiflip::net::setGeneralErrorReport([](std::string_view text) { printLine(stderr, text); });
    int status = 0;
    {
        lexiflip::host::TServer server(options);
        server.setNoticeCallback([](std::string_view text) { printLine(stderr, text); });
        // The game is back before anybody can connect.
        bool resumed = false;
        if (!read->stateFile.empty()) {
            const auto kept = server.keepStateIn(read->stateFile);
            if (!kept.problem.empty())
                printLine(stderr, "lexiflip-host: " + kept.problem);
            resumed = kept.resumed;
        }
        try {
            server.startHosting();
        } catch (const lexiflip::net::ESockException& error) {
            printLine(stderr, std::string("lexiflip-host: ") + error.what());
            return 1;
        }
        printLine(stdout, "lexiflip-host listening on port " + std::to_string(server.port()));
        if (server.discoveryPort() != 0)
            printLine(stdout, "lexiflip-host answering searches on UDP port " +
                                  std::to_string(server.discoveryPort()));
        if (resumed)
            printLine(stdout, "lexiflip-host goes on with the game in " + read->stateFile);
        // Declared after the server, so it goes first: the mapping is
        // removed while the port still listens.
        std::unique_ptr<lexiflip::net::RouterPort> routerPort;
        const lexiflip::portmap::RouterMapperOptions routerOptions =
            lexiflip::portmap::routerMapperOptionsFromEnvironment();
        if (read->openPort && !lexiflip::portmap::hasRouterToAsk(routerOptions))
            printLine(stderr, "lexiflip-host: no router to ask: LEXIFLIP_DISCOVERY_ADDRESS confines the host "
                              "and LEXIFLIP_IGD_URL or LEXIFLIP_NATPMP_GATEWAY names none");
        else if (read->openPort) {
            routerPort = std::make_unique<lexiflip::net::RouterPort>(
                [routerOptions] { return lexiflip::portmap::makeRouterMapper(routerOptions); });
            QObject::connect(routerPort.get(), &lexiflip::net::RouterPort::answered,
                             [port = routerPort.get()] {
                                 printLine(stdout, "lexiflip-host: " + port->message().toStdString());
                                 if (!port->pinholeMessage().isEmpty())
                                     printLine(stdout,
                                               "lexiflip-host: " + port->pinholeMessage().toStdString());
                             });
            routerPort->open(server.port());
        }
        status = QCoreApplication::exec();
    }
    return status;
}
