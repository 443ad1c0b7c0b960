#include "net/discovery_responder.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include <string>
#include <utility>

#include "engine/game_state.h"
#include "net/wire/messages.h"

namespace lexiflip::net {

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

DiscoveryResponder::DiscoveryResponder(Facts facts, DiscoveryScope scope, QObject* parent)
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
        m_problem = QStringLiteral("%1 names no address").arg(QLatin1String(kDiscoveryAddressVariable));
        return false;
    }
    for (const QHostAddress& address : m_scope.bindAddresses()) {
        auto* socket = new QUdpSocket(this);
        // The second family takes the port the first was given.
        const quint16 wanted = m_sockets.isEmpty() ? port : m_sockets.front()->localPort();
        if (!socket->bind(address, wanted, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            // A machine without IPv6 has no socket for it, and needs none.
            if (m_problem.isEmpty())
                m_problem = socket->errorString();
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
        const QHostAddress source = plainAddress(datagram.senderAddress());
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

} // namespace lexiflip::net
