#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// The game area's other pictures, at a device pixel ratio.
namespace lexiflip::client {

// A button picture reading caption ("CLEAR", "START GAME", ...).
QPixmap buttonPicture(const QString& caption, QSize size, qreal ratio, bool pressed = false);
// The eyes marker; frame 0..4 of the sneaker's animation.
QPixmap eyesPicture(int frame, qreal ratio);
QPixmap notPlayingPicture(qreal ratio);
// The x2 marker of a word position taken from the board.
QPixmap doublePicture(qreal ratio);
// The window's background panel.
QPixmap backgroundPicture(QSize size, qreal ratio);
QPixmap shufflePicture(qreal ratio);

} // namespace lexiflip::client
