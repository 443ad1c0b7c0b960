#include "client/widgets/board_view.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <optional>

#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "client/widgets/zoomed_place.h"
#include "client/widgets/accessibles.h"
#include "client/widgets/focus_ring.h"

namespace lexiflip::client {

namespace {

CellAddress cellOf(BoardCursor cursor)
{
    return {cursor.column, cursor.row};
}

// The game area's keys; everything else (Ctrl shortcuts, F keys, Tab) goes on.
std::optional<KeyPress> gameKey(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers mods = event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const int key = event.key();
    if (mods == Qt::AltModifier) {
        switch (key) {
        case Qt::Key_P:
            return KeyPress{GameKey::Pass};
        case Qt::Key_B:
            return KeyPress{GameKey::Buy};
        case Qt::Key_S:
            return KeyPress{GameKey::Shuffle};
        default:
            return std::nullopt;
        }
    }
    if (mods != Qt::NoModifier)
        return std::nullopt;
    switch (key) {
    case Qt::Key_Left:
        return KeyPress{GameKey::Left};
    case Qt::Key_Right:
        return KeyPress{GameKey::Right};
    case Qt::Key_Up:
        return KeyPress{GameKey::Up};
    case Qt::Key_Down:
        return KeyPress{GameKey::Down};
    case Qt::Key_Home:
        return KeyPress{GameKey::Home};
    case Qt::Key_End:
        return KeyPress{GameKey::End};
    case Qt::Key_Space:
        return KeyPress{GameKey::Space};
    case Qt::Key_Backspace:
        return KeyPress{GameKey::Backspace};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyPress{GameKey::Enter};
    case Qt::Key_Escape:
        return KeyPress{GameKey::Escape};
    default:
        break;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return KeyPress{GameKey::Letter, static_cast<char>('A' + (key - Qt::Key_A)), 0};
    if (key >= Qt::Key_1 && key <= Qt::Key_7)
        return KeyPress{GameKey::BarPlace, 0, key - Qt::Key_0};
    return std::nullopt;
}

} // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("paintbox_board"));
    setAccessibleName(QStringLiteral("Board"));
    setFixedSize(layout::kBoardSurface.size());
    // The board takes the keyboard only when asked (F6): never by a click,
    // and never as the window's first focus, so typing goes to the chat entry
    // as it always has until the player turns to the game area.
    setFocusPolicy(Qt::NoFocus);
    accessibles::installFactories();
}

void BoardView::updateCell(CellAddress cell)
{
    update(cellRect(cell));
    accessibles::cellChanged(*this, cell);
}

void BoardView::setCursor(BoardCursor cursor)
{
    if (cursor == m_cursor || !isCell(cursor.column, cursor.row))
        return;
    update(cellRect(cellOf(m_cursor)));
    m_cursor = cursor;
    update(cellRect(cellOf(m_cursor)));
    tellCursorFocus();
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
    if (hasFocus())
        paintCursor(painter);
}

// A ring inside the cell's own rectangle, so that repainting the cell repaints
// the ring.
void BoardView::paintCursor(QPainter& painter) const
{
    const QRectF cell = QRectF(cellRect(cellOf(m_cursor)));
    drawFocusRing(painter, cell, cell.width() / layout::kTile, 3);
}

void BoardView::mouseReleaseEvent(QMouseEvent* event)
{
    if (const auto cell = cellAt(event->position().toPoint()))
        emit cellClicked(cell->column, cell->row, event->button());
}

void BoardView::keyPressEvent(QKeyEvent* event)
{
    const std::optional<KeyPress> press = gameKey(*event);
    if (!press) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit keyPressed(*press);
}

void BoardView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update(cellRect(cellOf(m_cursor)));
    tellCursorFocus();
}

void BoardView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update(cellRect(cellOf(m_cursor)));
}

void BoardView::tellCursorFocus()
{
    if (hasFocus())
        accessibles::cursorFocused(*this, cellOf(m_cursor));
}

} // namespace lexiflip::client
