#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <utility>

namespace lexiflip::testing {

// Calls asked for after a wait, run when the test moves time on by hand: the
// router's renewals and time limit in virtual time. Used on one thread.
class SteppedScheduler {
public:
    using Call = std::function<void()>;

    // The scheduler to hand over; this object must outlive its user.
    auto scheduler()
    {
        return [this](std::chrono::seconds wait, Call call) { m_due.emplace(m_now + wait, std::move(call)); };
    }

    // Moves time on by span, running every call that falls due on the way
    // (those asked for meanwhile too), each at its moment.
    void advance(std::chrono::seconds span)
    {
        const std::chrono::seconds until = m_now + span;
        while (!m_due.empty() && m_due.begin()->first <= until) {
            auto next = m_due.extract(m_due.begin());
            m_now = next.key();
            next.mapped()();
        }
        m_now = until;
    }

    std::chrono::seconds now() const { return m_now; }
    // The waits still pending, from now.
    std::size_t pending() const { return m_due.size(); }
    // When the next call is due, from now; zero when none is.
    std::chrono::seconds nextIn() const
    {
        return m_due.empty() ? std::chrono::seconds(0) : m_due.begin()->first - m_now;
    }

private:
    std::chrono::seconds m_now{0};
    std::multimap<std::chrono::seconds, Call> m_due;
};

} // namespace lexiflip::testing
