#include "app/quit_on_signals.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

namespace lexiflip::app {
namespace {

void (*handlerOf(int signal))(int)
{
    struct sigaction current {};
    ::sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

// raise() runs the handler on this thread before it returns, so a burst of
// signals that nobody reads yet fills the socket pair: a handler whose write
// blocked would hang here, and one that let the write's failure through would
// change errno under the code it interrupted.
TEST(QuitOnSignals, ABurstNeitherBlocksNorChangesErrnoAndTheLoopQuitsOnce)
{
    QuitOnSignals quit;
    ASSERT_TRUE(quit.ok());
    for (int i = 0; i < 5000; ++i) {
        errno = ENOENT;
        std::raise(i % 2 == 0 ? SIGTERM : SIGINT);
        ASSERT_EQ(errno, ENOENT) << "after signal " << i;
    }
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

TEST(QuitOnSignals, GoneItLeavesBothSignalsToTheirDefault)
{
    {
        const QuitOnSignals quit;
        ASSERT_TRUE(quit.ok());
        EXPECT_NE(handlerOf(SIGTERM), SIG_DFL);
    }
    EXPECT_EQ(handlerOf(SIGTERM), SIG_DFL);
    EXPECT_EQ(handlerOf(SIGINT), SIG_DFL);
}

} // namespace
} // namespace lexiflip::app
