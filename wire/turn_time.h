#pragma once

#include <algorithm>

// The time per turn a game may have, in seconds: the options dialog offers
// these, the host keeps a game's time within them whatever its starter sent,
// and the window reads the time a host tells within them too, so that no
// count of a turn's seconds or milliseconds can overflow on either side.
namespace lexiflip::wire {

inline constexpr int kTurnSecondsMin = 45;
inline constexpr int kTurnSecondsMax = 120;

constexpr int turnSecondsWithinRange(int seconds)
{
    return std::clamp(seconds, kTurnSecondsMin, kTurnSecondsMax);
}

} // namespace lexiflip::wire
