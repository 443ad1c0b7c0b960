#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace lexiflip::testing {

// Runs the event loop until the predicate holds or timeoutMs passes. Unlike a
// fixed sleep between polls, every event is handled as soon as it arrives, so
// a test of something that takes milliseconds takes milliseconds; a short
// wake-up timer bounds each wait.
template <class Predicate> bool waitUntil(Predicate&& predicate, int timeoutMs = 5000)
{
    if (predicate())
        return true;
    QTimer wakeUp;
    wakeUp.start(5);
    QElapsedTimer clock;
    clock.start();
    while (!predicate()) {
        if (clock.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Handles whatever is already queued, without waiting for anything.
inline void settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

} // namespace lexiflip::testing
