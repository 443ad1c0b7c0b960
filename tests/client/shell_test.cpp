#include "client/app_paths.h"
#include "client/command_line.h"
#include "client/lobby_link.h"
#include "client/single_instance.h"

#include "net/net_wait.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace lexiflip::client {
namespace {

using testing::waitUntil;

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

TEST(AppPathsTest, HomeVariableWinsThenAWritableProgramDirectoryThenTheConfigDirectory)
{
    struct Case {
        const char* home;
        bool programDirWritable;
        const char* chosen;
    };
    const Case cases[] = {
        {"/tmp/h", true, "/tmp/h"},
        {"/tmp/h", false, "/tmp/h"},
        {"", true, "/opt/lexiflip"},
        {"", false, "/home/ann/.config/Lexiflip"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseSettingsDirectory(QString::fromUtf8(c.home), QStringLiteral("/opt/lexiflip"),
                                          c.programDirWritable, QStringLiteral("/home/ann/.config/Lexiflip")),
                  QString::fromUtf8(c.chosen));
    }
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
        QLocalServer::removeServer(m_name);
        QFile::remove(QDir::temp().filePath(m_name + QStringLiteral(".lock")));
    }
    QProcess& start()
    {
        m_processes.push_back(std::make_unique<QProcess>());
        QProcess& process = *m_processes.back();
        process.start(m_probe, {m_name});
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

TEST_F(SingleInstanceTest, TwoGuardsInOneProcessAgreeWhoIsFirst)
{
    SingleInstance first(m_name);
    ASSERT_TRUE(first.claim());
    int raised = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++raised; });
    SingleInstance second(m_name);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(waitUntil([&] { return raised == 1; }));
}

} // namespace
} // namespace lexiflip::client
