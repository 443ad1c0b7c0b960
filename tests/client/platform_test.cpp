// What the program asks of the system: the folder of its files, and Unix
// signals that close the main window the normal way.
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <utility>

#include "client/platform/app_paths.h"
#include "client/platform/unix_signals.h"

namespace lexiflip::client {
namespace {

TEST(AppFolder, aFolderIsUsedOnlyWhenItIsTheUsersAndNobodyElseMayWriteThere)
{
    // The choice: a refused folder gives way to the configuration folder, and
    // only a folder that would have been used is worth a notice.
    const AppFolderChoice beside{"", "", "/opt/lexiflip", true, "", "/home/u/.config/Lexiflip"};
    struct Case {
        const char* what;
        AppFolderChoice choice;
        QString folder;
        bool notice;
    };
    AppFolderChoice home = beside;
    home.lexiflipHome = "/srv/copy2";
    AppFolderChoice sharedHome = home;
    sharedHome.lexiflipHomeProblem = "other users may write into it";
    AppFolderChoice readOnly = beside;
    readOnly.executableDirWritable = false;
    AppFolderChoice sharedBeside = beside;
    sharedBeside.executableDirProblem = "it belongs to another user";
    // Root may write into /usr/games, and the folder is root's own.
    AppFolderChoice installedAsRoot = beside;
    installedAsRoot.executableDir = "/usr/games";
    installedAsRoot.executableDirIsSystem = true;
    AppFolderChoice homeOfInstalled = installedAsRoot;
    homeOfInstalled.lexiflipHome = "/srv/copy2";
    const Case cases[] = {
        {"LEXIFLIP_HOME", home, "/srv/copy2", false},
        {"a shared LEXIFLIP_HOME", sharedHome, "/home/u/.config/Lexiflip", true},
        {"beside the program", beside, "/opt/lexiflip", false},
        {"an installed program", readOnly, "/home/u/.config/Lexiflip", false},
        {"a shared program folder", sharedBeside, "/home/u/.config/Lexiflip", true},
        {"an installed program run by root", installedAsRoot, "/home/u/.config/Lexiflip", false},
        {"LEXIFLIP_HOME of an installed program", homeOfInstalled, "/srv/copy2", false},
    };
    for (const Case& c : cases) {
        const AppFolderChosen chosen = chooseAppFolder(c.choice);
        EXPECT_EQ(chosen.folder, c.folder) << c.what;
        EXPECT_EQ(!chosen.notice.isEmpty(), c.notice) << c.what;
    }
}

TEST(AppFolder, systemFoldersAreUsrAndBelowIt)
{
    const std::pair<QString, bool> cases[] = {
        {"/usr/games", true},          {"/usr/local/games", true}, {"/usr/bin", true},
        {"/usr", true},                {"/usr/games/", true},      {"/usrlocal/games", false},
        {"/home/u/lexiflip/build/app", false}, {"/opt/lexiflip", false}, {"/", false},
        {"/home/u/../../usr/games", true},
    };
    for (const auto& [folder, system] : cases)
        EXPECT_EQ(isSystemFolder(folder), system) << folder.toStdString();
}

unsigned othersRights(const QString& folder)
{
    struct stat info {};
    if (::stat(folder.toLocal8Bit().constData(), &info) != 0)
        return 0777;
    return info.st_mode & 077;
}

// The real folder: LEXIFLIP_HOME is created private, and one that others may
// write into, or that belongs to another user, is refused for the user's
// configuration folder (created 0700), said once on standard error however
// many files ask for it.
TEST(AppFolder, aSharedLexiflipHomeIsRefusedOnceForTheConfigurationFolder)
{
    QTemporaryDir base;
    qputenv("XDG_CONFIG_HOME", (base.path() + "/config").toLocal8Bit());
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    ASSERT_TRUE(config.startsWith(base.path()));

    const QString fresh = base.path() + "/copy2";
    qputenv("LEXIFLIP_HOME", fresh.toLocal8Bit());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(appFilePath("Lexifliptally.tld"), fresh + "/Lexifliptally.tld");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(othersRights(fresh), 0u); // nobody but the user

    const QString shared = base.path() + "/shared";
    ASSERT_EQ(::mkdir(shared.toLocal8Bit().constData(), 0700), 0);
    ASSERT_EQ(::chmod(shared.toLocal8Bit().constData(), 0777), 0);
    QStringList refused{shared};
    // Another user's folder, where the test may make one (as the superuser).
    const QString theirs = base.path() + "/theirs";
    ASSERT_EQ(::mkdir(theirs.toLocal8Bit().constData(), 0755), 0);
    if (::geteuid() == 0 && ::chown(theirs.toLocal8Bit().constData(), 65534, 65534) == 0)
        refused.append(theirs);
    for (const QString& folder : refused) {
        SCOPED_TRACE(folder.toStdString());
        qputenv("LEXIFLIP_HOME", folder.toLocal8Bit());
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(appFilePath("halvolobby.ini"), config + "/halvolobby.ini");
        EXPECT_EQ(appFilePath("Lexifliptally.tld"), config + "/Lexifliptally.tld");
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find(folder.toStdString()), std::string::npos) << said;
        EXPECT_NE(said.find(config.toStdString()), std::string::npos) << said;
        EXPECT_EQ(othersRights(config), 0u);
        EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }
    qunsetenv("LEXIFLIP_HOME");
    qunsetenv("XDG_CONFIG_HOME");
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

// raise() runs the handler on this thread before it returns, so a burst of
// signals that nobody reads yet fills the socket pair: a handler whose write
// blocked would hang here, and one that let the write's failure through would
// change errno under the code it interrupted. The burst still comes out as
// calls on the event loop.
TEST(UnixSignals, aBurstNeitherBlocksNorChangesErrno)
{
    int seen = 0;
    UnixSignalWatcher watcher({SIGTERM, SIGINT}, [&](int) { ++seen; });
    ASSERT_TRUE(watcher.active());
    for (int i = 0; i < 5000; ++i) {
        errno = ENOENT;
        std::raise(i % 2 == 0 ? SIGTERM : SIGINT);
        ASSERT_EQ(errno, ENOENT) << "after signal " << i;
    }
    QTRY_VERIFY(seen > 0);
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
