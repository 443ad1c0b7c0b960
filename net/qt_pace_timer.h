#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "net/paced_queue.h"

namespace lexiflip::net {

// A paced queue's timer on Qt: a precise single-shot QTimer on the owner's
// thread and a monotonic clock.
class QtPaceTimer : public PaceTimer {
public:
    QtPaceTimer();

    std::chrono::nanoseconds now() const override;
    void start(std::chrono::nanoseconds delay) override;
    void stop() override;
    bool active() const override;
    void setFired(Fired fired) override { m_fired = std::move(fired); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    Fired m_fired;
};

} // namespace lexiflip::net
