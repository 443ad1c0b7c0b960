#include "app/quit_on_signals.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace lexiflip::app {
namespace {

// [0] is written by the handler, [1] read by the event loop.
int g_pair[2] = {-1, -1};

void onSignal(int)
{
    // The interrupted code may be about to read errno.
    const int savedErrno = errno;
    const char byte = 1;
    (void)!::write(g_pair[0], &byte, 1);
    errno = savedErrno;
}

void handleSignals(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

void closePair()
{
    for (int& fd : g_pair) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace

QuitOnSignals::QuitOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pair) != 0)
        return;
    const int flags = ::fcntl(g_pair[0], F_GETFL);
    if (flags < 0 || ::fcntl(g_pair[0], F_SETFL, flags | O_NONBLOCK) != 0) {
        closePair();
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_pair[1], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [] {
        char bytes[64];
        (void)!::read(g_pair[1], bytes, sizeof bytes);
        QCoreApplication::quit();
    });
    handleSignals(onSignal);
}

QuitOnSignals::~QuitOnSignals()
{
    if (!ok())
        return;
    handleSignals(SIG_DFL);
    m_notifier.reset();
    closePair();
}

} // namespace lexiflip::app
