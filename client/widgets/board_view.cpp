#include "client/widgets/board_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "client/media/pictures.h"

namespace lexiflip::client {

BoardView::BoardView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("paintbox_board"));
    setAccessibleName(QStringLiteral("Board"));
    setFixedSize(layout::kBoardSurface.size());
}

void BoardView::paintEvent(QPaintEvent* event)
{
    if (!m_pictureOf)
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    for (int row = 1; row <= layout::kBoardRows; ++row) {
        for (int column = 1; column <= layout::kBoardColumns; ++column) {
            const CellAddress cell{column, row};
            const QRect target = cellRect(cell);
            if (!event->region().intersects(target))
                continue;
            if (const int picture = m_pictureOf(cell); picture != 0)
                painter.drawPixmap(target.topLeft(), letterPicture(picture, ratio));
        }
    }
}

void BoardView::mouseReleaseEvent(QMouseEvent* event)
{
    if (const auto cell = cellAt(event->position().toPoint()))
        emit cellClicked(cell->column, cell->row, event->button());
}

} // namespace lexiflip::client
