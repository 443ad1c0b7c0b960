// lexiflip: the game window. Without parameters it hosts a solo game in this
// process and plays it through its own client; with a name, an address and a
// role it hosts ("true") or joins a multi-player game.
#include <QApplication>
#include <QMessageBox>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/game/desktop_entry.h"
#include "app/game/lexiflip_app.h"
#include "app/game/window_roles.h"
#include "client/platform/app_paths.h"
#include "client/platform/unix_signals.h"
#include "client/session/eight_bit_text.h"
#include "client/shell/command_line.h"
#include "client/shell/invite_link.h"
#include "client/shell/settings_location.h"
#include "client/shell/single_instance.h"
#include "client/window/tchat.h"
#include "core/terminal_text.h"
#include "lexiflip/version.h"
#include "net/discovery_scope.h"
#include "net/error_report.h"
#include "windows/tally/tally_file.h"
#ifdef LEXIFLIP_TEST_DRIVER
#include <unistd.h>

#include "driver/screenshot.h"
#include "driver/test_driver.h"
#endif

namespace {

using namespace lexiflip;

std::uint64_t freshSeed()
{
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// The general error report: a message box that does not block the handler
// that raised the error.
void showErrorBox(QWidget* parent, std::string_view text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Lexiflip"), client::fromEightBit(text),
                                QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// The lobby download is offered at the start of a solo game; tests and the
// screenshot turn it off, since it would stand over the game.
bool lobbyDownloadWanted(bool screenshot)
{
    return !screenshot && qEnvironmentVariableIsEmpty("LEXIFLIP_NO_LOBBY_DOWNLOAD");
}

// --help and --version answer before anything else starts; true when one
// of them was asked for and printed.
bool printedAnswer(const client::CommandLineRequest& request)
{
    if (request.kind == client::CommandLineRequest::Kind::PrintHelp) {
        std::fputs(client::helpText().c_str(), stdout);
        return true;
    }
    if (request.kind == client::CommandLineRequest::Kind::PrintVersion) {
        std::fputs(client::versionText().c_str(), stdout);
        return true;
    }
    return false;
}

// An invite link alone (as the desktop hands over a clicked lexiflip:// link)
// joins its host: the link, or an empty text when the parameters are no link.
// A malformed one is refused whole, said on standard error: nothing.
std::optional<QString> inviteLinkOf(const std::vector<std::string>& parameters)
{
    if (parameters.size() != 1 || !client::invite::looksLikeLink(parameters[0]))
        return QString();
    if (!client::invite::parseLink(parameters[0])) {
        // The link came from outside (a web page, a chat): its control
        // characters must not reach the terminal as commands.
        std::fprintf(stderr,
                     "lexiflip: \"%s\" is not an invite link; one reads lexiflip://HOST or "
                     "lexiflip://HOST:PORT\n",
                     core::terminalSafe(std::string_view(parameters[0]).substr(0, 300)).c_str());
        return std::nullopt;
    }
    return QString::fromStdString(parameters[0]);
}

// The in-process host's options: the screenshot hosts on a port of its own
// and answers no search; a game answers the local network's searches.
host::HostOptions hostOptionsFor(bool screenshot)
{
    host::HostOptions options;
    if (screenshot)
        options.port = 0;
    else
        options.discoveryPort = net::defaultDiscoveryPort();
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    const client::CommandLineRequest request =
        client::readCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (printedAnswer(request))
        return 0;
    std::vector<std::string> parameters = request.parameters;
    std::string screenshotFile;
#ifdef LEXIFLIP_TEST_DRIVER
    // lexiflip-driven only: render a game in progress to a picture and end.
    // The shipped program has no such switch: everything it is given, after
    // "--" or not, reaches processparams.
    if (parameters.size() == 2 && parameters[0] == "--screenshot") {
        screenshotFile = parameters[1];
        parameters.clear();
    }
#endif

    const bool screenshot = !screenshotFile.empty();

    const std::optional<QString> invite = inviteLinkOf(parameters);
    if (!invite)
        return 2;
    const QString inviteLink = *invite;

    QApplication app(argc, argv);
    // A second copy hands over to the first and ends, showing nothing. The
    // screenshot, which hosts on a port of its own, may run beside a game.
    client::SingleInstance guard;
    if (!screenshot && !guard.claim(inviteLink))
        return 0;
    QApplication::setApplicationName(QStringLiteral("Lexiflip"));
    QApplication::setApplicationVersion(
        QString::fromLatin1(kVersionText.data(), qsizetype(kVersionText.size())));
    app::tieToDesktopEntry();
    // The side windows stay open until the main window closes; its close ends
    // the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // The windows, in their order; only the main window is shown. The
    // screenshot shows the built-in options and leaves no files behind.
    app::LexiflipApp program(
        freshSeed(), screenshot ? std::filesystem::path() : client::settingsFilePath(),
        screenshot ? QString()
                   : client::appFilePath(QString::fromLatin1(windows::kTallyFileName.data(),
                                                             qsizetype(windows::kTallyFileName.size()))),
        hostOptionsFor(screenshot));
    client::Tchat& window = program.game.window();
    net::setGeneralErrorReport([&window](std::string_view text) { showErrorBox(&window, text); });
    QObject::connect(&program.game, &client::GameWindow::windowClosed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&guard, &client::SingleInstance::activationRequested, &window,
                     [&window] { client::bringToFront(window); });
    QObject::connect(&guard, &client::SingleInstance::inviteReceived, &window,
                     [&program](const QString& link) { program.roles().joinInvite(link, false); });

    // SIGTERM and SIGINT close the main window the normal way.
    client::UnixSignalWatcher stop({SIGTERM, SIGINT}, [&window](int) { window.close(); });

    window.show();
#ifdef LEXIFLIP_TEST_DRIVER
    // lexiflip-driven: the tests play this window through standard input, from
    // before the role starts, so they can answer its questions (a kept game).
    const auto driver = screenshot ? nullptr : std::make_unique<app::TestDriver>(program, STDIN_FILENO);
#endif
    // processparams, once the window shows; or the invite's join.
    if (inviteLink.isEmpty())
        program.start(client::processparams(parameters), lobbyDownloadWanted(screenshot));
    else
        program.roles().joinInvite(inviteLink, false);

#ifdef LEXIFLIP_TEST_DRIVER
    if (screenshot) // a screenshot plays itself
        app::takeScreenshotWhenPlaying(program.game, program.gamestart,
                                       QString::fromStdString(screenshotFile));
#endif
    const int status = QApplication::exec();
    if (!screenshot && !program.saveAtExit() && status == 0)
        return 1;
    return status;
}
