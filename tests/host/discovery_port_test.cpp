// Who may bind the port a host answers searches on: other hosts of the same
// user on this machine, whom a broadcast query reaches each, and no other
// user, who could otherwise receive the queries sent to one address and
// answer them falsely.
#include "host/discovery_responder.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "net/discovery/datagram.h"
#include "net/net_wait.h"
#include "net/test_client.h"

namespace lexiflip::host {
namespace {

using testing::waitUntil;

discovery::Answer gameOnPort(std::uint16_t port)
{
    return discovery::Answer{0, port, false, 1, 2, "1.0.3", ""};
}

// A responder on a port asked for by number, as the programs ask for theirs:
// one the system has just given out and taken back.
bool startOnFreePort(DiscoveryResponder& responder, const QHostAddress& probeAddress)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        quint16 port = 0;
        {
            QUdpSocket probe;
            if (!probe.bind(probeAddress, 0, QUdpSocket::DontShareAddress))
                return false;
            port = probe.localPort();
        }
        if (responder.start(port))
            return true;
    }
    return false;
}

// One way another user's program may try to bind the port.
struct Attempt {
    std::string what;
    sockaddr_storage address{};
    socklen_t size = 0;
    bool reuseAddress = false;
    bool reusePort = false;
};

std::vector<Attempt> attemptsOn(const QHostAddress& bound, quint16 port)
{
    std::vector<Attempt> attempts;
    const bool ipv6 = bound.protocol() == QAbstractSocket::IPv6Protocol;
    const QHostAddress any(ipv6 ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4);
    for (const QHostAddress& address : {bound, any}) {
        for (const auto& [reuseAddress, reusePort] : {std::pair{true, false}, {false, true}, {true, true}}) {
            Attempt attempt;
            attempt.what = address.toString().toStdString() + (reuseAddress ? " SO_REUSEADDR" : "") +
                           (reusePort ? " SO_REUSEPORT" : "");
            attempt.reuseAddress = reuseAddress;
            attempt.reusePort = reusePort;
            if (ipv6) {
                auto* in6 = reinterpret_cast<sockaddr_in6*>(&attempt.address);
                in6->sin6_family = AF_INET6;
                in6->sin6_port = htons(port);
                const Q_IPV6ADDR bytes = address.toIPv6Address();
                std::memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
                attempt.size = sizeof *in6;
            } else {
                auto* in4 = reinterpret_cast<sockaddr_in*>(&attempt.address);
                in4->sin_family = AF_INET;
                in4->sin_port = htons(port);
                in4->sin_addr.s_addr = htonl(address.toIPv4Address());
                attempt.size = sizeof *in4;
            }
            attempts.push_back(attempt);
        }
    }
    return attempts;
}

constexpr int kCannotSwitch = 100;
constexpr int kCannotBindAtAll = 101;

// Runs the attempts in a child process as uid and gid: 0 when none bound,
// 1 + the index of the first that did, or one of the codes above. The child
// makes system calls only, as a child of a process with threads must.
int bindAsAnotherUser(const std::vector<Attempt>& attempts, uid_t uid, gid_t gid)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::syscall(SYS_setgroups, 0, nullptr) != 0 || ::syscall(SYS_setresgid, gid, gid, gid) != 0 ||
            ::syscall(SYS_setresuid, uid, uid, uid) != 0)
            ::_exit(kCannotSwitch);
        const int on = 1;
        // The same address on a port of the system's choice: the user can bind at all.
        sockaddr_storage control = attempts.front().address;
        reinterpret_cast<sockaddr_in*>(&control)->sin_port = 0; // same place in both families
        const int probe = ::socket(control.ss_family, SOCK_DGRAM, 0);
        if (probe < 0 || ::bind(probe, reinterpret_cast<sockaddr*>(&control), attempts.front().size) != 0)
            ::_exit(kCannotBindAtAll);
        ::close(probe);
        for (std::size_t i = 0; i < attempts.size(); ++i) {
            const Attempt& attempt = attempts[i];
            const int fd = ::socket(attempt.address.ss_family, SOCK_DGRAM, 0);
            if (attempt.reuseAddress)
                ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
            if (attempt.reusePort)
                ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
            if (::bind(fd, reinterpret_cast<const sockaddr*>(&attempt.address), attempt.size) == 0)
                ::_exit(1 + int(i));
            ::close(fd);
        }
        ::_exit(0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(DiscoveryPort, AnotherUserCannotBindTheSearchPortOfAHost)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "switching to a second user needs root; this test runs as uid " << ::geteuid();
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr)
        GTEST_SKIP() << "this machine has no user nobody to be the second user";

    // Confined to loopback, the port of 127.0.0.1; else the any-address's,
    // which a documentation address in the list asks for (never answered).
    std::vector<QString> scopes{QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.1,192.0.2.255")};
    if (testing::machineHasIpv6())
        scopes.push_back(QStringLiteral("::1,2001:db8::ff"));
    for (const QString& scope : scopes) {
        SCOPED_TRACE(scope.toStdString());
        const net::DiscoveryScope confined = net::DiscoveryScope::confinedTo(scope);
        DiscoveryResponder host([] { return gameOnPort(1); }, confined);
        ASSERT_TRUE(startOnFreePort(host, confined.bindAddresses().front())) << host.problem().toStdString();
        const std::vector<Attempt> attempts = attemptsOn(confined.bindAddresses().front(), host.port());
        const int result = bindAsAnotherUser(attempts, nobody->pw_uid, nobody->pw_gid);
        if (result == kCannotSwitch)
            GTEST_SKIP() << "this process may not switch to user nobody (no CAP_SETUID here)";
        if (result == kCannotBindAtAll)
            GTEST_SKIP() << "user nobody cannot bind a UDP socket here at all";
        ASSERT_GE(result, 0) << "the child as nobody did not finish";
        EXPECT_EQ(result, 0) << "user nobody bound the host's port with "
                             << (result > 0 ? attempts[std::size_t(result - 1)].what : "");
    }
}

TEST(DiscoveryPort, HostsOfOneUserShareAPortAskedForByNumberAndNoneAPortTheSystemChose)
{
    const net::DiscoveryScope scope =
        net::DiscoveryScope::confinedTo(QStringLiteral("127.0.0.1,192.0.2.255"));
    DiscoveryResponder first([] { return gameOnPort(1); }, scope);
    ASSERT_TRUE(startOnFreePort(first, QHostAddress(QHostAddress::AnyIPv4))) << first.problem().toStdString();
    DiscoveryResponder second([] { return gameOnPort(2); }, scope);
    EXPECT_TRUE(second.start(first.port())) << second.problem().toStdString();
    EXPECT_EQ(second.port(), first.port());

    DiscoveryResponder chosen([] { return gameOnPort(3); }, scope);
    ASSERT_TRUE(chosen.start(0));
    DiscoveryResponder another([] { return gameOnPort(4); }, scope);
    EXPECT_FALSE(another.start(chosen.port())) << "a port the system chose is nobody else's";
    EXPECT_FALSE(another.problem().isEmpty());
}

// This thread in a network namespace of its own, with only its loopback
// interface, up, until the end of the scope; sockets made meanwhile stay
// there. Nothing sent there can leave it.
class OwnNetworkNamespace {
public:
    OwnNetworkNamespace()
    {
        m_home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        if (m_home < 0 || ::unshare(CLONE_NEWNET) != 0) {
            m_problem = std::string("no network namespace of its own: ") + std::strerror(errno);
            return;
        }
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        ifreq request{};
        std::strcpy(request.ifr_name, "lo");
        bool up = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
        if (up) {
            request.ifr_flags |= IFF_UP;
            up = ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
        }
        if (!up)
            m_problem = std::string("the loopback interface stays down: ") + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
    }
    ~OwnNetworkNamespace()
    {
        if (m_home >= 0) {
            ::setns(m_home, CLONE_NEWNET);
            ::close(m_home);
        }
    }
    // Empty when this thread is in the namespace.
    const std::string& problem() const { return m_problem; }

private:
    int m_home = -1;
    std::string m_problem;
};

TEST(DiscoveryPort, ABroadcastQueryReachesEveryHostOfOneUser)
{
    OwnNetworkNamespace own;
    if (!own.problem().empty())
        GTEST_SKIP() << own.problem();
    // Alone in the namespace, the hosts take the programs' own port.
    const net::DiscoveryScope scope =
        net::DiscoveryScope::confinedTo(QStringLiteral("127.0.0.1,192.0.2.255"));
    DiscoveryResponder first([] { return gameOnPort(1); }, scope);
    DiscoveryResponder second([] { return gameOnPort(2); }, scope);
    ASSERT_TRUE(first.start(net::defaultDiscoveryPort())) << first.problem().toStdString();
    ASSERT_TRUE(second.start(net::defaultDiscoveryPort())) << second.problem().toStdString();

    QUdpSocket searcher;
    ASSERT_TRUE(searcher.bind(QHostAddress::LocalHost, 0));
    const QByteArray query = QByteArray::fromStdString(discovery::buildQuery(9));
    ASSERT_EQ(searcher.writeDatagram(query, QHostAddress(QStringLiteral("127.255.255.255")),
                                     net::defaultDiscoveryPort()),
              query.size())
        << searcher.errorString().toStdString();
    std::set<int> games;
    EXPECT_TRUE(waitUntil(
        [&] {
            while (searcher.hasPendingDatagrams()) {
                const auto answer = discovery::readAnswer(searcher.receiveDatagram().data().toStdString());
                if (answer && answer->nonce == 9)
                    games.insert(answer->gamePort);
            }
            return games.size() == 2;
        },
        3000));
    EXPECT_EQ(games, (std::set<int>{1, 2}));
}

} // namespace
} // namespace lexiflip::host
