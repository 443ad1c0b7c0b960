#pragma once

#include <array>
#include <string>
#include <string_view>

#include "client/game/tile_pictures.h"
#include "wire/field_reader.h"
#include "wire/game_size.h"

// What the client game mirrors of the host's game, in the game's own terms:
// cells, bar and word positions, seats, the timer's seconds. The window turns
// them into pixels and colours.
namespace lexiflip::client {

inline constexpr int kColumns = wire::kBoardColumns;
inline constexpr int kRows = wire::kBoardRows;
inline constexpr int kBarSize = wire::kBarTiles;
inline constexpr int kWordSize = wire::kWordLetters;
inline constexpr int kSeats = wire::kSeatCount;
inline constexpr int kLastSlot = wire::kLastSlot;

// The name of a seat nobody holds.
inline constexpr std::string_view kWaiting = "<Waiting>";

struct BoardCell {
    int letter = kTileBack; // as the host sent it; the tile back until the first board
    bool used = false;
    bool faceup = false;
    bool picked = false;
    int picture = kTileBack; // what the cell shows now: 0..53
};

struct BarTile {
    int letter = 0;      // barletters: as the host dealt it (may be outside 1..26)
    int shown = 0;       // barshown: 0 while the tile sits in the word row
    int place = 0;       // the bar's place 1..7 its picture stands at; moves with swaps and shuffles
    bool raised = false; // chosen for a swap
    int picture() const { return shown >= 1 && shown <= 26 ? shown : 0; } // the letter tile set, 0..26
};

struct WordTile {
    int picture = 0; // the letter tile set, 0..26
    bool fromboard = false;
    bool bonusShown = false; // the x2 marker
    wire::Origin source;     // wordsource: 0,0 when empty; 0,k for bar position k
};

struct Seat {
    std::string name{kWaiting};
    std::string score = "0";
    std::string bonus;
    bool nameShown = true;
    bool scoreShown = true;
    bool eyes = false;
    bool onTurn = false; // its three texts in the on-turn look
    // Its player's connection closed while a game runs: the host may keep the
    // seat for him, so name, score and bar stay until he is back or it is free.
    bool away = false;
};

// The turn timer as last shown: the seconds left of the turn's seconds (the
// bar's share of its frame), the text, and whether the time runs low.
struct TimerView {
    int secondsLeft = 0;
    int turnSeconds = 60;
    std::string text = "Time: 0:00";
    bool low = false;
};

struct TheirTiles {
    std::string label = "THEIR Tiles";
    std::array<int, kBarSize> pictures{}; // the little tile set, 0..26
    bool shown = false;
};

struct Sneaker {
    int seat = 0;  // the row it sits on, 1..6, or 0 before it was placed
    int frame = 0; // 0..4
    bool shown = false;
};

struct Winner {
    std::string text = "Winner!";
    bool shown = false;
};

struct GameTexts {
    std::string timePerTurn = "Time Per Turn: 60 secs";
    std::string gameMode = "Game Mode: Sneak Peak";
    std::string playToScore = "Play to Score: 200";
    bool notPlaying = false; // the NOT PLAYING banners of seats 5 and 6
};

struct SeatMenu {
    bool removeEnabled = false;
    bool setJustWatchEnabled = false;
    bool unsetJustWatchEnabled = false;
};

// The default computer names of seats 1..6: empty for seat 1.
std::string_view defaultComputerName(int seat);

inline bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}
inline bool isSeat(int number)
{
    return inRange(number, 1, kSeats);
}
inline bool isCell(int x, int y)
{
    return inRange(x, 1, kColumns) && inRange(y, 1, kRows);
}

} // namespace lexiflip::client
