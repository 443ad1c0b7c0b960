#include "client/shell/lobby_link.h"

#include <QHostAddress>

namespace lexiflip::client {

LobbyLink::LobbyLink(QObject* parent) : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::connected, this, &LobbyLink::connected);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { m_socket.readAll(); });
    // errorOccurred is deliberately not connected: a refused or dropped link
    // gets no report and no retry.
}

void LobbyLink::open()
{
    open(defaultPort());
}

void LobbyLink::open(quint16 port)
{
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        return;
    m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
}

bool LobbyLink::isConnected() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

quint16 LobbyLink::defaultPort()
{
    return portFromText(qEnvironmentVariable("LEXIFLIP_LOBBY_PORT"));
}

quint16 LobbyLink::portFromText(const QString& text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    return (ok && port >= 1 && port <= 65535) ? static_cast<quint16>(port) : kDefaultPort;
}

} // namespace lexiflip::client
