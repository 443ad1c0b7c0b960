#pragma once

#include "wire/game_size.h"

namespace lexiflip::words {

using wire::kBarTiles;
// The tiles a player turns face up on his turn: with his bar, every letter he
// can put into a word that turn.
inline constexpr int kFlipsPerTurn = 5;
inline constexpr int kPlayerTiles = kBarTiles + kFlipsPerTurn;

// What a word is worth, in one place: the host's check of a submitted word and
// the computer's search for the best word count the same points.

// What a new bar costs.
inline constexpr int kBarPrice = 20;

// One tile of a word: its letter's worth, twice that for a board tile.
int tilePoints(int code, bool onBoard);

// The bonuses of a word made of barcount bar tiles and boardcount board tiles:
// the length bonus (5 letters 5, each further letter 5 more, up to 10
// letters), 5 for exactly five board tiles (every tile flipped this turn) and
// 10 for exactly seven bar tiles (the whole bar).
int wordBonus(int barcount, int boardcount);

} // namespace lexiflip::words
