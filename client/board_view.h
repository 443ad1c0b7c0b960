#pragma once

#include <QWidget>

#include <functional>

#include "client/board_geometry.h"

namespace lexiflip::client {

// What a cell shows: a picture of imagelist_letters, and one drawn on top of
// it (0 for none in either).
struct CellLook {
    int picture = 0;
    int overlay = 0;
};

// paintbox_board: the 80 cells of the board, each drawn from the client's
// mirror through the look function. A change repaints only its own cell. A
// click is translated to its cell once, here, and passed on.
class BoardView : public QWidget {
    Q_OBJECT

  public:
    using LookFunction = std::function<CellLook(BoardCell cell)>;

    explicit BoardView(QWidget* parent = nullptr);

    void setLook(LookFunction look) { m_look = std::move(look); }
    // Asks for one cell to be drawn again from the mirror.
    void updateCell(BoardCell cell) { update(cellRect(cell)); }

    QSize sizeHint() const override { return {kBoardWidth, kBoardHeight}; }

  signals:
    void cellClicked(int column, int row, Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    LookFunction m_look;
};

} // namespace lexiflip::client
