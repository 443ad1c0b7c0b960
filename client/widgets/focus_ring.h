#pragma once

#include <QRectF>

class QPainter;

namespace lexiflip::client {

// The keyboard's ring, inside a rectangle: a bright band with a dark rim
// inside and out, so it stands out on tiles, slots and the seat panel alike.
// unit is one layout pixel at the surface's zoom; band is the bright band's
// width in such pixels. Drawn by every surface that has a keyboard cursor, so
// the player learns one look.
void drawFocusRing(QPainter& painter, QRectF rect, qreal unit, qreal band);

} // namespace lexiflip::client
