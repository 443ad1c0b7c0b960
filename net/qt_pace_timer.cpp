#include "net/qt_pace_timer.h"

namespace lexiflip::net {

QtPaceTimer::QtPaceTimer()
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_fired)
            m_fired();
    });
    m_clock.start();
}

std::chrono::nanoseconds QtPaceTimer::now() const
{
    return std::chrono::nanoseconds(m_clock.nsecsElapsed());
}

void QtPaceTimer::start(std::chrono::nanoseconds delay)
{
    // Milliseconds are what the timer counts: the nearest one keeps a run of
    // ticks on its grid on average, neither late nor early.
    const auto ms = std::chrono::round<std::chrono::milliseconds>(delay);
    m_timer.start(static_cast<int>(ms.count()));
}

void QtPaceTimer::stop()
{
    m_timer.stop();
}

bool QtPaceTimer::active() const
{
    return m_timer.isActive();
}

} // namespace lexiflip::net
