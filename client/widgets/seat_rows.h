#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <array>

#include "net/wire/game_size.h"

class QLabel;
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

// The six seat rows of the right-hand column: name, score and bonus texts and
// the eyes marker of each seat, the turn frame around the current player's
// row, the sneaker marker and the NOT PLAYING banners of seats 5 and 6.
// Seats are numbered 1..6; other numbers are ignored.
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
    QLabel& nameLabel(int seat) { return *m_rows[seat - 1].name; }

signals:
    // A right click on a seat's name (the seat menu).
    void seatMenuRequested(int seat, QPoint globalPosition);

private:
    struct Row {
        QLabel* name = nullptr;
        QLabel* score = nullptr;
        QLabel* bonus = nullptr;
        PictureView* eyes = nullptr;
    };
    static bool valid(int seat) { return seat >= 1 && seat <= kSeats; }

    std::array<Row, kSeats> m_rows;
    PictureView* m_turnFrame = nullptr;
    PictureView* m_sneaker = nullptr;
    PictureView* m_notPlaying[2] = {};
};

} // namespace lexiflip::client
