// lexiflip started as a process, offscreen: the roles its command line picks,
// seen from the wire.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

#include "e2e/e2e_support.h"
#include "net/net_wait.h"
#include "net/test_client.h"

namespace lexiflip::testing {
namespace {

class GameProcess {
public:
    GameProcess(const QStringList& arguments, quint16 port, const Home& home,
                const QList<QPair<QString, QString>>& extraEnvironment = {},
                const QString& workingDirectory = {})
    {
        m_process.setProcessEnvironment(windowEnvironment(port, home.path(), extraEnvironment));
        if (!workingDirectory.isEmpty())
            m_process.setWorkingDirectory(workingDirectory);
        m_process.start(binaryDir() + QStringLiteral("/app/lexiflip"), arguments);
        m_process.waitForStarted(10000);
    }
    ~GameProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    // SIGTERM, then the exit status of a normal end (-1 for a crash or a hang).
    int terminate()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(10000) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

TEST(LexiflipWindow, WithoutParametersItHostsASoloGameWhoseFirstPlayerIsItsOwnWindow)
{
    const quint16 port = freePort();
    Home home;
    GameProcess game({}, port, home);
    // The host listens on LEXIFLIP_PORT once the window is up; a second client
    // finds the window's player "You" already in slot 1.
    const std::unique_ptr<TestClient> client = joinWhenListening(port, "Ann");
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->slot(), 2);
    EXPECT_TRUE(client->waitFor("CMD_existingplayers+1+You"));
    EXPECT_TRUE(game.running());
}

// Takes the window's connection on host, gives it slot 3 as a host speaks
// first, and returns what the window answered up to its login's terminator
// (empty when the window never connected or never answered).
QByteArray loginOfTheWindow(QTcpServer& host)
{
    if (!waitUntil([&] { return host.hasPendingConnections(); }, 15000))
        return {};
    QTcpSocket* window = host.nextPendingConnection();
    window->write("CMD_sendlogininfo+3+\xFF");
    QByteArray login;
    waitUntil([&] {
        login += window->readAll();
        return login.count('\xFF') >= 2;
    });
    return login;
}

TEST(LexiflipWindow, WithARoleOtherThanTrueItJoinsTheGivenHostOnItsPort)
{
    QTcpServer host;
    ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
    Home home;
    GameProcess game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("True")},
                     host.serverPort(), home);
    EXPECT_EQ(loginOfTheWindow(host), QByteArray("CMD_logininfo+3+1.0.3+Ann\xFF\xFF"));
}

// The shipped program has no screenshot switch: "--screenshot" is a player's
// name like any other, after "--" or not, and nothing is written for it.
TEST(LexiflipWindow, ScreenshotIsAPlayersNameNotASwitch)
{
    for (const QStringList& arguments :
         {QStringList{"--", "--screenshot", "127.0.0.1", "join"}, QStringList{"--screenshot", "127.0.0.1", "join"}}) {
        QTcpServer host;
        ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
        Home home;
        Home workingDirectory;
        GameProcess game(arguments, host.serverPort(), home, {}, workingDirectory.path());
        EXPECT_EQ(loginOfTheWindow(host), QByteArray("CMD_logininfo+3+1.0.3+--screenshot\xFF\xFF"))
            << arguments.join(' ').toStdString();
        EXPECT_TRUE(game.running());
        EXPECT_TRUE(QDir(workingDirectory.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << "a file was written for the switch";
    }
}

TEST(LexiflipWindow, ASecondCopyHandsOverToTheFirstAndEndsAtOnce)
{
    const quint16 port = freePort();
    Home home;
    GameProcess first({}, port, home);
    ASSERT_NE(joinWhenListening(port, "Ann"), nullptr);

    // Same folder of files: the same game. It must not host a second game.
    GameProcess second({}, freePort(), home);
    ASSERT_TRUE(second.process().waitForFinished(10000));
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(first.running());
}

// A hosting copy and a joining copy, each a process with its own files, both
// holding the link to the lobby.
TEST(LexiflipWindow, AHostingCopyAndAJoiningCopyPlayTogetherAndBothLinkToTheLobby)
{
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    const QList<QPair<QString, QString>> lobbyPort = {
        {QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(lobby.serverPort())}};
    const quint16 port = freePort();
    Home hostHome;
    Home joinHome;
    GameProcess host({QStringLiteral("Ann"), QStringLiteral("10.9.8.7"), QStringLiteral("true")}, port,
                     hostHome, lobbyPort);
    const std::unique_ptr<TestClient> watcher = joinWhenListening(port, "Cid");
    ASSERT_NE(watcher, nullptr);
    ASSERT_TRUE(watcher->waitFor("CMD_existingplayers+1+Ann", 10000)) << "the host's own window has slot 1";

    GameProcess joiner({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, port,
                       joinHome, lobbyPort);
    EXPECT_TRUE(watcher->waitFor("CMD_newplayerinfo+3+Bob", 15000));

    int links = 0;
    EXPECT_TRUE(waitUntil(
        [&] {
            while (QTcpSocket* link = lobby.nextPendingConnection()) {
                ++links;
                link->setParent(&lobby);
            }
            return links == 2;
        },
        15000));
    EXPECT_TRUE(host.running());
    EXPECT_TRUE(joiner.running());
}

// Told to stop, the program closes its window the normal way and writes the
// tally; a copy that never reached a host has read no settings and overwrites
// none.
TEST(LexiflipWindow, SigtermWritesTheTallyAndKeepsSettingsThatWereNeverRead)
{
    const QByteArray stored =
        "[Lobby]\nNick=ann\n[Lexiflip]\nLeft=40\nTop=50\nWidth=800\nHeight=600\nBotspeed=250\n";
    {
        Home home;
        const quint16 port = freePort();
        GameProcess game({}, port, home);
        const std::unique_ptr<TestClient> client = joinWhenListening(port, "Ann");
        ASSERT_NE(client, nullptr);
        EXPECT_EQ(game.terminate(), 0);

        const QByteArray tally = decompressedTally(home.path());
        ASSERT_FALSE(tally.isEmpty()) << "the tally file is missing or does not decompress";
        EXPECT_TRUE(tally.startsWith("9\r\n1\r\n")) << "an empty tally: 9 columns, 1 row";
    }
    {
        Home home;
        QFile settings(home.file(QStringLiteral("halvolobby.ini")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(stored);
        settings.close();
        // A host that accepts the connection but never says which slot: the
        // window never learns of its arrival, so it never reads the settings.
        QTcpServer silentHost;
        ASSERT_TRUE(silentHost.listen(QHostAddress::LocalHost, 0));
        GameProcess game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("join")},
                         silentHost.serverPort(), home,
                         {{QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(freePort())}});
        ASSERT_TRUE(waitUntil([&] { return silentHost.hasPendingConnections(); }, 15000));
        EXPECT_EQ(game.terminate(), 0);
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        EXPECT_EQ(settings.readAll(), stored);
    }
}

// The files another user could have put in the way, and a save that fails at
// exit: a pipe under the tally's name does not hang the start (it is moved
// aside like a damaged file); a tally that cannot be written at exit, where no
// window is left, is said on standard error and in the exit status.
TEST(LexiflipWindow, APipeDoesNotHangTheStartAndAFailedTallySaveEndsWithAnError)
{
    Home home;
    const QString tally = home.file(QStringLiteral("Lexifliptally.tld"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(tally).constData(), 0600), 0);
    const quint16 port = freePort();
    GameProcess game({}, port, home);
    const std::unique_ptr<TestClient> client = joinWhenListening(port, "Ann");
    ASSERT_NE(client, nullptr) << "the start hung on the pipe";
    EXPECT_TRUE(QFileInfo(tally + QStringLiteral(".bad")).exists());

    // Something the writer may not replace now stands under the name.
    ASSERT_TRUE(QDir().mkdir(tally));
    EXPECT_EQ(game.terminate(), 1);
    const QByteArray said = game.process().readAllStandardError();
    EXPECT_TRUE(said.contains("the tally was not saved: cannot write " + QFile::encodeName(tally))) << said.data();
}

} // namespace
} // namespace lexiflip::testing
