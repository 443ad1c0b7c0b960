// Local network discovery against the real programs: lexiflip-host and a
// game window that hosts answer a search over 127.0.0.1, never with more than
// they were asked with, once a second per source, and not at all to garbage.
#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <memory>

#include "e2e/e2e_support.h"
#include "e2e/host_process.h"
#include "net/discovery/datagram.h"
#include "net/lan_search.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

// Loopback addresses only: the searches' own, a marker's and a raw searcher's.
const QString kConfinement = QStringLiteral("127.0.0.1,127.0.0.2,127.0.0.3");

// A port free for both TCP and UDP on 127.0.0.1: the game's and the search's.
quint16 freeGameAndSearchPort()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        const quint16 port = freePort();
        QUdpSocket probe;
        if (probe.bind(QHostAddress::LocalHost, port))
            return port;
    }
    return 0;
}

// A UDP socket on one loopback address, sending to 127.0.0.1.
class Searcher {
public:
    explicit Searcher(const char* address) { m_socket.bind(QHostAddress(QString::fromLatin1(address)), 0); }
    void send(const std::string& datagram, quint16 port)
    {
        m_socket.writeDatagram(QByteArray::fromStdString(datagram), QHostAddress::LocalHost, port);
    }
    // Whether a datagram waits to be read (asks the system itself).
    bool hasAnswer() { return m_socket.hasPendingDatagrams(); }
    // The next datagram within a few seconds, empty for none.
    QByteArray next()
    {
        if (!waitUntil([&] { return m_socket.hasPendingDatagrams(); }, 5000))
            return {};
        return m_socket.receiveDatagram().data();
    }

private:
    QUdpSocket m_socket;
};

std::uint32_t nonceOf(const QByteArray& answer)
{
    const auto read = discovery::readAnswer(answer.toStdString());
    return read ? read->nonce : 0;
}

// The checks both programs must pass, once Ann (slot 1) and Bob play there.
void searchAndProbe(quint16 port)
{
    net::LanSearch search;
    search.setScope(net::DiscoveryScope::confinedTo(QStringLiteral("127.0.0.1")));
    search.setPort(port);
    QSignalSpy found(&search, &net::LanSearch::hostFound);
    QSignalSpy finished(&search, &net::LanSearch::finished);
    search.start();
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }, 5000));
    ASSERT_EQ(found.count(), 1);
    const auto host = found.at(0).at(0).value<net::LanHost>();
    EXPECT_EQ(host.port, port);
    EXPECT_EQ(host.hostName, QStringLiteral("Ann"));
    EXPECT_EQ(host.freeSeats, 4);
    EXPECT_EQ(host.freePlaces, 7);
    EXPECT_FALSE(host.gameRunning);
    EXPECT_EQ(host.version.toStdString(), wire::msg::kVersion);

    Searcher raw("127.0.0.3");
    Searcher again("127.0.0.3");
    Searcher marker("127.0.0.2");
    raw.send("LEXIFLIP garbage", port);
    raw.send(discovery::buildQuery(1, 30), port);
    const QByteArray answer = raw.next();
    EXPECT_EQ(nonceOf(answer), 1u) << "garbage costs nothing";
    EXPECT_LE(answer.size(), 30);
    // The marker's answer comes after the host handled the query before it.
    again.send(discovery::buildQuery(2), port);
    marker.send(discovery::buildQuery(3), port);
    EXPECT_EQ(nonceOf(marker.next()), 3u);
    EXPECT_FALSE(again.hasAnswer()) << "the same address within a second";
}

TEST(DiscoveryOfPrograms, LexiflipHostAnswersASearch)
{
    const quint16 port = freeGameAndSearchPort();
    ASSERT_NE(port, 0);
    HostProcess host({}, {{QStringLiteral("LEXIFLIP_PORT"), QString::number(port)},
                          {QStringLiteral("LEXIFLIP_DISCOVERY_ADDRESS"), kConfinement}});
    ASSERT_EQ(host.waitForPort(), port);
    const auto ann = joinWhenListening(port, "Ann");
    const auto bob = joinWhenListening(port, "Bob");
    ASSERT_TRUE(ann && bob);
    searchAndProbe(port);
}

TEST(DiscoveryOfPrograms, AHostingWindowAnswersASearch)
{
    const quint16 port = freeGameAndSearchPort();
    ASSERT_NE(port, 0);
    Home home;
    QProcess window;
    window.setProcessEnvironment(
        windowEnvironment(port, home.path(), {{QStringLiteral("LEXIFLIP_DISCOVERY_ADDRESS"), kConfinement}}));
    window.start(binaryDir() + QStringLiteral("/app/lexiflip"),
                 {QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    const auto bob = joinWhenListening(port, "Bob");
    ASSERT_TRUE(bob);
    ASSERT_TRUE(bob->waitFor("CMD_existingplayers+1+Ann"));
    searchAndProbe(port);
    window.terminate();
    window.waitForFinished(10000);
}

} // namespace
} // namespace lexiflip::testing
