#pragma once

#include <string_view>

#include "client/game/sounds.h"
#include "wire/colour_text.h"

namespace lexiflip::client {

// What the game tells the window. Two kinds of call:
//
// - "...Changed" calls carry no data: something the game mirrors changed, and
//   the window reads it back through ClientGame's roster() and turn() (board(x, y),
//   bar(i), wordTile(i), seat(i), status(), timer(), ...) and repaints just
//   that element. Indexes passed here are always in range: x 1..10, y 1..8, bar
//   positions 1..7, word positions 1..10, seats 1..6.
// - Event calls carry their data: a sound, a chat line, a message box, closing
//   the window, opening the options dialog.
//
// A peer's chat colour is a wire::Colour value, 00BBGGRR, as the chat's colour
// text carries it; the game names no other colour. Every call is pure virtual:
// a screen that forgets a notification does not compile.
class ClientScreen {
public:
    virtual ~ClientScreen() = default;

    // The game area.
    virtual void boardCellChanged(int x, int y) = 0;
    virtual void boardChanged() = 0;                // all 80 cells
    virtual void barTileChanged(int position) = 0;  // picture, place or raise of one bar tile
    virtual void barChanged() = 0;                  // all seven bar tiles
    virtual void wordTileChanged(int position) = 0; // picture and x2 marker of one word position
    virtual void wordChanged() = 0;                 // all ten word positions
    virtual void statusChanged() = 0;
    virtual void buttonsChanged() = 0;    // CLEAR, BUY, PASS, DONE and START
    virtual void timerChanged() = 0;      // seconds left, text, low
    virtual void theirTilesChanged() = 0; // the strip: label, tiles, shown
    virtual void sneakerChanged() = 0;    // seat, frame, shown
    virtual void turnFrameChanged() = 0;
    virtual void winnerChanged() = 0;      // banner text (and its shadow), shown
    virtual void gameOptionsChanged() = 0; // the three header texts, NOT PLAYING banners

    // The seat rows.
    virtual void seatChanged(int seat) = 0; // name, score, bonus, on turn, visibility, eyes

    // The "Just Watch" menu item's check mark.
    virtual void justWatchChanged() = 0;

    // Events.
    virtual void playsounds(Sound sound) = 0;
    // A chat line in a colour a peer chose, and one in the client's own voice.
    virtual void addlinetochat(std::string_view line, wire::Colour colour) = 0;
    virtual void systemLine(std::string_view line) = 0;
    // At most one box is asked for at a time: the next comes only after the
    // window reports messageBoxClosed() to the game. Show it without a nested
    // event loop (QMessageBox::open).
    virtual void messageBox(std::string_view text) = 0;
    // The watcher list (ClientGame::watchers()) gained, replaced or lost an entry.
    virtual void watchersChanged() = 0;
    // This client took slot 1 and so plays for the host (the roster's rule).
    virtual void becameHostsPlayer() = 0;
    virtual void closeWindow() = 0;
    // The own player's join was announced: the settings are read at this moment.
    virtual void loadinifile() = 0;
    virtual void openGameOptions() = 0;
};

} // namespace lexiflip::client
