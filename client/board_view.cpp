#include "client/board_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "client/tile_art.h"

namespace lexiflip::client {

BoardView::BoardView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("paintbox_board"));
    setAccessibleName(QStringLiteral("Board"));
    setFixedSize(kBoardWidth, kBoardHeight);
    // The background picture under the surface shows through empty cells.
    setAttribute(Qt::WA_TranslucentBackground);
}

void BoardView::paintEvent(QPaintEvent* event)
{
    if (!m_look)
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    for (int row = 1; row <= kBoardRows; ++row) {
        for (int column = 1; column <= kBoardColumns; ++column) {
            const BoardCell cell{column, row};
            const QRect target = cellRect(cell);
            if (!event->region().intersects(target))
                continue;
            const CellLook look = m_look(cell);
            if (look.picture != 0)
                painter.drawPixmap(target.topLeft(), letterPicture(look.picture, ratio));
            if (look.overlay != 0)
                painter.drawPixmap(target.topLeft(), letterPicture(look.overlay, ratio));
        }
    }
}

void BoardView::mouseReleaseEvent(QMouseEvent* event)
{
    if (const auto cell = cellAt(event->position().toPoint()))
        emit cellClicked(cell->column, cell->row, event->button());
}

} // namespace lexiflip::client
