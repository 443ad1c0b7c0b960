#include "net/tsock.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <netdb.h>
#include <netinet/in.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <utility>

#include "net/error_report.h"
#include "net/socket_errors.h"

namespace lexiflip::net {
namespace {

// A closed connection keeps delivering what it still owes its peer for this
// long, unless that is more than a well-behaved peer could be owed.
constexpr int kLingerMs = 5000;
constexpr qint64 kLingerBytes = 64 * 1024;

// Host names resolved so far, for the life of the process.
std::map<std::string, quint32>& hostCache()
{
    static std::map<std::string, quint32> cache;
    return cache;
}

bool startsWithDigit(const std::string& text)
{
    return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

} // namespace

const char* socketInfoName(SocketInfo category)
{
    switch (category) {
    case SocketInfo::Lookup:
        return "Lookup";
    case SocketInfo::Connect:
        return "Connect";
    case SocketInfo::Close:
        return "Close";
    case SocketInfo::Listen:
        return "Listen";
    case SocketInfo::Receive:
        return "Receive";
    case SocketInfo::Send:
        return "Send";
    case SocketInfo::Accept:
        return "Accept";
    case SocketInfo::Error:
        return "Error";
    }
    return "";
}

TSock::TSock(QObject* parent) : QObject(parent) {}

TSock::~TSock()
{
    // Nothing is reported from here: whoever the handlers would tell may be
    // gone already.
    shutDown();
}

template <class Step> void TSock::guarded(Step&& step)
{
    try {
        step();
    } catch (const std::exception& error) {
        reportGeneralError(error.what());
    } catch (...) {
        reportGeneralError("Error here");
    }
}

void TSock::report(SocketInfo category, std::string_view message)
{
    if (!OnInfo)
        return;
    try {
        OnInfo(*this, category, message);
    } catch (...) {
        throw ESockException("Error here");
    }
}

void TSock::setHostName(std::string hostName)
{
    if (m_connected)
        report(SocketInfo::Lookup, "Setting HostName While Connected Has No Effect");
    m_hostName = std::move(hostName);
}

void TSock::setPortName(std::string portName)
{
    if (m_connected)
        report(SocketInfo::Lookup, "Setting PortName While Connected Has No Effect");
    m_portName = std::move(portName);
}

quint16 TSock::resolvePort()
{
    report(SocketInfo::Lookup, "Lookup Of Port " + m_portName);
    if (startsWithDigit(m_portName)) {
        unsigned value = 0;
        const char* first = m_portName.data();
        const auto [end, error] = std::from_chars(first, first + m_portName.size(), value);
        (void)end;
        // A number that is no port at all is treated like an unknown service
        // rather than silently folded into some other port.
        if (error != std::errc() || value > 65535)
            throw ESockException("Port Lookup - Could Not Find Service Entry");
        return static_cast<quint16>(value);
    }
    const servent* service = ::getservbyname(m_portName.c_str(), "tcp");
    if (!service)
        throw ESockException("Port Lookup - Could Not Find Service Entry");
    return ntohs(static_cast<uint16_t>(service->s_port));
}

std::optional<QHostAddress> TSock::resolveHost()
{
    if (m_hostName.empty())
        return QHostAddress(quint32(0)); // the any-address
    report(SocketInfo::Lookup, "Lookup Of Host " + m_hostName);
    // An IPv6 address (a player may join one from the window) is taken as it
    // is; no name holds a colon.
    if (startsWithDigit(m_hostName) || m_hostName.find(':') != std::string::npos) {
        QHostAddress address;
        const bool ipv6 = m_hostName.find(':') != std::string::npos;
        if (!address.setAddress(QString::fromStdString(m_hostName)) ||
            address.protocol() != (ipv6 ? QAbstractSocket::IPv6Protocol : QAbstractSocket::IPv4Protocol))
            throw ESockException("Host Lookup - Could Not Find Host Entry");
        return address;
    }
    auto& cache = hostCache();
    if (const auto found = cache.find(m_hostName); found != cache.end())
        return QHostAddress(found->second);
    return std::nullopt;
}

void TSock::onHostLookedUp(const QHostInfo& info)
{
    // An answer to a lookup that was closed or replaced meanwhile is no
    // longer wanted.
    if (!lookingUp() || info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    guarded([this, &info] {
        for (const QHostAddress& address : info.addresses()) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                hostCache()[info.hostName().toStdString()] = address.toIPv4Address();
                connectTo(address, m_lookupPort);
                return;
            }
        }
        // A name that has only IPv6 addresses is reached over IPv6.
        for (const QHostAddress& address : info.addresses()) {
            if (address.protocol() == QAbstractSocket::IPv6Protocol) {
                connectTo(address, m_lookupPort);
                return;
            }
        }
        // Back to idle, as when the lookup failed inside Open.
        m_heldOutput.clear();
        throw ESockException("Host Lookup - Could Not Find Host Entry");
    });
}

void TSock::adopt(QTcpSocket* socket)
{
    m_socket = socket;
    m_peerClosedHandled = false;
    socket->setParent(this);
    // Bounds what the socket holds for us: one data event takes at most this
    // much, and more data makes further events.
    socket->setReadBufferSize(static_cast<qint64>(kReadChunk));
    connect(socket, &QTcpSocket::connected, this, &TSock::onConnected);
    connect(socket, &QTcpSocket::readyRead, this, &TSock::onReadyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &TSock::onBytesWritten);
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) { onErrorOccurred(static_cast<int>(error)); });
    connect(socket, &QTcpSocket::disconnected, this, &TSock::onPeerClosed);
}

bool TSock::Open()
{
    if (hasEndpoint())
        return m_connected;
    // Names are resolved before the socket exists, so that a failed lookup
    // leaves the component idle rather than stuck half-open.
    const quint16 port = resolvePort();
    if (const std::optional<QHostAddress> address = resolveHost()) {
        connectTo(*address, port);
        return m_connected;
    }
    // A resolver that answers slowly must not freeze the window: the
    // connection starts when the answer comes, always later, from the event
    // loop. Qt drops the answer if the TSock is destroyed first. (The slot is
    // named rather than given as a functor: Qt 6.4 leaks a functor whose
    // lookup is aborted or outlives its context.)
    m_lookupPort = port;
    m_lookupId =
        QHostInfo::lookupHost(QString::fromStdString(m_hostName), this, SLOT(onHostLookedUp(QHostInfo)));
    return m_connected;
}

void TSock::connectTo(const QHostAddress& address, quint16 port)
{
    auto* socket = new QTcpSocket(this);
    adopt(socket);
    socket->connectToHost(address, port);
    if (!m_heldOutput.empty()) {
        const std::string held = std::exchange(m_heldOutput, std::string());
        socket->write(held.data(), static_cast<qint64>(held.size()));
    }
}

void TSock::abandonLookup()
{
    if (lookingUp())
        QHostInfo::abortHostLookup(m_lookupId);
    m_lookupId = -1;
    m_heldOutput.clear();
}

void TSock::shutDown()
{
    abandonLookup();
    releaseServer();
    releaseSocket();
    m_connected = false;
    m_listen = false;
}

void TSock::releaseSocket()
{
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    if (!socket)
        return;
    disconnect(socket, nullptr, this, nullptr);
    socket->flush();
    const qint64 owed = socket->bytesToWrite();
    if (socket->state() == QAbstractSocket::ConnectedState && owed > 0 && owed <= kLingerBytes) {
        // The socket finishes sending on its own and then goes away.
        socket->setParent(nullptr);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kLingerMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        socket->disconnectFromHost();
        return;
    }
    socket->abort();
    socket->deleteLater();
}

void TSock::releaseServer()
{
    QTcpServer* server = m_server;
    m_server = nullptr;
    if (!server)
        return;
    disconnect(server, nullptr, this, nullptr);
    server->close();
    server->deleteLater();
}

bool TSock::Close()
{
    const bool clean = hasEndpoint();
    const bool wasListening = m_listen;
    shutDown();
    // A listener reports nothing when it closes.
    if (wasListening)
        return clean;
    try {
        report(SocketInfo::Close, "Socket Closed");
    } catch (const ESockException&) {
        // Closing goes on whatever the report handler does.
    }
    return clean;
}

void TSock::setListen(bool listen)
{
    if ((m_socket || lookingUp()) && !m_listen)
        throw ESockException("Listen - Socket Already In Use");
    if (!listen) {
        m_listen = false;
        Close();
        report(SocketInfo::Listen, "Listening Stopped");
        return;
    }
    if (m_listen) {
        report(SocketInfo::Listen, "Listening Already Running");
        return;
    }
    const quint16 port = resolvePort();
    QHostAddress address(QHostAddress::Any);
    if (!m_bindAddress.empty() && !address.setAddress(QString::fromStdString(m_bindAddress)))
        throw ESockException("Listen - Error Binding Socket");
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    QTcpServer* server = startServer(address, port, error);
    // Every interface of a machine without IPv6 is every IPv4 one. A port
    // that is taken stays an error: the other family would not free it.
    if (!server && m_bindAddress.empty() && error != QAbstractSocket::AddressInUseError)
        server = startServer(QHostAddress(QHostAddress::AnyIPv4), port, error);
    if (!server) {
        if (error == QAbstractSocket::AddressInUseError || error == QAbstractSocket::SocketAccessError ||
            error == QAbstractSocket::SocketAddressNotAvailableError)
            throw ESockException("Listen - Error Binding Socket");
        throw ESockException("Listen - Error Starting Listen");
    }
    connect(server, &QTcpServer::newConnection, this, &TSock::onNewConnection);
    m_server = server;
    m_listen = true;
    report(SocketInfo::Listen, "Listening Started");
}

QTcpServer* TSock::startServer(const QHostAddress& address, quint16 port, QAbstractSocket::SocketError& error)
{
    auto* server = new QTcpServer(this);
    server->setListenBacklogSize(5);
    if (server->listen(address, port))
        return server;
    error = server->serverError();
    delete server;
    return nullptr;
}

bool TSock::Send(std::string_view text)
{
    if (!hasEndpoint())
        throw ESockException("Send - Socket Not Connected");
    if (m_server)
        throw ESockException("Send - Cannot Send On A Listener Socket");
    if (!m_socket) {
        // Still looking the host up: the bytes leave in order once connecting.
        if (!text.empty()) {
            report(SocketInfo::Send, "Non-Blocking Outgoing Data");
            m_heldOutput.append(text);
        }
        return true;
    }
    if (text.empty() && m_socket->bytesToWrite() == 0)
        return true;
    report(SocketInfo::Send, "Non-Blocking Outgoing Data");
    // The socket keeps, in order, whatever the network does not take now and
    // retries it when the network is ready; a message is therefore never
    // interleaved with another.
    m_sending = true;
    if (!text.empty())
        m_socket->write(text.data(), static_cast<qint64>(text.size()));
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->flush();
    m_sending = false;
    return true;
}

std::string TSock::Receive(std::ptrdiff_t size)
{
    if (!hasEndpoint() && m_receiveBuffer.empty())
        throw ESockException("Receive - Socket Not Connected");
    if (m_server)
        throw ESockException("Receive - Cannot Receive On A Listener Socket");
    std::string taken;
    if (size < 0 || static_cast<std::size_t>(size) >= m_receiveBuffer.size()) {
        taken = std::exchange(m_receiveBuffer, std::string());
    } else {
        taken = m_receiveBuffer.substr(0, static_cast<std::size_t>(size));
        m_receiveBuffer.erase(0, static_cast<std::size_t>(size));
    }
    resumeReading();
    return taken;
}

void TSock::resumeReading()
{
    if (m_resumeScheduled || !m_socket || m_socket->bytesAvailable() == 0 ||
        m_receiveBuffer.size() >= kReceiveLimit)
        return;
    m_resumeScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_resumeScheduled = false;
        onReadyRead();
    });
}

bool TSock::Accept(TSock*& newSock)
{
    if (!m_listen || !m_server)
        throw ESockException("Accept - Socket Not In Listening Mode");
    QTcpSocket* socket = m_server->nextPendingConnection();
    if (!socket) {
        report(SocketInfo::Accept, "Could Not Accept Connection");
        return false;
    }
    auto* accepted = new TSock(this);
    accepted->OnRead = OnRead;
    accepted->OnWrite = OnWrite;
    accepted->OnDisconnect = OnDisconnect;
    accepted->OnInfo = OnInfo;
    accepted->adopt(socket);
    accepted->m_connected = true;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    accepted->m_portName = m_portName;
    bool isIpv4 = false;
    const quint32 peer = socket->peerAddress().toIPv4Address(&isIpv4);
    accepted->m_hostName =
        isIpv4 ? QHostAddress(peer).toString().toStdString() : socket->peerAddress().toString().toStdString();
    newSock = accepted;
    // Game messages are small and wanted at once: none waits for the
    // acknowledgement of the one before (LowDelayOption above).
    // Data or a close that reached the socket before anybody listened for it
    // still makes its event.
    if (socket->bytesAvailable() > 0)
        QTimer::singleShot(0, accepted, &TSock::onReadyRead);
    if (socket->state() != QAbstractSocket::ConnectedState)
        QTimer::singleShot(0, accepted, &TSock::onPeerClosed);
    report(SocketInfo::Accept, "Created New TSock Structure");
    return true;
}

std::size_t TSock::pendingSendBytes() const
{
    return m_heldOutput.size() + (m_socket ? static_cast<std::size_t>(m_socket->bytesToWrite()) : 0);
}

quint16 TSock::boundPort() const
{
    return m_server ? m_server->serverPort() : 0;
}

std::string TSock::boundAddress() const
{
    if (!m_server)
        return {};
    // Qt names the dual-stack any-address as it names the IPv4 one.
    const QHostAddress address = m_server->serverAddress();
    if (address.protocol() == QAbstractSocket::AnyIPProtocol)
        return "::";
    return address.toString().toStdString();
}

void TSock::onConnected()
{
    guarded([this] {
        m_connected = true;
        if (m_socket)
            m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        report(SocketInfo::Connect, "Non-Blocking Socket Connected");
        if (OnConnect)
            OnConnect(*this);
    });
}

void TSock::takeIncoming(bool ignoreLimit)
{
    // The socket holds at most kReadChunk for us at a time, so each pass here
    // is one data event of at most that size. Bytes left in the socket hold
    // the peer back until Receive makes room (see resumeReading).
    while (m_socket && m_socket->bytesAvailable() > 0) {
        std::size_t room = kReadChunk;
        if (!ignoreLimit) {
            if (m_receiveBuffer.size() >= kReceiveLimit)
                return;
            room = std::min(room, kReceiveLimit - m_receiveBuffer.size());
        }
        const QByteArray bytes = m_socket->read(static_cast<qint64>(room));
        if (bytes.isEmpty())
            return;
        m_receiveBuffer.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        report(SocketInfo::Receive, "Non-Blocking Incoming Data");
        if (OnRead)
            OnRead(*this, m_receiveBuffer.size());
    }
}

void TSock::onReadyRead()
{
    guarded([this] { takeIncoming(); });
}

void TSock::onBytesWritten()
{
    // Progress made inside Send itself is no separate event.
    if (m_sending)
        return;
    guarded([this] {
        report(SocketInfo::Send, "Non-Blocking Outgoing Data");
        if (OnWrite)
            OnWrite(*this);
    });
}

void TSock::onErrorOccurred(int error)
{
    const auto socketError = static_cast<QAbstractSocket::SocketError>(error);
    // On an open connection this is the peer going away, which arrives as the
    // disconnect that follows; a reset is no different for the game.
    if (socketError == QAbstractSocket::RemoteHostClosedError && m_connected)
        return;
    guarded(
        [this, socketError] { report(SocketInfo::Error, socketErrorText(socketErrorCode(socketError))); });
}

void TSock::onPeerClosed()
{
    if (m_peerClosedHandled || !m_socket)
        return;
    m_peerClosedHandled = true;
    guarded([this] {
        takeIncoming(true);
        if (OnDisconnect)
            OnDisconnect(*this);
    });
    guarded([this] { Close(); });
}

void TSock::onNewConnection()
{
    guarded([this] {
        if (OnAccept)
            OnAccept(*this);
    });
}

} // namespace lexiflip::net
