#pragma once

#include "client/game/game_types.h"

namespace lexiflip::client {

class Turn;

// The game area's keys, as the window hands them over: no Qt key codes here.
enum class GameKey {
    Left,
    Right,
    Up,
    Down,
    Home, // the cursor's row, first column
    End,  // the cursor's row, last column
    Space,
    Backspace,
    Enter,
    Escape,
    Pass,    // Alt+P
    Buy,     // Alt+B
    Shuffle, // Alt+S
    Letter,  // a typed letter A..Z
    BarPlace // a digit 1..7: the bar tile standing at that place, chosen for a swap
};

struct KeyPress {
    GameKey key = GameKey::Space;
    char letter = 0; // Letter: 'A'..'Z' (lower case is taken as upper)
    int place = 0;   // BarPlace: 1..7
};

// The board cursor: a cell, x 1..10 and y 1..8.
struct BoardCursor {
    int column = 1;
    int row = 1;
    friend bool operator==(const BoardCursor&, const BoardCursor&) = default;
};

// What a key asks for: a cursor move, or one of the moves a click makes.
struct KeyMove {
    enum class Kind {
        None,
        Cursor,
        BoardClick,
        BarClick,
        BarSwapClick,
        WordClick,
        Done,
        Clear,
        Pass,
        Buy,
        Shuffle
    };
    Kind kind = Kind::None;
    BoardCursor cell{}; // Cursor: the new place; BoardClick: the cell
    int position = 0;   // BarClick, BarSwapClick: bar position 1..7; WordClick: 1..10
    friend bool operator==(const KeyMove&, const KeyMove&) = default;
};

// Turns a key into the move a player would make with the mouse. A typed
// letter takes a face-up, untaken board tile with that letter first (it counts
// double): the one under the cursor, else the first in reading order; else
// the leftmost bar tile with that letter. DONE, CLEAR, PASS and BUY answer
// only while their buttons show, as a click could reach them only then.
KeyMove keyMove(const Turn& turn, BoardCursor cursor, KeyPress press);

// Makes the move through the same calls the clicks use; a Cursor or None
// move does nothing here.
void playKeyMove(Turn& turn, const KeyMove& move);

} // namespace lexiflip::client
