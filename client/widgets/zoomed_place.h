#pragma once

// Controls of the game window placed by the layout's numbers and drawn at the
// window's zoom. A control placed here remembers its place and font as the
// layout gives them; when the window's zoom changes, applyZoom() puts every
// such control at its place times the new zoom, sizes its font to match and
// has it painted afresh (pictures are painted at the new size, never scaled).
// A control outside such a window, or before any zoom is set, is at 100 %.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "client/widgets/screen_layout.h"

class QWidget;

namespace lexiflip::client {

// The zoom of the window the widget is in.
Zoom zoomOf(const QWidget& widget);

// Sets the zoom of a window and re-places, re-fonts and repaints every placed
// control in it.
void applyZoom(QWidget& window, Zoom zoom);

// Puts a control at a rectangle of the layout (relative to its parent's own
// layout rectangle); a control of fixed size keeps a fixed size.
void place(QWidget& widget, QRect where);
// Moves a placed control to a corner of the layout, keeping its size.
void placeAt(QWidget& widget, QPoint topLeft);
// Gives a placed control a size of the layout, keeping its corner.
void resizePlaced(QWidget& widget, QSize size);
// Where a placed control is in the layout's numbers (its size is the layout's
// size, whatever the zoom).
QRect placeOf(const QWidget& widget);

// Gives a control a font as the layout sizes it; it is drawn at the zoom.
void setZoomedFont(QWidget& widget, const QFont& font);

// A font at a zoom: a pixel size scaled like the layout's pixels, a point size
// by the zoom's factor.
QFont zoomedFont(const QFont& font, Zoom zoom);

} // namespace lexiflip::client
