#pragma once

#include <string>

namespace lexiflip::engine {

class RandomSource;

// Letters are codes 1..26 for a..z in every piece of state and on the wire.
inline constexpr int kFirstLetter = 1;
inline constexpr int kLastLetter = 26;

// Points of a letter; 1 for any code outside 1..26.
int letterworth(int code);

// Sets target to the lower-case letter of code; any other code leaves it as it was.
void converttoletter(int code, std::string& target);

// The letter code of a lower-case letter a..z, 0 for anything else.
int letterCode(char letter);

// One independent draw: r uniform in 1..98 mapped through the fixed table, so
// each letter comes up with its weight in 98. There is no bag.
int getletter(RandomSource& random);

// How many of the 98 values of r give the letter (its draw weight).
int letterWeight(int code);

} // namespace lexiflip::engine
