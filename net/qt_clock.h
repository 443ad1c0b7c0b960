#pragma once

#include <QTimer>

#include <functional>

#include "core/clock.h"

namespace lexiflip::net {

// One of the engine's clocks on a QTimer: while it runs, each interval calls
// the engine's tick handler on the host's thread.
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
