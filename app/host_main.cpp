// lexiflip-host: hosts a game without a window. The first client to connect
// gets slot 1 and is the host's own player: it starts the games.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "lexiflip/version.h"
#include "net/error_report.h"
#include "net/esock_exception.h"
#include "net/tserver.h"
#include "net/wire/field_reader.h"

namespace {

// SIGINT and SIGTERM write a byte here; the event loop reads it and quits, so
// that the host closes down on its own thread.
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    (void)!::write(g_signalPipe[0], &byte, 1);
}

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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lexiflip-host"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(
        lexiflip::kVersionText.data(), static_cast<qsizetype>(lexiflip::kVersionText.size())));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Hosts a Lexiflip game without a window.\n"
                       "\n"
                       "Clients connect over TCP, on port 7772 unless --port or the environment\n"
                       "variable LEXIFLIP_PORT says otherwise (--port wins; 0 lets the system\n"
                       "choose). The first client to connect gets slot 1: it is the host's own\n"
                       "player and the only one that can start a game. Seat 2 is played by the\n"
                       "computer player Klot when nobody holds it.\n"
                       "\n"
                       "At start the host prints \"lexiflip-host listening on port N\" on standard\n"
                       "output. The host's notices (\"Invalid Letter (3)\", ...) and errors go to\n"
                       "standard error. SIGINT (Ctrl+C) or SIGTERM ends it cleanly."));
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
    parser.addOption(portOption);
    parser.addOption(speedOption);
    parser.process(app);

    lexiflip::net::HostOptions options;
    if (parser.isSet(portOption)) {
        const std::optional<int> port = lexiflip::wire::parseInt(parser.value(portOption).toStdString());
        if (!port || *port < 0 || *port > 65535) {
            printLine(stderr, "lexiflip-host: --port needs a number from 0 to 65535");
            return 2;
        }
        options.port = *port;
    }
    const std::optional<int> speed = botSpeedMs(parser.value(speedOption));
    if (!speed) {
        printLine(stderr, "lexiflip-host: --bot-speed is slow, normal or fast");
        return 2;
    }
    options.botSpeedMs = *speed;

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        std::perror("lexiflip-host: socketpair");
        return 1;
    }
    QSocketNotifier signalNotifier(g_signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        (void)!::read(g_signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    lexiflip::net::setGeneralErrorReport([](std::string_view text) { printLine(stderr, text); });
    int status = 0;
    {
        lexiflip::net::TServer server(options);
        server.setNoticeCallback([](std::string_view text) { printLine(stderr, text); });
        try {
            server.startHosting();
        } catch (const lexiflip::net::ESockException& error) {
            printLine(stderr, std::string("lexiflip-host: ") + error.what());
            return 1;
        }
        printLine(stdout, "lexiflip-host listening on port " + std::to_string(server.port()));
        status = QCoreApplication::exec();
    }
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    return status;
}
