#include "net/lan_search.h"

#include <QRandomGenerator>
#include <QUdpSocket>

#include <string>
#include <utility>

#include "net/discovery/datagram.h"

namespace lexiflip::net {
namespace {

// The game's 8-bit text as a player sees it: one character per byte,
// control characters left out.
QString shownText(const std::string& bytes)
{
    QString text;
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code >= 0x20 && code != 0x7F)
            text.append(QChar(code));
    }
    return text;
}

} // namespace

LanSearch::LanSearch(QObject* parent)
    : QObject(parent), m_scope(DiscoveryScope::fromEnvironment()), m_port(defaultDiscoveryPort())
{
    m_window.setSingleShot(true);
    connect(&m_window, &QTimer::timeout, this, &LanSearch::finish);
}

LanSearch::~LanSearch() = default;

void LanSearch::stop()
{
    m_window.stop();
    // Closed at once: what still comes is dropped by the system unread.
    for (QUdpSocket* socket : std::as_const(m_sockets)) {
        socket->disconnect(this);
        socket->close();
        socket->deleteLater();
    }
    m_sockets.clear();
}

void LanSearch::finish()
{
    stop();
    emit finished();
}

void LanSearch::start()
{
    stop();
    m_problem.clear();
    m_nonce = QRandomGenerator::global()->generate();
    m_found.restart(m_nonce);
    for (const QHostAddress& address : m_scope.bindAddresses()) {
        auto* socket = new QUdpSocket(this);
        // A machine without IPv6 has no socket for it, and needs none.
        if (!socket->bind(address, 0)) {
            delete socket;
            continue;
        }
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        m_sockets.append(socket);
    }

    const QByteArray query = QByteArray::fromStdString(discovery::buildQuery(m_nonce));
    int sent = 0;
    for (const QHostAddress& target : m_scope.queryTargets()) {
        for (QUdpSocket* socket : std::as_const(m_sockets)) {
            if (m_port == 0 || socket->localAddress().protocol() != target.protocol())
                continue;
            if (socket->writeDatagram(query, target, m_port) == query.size())
                ++sent;
            else
                m_problem = socket->errorString();
        }
    }
    if (sent == 0 && m_problem.isEmpty())
        m_problem =
            m_port == 0 ? QStringLiteral("no port to search on") : QStringLiteral("no address to search");
    else if (sent != 0)
        m_problem.clear();
    m_window.start(m_windowMs);
    m_deadline.setRemainingTime(m_windowMs);
}

void LanSearch::onReadyRead(QUdpSocket* socket)
{
    for (int read = 0; read < kDatagramsPerTurn; ++read) {
        // A slot of hostFound may stop the search, and with it this socket.
        if (!m_sockets.contains(socket) || !socket->hasPendingDatagrams())
            return;
        if (m_deadline.hasExpired()) {
            finish();
            return;
        }
        // One byte more than any answer may have, so that a longer one shows.
        char data[discovery::kMaxDatagramSize + 1];
        QHostAddress sender;
        const qint64 size = socket->readDatagram(data, sizeof data, &sender);
        if (size < 0 || m_found.full())
            continue;
        const QHostAddress address = plainAddress(sender);
        const auto answer =
            m_found.take(std::string_view(data, std::size_t(size)), address.toString().toStdString());
        if (!answer)
            continue;
        LanHost host;
        host.address = address;
        host.port = answer->gamePort;
        host.hostName = shownText(answer->hostName);
        host.freeSeats = answer->freeSeats;
        host.freePlaces = answer->freePlaces;
        host.gameRunning = answer->gameRunning;
        host.version = shownText(answer->version);
        emit hostFound(host);
    }
}

} // namespace lexiflip::net
