#pragma once

#include <QWidget>

#include <functional>

#include "client/widgets/screen_layout.h"

namespace lexiflip::client {

// paintbox_board: the 80 cells of the board, each drawn from the client's
// mirror as one picture of imagelist_letters (0 draws nothing, so the slot
// painted under the surface shows). A change repaints only its own cell. A
// click is translated to its cell once, here, and passed on.
class BoardView : public QWidget {
    Q_OBJECT

public:
    // The picture a cell shows now.
    using PictureOf = std::function<int(CellAddress cell)>;

    explicit BoardView(QWidget* parent = nullptr);

    void setPictureOf(PictureOf pictureOf) { m_pictureOf = std::move(pictureOf); }
    // Asks for one cell to be drawn again from the mirror.
    void updateCell(CellAddress cell) { update(cellRect(cell)); }

    QSize sizeHint() const override { return layout::kBoardSurface.size(); }

signals:
    void cellClicked(int column, int row, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PictureOf m_pictureOf;
};

} // namespace lexiflip::client
