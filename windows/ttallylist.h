#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <string_view>

#include "client/game/tally_calls.h"
#include "windows/tally/tally.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMessageBox;
class QPushButton;

namespace lexiflip::client {
class ClientGame;
}

namespace lexiflip::windows {

// "Lexiflip - Tally List": games and wins against the opponents the player
// follows, the own totals and best word. Created once at start-up, loaded from
// the tally file, fed by the game through TallyCalls, shown by "View Tally"
// and saved when the program ends.
//
//     Ttallylist tallylist;                     // at start-up, hidden
//     tallylist.setPlayerList([&] { return playersOf(game); });
//     tallylist.loadtallyfile(client::appFilePath("Lexifliptally.tld"));
//     ... ClientGame gets tallylist as its TallyCalls ...
//     "View Tally": tallylist.viewTally();
//     at exit (after the event loop): tallylist.savetally();
class Ttallylist : public QWidget, public client::TallyCalls {
    Q_OBJECT

public:
    explicit Ttallylist(QWidget* parent = nullptr);
    ~Ttallylist() override;

    // Where the players of the current game come from (the main window's
    // player list). Without it the current game has no other players.
    void setPlayerList(std::function<PlayerList()> players) { m_players = std::move(players); }
    // Asks the player a Yes/No question; true for Yes. A modal box by default.
    void setConfirmation(std::function<bool(const QString& question)> ask) { m_ask = std::move(ask); }

    // Start-up: reads the tally file and remembers it for savetally. A damaged
    // file is moved aside and its problem shown in a message box that does not
    // block (open()); the text is also returned, empty when all was read.
    QString loadtallyfile(const QString& path);
    // End of the program: writes the tally over the file read at start-up.
    // A failure is not shown here (no window is left at exit); its text is
    // returned, empty on success.
    QString savetally();
    QString tallyFilePath() const { return m_path; }

    // "View Tally": refreshes "Players In Current Game" and shows the window.
    void viewTally();

    // What a game feeds.
    void addgame(std::string_view winner) override;
    void addtomineincrease(int column) override;
    void addtomineset(int column, int points, std::string_view word) override;

    void loadchecklist();
    void moverow(int row);
    const Tally& tally() const { return m_tally; }
    // The box loadtallyfile opened, while it is open.
    QMessageBox* problemBox() const { return m_problemBox; }

    void button_resetClick();
    void button_doneClick() { close(); }

private:
    void buildControls();
    // Copies the tally's lists and texts into the controls.
    void refresh();
    void refreshTexts();
    void refreshLists();
    void onTalliedChanged(QListWidgetItem* item);
    void onChecklistChanged(QListWidgetItem* item);
    PlayerList players() const;
    bool ask(const QString& question);

    Tally m_tally;
    QString m_path;
    std::function<PlayerList()> m_players;
    std::function<bool(const QString&)> m_ask;

    std::array<QLabel*, 4> m_mylabels{};
    std::array<QLabel*, 8> m_labels{};
    QLabel* m_hisname = nullptr;
    QLabel* m_hisnametop = nullptr;
    QListWidget* m_listboxTally = nullptr;
    QListWidget* m_checklist = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_done = nullptr;
    QMessageBox* m_problemBox = nullptr;
};

// The player list of a game window's client game, for setPlayerList.
PlayerList playersOf(const client::ClientGame& game);

} // namespace lexiflip::windows
