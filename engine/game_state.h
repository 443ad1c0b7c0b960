#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "wire/game_size.h"
#include "words/word_score.h"

namespace lexiflip::engine {

using wire::kBarTiles;
using wire::kBoardColumns;
using wire::kBoardRows;
using words::kFlipsPerTurn;
using words::kPlayerTiles;
inline constexpr int kBotFlipTiles = kFlipsPerTurn; // tiles 8..12: the computer's flips this turn
inline constexpr int kSlotCount = 13;     // slots 1..13 in the player table
inline constexpr int kMaxConnections = wire::kLastSlot; // slots 1..9 can hold a connection

struct tboardtile {
    std::int32_t letter = 0;
    std::uint8_t flipped = 0; // face up in the current turn
    std::uint8_t used = 0;    // part of the word being scored this turn
    // Turned face up at some time since its letter was drawn: every player
    // has seen the letter. The expert computer player knows only these.
    std::uint8_t seen = 0;
};

struct thetiles {
    std::int32_t letter = 0; // 0 before the first deal
    std::uint8_t used = 0;
    std::string coord; // "0,k" for bar tile k; "x,y" for a board tile
};

// One slot of the player table. The slot's connection itself is held by the
// host session, which owns the sockets; the engine knows only whether there is
// one.
struct tplayer {
    std::string name;
    std::uint8_t connected = 0;
    std::int32_t score = 0;
    std::uint8_t watching = 0;
    std::string botname;
    std::array<thetiles, kPlayerTiles + 1> tiles; // 1..7 the bar, 8..12 the computer's flips
    std::uint8_t inplay = 0;
};

// The host's one authoritative copy of a game. Every index is 1-based, as the
// protocol counts: players[1..13], board[1..10][1..8], tiles[1..12].
struct GameState {
    std::array<tplayer, kSlotCount + 1> players;
    std::array<std::array<tboardtile, kBoardRows + 1>, kBoardColumns + 1> board;

    std::uint8_t gamerunning = 0;
    std::int32_t slotsused = 0;
    std::int32_t currentplayer = 0;
    std::int32_t playtoscore = 0;
    std::int32_t creationtime = 0;
    std::int32_t turnticks = 0;
    std::int32_t numseats = 6;
    std::int32_t flipcount = 0;
    std::int32_t botticks = 0;
    std::string botword;
    std::string gamemode; // the mode's word (wire::gameModeWord), empty before the first game
    std::string fourplayeroption;
    std::uint8_t viewable = 0;
    std::int32_t sneaker = 0;

    // The phases of the two clocks: timer1 1 pause, 2 building, 4 sneak peek
    // (0 before the first game); computertimer 1 flip, 2 word, 3 submit.
    int timer1phase = 0;
    int botphase = 0;

    GameState();

    tboardtile& cell(int x, int y) { return board[x][y]; }
    const tboardtile& cell(int x, int y) const { return board[x][y]; }

    static bool onBoard(int x, int y) { return x >= 1 && x <= kBoardColumns && y >= 1 && y <= kBoardRows; }
    static bool isSlot(int slot) { return slot >= 1 && slot <= kSlotCount; }
};

} // namespace lexiflip::engine
