#include "net/discovery_responder.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include <string>

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
    m_socket = new QUdpSocket(this);
    const QHostAddress address = m_scope.bindAddress();
    const auto mode = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
    bool bound = m_socket->bind(address, port, mode);
    // A machine without IPv6 has no dual-stack any-address.
    if (!bound && address == QHostAddress(QHostAddress::Any) &&
        m_socket->error() != QAbstractSocket::AddressInUseError)
        bound = m_socket->bind(QHostAddress(QHostAddress::AnyIPv4), port, mode);
    if (!bound) {
        m_problem = m_socket->errorString();
        stop();
        return false;
    }
    connect(m_socket, &QUdpSocket::readyRead, this, &DiscoveryResponder::onReadyRead);
    return true;
}

void DiscoveryResponder::stop()
{
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->close();
    m_socket->deleteLater();
    m_socket = nullptr;
}

quint16 DiscoveryResponder::port() const
{
    return m_socket ? m_socket->localPort() : 0;
}

void DiscoveryResponder::onReadyRead()
{
    while (m_socket && m_socket->hasPendingDatagrams()) {
        // One byte more than any query may have, so that a longer one shows.
        const QNetworkDatagram datagram = m_socket->receiveDatagram(discovery::kMaxDatagramSize + 1);
        const QHostAddress source = plainAddress(datagram.senderAddress());
        if (source.isNull() || datagram.senderPort() <= 0 || !m_scope.answers(source))
            continue;
        const QByteArray data = datagram.data();
        const auto answer = m_policy.answer(std::string_view(data.constData(), std::size_t(data.size())),
                                            source.toString().toStdString(), m_now(), m_facts);
        if (answer)
            m_socket->writeDatagram(QByteArray::fromStdString(*answer), datagram.senderAddress(),
                                    static_cast<quint16>(datagram.senderPort()));
    }
}

} // namespace lexiflip::net
