#pragma once

#include <QString>

#include "client/widgets/screen_layout.h"

namespace lexiflip::client {

class BoardView;

// How assistive technology sees the game area: the board as 80 buttons, one
// per cell, named by what a player sees and pressed as a click would; the
// tiles of the bar, the word row and the their-tiles strip as buttons; the
// timer by its text. Changes are told as name changes of the objects that
// changed, which a screen reader following them speaks.
namespace accessibles {

// Registers the interfaces of the game area's own widgets; once per process.
void installFactories();

// "Column 3, row 4, face down", "E, 1 point, face up", "E, in the word".
QString cellName(CellAddress cell, int picture);
// "E, 1 point" for a letter picture 1..26, empty otherwise.
QString tileWords(int picture);

// The board tells these; they do nothing while no assistive technology listens.
void cellChanged(BoardView& board, CellAddress cell);
void cursorFocused(BoardView& board, CellAddress cell);

} // namespace accessibles

} // namespace lexiflip::client
