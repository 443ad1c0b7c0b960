// lexiflip: the game window. Without parameters it hosts a solo game in this
// process and plays it through its own client; with a name, an address and a
// role it hosts ("true") or joins a multi-player game.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/screenshot.h"
#include "client/game_window.h"
#include "client/launch_plan.h"
#include "client/tchat.h"
#include "lexiflip/version.h"
#include "net/error_report.h"
#include "net/tserver.h"
#include "net/tsock.h"
#include "windows/tgamestart.h"

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

} // namespace

int main(int argc, char* argv[])
{
    std::vector<std::string> parameters(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (!parameters.empty() && parameters[0] == "--version") {
        std::printf("lexiflip %.*s\n", static_cast<int>(kVersionText.size()), kVersionText.data());
        return 0;
    }
    // A test-only path: render a game in progress to a picture and end.
    std::string screenshotFile;
    if (parameters.size() >= 2 && parameters[0] == "--screenshot") {
        screenshotFile = parameters[1];
        parameters.clear();
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexiflip"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.3"));

    // The windows, in their order; only the main window is shown.
    client::GameWindow game(freshSeed());
    client::Tchat& window = game.window();
    net::setGeneralErrorReport([&window](std::string_view text) { showErrorBox(&window, text); });
    windows::Tgamestart gamestart(&window);
    net::HostOptions hostOptions;
    if (!screenshotFile.empty())
        hostOptions.port = 0;
    net::TServer server(hostOptions);
    net::TSock lobbyLink;

    game.attachHost(server);
    QObject::connect(&game, &client::GameWindow::gameOptionsRequested, &gamestart, [&gamestart] {
        gamestart.show();
        gamestart.raise();
        gamestart.activateWindow();
    });
    gamestart.setSender([&game](std::string_view message) { game.session().send(message); });

    window.show();

    // processparams, once the window shows.
    const client::LaunchPlan plan = client::processparams(parameters);
    game.addSystemLine(plan.loadingLine);
    gamestart.setPlayerName(plan.playerName);
    game.setPlayerName(plan.playerName);
    try {
        switch (plan.role) {
        case client::LaunchPlan::Role::Solo:
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
        // The link to the lobby: held open, nothing is exchanged on it.
        if (plan.role == client::LaunchPlan::Role::Host || plan.role == client::LaunchPlan::Role::Join) {
            lobbyLink.setHostName("127.0.0.1");
            lobbyLink.setPortName("9001");
            lobbyLink.Open();
        }
    } catch (const std::exception& error) {
        net::reportGeneralError(error.what());
    }

    if (!screenshotFile.empty())
        app::takeScreenshotWhenPlaying(game, gamestart, QString::fromStdString(screenshotFile));
    return QApplication::exec();
}
