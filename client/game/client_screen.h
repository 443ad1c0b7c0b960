#pragma once

#include <string_view>

#include "net/wire/colour_text.h"

namespace lexiflip::client {

// What the game tells the window. Two kinds of call:
//
// - "...Changed" calls carry no data: something the game mirrors changed, and
//   the window reads it back through ClientGame's const accessors (board(x, y),
//   barshown(i), wordTile(i), seat(i), status(), timer(), ...) and repaints just
//   that element. Indexes passed here are always in range: x 1..10, y 1..8, bar
//   positions 1..7, word positions 1..10, seats 1..6.
// - Event calls carry their data: a sound, a chat line, a message box, a watcher
//   entry, closing the window, opening the options dialog.
//
// Colours are wire::Colour values, 00BBGGRR, as the chat's colour text carries
// them. Every call has an empty default so that an implementation overrides only
// what it shows; calls may be added to this interface, never changed.
class ClientScreen {
public:
    virtual ~ClientScreen() = default;

    // The game area.
    virtual void boardCellChanged(int /*x*/, int /*y*/) {}
    virtual void boardChanged() {}                    // all 80 cells
    virtual void barTileChanged(int /*position*/) {}  // picture, left or top of one bar tile
    virtual void barChanged() {}                      // all seven bar tiles
    virtual void wordTileChanged(int /*position*/) {} // picture and x2 marker of one word position
    virtual void wordChanged() {}                     // all ten word positions
    virtual void statusChanged() {}
    virtual void buttonsChanged() {}    // CLEAR, BUY, PASS, DONE and START
    virtual void timerChanged() {}      // bar width, text, text colour
    virtual void theirTilesChanged() {} // the strip: label, tiles, shown
    virtual void sneakerChanged() {}    // seat, frame, shown
    virtual void turnFrameChanged() {}
    virtual void winnerChanged() {}      // banner text (and its shadow), shown
    virtual void gameOptionsChanged() {} // the three header texts, NOT PLAYING banners

    // The seat rows.
    virtual void seatChanged(int /*seat*/) {} // name, score, bonus, colours, visibility, eyes

    // The "Just Watch" menu item's check mark.
    virtual void justWatchChanged() {}

    // Events.
    virtual void playsounds(std::string_view /*name*/) {}
    virtual void addlinetochat(std::string_view /*line*/, wire::Colour /*colour*/) {}
    // At most one box is asked for at a time: the next comes only after the
    // window reports messageBoxClosed() to the game. Show it without a nested
    // event loop (QMessageBox::open).
    virtual void messageBox(std::string_view /*text*/) {}
    // Entries of the watcher list: number, ": ", name. A slot has at most one
    // entry: watcherAdded for a slot that has one replaces it.
    virtual void watcherAdded(std::string_view /*entry*/) {}
    virtual void watcherRemoved(std::string_view /*entry*/) {}
    virtual void closeWindow() {}
    // The own player's join was announced: the settings are read at this moment.
    virtual void loadinifile() {}
    virtual void openGameOptions() {}
};

} // namespace lexiflip::client
