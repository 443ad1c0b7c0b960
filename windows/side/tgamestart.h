#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "client/settings/lexiflip_settings.h"
#include "wire/game_mode.h"
#include "wire/turn_time.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QToolButton;

namespace lexiflip::windows {

class TickBox;

// "Lexiflip - Game Start": the host's player sets the game's options and
// starts the game. Created once, then only shown and hidden; its values stay
// between games.
class Tgamestart : public QWidget {
    Q_OBJECT

public:
    static constexpr int kScoreMin = 100;
    static constexpr int kScoreMax = 500;
    // The time per turn the host keeps a game within.
    static constexpr int kTimeMin = wire::kTurnSecondsMin;
    static constexpr int kTimeMax = wire::kTurnSecondsMax;
    static constexpr int kStep = 5;

    explicit Tgamestart(QWidget* parent = nullptr);

    // Where Start sends its message (the client socket), and the name it
    // sends: the first command-line parameter, or "You" in a solo game.
    void setSender(std::function<void(std::string_view message)> send) { m_send = std::move(send); }
    void setPlayerName(std::string name) { m_playerName = std::move(name); }

    // The numbers as shown. Values from the settings file are taken as they are.
    int playToScore() const { return m_playToScore; }
    int creationTime() const { return m_creationTime; }
    void setPlayToScore(int score);
    void setCreationTime(int seconds);

    // Sets the named box to the opposite of the given state: 0 ticks it, any
    // other value unticks it.
    void checkbox(TickBox& box, int state);
    void cleargamemodes();
    // The selected mode digit (label_gamemode's tag): 0 before any choice.
    int gameMode() const { return m_gameMode; }
    void selectGameMode(int mode);

    TickBox& box_viewable() { return *m_viewable; }
    TickBox& box_4player() { return *m_fourPlayer; }

    // Sends the options as CMD_startgame and hides the dialog.
    void button_startClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    // Enter starts, Escape closes without starting; Up and Down step the
    // focused number as its arrows do.
    void keyPressEvent(QKeyEvent* event) override;

signals:
    // Start was pressed: the options may be saved.
    void started();

private:
    void stepScore(int direction);
    void stepTime(int direction);
    void showNumbers();

    std::function<void(std::string_view)> m_send;
    std::string m_playerName = "You";
    int m_playToScore = settings::Preferences{}.playtoscore;
    int m_creationTime = settings::Preferences{}.timeperturn;
    int m_gameMode = 0;

    QLineEdit* m_scoreEdit = nullptr;
    QLineEdit* m_timeEdit = nullptr;
    TickBox* m_viewable = nullptr;
    TickBox* m_fourPlayer = nullptr;
    std::array<TickBox*, wire::kGameModes.size()> m_modes{};
    QLabel* m_modeHeading = nullptr;
    QAbstractButton* m_start = nullptr;
};

} // namespace lexiflip::windows
