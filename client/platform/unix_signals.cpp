#include "client/platform/unix_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace lexiflip::client {

namespace {

// The socket pair: the handler writes to [0], the notifier reads [1].
int g_pipe[2] = {-1, -1};

extern "C" void writeSignalNumber(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe drops the byte; enough are already waiting to wake us.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = savedErrno;
}

void closePipe()
{
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace

UnixSignalWatcher::UnixSignalWatcher(std::initializer_list<int> signalNumbers,
                                     std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal))
{
    if (g_pipe[0] >= 0)
        return; // another watcher owns the signals
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    for (int number : signalNumbers) {
        struct sigaction action = {};
        action.sa_handler = writeSignalNumber;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction previous = {};
        if (::sigaction(number, &action, &previous) == 0)
            m_previous.emplace_back(number, previous);
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::onReadable);
    m_active = m_previous.size() == signalNumbers.size();
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (const auto& [number, previous] : m_previous)
        ::sigaction(number, &previous, nullptr);
    if (m_notifier) {
        delete m_notifier;
        closePipe();
    }
}

void UnixSignalWatcher::onReadable()
{
    unsigned char byte = 0;
    while (::read(g_pipe[1], &byte, 1) == 1)
        if (m_onSignal)
            m_onSignal(byte);
}

} // namespace lexiflip::client
