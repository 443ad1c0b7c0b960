#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPoint>
#include <QPointF>
#include <QWidget>

#include "client/widgets/screen_layout.h"
#include "client/widgets/zoomed_place.h"

namespace lexiflip::client {

// A press and a release at the point, as the platform delivers a click: for
// the screenshot mode and the test driver, which play the window as a person
// would.
inline void clickAt(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF local(at);
    const QPointF global(widget.mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QApplication::sendEvent(&widget, &release);
}

// A click in the middle of a cell of the board surface, at its window's zoom.
inline void clickCell(QWidget& board, CellAddress cell, Qt::MouseButton button = Qt::LeftButton)
{
    clickAt(board, cellRect(cell, zoomOf(board)).center(), button);
}

} // namespace lexiflip::client
