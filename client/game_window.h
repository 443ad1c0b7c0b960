#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

#include "client/client_session.h"
#include "client/game/client_screen.h"
#include "client/game/tally_calls.h"
#include "net/qt_clock.h"

namespace lexiflip::net {
class TServer;
}

namespace lexiflip::client {

class ClientGame;
class Tchat;

// The game window as a whole: the main window Tchat, the session with the
// host and the client game between them. Host messages reach the game through
// the session; the game's changes reach the widgets through the screen
// interface implemented here, which reads the game's mirror back and hands
// each widget what it shows; the widgets' clicks become the game's moves.
class GameWindow : public QObject, private ClientScreen {
    Q_OBJECT

  public:
    explicit GameWindow(std::uint64_t shuffleSeed);
    ~GameWindow() override;

    Tchat& window() { return *m_window; }
    ClientSession& session() { return m_session; }
    const ClientGame& game() const { return *m_game; }

    // A line in the system colour ("Loading Solo Game..Please wait.").
    void addSystemLine(const std::string& line);
    // The player's name, sent at login and with the game options.
    void setPlayerName(const std::string& name);
    // The host of this copy: its notices ("Invalid Letter (3)") become lines
    // of the chat in the system colour, never a dialog that would stop it, and
    // "Bot Speed" sets its computer players' pace.
    void attachHost(net::TServer& server);
    // This copy hosts: the client connects to its own host on 127.0.0.1.
    void hostpress(int port);
    // This copy joins the host at address.
    void joinpress(const std::string& address, int port);

  signals:
    // The start button or "Start Game" while logged in: the options dialog opens.
    void gameOptionsRequested();
    // "Bot Speed": the host's computer players' step in milliseconds.
    void botSpeedChosen(int milliseconds);

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
    void playsounds(std::string_view name) override;
    void addlinetochat(std::string_view line, wire::Colour colour) override;
    void messageBox(std::string_view text) override;
    void closeWindow() override;
    void openGameOptions() override;

    void showEverything();
    void connectMoves();
    void openSeatMenu(int seat, QPoint globalPosition);
    void afterMessage();

    ClientSession m_session;
    NoTally m_tally;
    net::QtClock m_turntime;
    net::QtClock m_sneakerClock;
    std::unique_ptr<Tchat> m_window;
    std::unique_ptr<ClientGame> m_game;
    bool m_closeAfterBox = false;
};

} // namespace lexiflip::client
