// Local network discovery over UDP on 127.0.0.1: the search, a host that
// answers it, and what reaches the wire in between.
#include "net/lan_search.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "net/discovery/datagram.h"
#include "net/discovery_responder.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "net/tserver.h"

namespace lexiflip::net {
namespace {

using namespace std::chrono_literals;
using testing::TestClient;
using testing::waitUntil;

const DiscoveryScope kLoopback = DiscoveryScope::confinedTo(QStringLiteral("127.0.0.1"));

QByteArray bytes(const std::string& text)
{
    return QByteArray::fromStdString(text);
}

// A socket of a searcher's own on a loopback address, to see the wire
// itself.
class RawSearcher {
public:
    explicit RawSearcher(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost))
    {
        m_socket.bind(address, 0);
    }

    void send(const QByteArray& datagram, quint16 port)
    {
        m_socket.writeDatagram(datagram, QHostAddress::LocalHost, port);
    }
    // The next datagram that comes within timeoutMs.
    std::optional<QByteArray> receive(int timeoutMs = 3000)
    {
        if (!waitUntil([&] { return m_socket.hasPendingDatagrams(); }, timeoutMs))
            return std::nullopt;
        return m_socket.receiveDatagram().data();
    }
    // The nonce of the next answer that comes, 0 for none.
    std::uint32_t nextAnswer()
    {
        const auto next = receive();
        const auto answer = next ? discovery::readAnswer(next->toStdString()) : std::nullopt;
        return answer ? answer->nonce : 0;
    }

private:
    QUdpSocket m_socket;
};

TEST(DiscoveryScope, ConfinementParsesFailsClosedAndChoosesTheBindAddress)
{
    using Binds = QList<QHostAddress>;
    const QHostAddress v4(QHostAddress::LocalHost), v6(QHostAddress::LocalHostIPv6);
    const QHostAddress any4(QHostAddress::AnyIPv4), any6(QHostAddress::AnyIPv6);
    struct Case {
        QString text;
        int addresses;
        Binds binds;
    };
    const Case cases[] = {
        {QStringLiteral("127.0.0.1"), 1, {v4}},
        {QStringLiteral(" ::1 "), 1, {v6}},
        {QStringLiteral("127.0.0.1, ::1"), 2, {v4, v6}},
        {QStringLiteral("127.0.0.1 127.0.0.2"), 2, {v4}},
        {QStringLiteral("127.0.0.1,192.168.1.255"), 2, {any4}},
        {QStringLiteral("127.0.0.1,no-such-address"), 0, {}},
        {QStringLiteral(""), 0, {}},
    };
    for (const Case& c : cases) {
        const DiscoveryScope scope = DiscoveryScope::confinedTo(c.text);
        EXPECT_TRUE(scope.confined());
        EXPECT_EQ(scope.queryTargets().size(), c.addresses) << c.text.toStdString();
        EXPECT_EQ(scope.bindAddresses(), c.binds) << c.text.toStdString();
    }
    EXPECT_EQ(DiscoveryScope::unconfined().bindAddresses(), (Binds{any4, any6}));
    EXPECT_TRUE(kLoopback.answers(QHostAddress(QStringLiteral("::ffff:127.0.0.1"))));
    EXPECT_FALSE(kLoopback.answers(QHostAddress(QStringLiteral("192.0.2.1"))));
    EXPECT_FALSE(DiscoveryScope::confinedTo(QString()).answers(QHostAddress::LocalHost));

    // Listed only: nothing is sent here.
    const DiscoveryScope open = DiscoveryScope::unconfined();
    EXPECT_TRUE(open.answers(QHostAddress(QStringLiteral("192.0.2.1"))));
    EXPECT_TRUE(open.queryTargets().contains(QHostAddress(QHostAddress::Broadcast)));
    for (const QHostAddress& target : open.queryTargets())
        EXPECT_FALSE(target.isLoopback()) << target.toString().toStdString();

    // The test programs themselves are confined to this machine.
    EXPECT_EQ(DiscoveryScope::fromEnvironment().queryTargets(), QList<QHostAddress>{QHostAddress::LocalHost});
}

TEST(DescribeHost, CountsFreeSeatsAndPlacesAndNamesSlotOne)
{
    engine::GameState state;
    EXPECT_EQ(describeHost(state, 7772).freeSeats, 6);
    EXPECT_EQ(describeHost(state, 7772).freePlaces, 9);
    EXPECT_EQ(describeHost(state, 7772).hostName, "");
    for (int slot : {1, 3, 8}) {
        state.players[slot].connected = 1;
        state.players[slot].name = "P" + std::to_string(slot);
    }
    state.gamerunning = 1;
    const discovery::Answer answer = describeHost(state, 4000);
    EXPECT_EQ(answer.freeSeats, 4);
    EXPECT_EQ(answer.freePlaces, 6);
    EXPECT_EQ(answer.hostName, "P1");
    EXPECT_TRUE(answer.gameRunning);
    EXPECT_EQ(answer.gamePort, 4000);
    EXPECT_EQ(answer.version, wire::msg::kVersion);
}

class HostingForTheNetwork : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostOptions options;
        options.port = 0;
        options.discoveryPort = 0;
        options.discoveryClock = [this] { return now; };
        server = std::make_unique<TServer>(options);
        // A second loopback address, whose answered query shows that what
        // was sent before it was handled.
        qputenv(kDiscoveryAddressVariable, "127.0.0.1,127.0.0.2");
        server->startHosting();
        qputenv(kDiscoveryAddressVariable, "127.0.0.1");
        ASSERT_NE(server->discoveryPort(), 0);
    }

    // Whether a query to the host from searcher was answered, once the host
    // handled it (the next datagram to come is its answer, or the marker's).
    bool answered(RawSearcher& searcher, std::uint32_t nonce)
    {
        const quint16 port = server->discoveryPort();
        searcher.send(bytes(discovery::buildQuery(nonce)), port);
        marker.send(bytes(discovery::buildQuery(++markerNonce)), port);
        EXPECT_EQ(marker.nextAnswer(), markerNonce);
        const bool answered = searcher.nextAnswer() == nonce;
        now += 1s; // the marker may answer again
        return answered;
    }

    RawSearcher marker{QHostAddress(QStringLiteral("127.0.0.2"))};
    std::uint32_t markerNonce = 1000;

    std::chrono::nanoseconds now{10s};
    std::unique_ptr<TServer> server;
};

TEST_F(HostingForTheNetwork, AnswersAreNoLargerThanQueriesOnceASecondPerSourceAndGarbageIsIgnored)
{
    TestClient longName(server->port());
    ASSERT_TRUE(longName.login(std::string(60, 'L')));
    const quint16 port = server->discoveryPort();
    RawSearcher first;
    RawSearcher second; // another port of the same address

    first.send("garbage", port);
    first.send(bytes(discovery::buildQuery(1, discovery::kHeaderSize)), port); // no answer fits
    const QByteArray small = bytes(discovery::buildQuery(2, 40));
    first.send(small, port);
    const auto answer = first.receive();
    ASSERT_TRUE(answer) << "garbage and a query too small to answer cost nothing";
    EXPECT_LE(answer->size(), small.size());
    const auto read = discovery::readAnswer(answer->toStdString());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->nonce, 2u);
    EXPECT_EQ(read->hostName, std::string(40 - 21 - wire::msg::kVersion.size(), 'L'))
        << "the name is cut to fit";

    now += 999ms;
    EXPECT_FALSE(answered(second, 3)) << "the same address within a second";
    EXPECT_TRUE(answered(second, 4)) << "a second later";
}

TEST(Discovery, ASoloGameAnswersNoSearch)
{
    HostOptions options;
    options.port = 0;
    options.discoveryPort = 0;
    TServer server(options);
    server.startHosting(TServer::Reach::ThisMachine);
    EXPECT_EQ(server.discoveryPort(), 0);
}

TEST(Discovery, AResponderAnswersOnlyTheSourcesItIsConfinedTo)
{
    DiscoveryResponder elsewhere([] { return discovery::Answer{0, 1, false, 0, 0, "1", ""}; },
                                 DiscoveryScope::confinedTo(QStringLiteral("192.0.2.7")));
    ASSERT_TRUE(elsewhere.start(0));
    DiscoveryResponder nowhere([] { return discovery::Answer{}; }, DiscoveryScope::confinedTo(QString()));
    EXPECT_FALSE(nowhere.start(0));
    EXPECT_FALSE(nowhere.problem().isEmpty());

    RawSearcher searcher;
    searcher.send(bytes(discovery::buildQuery(1)), elsewhere.port());
    EXPECT_FALSE(searcher.receive(300));
}

// A host that answers with a stale nonce, then twice with the right one.
TEST(LanSearch, ReportsEachGameOnceAndOnlyForItsOwnQuery)
{
    QUdpSocket fake;
    ASSERT_TRUE(fake.bind(QHostAddress::LocalHost, 0));
    LanSearch search;
    search.setScope(kLoopback);
    search.setPort(fake.localPort());
    search.setWindowMs(300);
    QSignalSpy found(&search, &LanSearch::hostFound);
    QSignalSpy finished(&search, &LanSearch::finished);
    search.start();
    ASSERT_TRUE(waitUntil([&] { return fake.hasPendingDatagrams(); }));
    const QNetworkDatagram query = fake.receiveDatagram();
    const auto read = discovery::readQuery(query.data().toStdString());
    ASSERT_TRUE(read);
    EXPECT_EQ(query.data().size(), qsizetype(discovery::kQuerySize));

    discovery::Answer answer{read->nonce + 1, 5000, true, 1, 2, "1.0.3", "Old\x01"};
    fake.writeDatagram(bytes(*discovery::buildAnswer(answer, 128)), query.senderAddress(),
                       query.senderPort());
    answer.nonce = read->nonce;
    for (int i = 0; i < 2; ++i)
        fake.writeDatagram(bytes(*discovery::buildAnswer(answer, 128)), query.senderAddress(),
                           query.senderPort());
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }));
    ASSERT_EQ(found.count(), 1);
    const auto host = found.at(0).at(0).value<LanHost>();
    EXPECT_EQ(host.port, 5000);
    EXPECT_EQ(host.hostName, QStringLiteral("Old")) << "control characters are left out";
    EXPECT_FALSE(search.searching());
}

} // namespace
} // namespace lexiflip::net
