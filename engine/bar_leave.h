#pragma once

namespace lexiflip::engine {

// What keeping copies of a letter on the bar is worth to the next turn, in
// tenths of a point: how much the best word of a bar holding exactly that many
// of the letter scores, on average, above the best word of any bar. Measured
// by sampling 150,000 bars and five flipped tiles from the game's letter draw
// against the shipped dictionary (an s or an r is worth keeping, a q or a
// second u is not). A word's letters are replaced by fresh draws, worth the
// average, so what a word leaves on the bar adds this much to the next turn.
int leaveTenths(int code, int copies);

} // namespace lexiflip::engine
