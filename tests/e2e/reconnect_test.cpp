// A window whose connection to lexiflip-host is cut, again and again, through
// a relay of the test's own on 127.0.0.1: by a reset, and by a silent stall
// that only the window's silence limit notices. Each time the window finds
// its way back to its own seat by itself, and the game reaches its winner
// without a box or a click.

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "e2e/driven_window.h"
#include "e2e/host_process.h"
#include "e2e/scripted_seat.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

// Passes one window's connection to the host and back, and cuts it when the
// test says: with a reset of the window's side, or by no longer passing
// anything either way. The host's
// side is closed as soon as the window's is, as a host would see a player's
// connection go.
class CuttingRelay {
public:
    explicit CuttingRelay(quint16 hostPort) : m_hostPort(hostPort)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
        m_deadline.setSingleShot(true);
        QObject::connect(&m_deadline, &QTimer::timeout, [this] { cutNow(); });
    }
    quint16 port() const { return m_server.serverPort(); }
    int connections() const { return m_connections; }

    // Cuts after so many more bytes towards the window, or after so long,
    // whichever comes first.
    void armCut(qint64 afterBytes, int afterMs, bool stall)
    {
        m_cutAt = m_passedDown + afterBytes;
        m_stallNext = stall;
        m_armed = true;
        m_cut = false;
        m_deadline.start(afterMs);
    }
    bool cut() const { return m_cut; }
    // The seat on turn, as the window last heard, when the last cut came.
    int cutOnTurn() const { return m_cutOnTurn; }

private:
    void accept()
    {
        while (QTcpSocket* down = m_server.nextPendingConnection()) {
            ++m_connections;
            drop();
            m_down = down;
            m_up = new QTcpSocket(&m_server);
            m_stalled = false;
            QObject::connect(m_up, &QTcpSocket::connected, m_up, [this] {
                QObject::connect(m_down, &QTcpSocket::readyRead, m_down, [this] { passUp(); });
                passUp();
            });
            QObject::connect(m_up, &QTcpSocket::readyRead, m_up, [this] { passDown(); });
            QObject::connect(m_down, &QTcpSocket::disconnected, m_down, [this] { drop(); });
            QObject::connect(m_up, &QTcpSocket::disconnected, m_up, [this] { drop(); });
            m_up->connectToHost(QHostAddress::LocalHost, m_hostPort);
        }
    }
    void passUp()
    {
        if (!m_stalled && m_down && m_up) {
            m_up->write(m_down->readAll());
        }
    }
    void passDown()
    {
        if (m_stalled || !m_down || !m_up)
            return;
        QByteArray bytes = m_up->readAll();
        if (m_armed && m_passedDown + bytes.size() >= m_cutAt) {
            bytes.truncate(std::max<qint64>(0, m_cutAt - m_passedDown));
            m_down->write(bytes);
            m_down->flush();
            m_passedDown += bytes.size();
            cutNow();
            return;
        }
        m_down->write(bytes);
        m_passedDown += bytes.size();
        followTurn(bytes);
    }
    void cutNow()
    {
        if (!m_armed || !m_down)
            return;
        m_cutOnTurn = m_onTurn;
        m_armed = false;
        m_cut = true;
        if (m_stallNext) {
            m_stalled = true; // the window must notice by itself
            return;
        }
        const linger abrupt{1, 0};
        ::setsockopt(static_cast<int>(m_down->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abrupt,
                     sizeof abrupt);
        drop();
    }
    // Who is on turn, from the turn announcements passed to the window.
    void followTurn(const QByteArray& bytes)
    {
        static const QByteArray kNext = "CMD_nextplayer+";
        m_tail += bytes;
        for (qsizetype at = m_tail.indexOf(kNext); at >= 0 && at + kNext.size() < m_tail.size();
             at = m_tail.indexOf(kNext, at + 1))
            m_onTurn = m_tail.at(at + kNext.size()) - '0';
        m_tail = m_tail.right(kNext.size() + 1);
    }
    // Both sides of the current connection go.
    void drop()
    {
        for (QTcpSocket** side : {&m_down, &m_up}) {
            if (QTcpSocket* socket = std::exchange(*side, nullptr)) {
                socket->disconnect();
                socket->abort();
                socket->deleteLater();
            }
        }
    }

    quint16 m_hostPort;
    QTcpServer m_server;
    QTimer m_deadline;
    QTcpSocket* m_down = nullptr;
    QTcpSocket* m_up = nullptr;
    qint64 m_passedDown = 0;
    qint64 m_cutAt = 0;
    bool m_armed = false;
    bool m_stallNext = false;
    bool m_stalled = false;
    bool m_cut = false;
    int m_connections = 0;
    int m_onTurn = 0;
    int m_cutOnTurn = 0;
    QByteArray m_tail;
};

// Ann (a scripted client in slot 1) hosts; Bob's window joins through the
// relay into slot 2. Both are set to just watch, so that the computer plays
// every turn and nobody clicks. Twenty cuts at moments spread over the game:
// four resets to each stall.
TEST(Reconnect, AWindowCutTwentyTimesIsBackInItsSeatEachTimeAndTheGameReachesItsWinner)
{
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bot-speed"),
                      QStringLiteral("fast")});
    const quint16 hostPort = host.waitForPort();
    ASSERT_NE(hostPort, 0);
    TestClient ann(hostPort);
    ASSERT_TRUE(ann.login("Ann"));
    CuttingRelay relay(hostPort);

    Home home;
    DrivenWindow bob({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("join")},
                     relay.port(), home.path());
    ASSERT_TRUE(
        bob.waitFor([](const DrivenState& s) { return s.flag("loggedin") && s.number("slot") == 2; }, 30000))
        << bob.errors();
    // Longer than the host's quietest moment with computer players at this
    // pace (the pause of four seconds after a word); the window's own limit
    // follows the turn's 60 seconds.
    ASSERT_TRUE(bob.command("silence 6000"));

    // Played to 200, so that the twenty cuts (four of them stalls the window
    // needs six seconds to notice) are all made before the winner, also in
    // the slower sanitized build: to 120 the game once ended during the last.
    ann.send(msg::startgame("Ann", "200", "60", false, "1", "0"));
    ASSERT_TRUE(ann.waitFor("CMD_startgame+"));
    ann.send(msg::justwatch(1, "1"));
    ann.send(msg::justwatch(2, "1"));
    ASSERT_TRUE(bob.waitFor([](const DrivenState& s) { return s.flag("watching") && s.flag("running"); }));

    // Ann's view of the game so far.
    SeenGame witness;
    std::size_t read = 0;
    auto follow = [&] {
        for (; read < ann.messages().size(); ++read)
            witness.take(1, ann.messages()[read]);
    };

    int lossesSeen = 0;
    for (int i = 0; i < 20; ++i) {
        const bool stall = i % 5 == 4;
        SCOPED_TRACE("cut " + std::to_string(i + 1) + (stall ? " (stall)" : " (reset)"));
        ASSERT_FALSE(ann.has("CMD_winner+")) << "the game ended before every cut was made";
        const int connections = relay.connections();
        relay.armCut(10 + (i * 53) % 200, 300 + (i * 379) % 1500, stall);
        ASSERT_TRUE(waitUntil([&] { return relay.cut(); }, 60000));

        // The table as the window had it when it learnt of the loss (unless
        // the window was quicker than the test, and is already caught up anew).
        ASSERT_TRUE(bob.waitFor([](const DrivenState& s) { return s.number("reconnecting") != 0; }, 15000));
        const DrivenState lost = bob.last();
        EXPECT_EQ(lost.text("box"), "");
        const bool seenLost = lost.number("reconnecting") == 1;
        if (seenLost) {
            ++lossesSeen;
            EXPECT_EQ(lost.list("names").at(1), "Bob");
            EXPECT_TRUE(lost.flag("running"));
        }

        ASSERT_TRUE(bob.waitFor(
            [](const DrivenState& s) {
                return s.number("reconnecting") == 0 && s.flag("loggedin") && s.flag("watching") &&
                       s.flag("running");
            },
            15000))
            << "reconnecting " << bob.last().number("reconnecting") << " loggedin "
            << bob.last().flag("loggedin") << " watching " << bob.last().flag("watching") << " running "
            << bob.last().flag("running") << " names " << bob.last().text("names") << " winner "
            << bob.last().text("winner") << (ann.has("CMD_winner+") ? "; the game ended meanwhile" : "");
        const DrivenState back = bob.last();
        follow();
        // One connection each time: nothing else cut it.
        EXPECT_EQ(relay.connections(), connections + 1);
        EXPECT_EQ(back.number("slot"), 2);
        EXPECT_EQ(back.list("names").at(1), "Bob");
        EXPECT_EQ(back.text("box"), "");
        EXPECT_FALSE(back.flag("offer"));
        EXPECT_EQ(back.score(2), witness.scores[2]);
        // The host kept his bar as it was. (After a stall the computer may
        // have played for him before the host learnt he was gone; on his own
        // turn a word may have been on its way.)
        if (seenLost && !stall && relay.cutOnTurn() != 2) {
            EXPECT_EQ(back.text("bar"), lost.text("bar"));
        }
    }
    EXPECT_GE(lossesSeen, 15);

    ASSERT_TRUE(bob.waitFor([](const DrivenState& s) { return !s.text("winner").empty(); }, 300000))
        << [&] {
               std::string tail = std::string("host ") +
                                  (host.process().state() == QProcess::Running ? "running" : "gone") +
                                  ", Ann " + (ann.closed() ? "closed" : "connected") + ", window reconnecting " +
                                  std::to_string(bob.last().number("reconnecting")) + ", scores " +
                                  std::to_string(bob.last().score(1)) + "/" + std::to_string(bob.last().score(2)) +
                                  "; host stderr: " + host.process().readAllStandardError().toStdString() +
                                  "; the host said last:";
               const auto& said = ann.messages();
               for (std::size_t i = said.size() > 8 ? said.size() - 8 : 0; i < said.size(); ++i)
                   tail += "\n  " + said[i];
               return tail;
           }();
    EXPECT_EQ(bob.last().text("box"), "");
    EXPECT_FALSE(bob.last().flag("offer"));
    EXPECT_TRUE(ann.waitFor("CMD_winner+"));
    EXPECT_EQ(bob.quit(), 0);
}

} // namespace
} // namespace lexiflip::testing
