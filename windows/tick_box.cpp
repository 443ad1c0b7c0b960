#include "windows/tick_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace lexiflip::windows {

namespace {

// imagelist_box: image 0 the empty box, image 1 the ticked one. Drawn as
// vectors so that it is sharp at any device pixel ratio.
void paintBoxImage(QPainter& painter, int image)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(8.5, 2.5, 15, 14);
    painter.setPen(QPen(QColor(40, 60, 90), 1.2));
    painter.setBrush(QColor(250, 250, 245));
    painter.drawRoundedRect(box, 2, 2);
    if (image == 1) {
        QPainterPath tick;
        tick.moveTo(11.5, 9.5);
        tick.lineTo(15, 13.5);
        tick.lineTo(22, 4.5);
        painter.setPen(QPen(QColor(20, 120, 40), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    }
}

} // namespace

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
    paintBoxImage(painter, m_tag);
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
