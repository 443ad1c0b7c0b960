#pragma once

namespace lexiflip::core {

// A repeating clock that the code owning a timer starts and stops; whoever
// owns the clock calls that code's tick handler each interval while it runs (a
// QTimer in the programs, a hand-stepped clock in tests and the simulator).
// The host's two clocks and the window's turn timer, sneaker and phrase
// cool-down are all of this kind.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
};

} // namespace lexiflip::core
