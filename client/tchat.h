#pragma once

#include <QColor>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

#include "client/board_view.h"

class QLabel;
class QLineEdit;
class QTextEdit;
class QTimer;

namespace lexiflip::client {

class MainMenu;
class PictureButton;
class SeatRows;
class TilePicture;
class TimerView;

// The main window: the game area on the left, the seat rows and the chat on
// the right, and the menu bar. It composes one small widget per job and only
// shows what it is told; the rules live in the client game.
class Tchat : public QMainWindow {
    Q_OBJECT

  public:
    // The colour of every line the client adds itself: pure blue.
    static inline const QColor kSystemColour{0, 0, 255};
    static constexpr int kWordPositions = 10;
    static constexpr int kBarPositions = 7;

    explicit Tchat(QWidget* parent = nullptr);
    ~Tchat() override;

    MainMenu& menu() { return *m_menu; }
    BoardView& board() { return *m_board; }
    SeatRows& seats() { return *m_seats; }
    TimerView& timer() { return *m_timer; }

    // The game area, as the client game changes it.
    void setHeader(const QString& timePerTurn, const QString& gameMode, const QString& playToScore);
    void setTimePerTurnText(const QString& text);
    void setGameModeText(const QString& text);
    void setPlayToScoreText(const QString& text);
    void setStatus(const QString& text);
    QString status() const;
    void setWordPicture(int position, int picture);
    void setDoubleMarker(int position, bool shown);
    void setBarPicture(int position, int picture);
    void setBarLifted(int position, bool lifted);
    // Bar positions keep their numbers; only where their pictures stand changes.
    void swapBarPictures(int first, int second);
    void resetBarPictures();
    void setButtonsShown(bool shown);
    void setStartShown(bool shown);
    void setTheirTiles(const QString& caption);
    void setTheirTile(int position, int picture);
    void setTheirTilesShown(bool shown);
    void setWinner(const QString& text);
    void setWinnerShown(bool shown);
    int barLeft(int position) const;

    // The chat view.
    void addlinetochat(const QString& line, const QColor& colour);
    // A message box raised by a host message: shown without blocking, and
    // never more than one at a time (a newer text replaces the open one's).
    void showHostBox(const QString& text);
    // A message box that answers the player's own click.
    void showPlayerBox(const QString& text);

    // Sounds of game events, silent while "Play Sounds" is off.
    void playsounds(const QString& name);
    bool soundsOn() const;

    // Test hooks: the open host box, the chat's plain text.
    QMessageBox* hostBox() const { return m_hostBox; }
    QString chatText() const;

  signals:
    // The board, a bar tile, a word position or a button was clicked.
    void boardClicked(int column, int row, Qt::MouseButton button);
    void barClicked(int position, Qt::MouseButton button);
    void wordClicked(int position);
    void doneClicked();
    void clearClicked();
    void passClicked();
    void buyClicked();
    void shuffleClicked();
    void startClicked();
    void justWatchClicked(bool checked);
    void botSpeedChosen(int milliseconds);
    void soundPlayed(const QString& name);

  private:
    void buildGameArea();
    void buildChat();
    void wireMenu();
    void setTextSize(int points);

    std::unique_ptr<MainMenu> m_menu;
    QWidget* m_panel = nullptr;
    QLabel* m_timePerTurn = nullptr;
    QLabel* m_gameMode = nullptr;
    QLabel* m_playToScore = nullptr;
    QLabel* m_status = nullptr;
    std::array<TilePicture*, kWordPositions> m_word{};
    std::array<QLabel*, kWordPositions> m_double{};
    std::array<TilePicture*, kBarPositions> m_bar{};
    std::array<PictureButton*, 4> m_buttons{};
    PictureButton* m_shuffle = nullptr;
    PictureButton* m_start = nullptr;
    TimerView* m_timer = nullptr;
    QWidget* m_theirStrip = nullptr;
    QLabel* m_theirCaption = nullptr;
    std::array<TilePicture*, kBarPositions> m_theirTiles{};
    QWidget* m_winnerBanner = nullptr;
    QLabel* m_winnerText = nullptr;
    QLabel* m_winnerShadow = nullptr;
    BoardView* m_board = nullptr;
    SeatRows* m_seats = nullptr;
    QTextEdit* m_chatView = nullptr;
    QLineEdit* m_chatEntry = nullptr;
    QTimer* m_sneakerAnimation = nullptr;
    QPointer<QMessageBox> m_hostBox;
};

} // namespace lexiflip::client
