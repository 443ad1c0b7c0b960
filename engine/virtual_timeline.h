#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "core/clock.h"

namespace lexiflip::engine {

// Runs the host's clocks in virtual time, as fast as the computer can play:
// each step jumps to the earliest tick that is due and fires it. The
// simulator and the whole-game tests drive the engine with it; the host uses
// real timers instead.
class VirtualTimeline {
public:
    class VirtualClock : public core::Clock {
    public:
        void start(int intervalMs) override;
        void stop() override { m_running = false; }
        bool running() const override { return m_running; }
        int interval() const { return m_interval; }

    private:
        friend class VirtualTimeline;
        VirtualClock(VirtualTimeline& timeline, std::function<void()> onTick)
            : m_timeline(timeline), m_onTick(std::move(onTick))
        {
        }

        VirtualTimeline& m_timeline;
        std::function<void()> m_onTick;
        std::int64_t m_due = 0;
        std::uint64_t m_starts = 0;
        int m_interval = 0;
        bool m_running = false;
    };

    // A clock whose every tick calls onTick. Clocks live as long as the timeline.
    VirtualClock& addClock(std::function<void()> onTick = {});
    void setOnTick(VirtualClock& clock, std::function<void()> onTick) { clock.m_onTick = std::move(onTick); }

    // Fires the earliest due tick (the first added clock wins a draw); false
    // when no clock runs.
    bool step();

    // Milliseconds since the timeline began.
    std::int64_t now() const { return m_now; }

private:
    std::deque<VirtualClock> m_clocks;
    std::int64_t m_now = 0;
};

} // namespace lexiflip::engine
