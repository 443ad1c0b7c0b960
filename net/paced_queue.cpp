#include "net/paced_queue.h"

#include <algorithm>
#include <utility>

namespace lexiflip::net {

PacedQueue::PacedQueue(PaceTimer& timer, std::chrono::nanoseconds tick, std::size_t capPerConnection)
    : m_timer(timer), m_tick(tick), m_cap(capPerConnection), m_lastHandled(timer.now() - tick)
{
    m_timer.setFired([this] { onFired(); });
}

PacedQueue::~PacedQueue()
{
    m_timer.stop();
    m_timer.setFired({});
}

PacedQueue::Connection* PacedQueue::find(ConnectionId connection)
{
    const auto found = std::find_if(m_turns.begin(), m_turns.end(),
                                    [connection](const Connection& c) { return c.id == connection; });
    return found == m_turns.end() ? nullptr : &*found;
}

std::size_t PacedQueue::size(ConnectionId connection) const
{
    for (const Connection& c : m_turns) {
        if (c.id == connection)
            return c.messages.size();
    }
    return 0;
}

bool PacedQueue::push(ConnectionId connection, std::string text)
{
    Connection* holder = find(connection);
    if (holder && holder->messages.size() >= m_cap)
        return false;
    if (!holder)
        holder = &m_turns.emplace_back(Connection{connection, {}});
    holder->messages.push_back(std::move(text));
    ++m_size;
    // A message reaching an idle queue waits only for the rest of the tick
    // since the last one was handled, which is nothing after a quiet spell.
    if (!m_timer.active())
        startTimer(std::max(m_timer.now(), m_lastHandled + m_tick));
    return true;
}

void PacedQueue::remove(ConnectionId connection)
{
    const auto found = std::find_if(m_turns.begin(), m_turns.end(),
                                    [connection](const Connection& c) { return c.id == connection; });
    if (found == m_turns.end())
        return;
    m_size -= found->messages.size();
    m_turns.erase(found);
    if (m_size == 0)
        m_timer.stop();
}

void PacedQueue::clear()
{
    m_turns.clear();
    m_size = 0;
    m_timer.stop();
}

void PacedQueue::startTimer(std::chrono::nanoseconds due)
{
    m_due = due;
    m_timer.start(std::max(std::chrono::nanoseconds(0), due - m_timer.now()));
}

void PacedQueue::onFired()
{
    if (m_turns.empty())
        return;
    const std::chrono::nanoseconds now = m_timer.now();
    // Ticks keep to their grid while the timer keeps up with them, so that a
    // burst drains at the exact pace even when each shot comes a little late.
    m_lastHandled = now - m_due < m_tick ? m_due : now;

    Connection& first = m_turns.front();
    const ConnectionId connection = first.id;
    const std::string text = std::move(first.messages.front());
    first.messages.pop_front();
    --m_size;
    if (!first.messages.empty())
        m_turns.push_back(std::move(first)); // its next message waits for its next turn
    m_turns.pop_front();

    // The next tick is set before the handler runs: whatever it does, the
    // queue goes on draining.
    if (m_size > 0)
        startTimer(m_lastHandled + m_tick);
    if (m_handler)
        m_handler(connection, text);
}

} // namespace lexiflip::net
