#pragma once

#include <QWidget>

#include <functional>

#include "client/game/key_moves.h"
#include "client/widgets/screen_layout.h"

namespace lexiflip::client {

// paintbox_board: the 80 cells of the board, each drawn from the client's
// mirror as one picture of imagelist_letters (0 draws nothing, so the slot
// painted under the surface shows). A change repaints only its own cell. A
// click is translated to its cell once, here, and passed on. The cells are
// the layout's at the window's zoom: the two members below are what the paint
// and click code of the board use.
//
// With the keyboard focus it shows a cursor on one cell and hands the game
// area's keys on as plain key presses; the cursor shows only while it has the
// focus, so a board played by mouse looks as it always has.
class BoardView : public QWidget {
    Q_OBJECT

public:
    // The picture a cell shows now.
    using PictureOf = std::function<int(CellAddress cell)>;

    explicit BoardView(QWidget* parent = nullptr);

    void setPictureOf(PictureOf pictureOf) { m_pictureOf = std::move(pictureOf); }
    // Asks for one cell to be drawn again from the mirror.
    void updateCell(CellAddress cell);

    int pictureAt(CellAddress cell) const { return m_pictureOf ? m_pictureOf(cell) : 0; }
    BoardCursor cursor() const { return m_cursor; }
    void setCursor(BoardCursor cursor);
    // What a click on the cell does, for the keyboard and assistive technology.
    void activateCell(CellAddress cell) { emit cellClicked(cell.column, cell.row, Qt::LeftButton); }

    // A cell's rectangle on this surface, and the cell under a point of it,
    // at the window's zoom.
    QRect cellRect(CellAddress cell) const;
    std::optional<CellAddress> cellAt(QPoint point) const;

    QSize sizeHint() const override;

signals:
    void cellClicked(int column, int row, Qt::MouseButton button);
    // A key of the game area, pressed while the board has the focus.
    void keyPressed(lexiflip::client::KeyPress press);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void paintCursor(QPainter& painter) const;
    void tellCursorFocus();

    PictureOf m_pictureOf;
    BoardCursor m_cursor;
};

} // namespace lexiflip::client
