#include "net/qt_clock.h"

#include <utility>

namespace lexiflip::net {

QtClock::QtClock(std::function<void()> tick) : m_tick(std::move(tick))
{
    // The turn clock counts seconds the players see and the computer's clock
    // paces what they watch: neither needs more than the coarse timer's accuracy.
    m_timer.setTimerType(Qt::CoarseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { m_tick(); });
}

void QtClock::start(int intervalMs)
{
    m_timer.start(intervalMs);
}

void QtClock::stop()
{
    m_timer.stop();
}

bool QtClock::running() const
{
    return m_timer.isActive();
}

} // namespace lexiflip::net
