#pragma once

#include <QString>

#include <array>
#include <memory>

#include "client/widgets/screen_layout.h"
#include "windows/replay/replay_model.h"
#include "windows/small/small_window.h"

class QLabel;
class QPushButton;
class QSlider;

namespace lexiflip::client {
class BoardView;
}

namespace lexiflip::windows {

// "Lexiflip - Game Replay": a recorded game, one step at a time. The board is
// the game's own board widget over the game's own well, so it looks, scales
// and reads to a screen reader as the game's does (80 cells named by what they
// show, each change told); beside it every seat's score at that step and what
// the step was. It only reads the record it was given: it has no link to a
// game, and a press on a cell does nothing.
//
// Keyboard: Left and Right step back and on, Home and End go to the first and
// last step, whichever control has the focus; Ctrl++, Ctrl+- and Ctrl+0 zoom
// the board as the game window's View menu does; Escape closes.
class ReplayWindow : public SmallWindow {
    Q_OBJECT

public:
    ReplayWindow(ReplayModel model, const QString& fileName, QWidget* parent = nullptr);
    ~ReplayWindow() override;

    int step() const { return m_step; }
    int stepCount() const { return m_model.stepCount(); }
    void showStep(int step);

    // The board's size follows the game window's zoom; the replay's own keys
    // change it from there.
    void setZoom(client::Zoom zoom);
    client::Zoom zoom() const;

    client::BoardView& board() const { return *m_board; }

signals:
    void stepShown(int step);

private:
    void buildBoard(QWidget& holder);
    void buildControls();
    void buildKeys();
    void fitBoardHolder();

    ReplayModel m_model;
    int m_step = -1;
    ReplayFrame m_frame; // the step shown
    QWidget* m_boardHolder = nullptr;
    client::BoardView* m_board = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_stepText = nullptr;
    QLabel* m_event = nullptr;
    std::array<QLabel*, wire::kSeatCount> m_seats{};
    QSlider* m_slider = nullptr;
    QPushButton* m_first = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_last = nullptr;
};

// Reads the record in path and opens its replay at zoom (shown, deleted when
// closed); null with the reason in problem when the file cannot be replayed.
ReplayWindow* openReplayWindow(const QString& path, QWidget* parent, client::Zoom zoom, QString& problem);

} // namespace lexiflip::windows
