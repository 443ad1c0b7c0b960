// lexiflip started as a process, offscreen: the roles its command line picks,
// seen from the wire.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <cstdlib>

#include "net/net_wait.h"
#include "net/test_client.h"

namespace lexiflip::testing {
namespace {

// A port nobody listens on right now.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::AnyIPv4, 0);
    return probe.serverPort();
}

class GameProcess {
  public:
    GameProcess(const QStringList& arguments, quint16 port)
    {
        const char* binary = std::getenv("LEXIFLIP_BINARY_DIR");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LEXIFLIP_PORT"), QString::number(port));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(environment);
        m_process.start(QString::fromUtf8(binary ? binary : ".") + QStringLiteral("/app/lexiflip"),
                        arguments);
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

  private:
    QProcess m_process;
};

TEST(LexiflipWindow, WithoutParametersItHostsASoloGameWhoseFirstPlayerIsItsOwnWindow)
{
    const quint16 port = freePort();
    GameProcess game({}, port);
    // The host listens on LEXIFLIP_PORT once the window is up; a second client
    // finds the window's player "You" already in slot 1.
    std::unique_ptr<TestClient> client;
    ASSERT_TRUE(waitUntil(
        [&] {
            client = std::make_unique<TestClient>(port);
            return waitUntil([&] { return client->has("CMD_sendlogininfo+") || client->closed(); }, 500) &&
                   client->has("CMD_sendlogininfo+");
        },
        15000));
    ASSERT_TRUE(client->login("Ann"));
    EXPECT_EQ(client->slot(), 2);
    EXPECT_TRUE(client->waitFor("CMD_existingplayers+1+You"));
    EXPECT_TRUE(game.running());
}

TEST(LexiflipWindow, WithARoleOtherThanTrueItJoinsTheGivenHostOnItsPort)
{
    QTcpServer host;
    ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
    GameProcess game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("True")},
                     host.serverPort());
    ASSERT_TRUE(waitUntil([&] { return host.hasPendingConnections(); }, 15000));
    QTcpSocket* window = host.nextPendingConnection();
    // The host speaks first; the window answers with its login.
    window->write("CMD_sendlogininfo+3+\xFF");
    QByteArray login;
    ASSERT_TRUE(waitUntil([&] {
        login += window->readAll();
        return login.count('\xFF') >= 2;
    }));
    EXPECT_EQ(login, QByteArray("CMD_logininfo+3+1.0.3+Ann\xFF\xFF"));
}

} // namespace
} // namespace lexiflip::testing
