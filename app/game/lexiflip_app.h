#pragma once

#include <QString>

#include <cstdint>
#include <filesystem>

#include "client/window/game_window.h"
#include "client/shell/launch_plan.h"
#include "client/shell/lobby_link.h"
#include "net/tserver.h"
#include "windows/small/tabout.h"
#include "windows/tally/tally_model.h"
#include "windows/small/tdownload.h"
#include "windows/side/tgamestart.h"
#include "windows/small/thelp.h"
#include "windows/small/tphrases.h"
#include "windows/small/tspylist.h"
#include "windows/side/ttallylist.h"

namespace lexiflip::app {

// Everything the game window's program holds from start-up to exit: the
// windows, created once in this order (the members' order) and connected to
// each other, the host and the link to the lobby. Only the main window is
// ever shown by the program itself; the menus show the others.
//
//     LexiflipApp app(seed, settingsFilePath(), {});
//     app.game.window().show();
//     app.start(processparams(parameters), true);
//     ... event loop ...
//     app.saveAtExit();
class LexiflipApp {
public:
    // settingsFile: the settings file, or empty for none (nothing read or
    // written). tallyFile: the tally file, or empty for none (starts empty).
    LexiflipApp(std::uint64_t seed, const std::filesystem::path& settingsFile, const QString& tallyFile,
                const net::HostOptions& hostOptions, windows::LinkOpener opener = windows::openInSystem);

    // processparams: acts on the role; the download is offered over a solo
    // game when offerLobbyDownload, and the lobby link is opened after a
    // multi-player role was acted on. A component's error goes to the general
    // error report.
    void start(const client::LaunchPlan& plan, bool offerLobbyDownload);

    // After the event loop, where no window is left to say it in: saves the
    // tally (to the file it was read from), and says on standard error what was not saved now or as the
    // window closed. False when anything was not saved (a non-zero exit).
    bool saveAtExit();

    // Before the game, which feeds it from its first message.
    windows::TallyModel tally;
    client::GameWindow game;
    windows::Tdownload download;
    windows::Tgamestart gamestart;
    windows::Thelp help;
    windows::Tphrases phrases;
    net::TServer server;
    windows::Tspylist spylist;
    windows::Ttallylist tallylist;
    windows::Tabout about;
    client::LobbyLink lobbyLink;

private:
    void connectGameOptions();
    void connectSideWindows();
    void connectMenus();
};

// The players of a game window's client game, for the tally.
windows::PlayerList playersOf(const client::ClientGame& game);

} // namespace lexiflip::app
