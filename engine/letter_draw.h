#pragma once

namespace lexiflip::core {
class RandomSource;
}

namespace lexiflip::engine {

// One independent draw: r uniform in 1..98 mapped through the fixed table, so
// each letter comes up with its weight in 98. There is no bag.
int getletter(core::RandomSource& random);

// How many of the 98 values of r give the letter (its draw weight).
int letterWeight(int code);

} // namespace lexiflip::engine
