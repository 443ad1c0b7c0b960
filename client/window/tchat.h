#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <array>
#include <memory>

#include "client/game/key_moves.h"
#include "client/widgets/screen_layout.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace lexiflip::client {

class BoardView;
class ChatView;
class MainMenu;
class PhraseButtons;
class PictureButton;
class PictureView;
class SeatRows;
class SoundPlayer;
class TurnTimerView;
class ZoomControl;

// The main window: the game area on the left, the seat rows and the chat on
// the right, and the menu bar. It composes one small widget per job, shows
// what it is told and reports what the player asked for; it knows no rule of
// the game.
class Tchat : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kWordPositions = layout::kWordPositions;
    static constexpr int kBarPositions = layout::kBarPositions;

    explicit Tchat(QWidget* parent = nullptr);
    ~Tchat() override;

    MainMenu& menu() { return *m_menu; }
    BoardView& board() { return *m_board; }
    SeatRows& seats() { return *m_seats; }
    TurnTimerView& timer() { return *m_timer; }
    ChatView& chatView() { return *m_chatView; }
    QLineEdit& chatEntry() { return *m_chatEntry; }
    PhraseButtons& phraseButtons() { return *m_phraseButtons; }
    SoundPlayer& sounds() { return *m_sounds; }
    ZoomControl& zoom() { return *m_zoom; }

    // The game area.
    void setHeader(const QString& timePerTurn, const QString& gameMode, const QString& playToScore);
    void setStatus(const QString& text);
    QString status() const;
    void setWordTile(int position, int picture, bool doubled);
    void setBarTile(int position, int picture, QPoint topLeft);
    void setButtonsShown(bool shown);
    void setStartShown(bool shown);
    void setTheirTiles(const QString& caption, const std::array<int, kBarPositions>& pictures, bool shown);
    void setWinner(const QString& text, bool shown);
    // F6: the keyboard goes from the chat entry to the game area, on to the
    // seat rows, and back to the chat entry.
    void focusNextArea();

    // A message box without a nested event loop; hostBoxClosed() follows its
    // closing. The caller asks for at most one at a time; a box asked for
    // while one is open replaces its text.
    void showHostBox(const QString& text);
    QMessageBox* hostBox() const { return m_hostBox; }

signals:
    // What the player asked for.
    void boardClicked(int column, int row, Qt::MouseButton button);
    // A key of the game area; the window turns it into a move.
    void gameKeyPressed(lexiflip::client::KeyPress press);
    void barClicked(int position, Qt::MouseButton button);
    void wordClicked(int position);
    void doneClicked();
    void clearClicked();
    void passClicked();
    void buyClicked();
    void shuffleClicked();
    void startClicked();
    void justWatchClicked();
    void seatMenuRequested(int seat, QPoint globalPosition);
    void hostBoxClosed();
    // The button on the winner's banner: the game's summary.
    void summaryClicked();

private:
    void buildGameArea();
    void buildHeaderAndWordRow();
    void buildButtons();
    void buildTheirStrip();
    void buildWinnerBanner();
    void buildBoardAndBar();
    void buildLogoStartAndSeats();
    void buildChat();
    void wireMenu();

    std::unique_ptr<MainMenu> m_menu;
    QWidget* m_panel = nullptr;
    QLabel* m_timePerTurn = nullptr;
    QLabel* m_gameMode = nullptr;
    QLabel* m_playToScore = nullptr;
    QLabel* m_status = nullptr;
    std::array<PictureView*, kWordPositions> m_word{};
    std::array<PictureView*, kWordPositions> m_double{};
    std::array<PictureView*, kBarPositions> m_bar{};
    std::array<PictureButton*, 4> m_buttons{};
    PictureButton* m_shuffle = nullptr;
    PictureButton* m_start = nullptr;
    PictureView* m_logo = nullptr;
    TurnTimerView* m_timer = nullptr;
    QWidget* m_theirStrip = nullptr;
    QLabel* m_theirCaption = nullptr;
    std::array<PictureView*, kBarPositions> m_theirTiles{};
    QWidget* m_winnerBanner = nullptr;
    QLabel* m_winnerText = nullptr;
    QPushButton* m_summaryButton = nullptr;
    BoardView* m_board = nullptr;
    SeatRows* m_seats = nullptr;
    ChatView* m_chatView = nullptr;
    QLineEdit* m_chatEntry = nullptr;
    PhraseButtons* m_phraseButtons = nullptr;
    SoundPlayer* m_sounds = nullptr;
    ZoomControl* m_zoom = nullptr;
    QPointer<QMessageBox> m_hostBox;
};

} // namespace lexiflip::client
