#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace lexiflip::app {

// Turns SIGINT and SIGTERM into a quit of the event loop, so that a host
// closes down on its own thread. The handler only writes a byte to a socket
// pair, without blocking (when earlier bytes still wait, one more is not
// needed) and leaving errno as it found it; the notifier reads it and quits.
//
// One at a time per process. Destroying it puts both signals back to their
// default before the pair is closed, so no late signal writes to a closed or
// reused descriptor.
class QuitOnSignals {
public:
    // Raises nothing: when the pair cannot be made, ok() is false and the
    // signals keep their default.
    QuitOnSignals();
    ~QuitOnSignals();

    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

    bool ok() const { return m_notifier != nullptr; }

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace lexiflip::app
