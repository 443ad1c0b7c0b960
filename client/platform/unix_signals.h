#pragma once

#include <QObject>

#include <functional>
#include <initializer_list>
#include <vector>

#include <csignal>

class QSocketNotifier;

namespace lexiflip::client {

// Turns Unix signals (SIGTERM, SIGINT) into a call on the event loop, so that
// a program told to stop closes its main window the normal way and saves what
// it saves on close. The signal handler only writes the signal's number into
// a socket pair; a QSocketNotifier on the other end calls onSignal on the
// user-interface thread, where anything may be done.
//
// One watcher at a time per process; onSignal must not destroy it. Destroying
// it restores the previous handlers.
//
//     UnixSignalWatcher stop({SIGTERM, SIGINT}, [&](int) { mainWindow.close(); });
class UnixSignalWatcher : public QObject {
    Q_OBJECT

public:
    UnixSignalWatcher(std::initializer_list<int> signalNumbers, std::function<void(int)> onSignal,
                      QObject* parent = nullptr);
    ~UnixSignalWatcher() override;

    UnixSignalWatcher(const UnixSignalWatcher&) = delete;
    UnixSignalWatcher& operator=(const UnixSignalWatcher&) = delete;

    // False when the socket pair or a handler could not be set up; the
    // signals then keep their previous handling.
    bool active() const { return m_active; }

private:
    void onReadable();

    std::function<void(int)> m_onSignal;
    std::vector<std::pair<int, struct sigaction>> m_previous;
    QSocketNotifier* m_notifier = nullptr;
    bool m_active = false;
};

} // namespace lexiflip::client
