#include "engine/virtual_timeline.h"

namespace lexiflip::engine {

void VirtualTimeline::VirtualClock::start(int intervalMs)
{
    // Like a real timer: (re)starting counts a whole interval from now.
    m_interval = intervalMs > 0 ? intervalMs : 1;
    m_due = m_timeline.m_now + m_interval;
    m_running = true;
    ++m_starts;
}

VirtualTimeline::VirtualClock& VirtualTimeline::addClock(std::function<void()> onTick)
{
    m_clocks.push_back(VirtualClock(*this, std::move(onTick)));
    return m_clocks.back();
}

bool VirtualTimeline::step()
{
    VirtualClock* next = nullptr;
    for (VirtualClock& clock : m_clocks) {
        if (clock.m_running && (!next || clock.m_due < next->m_due))
            next = &clock;
    }
    if (!next)
        return false;
    m_now = next->m_due;
    const std::uint64_t starts = next->m_starts;
    if (next->m_onTick)
        next->m_onTick();
    // A clock that was neither stopped nor restarted by its own tick ticks on.
    if (next->m_running && next->m_starts == starts)
        next->m_due += next->m_interval;
    return true;
}

} // namespace lexiflip::engine
