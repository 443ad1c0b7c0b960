// lexiflip-host --open-port against a router of the test's own: three network
// namespaces ("home" with the host, "router" forwarding between two veth
// links with nftables NAT, "outside" with a friend), documentation addresses
// only (IPv4 and IPv6) and no route to anything beyond them. The router
// namespace runs test_router.py, which answers UPnP IGD and NAT-PMP and makes
// each mapping a real DNAT rule, and as IGD version 2 each IPv6 pinhole a real
// hole in its IPv6 firewall. Without the right to make namespaces, skipped.
#include <QProcess>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/host_process.h"
#include "net/net_wait.h"
#include "net/portmap/router_mapper.h"
#include "net/router_port.h"
#include "net/test_client.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

const QString kIp = QStringLiteral("ip");

bool run(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return false;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The three namespaces and two veth pairs, named for this run, and removed
// whatever happens to the test (the links and the router's rules go with the
// namespaces).
class TestNetwork {
public:
    TestNetwork() : m_id(QStringLiteral("lfr%1").arg(::getpid())) {}
    ~TestNetwork()
    {
        for (const QString& name : m_made)
            run(kIp, {QStringLiteral("netns"), QStringLiteral("del"), name});
    }
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    QString home() const { return m_id + QStringLiteral("h"); }
    QString router() const { return m_id + QStringLiteral("r"); }
    QString outside() const { return m_id + QStringLiteral("o"); }
    QString routerWan() const { return m_id + QStringLiteral("c"); }

    // Builds it; the reason when this machine does not let us.
    QString make()
    {
        QString output;
        for (const QString& name : {home(), router(), outside()}) {
            if (!run(kIp, {QStringLiteral("netns"), QStringLiteral("add"), name}, &output))
                return QStringLiteral("cannot make a network namespace here (ip netns add: %1)")
                    .arg(output.trimmed());
            m_made << name;
        }
        const QString a = m_id + QStringLiteral("a"), b = m_id + QStringLiteral("b"),
                      d = m_id + QStringLiteral("d");
        const QList<QStringList> steps = {
            // No duplicate address detection on these private links: an
            // address still tentative when the friend connects drops his
            // first packets.
            {"netns", "exec", home(), "sysctl", "-qw", "net.ipv6.conf.default.accept_dad=0"},
            {"netns", "exec", router(), "sysctl", "-qw", "net.ipv6.conf.default.accept_dad=0"},
            {"netns", "exec", outside(), "sysctl", "-qw", "net.ipv6.conf.default.accept_dad=0"},
            {"link", "add", a, "netns", home(), "type", "veth", "peer", "name", b, "netns", router()},
            {"link", "add", routerWan(), "netns", router(), "type", "veth", "peer", "name", d, "netns",
             outside()},
            {"-n", home(), "addr", "add", "192.0.2.2/24", "dev", a},
            {"-n", router(), "addr", "add", "192.0.2.1/24", "dev", b},
            {"-n", router(), "addr", "add", "203.0.113.1/24", "dev", routerWan()},
            {"-n", outside(), "addr", "add", "203.0.113.2/24", "dev", d},
            // IPv6 from the documentation prefix, routed without translation:
            // only the router's firewall stands between the friend and the host.
            {"-n", home(), "addr", "add", "2001:db8:1::2/64", "dev", a},
            {"-n", router(), "addr", "add", "2001:db8:1::1/64", "dev", b},
            {"-n", router(), "addr", "add", "2001:db8:2::1/64", "dev", routerWan()},
            {"-n", outside(), "addr", "add", "2001:db8:2::2/64", "dev", d},
            {"-n", home(), "link", "set", "lo", "up"},
            {"-n", router(), "link", "set", "lo", "up"},
            {"-n", outside(), "link", "set", "lo", "up"},
            {"-n", home(), "link", "set", a, "up"},
            {"-n", router(), "link", "set", b, "up"},
            {"-n", router(), "link", "set", routerWan(), "up"},
            {"-n", outside(), "link", "set", d, "up"},
            // The host's answers reach the friend through the router; no
            // namespace has a default route.
            {"-n", home(), "route", "add", "203.0.113.0/24", "via", "192.0.2.1"},
            {"-n", home(), "-6", "route", "add", "2001:db8:2::/64", "via", "2001:db8:1::1"},
            {"-n", outside(), "-6", "route", "add", "2001:db8:1::/64", "via", "2001:db8:2::1"},
            {"netns", "exec", router(), "sysctl", "-qw", "net.ipv4.ip_forward=1"},
            {"netns", "exec", router(), "sysctl", "-qw", "net.ipv6.conf.all.forwarding=1"},
        };
        for (const QStringList& step : steps)
            if (!run(kIp, step, &output))
                return QStringLiteral("cannot set up the test's network (ip %1: %2)")
                    .arg(step.join(' '), output.trimmed());
        return {};
    }

    // The router's rules, as nft lists them.
    QString rules() const
    {
        QString output;
        run(kIp,
            {QStringLiteral("netns"), QStringLiteral("exec"), router(), QStringLiteral("nft"),
             QStringLiteral("list"), QStringLiteral("ruleset")},
            &output);
        return output;
    }

    // A TCP connection from the outside namespace to address:port (IPv4 or
    // IPv6), or -1 when it is not made within timeoutMs: a firewall that
    // drops the friend's first packet never answers at all.
    int connectFromOutside(const char* address, quint16 port, int timeoutMs = 5000) const
    {
        sockaddr_storage target{};
        socklen_t length = 0;
        auto* v4 = reinterpret_cast<sockaddr_in*>(&target);
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&target);
        if (inet_pton(AF_INET, address, &v4->sin_addr) == 1) {
            v4->sin_family = AF_INET;
            v4->sin_port = htons(port);
            length = sizeof *v4;
        } else if (inet_pton(AF_INET6, address, &v6->sin6_addr) == 1) {
            v6->sin6_family = AF_INET6;
            v6->sin6_port = htons(port);
            length = sizeof *v6;
        } else {
            return -1;
        }
        const int own = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        const int there = ::open(("/run/netns/" + outside().toStdString()).c_str(), O_RDONLY | O_CLOEXEC);
        int fd = -1;
        if (own >= 0 && there >= 0 && ::setns(there, CLONE_NEWNET) == 0) {
            fd = ::socket(target.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            ::setns(own, CLONE_NEWNET);
        }
        if (own >= 0)
            ::close(own);
        if (there >= 0)
            ::close(there);
        if (fd < 0)
            return -1;
        // The socket belongs to the outside namespace: connect() goes from there.
        bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&target), length) == 0;
        if (!connected && errno == EINPROGRESS) {
            pollfd wait{fd, POLLOUT, 0};
            int error = 0;
            socklen_t size = sizeof error;
            connected = ::poll(&wait, 1, timeoutMs) == 1 &&
                        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        }
        if (!connected) {
            ::close(fd);
            return -1;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }

private:
    QString m_id;
    QStringList m_made;
};

// A process whose standard output the test reads line by line.
class Watched {
public:
    Watched(const QString& program, const QStringList& arguments)
    {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start();
    }
    ~Watched()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    bool waitFor(const QString& text, int timeoutMs)
    {
        return waitUntil(
                   [&] {
                       m_output += QString::fromUtf8(m_process.readAll());
                       return m_output.contains(text) || m_process.state() == QProcess::NotRunning;
                   },
                   timeoutMs) &&
               m_output.contains(text);
    }
    void stop()
    {
        m_process.terminate();
        m_process.waitForFinished(10000);
        m_output += QString::fromUtf8(m_process.readAll());
    }
    const QString& output() const { return m_output; }
    int count(const QString& text)
    {
        m_output += QString::fromUtf8(m_process.readAll());
        return static_cast<int>(m_output.count(text));
    }

private:
    QProcess m_process;
    QString m_output;
};

class RouterNamespace : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "making network namespaces needs root";
        if (!run(QStringLiteral("nft"), {QStringLiteral("--version")}))
            GTEST_SKIP() << "nft (nftables) is not installed";
        const QString problem = m_network.make();
        if (!problem.isEmpty())
            GTEST_SKIP() << problem.toStdString();
    }

    std::unique_ptr<Watched> startRouter(const QString& mode, int natPmpLease = 7200, int igdVersion = 1)
    {
        auto router = std::make_unique<Watched>(
            kIp,
            QStringList{"netns", "exec", m_network.router(), "python3", QStringLiteral(TEST_ROUTER_SCRIPT),
                        "--lan", "192.0.2.1", "--external", "203.0.113.1", "--wan-if", m_network.routerWan(),
                        "--table", "lexiflip_test", "--mode", mode, "--natpmp-lease",
                        QString::number(natPmpLease), "--igd", QString::number(igdVersion)});
        EXPECT_TRUE(router->waitFor(QStringLiteral("ready"), 20000)) << router->output().toStdString();
        return router;
    }

    // lexiflip-host on port 7772 of the home namespace, pointed at the
    // router by the IGD's description URL (no multicast search) or, without
    // one, at its NAT-PMP gateway alone.
    std::unique_ptr<Watched> startHost(bool withIgd, bool openPort = true, bool underUnitFamilies = false)
    {
        QStringList arguments{"netns",
                              "exec",
                              m_network.home(),
                              "env",
                              "LEXIFLIP_DISCOVERY_ADDRESS=127.0.0.1",
                              "LEXIFLIP_NATPMP_GATEWAY=192.0.2.1"};
        if (withIgd)
            arguments << "LEXIFLIP_IGD_URL=http://192.0.2.1:5000/rootDesc.xml";
        if (underUnitFamilies)
            arguments << QStringLiteral(UNIT_ADDRESS_FAMILIES) << QStringLiteral(HOST_UNIT_FILE);
        arguments << hostProgram() << "--port"
                  << "7772";
        if (openPort)
            arguments << "--open-port";
        return std::make_unique<Watched>(kIp, arguments);
    }

    TestNetwork m_network;
};

// The friend outside logs in through the router's address (or the host's
// own IPv6 address) and plays a turn: five flips and a pass.
void playATurnFromOutside(const TestNetwork& network, quint16 port = 7772,
                          const char* address = "203.0.113.1")
{
    const int fd = network.connectFromOutside(address, port);
    ASSERT_GE(fd, 0) << "the friend could not connect to " << address << " port " << port;
    TestClient friendClient(TestClient::Connected{fd});
    ASSERT_TRUE(friendClient.login("Friend"));
    ASSERT_EQ(friendClient.slot(), 1);
    friendClient.send(msg::startgame("Friend", "50", "60", true, "1", "0"));
    ASSERT_TRUE(friendClient.waitFor("CMD_nextplayer+1+"));
    for (int i = 0; i < 5; ++i)
        friendClient.send(msg::iflip(1, i + 1, 1));
    ASSERT_TRUE(waitUntil([&] { return friendClient.count("CMD_heflip+1+") == 5; }));
    friendClient.send(msg::hepass(1));
    EXPECT_TRUE(friendClient.waitFor("CMD_nextplayer+2+"));
}

TEST_F(RouterNamespace, UpnpMapsThePortAFriendPlaysThroughItAndItGoesWithTheHost)
{
    auto router = startRouter(QStringLiteral("open"));
    auto host = startHost(true);
    ASSERT_TRUE(host->waitFor(
        QStringLiteral("Your router opened port 7772: friends can join at 203.0.113.1:7772"), 20000))
        << host->output().toStdString();
    EXPECT_TRUE(router->waitFor(QStringLiteral("mapped 7772 192.0.2.2:7772 lease 3600"), 5000));
    EXPECT_TRUE(m_network.rules().contains(QStringLiteral("dnat to 192.0.2.2:7772")));
    // The search port is never mapped.
    EXPECT_FALSE(m_network.rules().contains(QStringLiteral("udp")));

    playATurnFromOutside(m_network);

    host->stop();
    EXPECT_TRUE(router->waitFor(QStringLiteral("unmapped 7772"), 10000)) << router->output().toStdString();
    EXPECT_FALSE(m_network.rules().contains(QStringLiteral("dnat")));
}

// The game window hosting from its command line opens the port by itself
// (Open the Port on My Router is on by default) and closes it when it closes.
TEST_F(RouterNamespace, TheHostingWindowOpensItsPortAndRemovesItWhenItCloses)
{
    auto router = startRouter(QStringLiteral("open"));
    Home home;
    Watched window(kIp, {"netns", "exec", m_network.home(), "env", "LEXIFLIP_PORT=7772",
                         "LEXIFLIP_HOME=" + home.path(), "LEXIFLIP_NO_LOBBY_DOWNLOAD=1",
                         "LEXIFLIP_DISCOVERY_ADDRESS=127.0.0.1", "QT_QPA_PLATFORM=offscreen",
                         "LEXIFLIP_IGD_URL=http://192.0.2.1:5000/rootDesc.xml", binaryDir() + "/app/lexiflip",
                         "Hosting", "127.0.0.1", "true"});
    ASSERT_TRUE(router->waitFor(QStringLiteral("mapped 7772 192.0.2.2:7772 lease 3600"), 20000))
        << router->output().toStdString() << window.output().toStdString();
    const int fd = m_network.connectFromOutside("203.0.113.1", 7772);
    ASSERT_GE(fd, 0);
    TestClient friendClient(TestClient::Connected{fd});
    EXPECT_TRUE(friendClient.login("Friend"));
    EXPECT_EQ(friendClient.slot(), 2);
    window.stop();
    EXPECT_TRUE(router->waitFor(QStringLiteral("unmapped 7772"), 10000)) << router->output().toStdString();
    EXPECT_FALSE(m_network.rules().contains(QStringLiteral("dnat")));
}

TEST_F(RouterNamespace, NatPmpRenewsAShortLeaseAndRemovesTheMapping)
{
    // The router grants four seconds: the host renews at two.
    auto router = startRouter(QStringLiteral("open"), 4);
    auto host = startHost(false);
    ASSERT_TRUE(host->waitFor(QStringLiteral("friends can join at 203.0.113.1:7772"), 20000))
        << host->output().toStdString();
    EXPECT_TRUE(router->waitFor(QStringLiteral("natpmp map 7772 7772 3600"), 5000));
    playATurnFromOutside(m_network);
    // Asked again at half the lease (the port it got, for an hour again).
    EXPECT_TRUE(waitUntil(
        [&] { return router->count(QStringLiteral("mapped 7772 192.0.2.2:7772 lease 4")) >= 2; }, 10000))
        << router->output().toStdString();
    EXPECT_TRUE(m_network.rules().contains(QStringLiteral("dnat to 192.0.2.2:7772")));
    host->stop();
    EXPECT_TRUE(router->waitFor(QStringLiteral("natpmp map 7772 0 0"), 10000))
        << router->output().toStdString();
    EXPECT_FALSE(m_network.rules().contains(QStringLiteral("dnat")));
}

TEST_F(RouterNamespace, APortTakenOnTheRouterIsMappedOnTheNextAndTheInviteSaysSo)
{
    auto router = startRouter(QStringLiteral("taken"));
    auto host = startHost(true);
    ASSERT_TRUE(
        host->waitFor(QStringLiteral("Port 7772 was taken on your router, which opened port 7773 instead: "
                                     "friends can join at 203.0.113.1:7773"),
                      20000))
        << host->output().toStdString();
    EXPECT_TRUE(m_network.rules().contains(QStringLiteral("tcp dport 7773 dnat to 192.0.2.2:7772")));
    playATurnFromOutside(m_network, 7773);
    host->stop();
    EXPECT_TRUE(router->waitFor(QStringLiteral("unmapped 7773"), 10000)) << router->output().toStdString();
}

TEST_F(RouterNamespace, ARefusalAndASilenceAreSaidInWords)
{
    {
        auto router = startRouter(QStringLiteral("refuse"));
        auto host = startHost(true);
        EXPECT_TRUE(host->waitFor(
            QStringLiteral(
                "Your router refused to open port 7772 (Action not authorized): forward port 7772 by hand"),
            20000))
            << host->output().toStdString();
    }
    auto router = startRouter(QStringLiteral("silent"));
    const auto started = std::chrono::steady_clock::now();
    auto host = startHost(true);
    EXPECT_TRUE(host->waitFor(QStringLiteral("Your router did not answer: forward port 7772 by hand"), 30000))
        << host->output().toStdString();
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::seconds(20));
    std::printf("a silent router was given up after %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    // The host serves all the while: the friend cannot come in, but a
    // player at home can.
    EXPECT_TRUE(host->output().contains(QStringLiteral("listening on port 7772")));
}

// The test's own thread in another network namespace while it lives; threads
// it starts meanwhile stay there.
class InNamespace {
public:
    explicit InNamespace(const QString& name)
        : m_own(::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC)),
          m_entered(m_own >= 0 && enter("/run/netns/" + name.toStdString()))
    {
    }
    ~InNamespace()
    {
        if (m_entered)
            ::setns(m_own, CLONE_NEWNET);
        if (m_own >= 0)
            ::close(m_own);
    }
    InNamespace(const InNamespace&) = delete;
    InNamespace& operator=(const InNamespace&) = delete;
    bool entered() const { return m_entered; }

private:
    static bool enter(const std::string& path)
    {
        const int there = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const bool entered = there >= 0 && ::setns(there, CLONE_NEWNET) == 0;
        if (there >= 0)
            ::close(there);
        return entered;
    }
    int m_own;
    bool m_entered;
};

const QString kPinholeOpened =
    QStringLiteral("Your router opened port 7772 over IPv6: friends can join at [2001:db8:1::2]:7772");
const QString kPinholeRule = QStringLiteral("ip6 daddr 2001:db8:1::2 tcp dport 7772 accept");

// A router of IGD version 2 opens a pinhole in its IPv6 firewall to the
// host's global address; the friend plays over IPv6 through it, and once the
// host has left the firewall drops him again.
TEST_F(RouterNamespace, AnIgdVersion2RouterOpensAnIpv6PinholeAFriendPlaysThroughIt)
{
    auto router = startRouter(QStringLiteral("open"), 7200, 2);
    auto host = startHost(true);
    ASSERT_TRUE(host->waitFor(kPinholeOpened, 20000)) << host->output().toStdString();
    EXPECT_TRUE(host->output().contains(
        QStringLiteral("Your router opened port 7772: friends can join at 203.0.113.1:7772")));
    EXPECT_TRUE(router->waitFor(QStringLiteral("pinhole 1 2001:db8:1::2 7772 lease 3600"), 5000))
        << router->output().toStdString();
    EXPECT_TRUE(m_network.rules().contains(kPinholeRule)) << m_network.rules().toStdString();

    playATurnFromOutside(m_network, 7772, "2001:db8:1::2");

    host->stop();
    EXPECT_TRUE(router->waitFor(QStringLiteral("pinhole removed 1"), 10000))
        << router->output().toStdString();
    EXPECT_TRUE(router->waitFor(QStringLiteral("unmapped 7772"), 10000)) << router->output().toStdString();
    EXPECT_FALSE(m_network.rules().contains(QStringLiteral("ip6 daddr")));
    // A host listening without the pinhole is out of the friend's reach.
    auto closedHost = startHost(true, false);
    ASSERT_TRUE(closedHost->waitFor(QStringLiteral("listening on port 7772"), 10000));
    EXPECT_LT(m_network.connectFromOutside("2001:db8:1::2", 7772, 1500), 0);
}

// Renewed before its lease runs out, on a stepped clock (the lease is an
// hour): the same pinhole is updated, never opened twice, and goes with the
// port. The router conversation runs in this process, in the home namespace.
TEST_F(RouterNamespace, ThePinholeIsRenewedBeforeItsLeaseRunsOut)
{
    using namespace std::chrono_literals;
    auto router = startRouter(QStringLiteral("open"), 7200, 2);
    const InNamespace home(m_network.home());
    ASSERT_TRUE(home.entered());
    portmap::RouterMapperOptions options;
    options.igdDescriptionUrl = "http://192.0.2.1:5000/rootDesc.xml";
    options.confined = true;
    std::vector<std::pair<std::chrono::seconds, std::function<void()>>> steps;
    auto port = std::make_unique<net::RouterPort>([options] { return portmap::makeRouterMapper(options); });
    port->setScheduler([&steps](std::chrono::seconds wait, std::function<void()> call) {
        steps.emplace_back(wait, std::move(call));
    });
    port->open(7772);
    ASSERT_TRUE(waitUntil([&] { return port->answer().has_value(); }, 20000));
    EXPECT_EQ(port->pinholeMessage(), kPinholeOpened);
    // The renewal is the last call scheduled (the first is the limit on the
    // wait for an answer).
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back().first, 1800s);
    const std::size_t scheduled = steps.size();

    steps.back().second(); // half an hour later
    EXPECT_TRUE(router->waitFor(QStringLiteral("pinhole renewed 1 lease 3600"), 10000))
        << router->output().toStdString();
    ASSERT_TRUE(waitUntil([&] { return steps.size() == scheduled + 1; }, 10000));
    EXPECT_EQ(steps.back().first, 1800s);
    EXPECT_EQ(port->pinholeMessage(), kPinholeOpened);
    EXPECT_EQ(router->count(QStringLiteral("mapped 7772 192.0.2.2:7772 lease 3600")), 2);
    EXPECT_FALSE(router->output().contains(QStringLiteral("pinhole 2 ")));
    EXPECT_TRUE(m_network.rules().contains(kPinholeRule));

    port.reset();
    EXPECT_TRUE(router->waitFor(QStringLiteral("pinhole removed 1"), 10000))
        << router->output().toStdString();
    EXPECT_FALSE(m_network.rules().contains(kPinholeRule));
}

// A router of IGD version 1 has no IPv6 firewall control: no pinhole, said
// in words, and its firewall keeps the friend out over IPv6 while the
// mapping lets him in over IPv4.
TEST_F(RouterNamespace, AnIgdVersion1RouterOpensNoPinholeAndSaysSo)
{
    auto router = startRouter(QStringLiteral("open"));
    auto host = startHost(true);
    ASSERT_TRUE(
        host->waitFor(QStringLiteral("Your router offers no IPv6 pinholes (UPnP IGD version 1): friends "
                                     "over IPv6 get in at [2001:db8:1::2]:7772 only if its firewall "
                                     "lets them"),
                      20000))
        << host->output().toStdString();
    EXPECT_FALSE(router->output().contains(QStringLiteral("pinhole")));
    EXPECT_LT(m_network.connectFromOutside("2001:db8:1::2", 7772, 1500), 0);
    const int fd = m_network.connectFromOutside("203.0.113.1", 7772);
    EXPECT_GE(fd, 0);
    if (fd >= 0)
        ::close(fd);
}

// lexiflip-host --open-port with no socket families but those the systemd
// unit allows, applied as systemd applies them: the mapping and the pinhole
// open, friends come in over both, and both go when the host ends.
TEST_F(RouterNamespace, UnderTheUnitsAddressFamiliesTheHostStillOpensItsPort)
{
    // The filter bites: a family the unit leaves out cannot be had.
    QString output;
    EXPECT_FALSE(run(QStringLiteral(UNIT_ADDRESS_FAMILIES),
                     {QStringLiteral(HOST_UNIT_FILE), "python3", "-c",
                      "import socket; socket.socket(socket.AF_NETLINK, socket.SOCK_RAW, 0)"},
                     &output));
    EXPECT_TRUE(output.contains(QStringLiteral("Address family not supported"))) << output.toStdString();
    EXPECT_TRUE(run(QStringLiteral(UNIT_ADDRESS_FAMILIES),
                    {QStringLiteral(HOST_UNIT_FILE), "python3", "-c",
                     "import socket; socket.socket(socket.AF_INET6, socket.SOCK_STREAM, 0)"},
                    &output))
        << output.toStdString();

    auto router = startRouter(QStringLiteral("open"), 7200, 2);
    auto host = startHost(true, true, true);
    ASSERT_TRUE(host->waitFor(kPinholeOpened, 20000)) << host->output().toStdString();
    EXPECT_TRUE(host->output().contains(QStringLiteral("address families: AF_INET AF_INET6")))
        << host->output().toStdString();
    EXPECT_TRUE(host->output().contains(
        QStringLiteral("Your router opened port 7772: friends can join at 203.0.113.1:7772")));

    playATurnFromOutside(m_network);
    const int fd = m_network.connectFromOutside("2001:db8:1::2", 7772);
    ASSERT_GE(fd, 0);
    TestClient overIpv6(TestClient::Connected{fd});
    EXPECT_TRUE(overIpv6.login("Friend6"));

    host->stop();
    EXPECT_TRUE(router->waitFor(QStringLiteral("unmapped 7772"), 10000)) << router->output().toStdString();
    EXPECT_TRUE(router->waitFor(QStringLiteral("pinhole removed 1"), 10000))
        << router->output().toStdString();
    EXPECT_FALSE(m_network.rules().contains(QStringLiteral("dnat")));
    EXPECT_FALSE(m_network.rules().contains(QStringLiteral("ip6 daddr")));
}

} // namespace
} // namespace lexiflip::testing
