#pragma once

// The game's dimensions as its messages number them. The host's engine, the
// readers of what the host sends and the window's game all count with these,
// and every x, y, bar and word position, seat and slot that travels is
// range-checked against them.
namespace lexiflip::wire {

inline constexpr int kBoardColumns = 10; // x 1..10, drawn left to right
inline constexpr int kBoardRows = 8;     // y 1..8, drawn top to bottom
inline constexpr int kBarTiles = 7;      // bar positions 1..7
inline constexpr int kWordLetters = 10;  // word positions 1..10
inline constexpr int kSeatCount = 6;     // seats 1..6 play; slots 7..9 watch
// The slots a connection may hold: 1 is the host's own player.
inline constexpr int kFirstSlot = 1;
inline constexpr int kLastSlot = 9;

} // namespace lexiflip::wire
