#pragma once

#include <QTimer>

#include <functional>

#include "core/clock.h"

namespace lexiflip::net {

// A clock on a QTimer, for the host's two clocks and the window's timers:
// while it runs, each interval calls its owner's tick handler on this thread.
class QtClock : public core::Clock {
public:
    explicit QtClock(std::function<void()> tick);

    void start(int intervalMs) override;
    void stop() override;
    bool running() const override;

private:
    QTimer m_timer;
    std::function<void()> m_tick;
};

} // namespace lexiflip::net
