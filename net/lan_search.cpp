#include "net/lan_search.h"

#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QUdpSocket>

#include <string>

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
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    m_found.clear();
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
    m_socket = new QUdpSocket(this);
    const QHostAddress bindAddress = m_scope.bindAddress();
    if (!m_socket->bind(bindAddress, 0) && bindAddress == QHostAddress(QHostAddress::Any))
        m_socket->bind(QHostAddress(QHostAddress::AnyIPv4), 0);
    connect(m_socket, &QUdpSocket::readyRead, this, &LanSearch::onReadyRead);

    const QByteArray query = QByteArray::fromStdString(discovery::buildQuery(m_nonce));
    int sent = 0;
    if (m_port != 0) {
        for (const QHostAddress& target : m_scope.queryTargets()) {
            if (m_socket->writeDatagram(query, target, m_port) == query.size())
                ++sent;
        }
    }
    if (sent == 0)
        m_problem = m_port == 0 ? QStringLiteral("no port to search on")
                                : (m_socket->errorString().isEmpty() ? QStringLiteral("no address to search")
                                                                     : m_socket->errorString());
    m_window.start(m_windowMs);
}

void LanSearch::onReadyRead()
{
    while (m_socket && m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(discovery::kMaxDatagramSize + 1);
        const QByteArray data = datagram.data();
        const auto answer =
            discovery::readAnswer(std::string_view(data.constData(), std::size_t(data.size())));
        if (!answer || answer->nonce != m_nonce)
            continue;
        LanHost host;
        host.address = plainAddress(datagram.senderAddress());
        host.port = answer->gamePort;
        if (m_found.contains(qMakePair(host.address, host.port)))
            continue;
        m_found.append(qMakePair(host.address, host.port));
        host.hostName = shownText(answer->hostName);
        host.freeSeats = answer->freeSeats;
        host.freePlaces = answer->freePlaces;
        host.gameRunning = answer->gameRunning;
        host.version = shownText(answer->version);
        emit hostFound(host);
    }
}

} // namespace lexiflip::net
