#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <QRectF>

namespace lexiflip::client {

// The look most painted parts share: a rounded box lit from above, its colour
// running from top at its upper edge to bottom at its lower one, outlined with
// edge. The painter's pen and brush are left as the box set them.
inline void paintRoundedBox(QPainter& painter, const QRectF& box, qreal radius, const QColor& top,
                            const QColor& bottom, const QPen& edge)
{
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(edge);
    painter.setBrush(fill);
    painter.drawRoundedRect(box, radius, radius);
}

} // namespace lexiflip::client
