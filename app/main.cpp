// lexiflip: the game window. Without parameters it hosts a solo game in this
// process and plays it through its own client; with a name, an address and a
// role it hosts ("true") or joins a multi-player game.
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/screenshot.h"
#include "client/command_line.h"
#include "client/game_window.h"
#include "client/launch_plan.h"
#include "client/lobby_link.h"
#include "client/main_menu.h"
#include "client/platform/app_paths.h"
#include "client/platform/unix_signals.h"
#include "client/settings_location.h"
#include "client/single_instance.h"
#include "client/tchat.h"
#include "net/error_report.h"
#include "net/tserver.h"
#include "windows/tabout.h"
#include "windows/tdownload.h"
#include "windows/tgamestart.h"
#include "windows/thelp.h"
#include "windows/tick_box.h"
#include "windows/tphrases.h"
#include "windows/tspylist.h"
#include "windows/ttallylist.h"

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
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Lexiflip"),
                                QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void showWindow(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

// The lobby download is offered at the start of a solo game; tests and the
// screenshot turn it off, since it would stand over the game.
bool lobbyDownloadWanted(bool screenshot)
{
    return !screenshot && qEnvironmentVariableIsEmpty("LEXIFLIP_NO_LOBBY_DOWNLOAD");
}

// The options dialog shows the stored values once they were read; its Start
// keeps the five values it sends.
void connectGameOptions(client::GameWindow& game, windows::Tgamestart& gamestart)
{
    QObject::connect(&game, &client::GameWindow::gameOptionsRequested, &gamestart,
                     [&gamestart] { showWindow(gamestart); });
    gamestart.setSender([&game](std::string_view message) { game.session().send(message); });
    QObject::connect(&game, &client::GameWindow::settingsRead, &gamestart, [&game, &gamestart] {
        const settings::Preferences& prefs = game.settings().preferences();
        gamestart.setPlayToScore(prefs.playtoscore);
        gamestart.setCreationTime(prefs.timeperturn);
        gamestart.checkbox(gamestart.box_viewable(), prefs.viewable ? 0 : 1);
        gamestart.checkbox(gamestart.box_4player(), prefs.fourPlayer ? 0 : 1);
        if (prefs.gamemode >= 1 && prefs.gamemode <= 3)
            gamestart.selectGameMode(prefs.gamemode);
    });
    QObject::connect(&gamestart, &windows::Tgamestart::started, &game, [&game, &gamestart] {
        settings::Preferences& prefs = game.settings().preferences();
        prefs.playtoscore = gamestart.playToScore();
        prefs.timeperturn = gamestart.creationTime();
        prefs.viewable = gamestart.box_viewable().ticked();
        prefs.fourPlayer = gamestart.box_4player().ticked();
        prefs.gamemode = gamestart.gameMode() >= 1 && gamestart.gameMode() <= 3 ? gamestart.gameMode() : 1;
        game.saveinifile();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version answer before anything else starts.
    const client::CommandLineRequest request =
        client::readCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (request.kind == client::CommandLineRequest::Kind::PrintHelp) {
        std::fputs(client::helpText().c_str(), stdout);
        return 0;
    }
    if (request.kind == client::CommandLineRequest::Kind::PrintVersion) {
        std::fputs(client::versionText().c_str(), stdout);
        return 0;
    }
    std::vector<std::string> parameters = request.parameters;
    // A test-only path: render a game in progress to a picture and end.
    std::string screenshotFile;
    if (parameters.size() >= 2 && parameters[0] == "--screenshot") {
        screenshotFile = parameters[1];
        parameters.clear();
    }

    QApplication app(argc, argv);
    // A second copy hands over to the first and ends, showing nothing.
    client::SingleInstance guard;
    if (!guard.claim())
        return 0;
    QApplication::setApplicationName(QStringLiteral("Lexiflip"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.3"));
    // The side windows stay open until the main window closes; its close ends
    // the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // The windows, in their order; only the main window is shown.
    client::GameWindow game(freshSeed());
    client::Tchat& window = game.window();
    const bool screenshot = !screenshotFile.empty();
    // The screenshot shows the built-in options and leaves no files behind.
    if (!screenshot)
        game.setSettingsFile(client::settingsFilePath());
    net::setGeneralErrorReport([&window](std::string_view text) { showErrorBox(&window, text); });
    QObject::connect(&game, &client::GameWindow::windowClosed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&guard, &client::SingleInstance::activationRequested, &window,
                     [&window] { client::bringToFront(window); });

    windows::Tdownload download(&window);
    if (const auto lobbyServer = game.settings().value("LobbyServer"))
        download.setLobbyServerFromSettings(QString::fromStdString(*lobbyServer));
    QObject::connect(&download, &windows::Tdownload::exitRequested, &window, &QWidget::close);

    windows::Tgamestart gamestart(&window);
    connectGameOptions(game, gamestart);

    windows::Thelp help(&window);
    windows::Tphrases phrases(&window);
    QObject::connect(&phrases, &windows::Tphrases::phrasesApplied, &game,
                     &client::GameWindow::applyEditedPhrases);

    net::HostOptions hostOptions;
    if (screenshot)
        hostOptions.port = 0;
    net::TServer server(hostOptions);
    game.attachHost(server);

    windows::Tspylist spylist(&window);
    QObject::connect(&game, &client::GameWindow::watcherEntryAdded, &spylist,
                     [&spylist](const QString& entry) { spylist.watcherAdded(entry.toStdString()); });
    QObject::connect(&game, &client::GameWindow::watcherEntryRemoved, &spylist,
                     [&spylist](const QString& entry) { spylist.watcherRemoved(entry.toStdString()); });
    QObject::connect(&game, &client::GameWindow::hostRoleTaken, &spylist,
                     [&spylist] { spylist.setRemoveEnabled(true); });
    QObject::connect(&spylist, &windows::Tspylist::removeRequested, &game, &client::GameWindow::kickWatcher);

    windows::Ttallylist tallylist(&window);
    tallylist.setPlayerList([&game] { return windows::playersOf(game.game()); });
    tallylist.loadtallyfile(client::appFilePath(QStringLiteral("Lexifliptally.tld")));
    game.setTally(tallylist);

    windows::Tabout about(&window);
    QObject::connect(&help, &windows::Thelp::aboutRequested, &about, [&about] { showWindow(about); });
    QObject::connect(&game, &client::GameWindow::logoClicked, &about, [&about] { about.openWebLink(); });

    client::MainMenu& menu = window.menu();
    auto onEntry = [&menu, &window](const char* name, auto action) {
        QObject::connect(menu.entry(QString::fromLatin1(name)), &QAction::triggered, &window, action);
    };
    onEntry("ViewTally1", [&tallylist] { tallylist.viewTally(); });
    onEntry("SpyList1", [&spylist] { showWindow(spylist); });
    onEntry("PrhaseList1", [&phrases, &game] { phrases.PrhaseList1Click(game.phrases()); });
    onEntry("Help2", [&help] { showWindow(help); });
    onEntry("About1", [&about] { showWindow(about); });

    // SIGTERM and SIGINT close the main window the normal way.
    client::UnixSignalWatcher stop({SIGTERM, SIGINT}, [&window](int) { window.close(); });

    window.show();

    // processparams, once the window shows.
    const client::LaunchPlan plan = client::processparams(parameters);
    game.addSystemLine(plan.loadingLine);
    gamestart.setPlayerName(plan.playerName);
    game.setPlayerName(plan.playerName);
    client::LobbyLink lobbyLink;
    try {
        switch (plan.role) {
        case client::LaunchPlan::Role::Solo:
            if (lobbyDownloadWanted(screenshot))
                showWindow(download);
            server.startHosting();
            game.hostpress(server.port());
            break;
        case client::LaunchPlan::Role::Host:
            server.startHosting();
            game.hostpress(server.port());
            break;
        case client::LaunchPlan::Role::Join:
            game.joinpress(plan.hostAddress, net::defaultHostPort());
            break;
        case client::LaunchPlan::Role::Wait:
            break;
        }
        // Sock11, the link to the lobby: held open, nothing is exchanged on it.
        if (plan.role == client::LaunchPlan::Role::Host || plan.role == client::LaunchPlan::Role::Join)
            lobbyLink.open();
    } catch (const std::exception& error) {
        net::reportGeneralError(error.what());
    }

    if (screenshot)
        app::takeScreenshotWhenPlaying(game, gamestart, QString::fromStdString(screenshotFile));
    const int status = QApplication::exec();
    if (!screenshot)
        tallylist.savetally();
    return status;
}
