#include "client/widgets/board_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "client/media/pictures.h"
#include "client/widgets/zoomed_place.h"

namespace lexiflip::client {

BoardView::BoardView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("paintbox_board"));
    setAccessibleName(QStringLiteral("Board"));
    setFixedSize(layout::kBoardSurface.size());
}

QRect BoardView::cellRect(CellAddress cell) const
{
    return client::cellRect(cell, zoomOf(*this));
}

std::optional<CellAddress> BoardView::cellAt(QPoint point) const
{
    return client::cellAt(point, zoomOf(*this));
}

QSize BoardView::sizeHint() const
{
    return zoomOf(*this).scaled(layout::kBoardSurface.size());
}

void BoardView::paintEvent(QPaintEvent* event)
{
    if (!m_pictureOf)
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    const Zoom zoom = zoomOf(*this);
    for (int row = 1; row <= layout::kBoardRows; ++row) {
        for (int column = 1; column <= layout::kBoardColumns; ++column) {
            const CellAddress cell{column, row};
            const QRect target = cellRect(cell);
            if (!event->region().intersects(target))
                continue;
            if (const int picture = m_pictureOf(cell); picture != 0)
                painter.drawPixmap(target.topLeft(), letterPicture(picture, ratio, zoom));
        }
    }
}

void BoardView::mouseReleaseEvent(QMouseEvent* event)
{
    if (const auto cell = cellAt(event->position().toPoint()))
        emit cellClicked(cell->column, cell->row, event->button());
}

} // namespace lexiflip::client
