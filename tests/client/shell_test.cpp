#include "client/shell/command_line.h"
#include "client/shell/lobby_link.h"
#include "client/shell/settings_location.h"
#include "client/shell/single_instance.h"
#include "client/shell/window_placement.h"

#include "net/net_wait.h"
#include "support/app_environment.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>

namespace lexiflip::client {
namespace {

using testing::waitUntil;

// The window tests need widgets, the rest an event loop: one application
// object for the whole test program.
const auto* const kEnvironment = testing::registerAppEnvironment<QApplication>("shell_tests");

TEST(CommandLineTest, OptionsAreReadOnlyWhereTheyCannotBeTheLobbysParameters)
{
    using Kind = CommandLineRequest::Kind;
    using Args = std::vector<std::string>;
    struct Case {
        Args arguments;
        CommandLineRequest request;
    };
    const Case cases[] = {
        {{}, {Kind::Run, {}}},
        {{"--help"}, {Kind::PrintHelp, {}}},
        {{"-h"}, {Kind::PrintHelp, {}}},
        {{"--version"}, {Kind::PrintVersion, {}}},
        {{"Ann", "10.0.0.2", "true"}, {Kind::Run, {"Ann", "10.0.0.2", "true"}}},
        {{"--help", "10.0.0.2", "true"}, {Kind::Run, {"--help", "10.0.0.2", "true"}}},
        {{"Ann", "--version"}, {Kind::Run, {"Ann", "--version"}}},
        {{"--", "--help", "10.0.0.2", "yes"}, {Kind::Run, {"--help", "10.0.0.2", "yes"}}},
        {{"--"}, {Kind::Run, {}}},
        {{"Ann", "--", "x"}, {Kind::Run, {"Ann", "--", "x"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readCommandLine(c.arguments), c.request) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(versionText(), "lexiflip 1.0.3\n");
    EXPECT_EQ(helpText().rfind("Usage: lexiflip [NAME ADDRESS ROLE]\n", 0), 0u);
}

TEST(AppPathsTest, SettingsFileLiesInLexiflipHome)
{
    const QByteArray home = qgetenv("LEXIFLIP_HOME");
    qputenv("LEXIFLIP_HOME", "/tmp/lexiflip-home-test");
    EXPECT_EQ(settingsFilePath(), std::filesystem::path("/tmp/lexiflip-home-test/halvolobby.ini"));
    const QString scoped = SingleInstance::serverName();
    qputenv("LEXIFLIP_HOME", "/tmp/lexiflip-home-other");
    EXPECT_NE(SingleInstance::serverName(), scoped);
    EXPECT_TRUE(scoped.startsWith(QStringLiteral("zorbet-")));
    if (home.isEmpty())
        qunsetenv("LEXIFLIP_HOME");
    else
        qputenv("LEXIFLIP_HOME", home);
}

TEST(LobbyLinkTest, PortComesFromTheVariableOnlyWhenItIsAPort)
{
    const std::pair<const char*, quint16> cases[] = {
        {"", 9001}, {"9100", 9100}, {"0", 9001}, {"65536", 9001}, {"port", 9001}, {"-5", 9001},
    };
    for (const auto& [text, port] : cases)
        EXPECT_EQ(LobbyLink::portFromText(QString::fromLatin1(text)), port) << text;
}

TEST(LobbyLinkTest, HeldOpenSendsNothingAndDropsWhatArrives)
{
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    LobbyLink link;
    link.open(lobby.serverPort());
    ASSERT_TRUE(waitUntil([&] { return lobby.hasPendingConnections() && link.isConnected(); }));
    std::unique_ptr<QTcpSocket> peer(lobby.nextPendingConnection());

    // The lobby talks; the link reads and drops it, and says nothing back.
    peer->write(QByteArray(100000, 'x'));
    ASSERT_TRUE(waitUntil([&] { return peer->bytesToWrite() == 0; }));
    QCoreApplication::processEvents();
    peer->write("ping\n");
    ASSERT_TRUE(waitUntil([&] { return peer->bytesToWrite() == 0; }));
    testing::settle();
    EXPECT_TRUE(link.isConnected());
    EXPECT_EQ(peer->bytesAvailable(), 0);
    EXPECT_EQ(peer->state(), QAbstractSocket::ConnectedState);
}

TEST(LobbyLinkTest, NoLobbyIsSilent)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    LobbyLink link;
    bool connected = false;
    QObject::connect(&link, &LobbyLink::connected, [&] { connected = true; });
    link.open(port);
    testing::settle();
    EXPECT_FALSE(waitUntil([&] { return connected; }, 200));
    EXPECT_FALSE(link.isConnected());
}

// The close path over a real window: what placeWindow set is what the close
// rule sees, before and after the window is shown, so an untouched window
// writes nothing.
TEST(WindowPlacementTest, AnUntouchedWindowWritesNothingAtCloseAndAMovedOneIsStored)
{
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("lexiflip-placement-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const fs::path path = dir / "halvolobby.ini";
    settings::SettingsFile file(path);
    QWidget window;
    EXPECT_FALSE(saveWindowAtClose(file, window)); // not read yet
    file.load();
    EXPECT_FALSE(fs::exists(path));

    placeWindow(window, file.preferences().bounds);
    EXPECT_EQ(windowBounds(window), settings::kResetBounds);
    window.show();
    EXPECT_EQ(windowBounds(window), settings::kResetBounds);
    EXPECT_FALSE(saveWindowAtClose(file, window));
    EXPECT_FALSE(fs::exists(path));

    window.move(60, 70);
    EXPECT_TRUE(saveWindowAtClose(file, window));
    settings::SettingsFile reread(path);
    reread.load();
    EXPECT_EQ(reread.preferences().bounds, (settings::WindowBounds{60, 70, 720, 535}));
    fs::remove_all(dir);
}

// The single-instance guard with real processes: probes run the guard as the
// game's start-up does.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_name = QStringLiteral("zorbet-test-%1").arg(std::random_device{}());
        m_probe = QCoreApplication::applicationDirPath() + QStringLiteral("/single_instance_probe");
    }
    void TearDown() override
    {
        for (auto& process : m_processes) {
            process->kill();
            process->waitForFinished(5000);
        }
        // What the killed probes left behind.
        const SingleInstance guard(m_name);
        QLocalServer::removeServer(guard.socketPath());
        QFile::remove(guard.socketPath() + QStringLiteral(".lock"));
    }
    // A probe; with a place, in that environment and working folder.
    QProcess& start(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                    const QString& workingFolder = {}, const QStringList& arguments = {})
    {
        m_processes.push_back(std::make_unique<QProcess>());
        QProcess& process = *m_processes.back();
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(workingFolder);
        process.start(m_probe, QStringList{m_name} + arguments);
        return process;
    }
    static bool says(QProcess& process, const QByteArray& line)
    {
        return waitUntil([&] { return process.readAllStandardOutput().contains(line); }, 10000);
    }

    QString m_name;
    QString m_probe;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(SingleInstanceTest, SecondCopyBringsTheFirstForwardAndEndsWithStatusZero)
{
    QProcess& first = start();
    ASSERT_TRUE(says(first, "first\n"));
    for (int copy = 0; copy < 2; ++copy) {
        QProcess& second = start();
        ASSERT_TRUE(waitUntil([&] { return second.state() == QProcess::NotRunning; }, 10000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(second.readAllStandardOutput(), "second\n");
        EXPECT_TRUE(says(first, "raised\n"));
    }
}

// A copy started with an invite link hands it to the running one whole.
TEST_F(SingleInstanceTest, ASecondCopysInviteLinkReachesTheFirst)
{
    QProcess& first = start();
    ASSERT_TRUE(says(first, "first\n"));
    const QString link = QStringLiteral("lexiflip://[::1]:7000");
    QProcess& second = start(QProcessEnvironment::systemEnvironment(), {}, {link});
    ASSERT_TRUE(waitUntil([&] { return second.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(says(first, "invite lexiflip://[::1]:7000\n"));
}

TEST_F(SingleInstanceTest, ACrashedFirstCopyNeverBlocksANewStart)
{
    QProcess& crashed = start();
    ASSERT_TRUE(says(crashed, "first\n"));
    crashed.kill(); // SIGKILL: the socket and the lock file stay behind
    ASSERT_TRUE(crashed.waitForFinished(5000));

    QProcess& next = start();
    EXPECT_TRUE(says(next, "first\n"));
    QProcess& second = start();
    EXPECT_TRUE(says(second, "second\n"));
    EXPECT_TRUE(says(next, "raised\n"));
}

// Without a usable runtime folder the socket and the lock go to a folder of
// the program's own, private to the user, which still keeps one copy; never
// to the shared temporary folder or the working folder. When another user
// made that folder first (the superuser plays him; else a folder of ours that
// others may enter), the copy runs without the guard and says so, rather than
// use it or end silently.
TEST_F(SingleInstanceTest, WithoutARuntimeFolderTheGuardUsesOnlyAPrivateFolderOfItsOwn)
{
    QTemporaryDir temporary;
    QTemporaryDir working;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), temporary.path() + QStringLiteral("/nowhere"));
    environment.insert(QStringLiteral("TMPDIR"), temporary.path());
    const QString own = temporary.path() + QStringLiteral("/lexiflip-%1").arg(::geteuid());
    const auto entries = [](const QString& folder) {
        return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System | QDir::Hidden);
    };
    {
        QProcess& first = start(environment, working.path());
        ASSERT_TRUE(says(first, "first\n"));
        QProcess& second = start(environment, working.path());
        EXPECT_TRUE(says(second, "second\n"));
        EXPECT_TRUE(says(first, "raised\n"));
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(own).constData(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_TRUE(entries(own).contains(m_name)) << entries(own).join(' ').toStdString();
        EXPECT_EQ(entries(working.path()), QStringList());
        for (auto& process : m_processes)
            process->kill();
        QDir(own).removeRecursively();
    }
    // Another user's folders under both names, Qt's and ours.
    const QString qtsOwn = temporary.path() + QStringLiteral("/runtime-") + qEnvironmentVariable("USER", "root");
    for (const QString& folder : {own, qtsOwn}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        const QByteArray name = QFile::encodeName(folder);
        if (::geteuid() != 0 || ::chown(name.constData(), 65534, 65534) != 0)
            ::chmod(name.constData(), 0777);
        else
            ::chmod(name.constData(), 0700);
    }
    QProcess& alone = start(environment, working.path());
    EXPECT_TRUE(says(alone, "first\n")); // it does not end silently
    EXPECT_TRUE(waitUntil([&] { return alone.readAllStandardError().contains("without the one-copy guard"); }));
    EXPECT_EQ(entries(own), QStringList());
    EXPECT_EQ(entries(qtsOwn), QStringList());
    EXPECT_EQ(entries(working.path()), QStringList());
}

} // namespace
} // namespace lexiflip::client
