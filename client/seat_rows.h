#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <array>

class QLabel;
class QWidget;

namespace lexiflip::client {

// The six seat rows of the right-hand column: name, score and bonus texts and
// the eyes marker of each seat, the turn frame around the current player's
// row, the sneaker marker and the NOT PLAYING banners of seats 5 and 6.
// Seats are numbered 1..6; other numbers are ignored.
class SeatRows : public QObject {
    Q_OBJECT

  public:
    static constexpr int kSeats = 6;
    static inline const QColor kNormalColour{0, 64, 128};
    static inline const QColor kTurnColour{255, 0, 0};

    explicit SeatRows(QWidget& panel);

    void setName(int seat, const QString& name);
    void setScore(int seat, const QString& score);
    void setBonus(int seat, const QString& bonus);
    void setEyes(int seat, bool shown);
    void setColour(int seat, const QColor& colour);
    // The turn frame moves to the seat's row; 0 hides it.
    void setTurn(int seat);
    // The sneaker marker sits in the seat's row; 0 hides it.
    void setSneaker(int seat);
    void setNotPlaying(bool shown);
    // Advances the sneaker's animation by one frame.
    void animateSneaker();

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
        QLabel* eyes = nullptr;
        bool onTurn = false;
    };
    static bool valid(int seat) { return seat >= 1 && seat <= kSeats; }
    void describe(int seat);

    std::array<Row, kSeats> m_rows;
    QWidget* m_turnFrame = nullptr;
    QLabel* m_sneaker = nullptr;
    QLabel* m_notPlaying[2] = {};
    int m_sneakerFrame = 0;
};

} // namespace lexiflip::client
