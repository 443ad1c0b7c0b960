// What the program asks of the system: the folder of its files, and Unix
// signals that close the main window the normal way.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <csignal>

#include "client/platform/app_paths.h"
#include "client/platform/unix_signals.h"

namespace lexiflip::client {
namespace {

TEST(AppFolder, lexiflipHomeWinsAndIsCreated)
{
    QTemporaryDir base;
    const QString home = base.path() + "/copy2";
    qputenv("LEXIFLIP_HOME", home.toLocal8Bit());
    EXPECT_EQ(appFilePath("Lexifliptally.tld"), home + "/Lexifliptally.tld");
    EXPECT_TRUE(QDir(home).exists());
    qunsetenv("LEXIFLIP_HOME");

    // Without it: beside the program when writable, else the configuration folder.
    const AppFolderChoice beside{"", "/opt/lexiflip", true, "/home/u/.config/lexiflip"};
    EXPECT_EQ(chooseAppFolder(beside), "/opt/lexiflip");
    AppFolderChoice readOnly = beside;
    readOnly.executableDirWritable = false;
    EXPECT_EQ(chooseAppFolder(readOnly), "/home/u/.config/lexiflip");
}

TEST(UnixSignals, terminateAndInterruptCloseTheWindowOnTheEventLoop)
{
    for (const int number : {SIGTERM, SIGINT}) {
        QWidget window;
        window.show();
        std::vector<int> seen;
        {
            UnixSignalWatcher watcher({SIGTERM, SIGINT}, [&](int signal) {
                seen.push_back(signal);
                window.close();
            });
            ASSERT_TRUE(watcher.active());
            std::raise(number);
            EXPECT_TRUE(window.isVisible()); // nothing runs inside the handler
            QTRY_VERIFY(!window.isVisible());
            EXPECT_EQ(seen, std::vector<int>{number});
        }
        // The previous handling is back once the watcher is gone.
        struct sigaction now = {};
        ::sigaction(number, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL);
    }
}

TEST(UnixSignals, aSecondWatcherStaysInactive)
{
    UnixSignalWatcher first({SIGTERM}, [](int) {});
    UnixSignalWatcher second({SIGTERM}, [](int) {});
    EXPECT_TRUE(first.active());
    EXPECT_FALSE(second.active());
}

} // namespace
} // namespace lexiflip::client
