#pragma once

#include <algorithm>
#include <chrono>
#include <utility>

#include "net/paced_queue.h"

namespace lexiflip::net {

// A paced queue's or the host session's timer in virtual time, for the host
// fuzz target and tests of the session that step it by hand (the host itself
// runs on Qt's).
class SteppedPaceTimer : public PaceTimer {
public:
    std::chrono::nanoseconds now() const override { return m_now; }
    void start(std::chrono::nanoseconds delay) override
    {
        m_due = m_now + delay;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool active() const override { return m_active; }
    void setFired(Fired fired) override { m_fired = std::move(fired); }

    // Jumps to the moment the running shot is due and fires it; false when
    // no shot runs.
    bool step()
    {
        if (!m_active)
            return false;
        m_now = std::max(m_now, m_due);
        m_active = false;
        if (m_fired)
            m_fired();
        return true;
    }

    // Moves time on by span, firing every shot that falls due on the way.
    void advance(std::chrono::nanoseconds span)
    {
        const std::chrono::nanoseconds until = m_now + span;
        while (m_active && m_due <= until)
            step();
        m_now = until;
    }

private:
    std::chrono::nanoseconds m_now{1'000'000'000};
    std::chrono::nanoseconds m_due{0};
    bool m_active = false;
    Fired m_fired;
};

} // namespace lexiflip::net
