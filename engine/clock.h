#pragma once

namespace lexiflip::engine {

// One of the host's two clocks. The engine starts and stops it; whoever owns it
// calls the engine's tick handler each interval while it runs (a QTimer on the
// host, a hand-stepped clock in tests and the simulator).
class Clock {
public:
    virtual ~Clock() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
};

} // namespace lexiflip::engine
