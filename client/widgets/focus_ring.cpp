#include "client/widgets/focus_ring.h"

#include <QColor>
#include <QPainter>
#include <QPen>

#include "client/media/palette.h"

namespace lexiflip::client {

void drawFocusRing(QPainter& painter, QRectF rect, qreal unit, qreal band)
{
    const auto inset = [&](qreal by) { return rect.adjusted(by * unit, by * unit, -by * unit, -by * unit); };
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(palette::kCursorRim), unit));
    painter.drawRect(inset(0.5));
    painter.setPen(QPen(QColor(palette::kCursorRing), band * unit));
    painter.drawRect(inset(1 + band / 2));
    painter.setPen(QPen(QColor(palette::kCursorRim), unit));
    painter.drawRect(inset(1.5 + band));
}

} // namespace lexiflip::client
