#pragma once

#include <string>

namespace lexiflip::core {

// Letters are codes 1..26 for a..z in every piece of state and on the wire,
// on the host and in the window alike.
inline constexpr int kFirstLetter = 1;
inline constexpr int kLastLetter = 26;

// Points of a letter; 1 for any code outside 1..26.
int letterworth(int code);

// Sets target to the lower-case letter of code; any other code leaves it as it was.
void converttoletter(int code, std::string& target);

// The letter code of a lower-case letter a..z, 0 for anything else.
int letterCode(char letter);

} // namespace lexiflip::core
