#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "core/clock.h"
#include "engine/virtual_timeline.h"

namespace lexiflip::testing {

// One of a timeline's clocks, handed to an owner that keeps what it is given
// (the game window makes its clocks this way).
class TimelineClock : public core::Clock {
public:
    explicit TimelineClock(core::Clock& clock) : m_clock(clock) {}
    void start(int intervalMs) override { m_clock.start(intervalMs); }
    void stop() override { m_clock.stop(); }
    bool running() const override { return m_clock.running(); }

private:
    core::Clock& m_clock;
};

// Makes every clock asked for on timeline, which must outlive them.
inline auto clocksOn(engine::VirtualTimeline& timeline)
{
    return [&timeline](std::function<void()> tick) -> std::unique_ptr<core::Clock> {
        return std::make_unique<TimelineClock>(timeline.addClock(std::move(tick)));
    };
}

} // namespace lexiflip::testing
