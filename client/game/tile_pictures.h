#pragma once

// The indexes of the tile picture sets, shared by the game half (which says
// what each cell, bar tile and marker shows) and the painter (which draws it).
namespace lexiflip::client {

// imagelist_letters: 54 tiles. 0 draws nothing; 1..26 are A..Z
// face up with their point value; 27 is the tile back; 28..53 are A..Z in the
// grey used look, so letter L in the used look is L + kUsedOffset.
inline constexpr int kLetterPictureCount = 54;
inline constexpr int kTileBack = 27;
inline constexpr int kUsedOffset = 27;

// The sneaker marker's animation.
inline constexpr int kSneakerFrames = 5;

} // namespace lexiflip::client
