#include "windows/side/tick_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "client/media/palette.h"
#include "client/media/pictures.h"

namespace lexiflip::windows {

TickBox::TickBox(const QString& objectName, const QString& caption, QWidget* parent)
    : QWidget(parent), m_caption(caption)
{
    setObjectName(objectName);
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    describe();
}

void TickBox::setTag(int tag)
{
    const int state = tag != 0 ? 1 : 0;
    if (state == m_tag)
        return;
    m_tag = state;
    describe();
    update();
}

void TickBox::describe()
{
    setAccessibleName(m_caption + (m_tag ? QStringLiteral(", ticked") : QStringLiteral(", not ticked")));
}

void TickBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, client::boxPicture(m_tag, devicePixelRatioF()));
    if (hasFocus()) {
        // The keyboard's place: the board cursor's bright ring around the box.
        painter.setPen(QPen(QColor(client::palette::kCursorRing), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void TickBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void TickBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space)
        emit clicked();
    else
        QWidget::keyPressEvent(event);
}

} // namespace lexiflip::windows
