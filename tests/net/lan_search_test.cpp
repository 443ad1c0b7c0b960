// Local network discovery over UDP on 127.0.0.1: the search, a host that
// answers it, and what reaches the wire in between.
#include "net/lan_search.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/game_state.h"
#include "host/discovery_responder.h"
#include "host/tserver.h"
#include "net/discovery/datagram.h"
#include "net/discovery/found_games.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "support/resident_memory.h"

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
    EXPECT_EQ(host::describeHost(state, 7772).freeSeats, 6);
    EXPECT_EQ(host::describeHost(state, 7772).freePlaces, 9);
    EXPECT_EQ(host::describeHost(state, 7772).hostName, "");
    for (int slot : {1, 3, 8}) {
        state.players[slot].connected = 1;
        state.players[slot].name = "P" + std::to_string(slot);
    }
    state.gamerunning = 1;
    const discovery::Answer answer = host::describeHost(state, 4000);
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
        host::HostOptions options;
        options.port = 0;
        options.discoveryPort = 0;
        options.discoveryClock = [this] { return now; };
        server = std::make_unique<host::TServer>(options);
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
    std::unique_ptr<host::TServer> server;
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
    host::HostOptions options;
    options.port = 0;
    options.discoveryPort = 0;
    host::TServer server(options);
    server.startHosting(host::TServer::Reach::ThisMachine);
    EXPECT_EQ(server.discoveryPort(), 0);
}

TEST(Discovery, AResponderAnswersOnlyTheSourcesItIsConfinedTo)
{
    host::DiscoveryResponder elsewhere([] { return discovery::Answer{0, 1, false, 0, 0, "1", ""}; },
                                       DiscoveryScope::confinedTo(QStringLiteral("192.0.2.7")));
    ASSERT_TRUE(elsewhere.start(0));
    host::DiscoveryResponder nowhere([] { return discovery::Answer{}; },
                                     DiscoveryScope::confinedTo(QString()));
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

// Datagrams sent as fast as one thread can, in turn from 127.0.0.1,
// 127.0.0.2 and on, to a UDP port on 127.0.0.1, until stop() or a time limit
// (which ends the test of a receiver that never lets go). After probeAfter, a
// probe connects to a TCP port on 127.0.0.1 and times its first byte,
// reading between the datagrams.
class DatagramFlood {
public:
    // The datagram to send from source (0 for 127.0.0.1) the nth time.
    using Make = std::function<std::string(int source, std::uint32_t n)>;

    DatagramFlood(quint16 port, int sources, Make make, quint16 probePort,
                  std::chrono::milliseconds probeAfter,
                  std::chrono::milliseconds limit = std::chrono::milliseconds(2000))
    {
        for (int source = 0; source < sources; ++source) {
            const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in from = loopback(source, 0);
            EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from), 0) << source;
            m_fds.push_back(fd);
        }
        m_thread = std::thread([=, this] { run(port, make, probePort, probeAfter, limit); });
    }
    ~DatagramFlood()
    {
        stop();
        for (const int fd : m_fds)
            ::close(fd);
    }

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    long sent() const { return m_sent; }
    // How long the probe waited for its first byte, -1 ms while it waits.
    std::chrono::milliseconds probeAnswer() const { return std::chrono::milliseconds(m_probeAnswerMs); }

private:
    static sockaddr_in loopback(int source, quint16 port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK + std::uint32_t(source));
        return address;
    }

    void run(quint16 port, const Make& make, quint16 probePort, std::chrono::milliseconds probeAfter,
             std::chrono::milliseconds limit)
    {
        using Clock = std::chrono::steady_clock;
        const auto probeAt = Clock::now() + probeAfter;
        const auto end = Clock::now() + limit;
        const sockaddr_in to = loopback(0, port);
        int probe = -1;
        Clock::time_point probeStart;
        for (std::uint32_t n = 0; !m_stop && Clock::now() < end; ++n) {
            for (std::size_t source = 0; source < m_fds.size(); ++source) {
                const std::string datagram = make(int(source), n);
                ::sendto(m_fds[source], datagram.data(), datagram.size(), 0,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to);
                ++m_sent;
            }
            if (probe < 0 && n % 64 == 0 && Clock::now() >= probeAt) {
                probe = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
                const sockaddr_in game = loopback(0, probePort);
                probeStart = Clock::now();
                ::connect(probe, reinterpret_cast<const sockaddr*>(&game), sizeof game);
            }
            char byte = 0;
            if (probe >= 0 && m_probeAnswerMs < 0 && ::recv(probe, &byte, 1, MSG_DONTWAIT) == 1)
                m_probeAnswerMs =
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - probeStart).count();
        }
        if (probe >= 0)
            ::close(probe);
    }

    std::vector<int> m_fds;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_sent{0};
    std::atomic<long> m_probeAnswerMs{-1};
};

// Anybody who sees the query may answer it without end, from several
// addresses and with a new port each time, while the window hosts a game.
TEST(LanSearch, AFloodOfAnswersEndsOnTimeKeepsABoundedListAndLeavesAHostedGameServed)
{
    QTcpServer game; // answers each connection with a byte at once
    ASSERT_TRUE(game.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&game, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* connection = game.nextPendingConnection())
            connection->write("!", 1);
    });
    QUdpSocket fake;
    ASSERT_TRUE(fake.bind(QHostAddress::LocalHost, 0));
    constexpr int kWindowMs = 600;
    LanSearch search;
    search.setScope(kLoopback);
    search.setPort(fake.localPort());
    search.setWindowMs(kWindowMs);
    QSignalSpy found(&search, &LanSearch::hostFound);
    QElapsedTimer clock;
    qint64 finishedAfterMs = -1;
    long sentAtFinish = 0;
    long foundAtFinish = 0;
    std::unique_ptr<DatagramFlood> flood;
    QObject::connect(&search, &LanSearch::finished, [&] {
        finishedAfterMs = clock.elapsed();
        sentAtFinish = flood ? flood->sent() : 0;
        foundAtFinish = found.count();
    });
    [[maybe_unused]] const long residentBefore = testing::residentKiB();
    clock.start();
    search.start();
    ASSERT_TRUE(waitUntil([&] { return fake.hasPendingDatagrams(); }));
    const QNetworkDatagram query = fake.receiveDatagram();
    const auto read = discovery::readQuery(query.data().toStdString());
    ASSERT_TRUE(read);

    constexpr int kSources = 10;
    flood = std::make_unique<DatagramFlood>(
        quint16(query.senderPort()), kSources,
        [nonce = read->nonce](int source, std::uint32_t n) {
            discovery::Answer answer{nonce, std::uint16_t(1 + n % 60000), false, 1, 2, "1.0.3", ""};
            answer.hostName = "Flood " + std::to_string(source);
            return *discovery::buildAnswer(answer, discovery::kQuerySize);
        },
        game.serverPort(), std::chrono::milliseconds(kWindowMs / 2));
    // The flood goes on well after the search's end.
    ASSERT_TRUE(waitUntil([&] { return finishedAfterMs >= 0; }, 5000));
    EXPECT_TRUE(waitUntil([&] { return flood->sent() > sentAtFinish + 20000; }, 5000));
    flood->stop();
    EXPECT_LT(finishedAfterMs, kWindowMs + 200) << "ms to the end of a " << kWindowMs << " ms search";
    EXPECT_GE(flood->probeAnswer().count(), 0) << "the hosted game never answered";
    EXPECT_LT(flood->probeAnswer().count(), 200) << "ms before the hosted game answered a connection";
    EXPECT_EQ(found.count(), foundAtFinish) << "nothing is reported after the end";
    EXPECT_EQ(found.count(), int(discovery::FoundGames::kMaxGames));
    std::map<QString, int> perAddress;
    for (const QList<QVariant>& emission : found)
        ++perAddress[emission.at(0).value<LanHost>().address.toString()];
    for (const auto& [address, games] : perAddress)
        EXPECT_LE(games, int(discovery::FoundGames::kMaxPerSource)) << address.toStdString();
#if !defined(LEXIFLIP_SANITIZED) && !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(testing::residentKiB() - residentBefore, 2048) << "KiB grown";
#endif
}

} // namespace
} // namespace lexiflip::net
