#pragma once

#include <QString>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "client/shell/launch_plan.h"
#include "client/shell/lobby_link.h"
#include "client/window/game_window.h"
#include "host/tserver.h"
#include "windows/replay/open_record_dialog.h"
#include "windows/side/tgamestart.h"
#include "windows/side/ttallylist.h"
#include "windows/small/tabout.h"
#include "windows/small/tdownload.h"
#include "windows/small/thelp.h"
#include "windows/small/tphrases.h"
#include "windows/small/tspylist.h"
#include "windows/summary/summary_window.h"
#include "windows/tally/tally_model.h"

namespace lexiflip::app {

class WindowRoles;

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
                const host::HostOptions& hostOptions, windows::LinkOpener opener = windows::openInSystem);
    ~LexiflipApp();

    // processparams: acts on the role; the download is offered over a solo
    // game when offerLobbyDownload, and the lobby link is opened after a
    // multi-player role was acted on. A component's error goes to the general
    // error report.
    void start(const client::LaunchPlan& plan, bool offerLobbyDownload);
    // start() for the window's own roles: what failed is returned (empty when
    // nothing did) for the dialog to say, not reported.
    std::string tryStart(const client::LaunchPlan& plan, bool offerLobbyDownload);
    // The role this copy plays now: Wait before any, and after leaving.
    client::LaunchPlan::Role role() const { return m_role; }

    // Leaves the current game as closing the program would, and keeps the
    // program: the window's bounds and settings and the tally are saved, the
    // window's connection ends, and a host in this copy closes (its joiners
    // see it go) and is replaced by a new one that does not listen yet. The
    // side windows stay. Then start() runs the next role.
    void leaveGame();

    // The summary of the game the window follows, or of the last one it
    // followed: made the first time it is asked for, so that start-up pays
    // nothing for it; nothing when no game was recorded yet (the chat says so).
    void openSummary();
    windows::SummaryWindow* summary() const { return m_summary.get(); }

    // The host in this copy; leaveGame() replaces it.
    host::TServer& server() { return *m_server; }
    // The File menu's roles, their dialogs and invite links.
    WindowRoles& roles() { return *m_roles; }

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

private:
    host::HostOptions m_hostOptions;
    std::unique_ptr<host::TServer> m_server;

public:
    windows::Tspylist spylist;
    windows::Ttallylist tallylist;
    windows::Tabout about;
    // File > Open Game Record...; each replay it opens is a window of its own,
    // deleted when closed.
    windows::OpenRecordDialog openRecord;
    client::LobbyLink lobbyLink;

private:
    client::LaunchPlan::Role m_role = client::LaunchPlan::Role::Wait;
    std::unique_ptr<windows::SummaryWindow> m_summary;
    // Where a game this copy hosts is kept; empty for none (no settings file).
    std::filesystem::path m_gameFile;
    // A kept game is offered once, when this copy first hosts.
    bool m_offerKeptGame = true;
    // Last: it uses every window above.
    std::unique_ptr<WindowRoles> m_roles;

    // A new host (not listening yet) in place of the current one; port
    // unset keeps the configured one.
    void replaceServer(std::optional<int> port);
    // Before the host listens: keeps its game in the game file, going on
    // with a game kept there when the player wants to (asked once a run).
    void keepHostedGame();
    void connectGameOptions();
    void connectSideWindows();
    void connectMenus();
    void connectReplays();
    // Opens the record's replay, or says why it cannot be.
    void openReplay(const QString& path);
};

// The players of a game window's client game, for the tally.
windows::PlayerList playersOf(const client::ClientGame& game);

} // namespace lexiflip::app
