#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "client/session/client_session.h"
#include "client/session/reconnect_plan.h"
#include "client/game/client_screen.h"
#include "client/settings/lexiflip_settings.h"
#include "client/window/desktop_notice.h"
#include "core/clock.h"
#include "core/tally_calls.h"

namespace lexiflip::record {
class RecordFiles;
}

namespace lexiflip::client {

class ChatControls;
class ClientGame;
class GameRecorder;
class Tchat;
class TurnAttention;

// The game window as a whole: the main window Tchat, the session with the
// host and the client game between them. Host messages reach the game through
// the session; the game's changes reach the widgets through the screen
// interface implemented here, which reads the game's mirror back and hands
// each widget what it shows; the widgets' clicks become the game's moves.
class GameWindow : public QObject, private ClientScreen {
    Q_OBJECT

public:
    // Makes one of the window's clocks (the turn timer, the sneaker's frames,
    // the phrases' cool-down) from its tick handler. Unset means Qt's timers; tests hand in
    // clocks they step by hand, so that a picture of the window does not
    // depend on the wall clock.
    using ClockMaker = std::function<std::unique_ptr<core::Clock>(std::function<void()> tick)>;

    // tally: where the game's finished games and scored words go; without
    // one they are tallied nowhere.
    GameWindow(std::uint64_t shuffleSeed, core::TallyCalls& tally, const ClockMaker& makeClock = {});
    explicit GameWindow(std::uint64_t shuffleSeed, const ClockMaker& makeClock = {});
    ~GameWindow() override;

    Tchat& window() { return *m_window; }
    ClientSession& session() { return m_session; }
    const ClientGame& game() const { return *m_game; }
    // The record of the game this window follows, or of the last one.
    const GameRecorder& recorder() const { return *m_recorder; }
    // The chat column: typed chat, phrases, chatter sounds, links and the
    // chat's options, with the setters and signals the settings use.
    ChatControls& chat() { return *m_chat; }

    // A line in the system colour ("Loading Solo Game..Please wait.").
    void addSystemLine(const std::string& line);
    // The player's name, sent at login and with the game options.
    void setPlayerName(const std::string& name);
    // A notice of the host of this copy ("Invalid Letter (3)"): a line of the
    // chat in the system colour, never a dialog that would stop the game.
    void addHostNotice(const QString& notice);
    // This copy hosts: the client connects to its own host on 127.0.0.1.
    void hostpress(int port);
    // This copy joins the host at address.
    void joinpress(const std::string& address, int port);
    // Leaves the game as closing the window would, and keeps the window: the
    // bounds and settings are saved, the connection ends without a word (a
    // host in this copy is its owner's to end), and the table is bare again
    // for the next hostpress or joinpress.
    void leaveGame();
    // Whether a game runs at this table: a turn was announced and no winner.
    bool gameRunning() const;
    // While a join started from the window waits for the player's arrival,
    // a host that turns him away or closes does not close the window: it is
    // reported as joinLost() for the join dialog to say.
    void setJoinPending(bool pending) { m_joinPending = pending; }

    // The connection to the host closed without the player asking (a reset,
    // a time-out, the host gone): the window keeps the game as it was and
    // logs in again by itself, as a late joiner, after the plan's pauses;
    // then it offers Leave Game and Try Again. Never after "Game is full",
    // a removal by the host or Leave Game.
    //
    // Whether the window has no connection to its host it means to keep:
    // it is trying to get one back, gave up, or the host removed it.
    bool hostLost() const { return m_link != Link::Up; }
    bool reconnecting() const { return m_link == Link::Retrying || m_link == Link::Rejoining; }
    // Connected again, the table is being caught up afresh.
    bool rejoining() const { return m_link == Link::Rejoining && !m_freshConnection; }
    void setReconnectPlan(const ReconnectPlan& plan) { m_reconnectPlan = plan; }
    // The box that offers Leave Game and Try Again once the plan ran out;
    // it never blocks the window.
    QMessageBox* reconnectOffer() const { return m_reconnectOffer; }
    // How long a running game's host may be silent before the window takes
    // it for gone: by default the turn's seconds and kHostSilenceMarginMs;
    // a value of 0 or more here is used instead (tests).
    void setHostSilenceLimitMs(int milliseconds) { m_fixedSilenceMs = milliseconds; }
    // A healthy host ends every turn by its clock within the turn's seconds
    // and the four the building phase adds; this leaves room for a loaded
    // machine.
    static constexpr int kHostSilenceMarginMs = 20000;

    // The application shell (game_window_shell.cpp): the preferences and
    // their file, phrases, the watcher list, the close path.
    //
    // The settings file this window reads when its own arrival is announced
    // and writes after each option change; without one nothing is read or
    // written.
    void setSettingsFile(const std::filesystem::path& path);
    settings::SettingsFile& settings() { return m_settings; }
    // The options, one model: the menus show it and report the player's
    // choices to it, the parts that follow it are handed it after each change,
    // and saveinifile writes it.
    const settings::Preferences& preferences() const { return m_settings.preferences(); }
    // saveinifile: writes the preferences. Nothing is written before the
    // settings were read in this run.
    void saveinifile();
    // The nine phrases of the phrase buttons, phrase 1 first; their home is
    // the chat's.
    QStringList phrases() const;
    void setPhrases(const QStringList& phrases);
    // The phrase editor's "Done": the phrases take effect and are kept in the
    // settings file (Phrase1..Phrase9 only).
    void applyEditedPhrases(const QStringList& phrases);
    // The watcher list's "Remove From Game" on the watcher in slot.
    void kickWatcher(int slot);
    // The settings could not be saved as the window closed (said on standard
    // error then): the program's exit status reports it.
    bool saveFailedAtClose() const { return m_saveFailedAtClose; }

signals:
    // The start button or "Start Game" while logged in: the options dialog opens.
    void gameOptionsRequested();
    // The start was taken back (slot 1 learnt from its catch-up that a game
    // runs): an options dialog opened meanwhile closes unsent.
    void gameOptionsWithdrawn();
    // "Bot Speed": the host's computer players' step in milliseconds.
    void botSpeedChosen(int milliseconds);
    // "Klot's Strength": how well the host's computer plays (the engine's
    // ComputerStrength as a number: 0 Classic, 1 Strong, 2 Expert).
    void klotStrengthChosen(int strength);
    // Open the Port on My Router was switched on or off from the menu.
    void routerPortChosen(bool open);
    // The settings were read and applied to this window; the options dialog
    // takes its values from settings().preferences().
    void settingsRead();
    // This copy's player is the host's (hostpress, or slot 1 of a windowless host).
    void hostRoleTaken();
    // The client game's watcher list changed (game().roster().watchers()).
    void watcherListChanged();
    // The logo on the game area was clicked.
    void logoClicked();
    // The main window closed (after saving its bounds): the program ends.
    void windowClosed();
    // The host announced this window's own player at the table.
    void arrived();
    // A pending join ended before the arrival: turnedAway when the host said
    // the game is full. Emitted while a host message is handled: a receiver
    // that leaves the game connects with Qt::QueuedConnection.
    void joinLost(bool turnedAway);
    // The host said that it runs another version of the game (once a game).
    void hostVersionDiffers();
    // The window logged in again after a lost connection and is at the table.
    void reconnected();

private:
    // The screen interface.
    void boardCellChanged(int x, int y) override;
    void boardChanged() override;
    void barTileChanged(int position) override;
    void barChanged() override;
    void wordTileChanged(int position) override;
    void wordChanged() override;
    void statusChanged() override;
    void buttonsChanged() override;
    void timerChanged() override;
    void theirTilesChanged() override;
    void sneakerChanged() override;
    void turnFrameChanged() override;
    void winnerChanged() override;
    void gameOptionsChanged() override;
    void seatChanged(int seat) override;
    void justWatchChanged() override;
    void playsounds(Sound sound) override;
    void addlinetochat(std::string_view line, wire::Colour colour) override;
    void systemLine(std::string_view line) override;
    void messageBox(std::string_view text) override;
    void closeWindow() override;
    void openGameOptions() override;
    void loadinifile() override;
    void watchersChanged() override;
    void becameHostsPlayer() override;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void handleMessage(std::string_view message);
    // The close path's save of the bounds; false when it failed.
    bool saveBoundsAsClosing();
    void connectShell();
    void applyPreferences();
    void showPreferences();
    void saySaveFailed();
    void sayFileProblem(const std::string& text);

    void showEverything();
    void connectMoves();

    // The reconnection (game_window_reconnect.cpp).
    enum class Link {
        Up,        // connected, or not yet asked to connect
        Retrying,  // lost: waiting for the next attempt, or connecting
        Rejoining, // connected again, waiting to be announced at the table
        GaveUp,    // the plan ran out: the offer is shown
        Removed,   // the host removed this player: never again
    };
    void connectReconnection();
    void connectionClosed();
    void startReconnecting();
    void scheduleAttempt();
    void attemptFailed();
    void stopReconnecting(Link link);
    // The first message of a new connection: the table starts afresh.
    void rejoinStarted();
    bool rejoinArrived();
    void giveUp();
    void followSilenceLimit();
    void openSeatMenu(int seat, QPoint globalPosition);

    ClientSession m_session;
    std::unique_ptr<core::Clock> m_turntime;
    std::unique_ptr<core::Clock> m_sneakerClock;
    std::unique_ptr<core::Clock> m_phraseCooldown;
    std::unique_ptr<Tchat> m_window;
    // Before the game, which hands the recorder every message it handled.
    std::unique_ptr<record::RecordFiles> m_recordFiles;
    std::unique_ptr<GameRecorder> m_recorder;
    std::unique_ptr<ClientGame> m_game;
    std::unique_ptr<ChatControls> m_chat;
    DesktopNotice m_notice;
    std::unique_ptr<TurnAttention> m_attention;
    bool m_closeAfterBox = false;
    bool m_joinPending = false;
    bool m_versionDifferenceSaid = false;
    bool m_overrun = false;

    std::string m_hostAddress;
    int m_hostPort = 0;
    bool m_hostsHere = false;
    Link m_link = Link::Up;
    ReconnectPlan m_reconnectPlan;
    int m_attempt = 0;
    QTimer m_retryTimer;
    QTimer m_attemptTimer;
    bool m_freshConnection = false;
    bool m_watchAgain = false;
    int m_fixedSilenceMs = -1;
    QPointer<QMessageBox> m_reconnectOffer;

    settings::SettingsFile m_settings{{}};
    bool m_hasSettingsFile = false;
    bool m_saveFailedAtClose = false;
};

} // namespace lexiflip::client
