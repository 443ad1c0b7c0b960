#include "host/discovery_responder.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "engine/game_state.h"
#include "wire/messages.h"

namespace lexiflip::host {
namespace {

// Binds socket to address and port, shared with SO_REUSEPORT alone when
// shared: the system then lets sockets of this same user bind the port too
// (several hosts of one user, or of the systemd unit's one user, on one
// machine, each of which a broadcast query reaches), and never another
// user's, who could otherwise receive the queries sent to one address and
// answer them falsely. Qt's ShareAddress sets SO_REUSEADDR instead, which
// shares a UDP port with any user. False, with the reason in problem, when
// the port cannot be had.
bool bindForQueries(QUdpSocket& socket, const QHostAddress& address, quint16 port, bool shared,
                    QString& problem)
{
    const bool ipv6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    sockaddr_storage where{};
    socklen_t size = 0;
    if (ipv6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&where);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
        size = sizeof *in6;
    } else {
        auto* in4 = reinterpret_cast<sockaddr_in*>(&where);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(port);
        in4->sin_addr.s_addr = htonl(address.toIPv4Address());
        size = sizeof *in4;
    }
    const int fd = ::socket(where.ss_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    // The IPv6 socket takes no IPv4 datagrams: those have a socket of their own.
    const bool bound = fd >= 0 &&
                       (!ipv6 || ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) == 0) &&
                       (!shared || ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on) == 0) &&
                       ::bind(fd, reinterpret_cast<const sockaddr*>(&where), size) == 0;
    if (!bound) {
        problem = qt_error_string(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (!socket.setSocketDescriptor(fd, QAbstractSocket::BoundState)) {
        problem = socket.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace

discovery::Answer describeHost(const engine::GameState& state, quint16 gamePort)
{
    discovery::Answer answer;
    answer.gamePort = gamePort;
    answer.gameRunning = state.gamerunning != 0;
    for (int slot = 1; slot <= engine::kMaxConnections; ++slot) {
        if (state.players[slot].connected != 0)
            continue;
        ++answer.freePlaces;
        if (slot <= state.numseats)
            ++answer.freeSeats;
    }
    answer.version = std::string(wire::msg::kVersion);
    if (state.players[1].connected != 0)
        answer.hostName = state.players[1].name;
    return answer;
}

DiscoveryResponder::DiscoveryResponder(Facts facts, net::DiscoveryScope scope, QObject* parent)
    : QObject(parent), m_facts(std::move(facts)), m_scope(std::move(scope)),
      m_now([] { return std::chrono::steady_clock::now().time_since_epoch(); })
{
}

DiscoveryResponder::~DiscoveryResponder() = default;

bool DiscoveryResponder::start(quint16 port)
{
    stop();
    m_problem.clear();
    if (m_scope.confined() && m_scope.addresses().isEmpty()) {
        m_problem = QStringLiteral("%1 names no address").arg(QLatin1String(net::kDiscoveryAddressVariable));
        return false;
    }
    for (const QHostAddress& address : m_scope.bindAddresses()) {
        auto* socket = new QUdpSocket(this);
        // The second family takes the port the first was given. A port the
        // system chose is known to no other host, and shared with none.
        const quint16 wanted = m_sockets.isEmpty() ? port : m_sockets.front()->localPort();
        QString problem;
        if (!bindForQueries(*socket, address, wanted, port != 0, problem)) {
            // A machine without IPv6 has no socket for it, and needs none.
            if (m_problem.isEmpty())
                m_problem = problem;
            delete socket;
            continue;
        }
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        m_sockets.append(socket);
    }
    if (m_sockets.isEmpty())
        return false;
    m_problem.clear();
    return true;
}

void DiscoveryResponder::stop()
{
    for (QUdpSocket* socket : std::as_const(m_sockets)) {
        socket->disconnect(this);
        socket->close();
        socket->deleteLater();
    }
    m_sockets.clear();
}

quint16 DiscoveryResponder::port() const
{
    return m_sockets.isEmpty() ? 0 : m_sockets.front()->localPort();
}

void DiscoveryResponder::onReadyRead(QUdpSocket* socket)
{
    while (socket->hasPendingDatagrams()) {
        // One byte more than any query may have, so that a longer one shows.
        const QNetworkDatagram datagram = socket->receiveDatagram(discovery::kMaxDatagramSize + 1);
        const QHostAddress source = net::plainAddress(datagram.senderAddress());
        if (source.isNull() || datagram.senderPort() <= 0 || !m_scope.answers(source))
            continue;
        const QByteArray data = datagram.data();
        const auto answer = m_policy.answer(std::string_view(data.constData(), std::size_t(data.size())),
                                            source.toString().toStdString(), m_now(), m_facts);
        if (answer)
            socket->writeDatagram(QByteArray::fromStdString(*answer), datagram.senderAddress(),
                                  static_cast<quint16>(datagram.senderPort()));
    }
}

} // namespace lexiflip::host
