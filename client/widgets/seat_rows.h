#pragma once

#include <QColor>
#include <QLabel>
#include <QObject>
#include <QString>

#include <array>

#include "wire/game_size.h"

class QWidget;

namespace lexiflip::client {

class PictureView;

// What one seat row shows.
struct SeatLook {
    QString name;
    QString score;
    QString bonus;
    QColor colour;
    bool nameShown = true;
    bool scoreShown = true;
    bool eyes = false;
    bool onTurn = false;
};

// A seat's name. The seat menu is asked for here in every way a player has:
// a right click, the menu keys while the row has the keyboard, and a screen
// reader's action, so that all of them open the one menu.
class SeatName : public QLabel {
    Q_OBJECT

public:
    SeatName(int seat, QWidget& panel);

    // Asks for the seat menu below the name, where the keyboard is.
    void askMenu();

signals:
    void menuAsked(QPoint globalPosition);
    // Up (-1) or Down (+1) while the row has the keyboard.
    void stepAsked(int step);
    void focusChanged(bool focused);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// The six seat rows of the right-hand column: name, score and bonus texts and
// the eyes marker of each seat, the turn frame around the current player's
// row, the sneaker marker and the NOT PLAYING banners of seats 5 and 6.
// Seats are numbered 1..6; other numbers are ignored.
//
// The rows take the keyboard only when asked (F6), never by a click; while a
// row has it, a ring like the board's cursor marks that row.
class SeatRows : public QObject {
    Q_OBJECT

public:
    static constexpr int kSeats = wire::kSeatCount;

    explicit SeatRows(QWidget& panel);

    void showSeat(int seat, const SeatLook& look);
    // The turn frame moves to the seat's row; 0 hides it.
    void setTurn(int seat);
    // The sneaker marker in a seat's row, at one frame of its animation.
    void setSneaker(int seat, int frame, bool shown);
    void setNotPlaying(bool shown);

    QString name(int seat) const;
    SeatName& nameLabel(int seat) { return *m_rows[seat - 1].name; }

    // Gives the keyboard to the row that last had it, else to the first shown
    // row; false when no row is shown.
    bool takeFocus();
    bool hasFocus() const;

signals:
    // A right click on a seat's name (the seat menu).
    void seatMenuRequested(int seat, QPoint globalPosition);

private:
    struct Row {
        SeatName* name = nullptr;
        QLabel* score = nullptr;
        QLabel* bonus = nullptr;
        PictureView* eyes = nullptr;
    };
    static bool valid(int seat) { return seat >= 1 && seat <= kSeats; }
    void step(int from, int step);
    void showRing(int seat, bool focused);
    void raiseRing();

    std::array<Row, kSeats> m_rows;
    PictureView* m_turnFrame = nullptr;
    PictureView* m_sneaker = nullptr;
    PictureView* m_notPlaying[2] = {};
    QWidget* m_ring = nullptr;
    int m_keySeat = 1;
};

} // namespace lexiflip::client
