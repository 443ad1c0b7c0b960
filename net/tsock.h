#pragma once

#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "net/esock_exception.h"

namespace lexiflip::net {

// The category of an OnInfo report, numbered as the component numbers them.
enum class SocketInfo { Lookup = 0, Connect, Close, Listen, Receive, Send, Accept, Error };

// "Lookup", "Connect", ... "Error".
const char* socketInfoName(SocketInfo category);

// One stream endpoint: a listener, an accepted connection or an outgoing
// connection. Outgoing connections go to IPv4 addresses, or to an IPv6
// address given as such or the only kind a name has; a listener may take
// IPv6 peers too (see BindAddress). It turns socket readiness into events on
// the thread that owns it (the user-interface thread), and buffers both
// directions as byte strings; it never splits what it receives into lines or
// messages.
//
// Only the non-blocking stream mode exists: every endpoint of the game is one.
//
// Handlers run inside the component's own event handling. They may call any
// operation, Close included, but must not delete the TSock that called them
// (use deleteLater()).
//
// Destroying a TSock closes it without a word: no handler runs from the
// destructor, so an owner may hand it callbacks that capture itself or
// anything that dies before the TSock does.
//
// A host name is looked up without blocking the thread: Open returns at once,
// and the connection starts when the lookup completes. Bytes sent meanwhile
// wait in order; a failed lookup goes to the general error report as
// "Host Lookup - Could Not Find Host Entry". Closing or destroying the TSock
// during the lookup forgets it.
//
// Received bytes wait for Receive up to kReceiveLimit: beyond it the TSock
// stops reading from the network, so a peer whose bytes nobody takes is held
// back by TCP's own flow control instead of growing memory. Reading resumes
// once Receive has taken the held bytes below the limit. The bytes still in
// the socket when the peer closes are taken whatever the limit (at most one
// read chunk more), so that nothing sent before a close is lost.
class TSock : public QObject {
    Q_OBJECT

public:
    using Event = std::function<void(TSock& sender)>;
    using InfoEvent = std::function<void(TSock& sender, SocketInfo category, std::string_view message)>;
    using ReadEvent = std::function<void(TSock& sender, std::size_t count)>;

    explicit TSock(QObject* parent = nullptr);
    // A TSock that is listening or connected is closed first, silently.
    ~TSock() override;

    TSock(const TSock&) = delete;
    TSock& operator=(const TSock&) = delete;

    // Remote host for Open: dotted IPv4 address, IPv6 address, host name, or empty for the
    // any-address. On an accepted connection, the peer's address (dotted for
    // an IPv4 peer, also on a listener that takes IPv6 ones).
    const std::string& HostName() const { return m_hostName; }
    void setHostName(std::string hostName);

    // Decimal port number or a "tcp" service name.
    const std::string& PortName() const { return m_portName; }
    void setPortName(std::string portName);

    // The local address a listener binds to. Empty (the default) is every
    // interface, IPv6 and IPv4 together, or every IPv4 interface on a machine
    // without IPv6; otherwise one numeric address, such as "127.0.0.1" for a
    // listener that only this machine may reach. Read when listening starts.
    const std::string& BindAddress() const { return m_bindAddress; }
    void setBindAddress(std::string address) { m_bindAddress = std::move(address); }

    // Setting it True makes this a listener on PortName; False stops.
    bool Listen() const { return m_listen; }
    void setListen(bool listen);

    // Free for the owner.
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    bool Connected() const { return m_connected; }

    // Starts the outgoing connection (after looking up a host name, without
    // waiting for it); the outcome arrives as OnConnect or as an Error report.
    // Returns the connected flag (False while connecting).
    bool Open();
    // Closes and reports; True when there was a socket and it closed cleanly.
    bool Close();
    // Queues the bytes and hands the queue to the network without waiting;
    // what it does not take is retried when the socket can take more.
    bool Send(std::string_view text);
    // Takes received bytes: size -1 (or at least what is held) takes all.
    std::string Receive(std::ptrdiff_t size = -1);
    // On a listener, from OnAccept: accepts one waiting connection into a new
    // TSock owned by this one.
    bool Accept(TSock*& newSock);

    // Bytes given to Send that the network has not taken yet.
    std::size_t pendingSendBytes() const;
    // Bytes received and not taken by Receive yet.
    std::size_t receivedBytes() const { return m_receiveBuffer.size(); }
    // The port a listener is bound to (useful after listening on port 0).
    quint16 boundPort() const;
    // The address a listener is bound to ("127.0.0.1"; "::" for every
    // interface, "0.0.0.0" for every IPv4 one), or empty while not listening.
    std::string boundAddress() const;

    Event OnConnect;
    Event OnDisconnect;
    InfoEvent OnInfo;
    ReadEvent OnRead;
    Event OnWrite;
    Event OnAccept;

    // Bytes one data event reads at most; further data makes further events.
    static constexpr std::size_t kReadChunk = 32768;
    // Received bytes held for Receive at most while the connection lasts.
    static constexpr std::size_t kReceiveLimit = 1024 * 1024;

private slots:
    // Named as a slot for QHostInfo::lookupHost.
    void onHostLookedUp(const QHostInfo& info);

private:
    void onConnected();
    void onReadyRead();
    void onBytesWritten();
    void onErrorOccurred(int error);
    void onPeerClosed();
    void onNewConnection();

    // Calls OnInfo; an exception out of it becomes ESockException "Error here".
    void report(SocketInfo category, std::string_view message);
    // Reads what the network holds, at most kReadChunk per event, and stops
    // at kReceiveLimit unless told to take everything.
    void takeIncoming(bool ignoreLimit = false);
    // After Receive made room: reads what was left waiting, from the event
    // loop rather than inside the caller's handler.
    void resumeReading();
    void adopt(QTcpSocket* socket);
    void connectTo(const QHostAddress& address, quint16 port);
    // Lets go of the socket, the listener and any lookup, reporting nothing.
    void shutDown();
    // Lets go of the socket; pending output is still delivered for a while.
    void releaseSocket();
    void releaseServer();
    // A listener on address and port, or null with the reason in error.
    QTcpServer* startServer(const QHostAddress& address, quint16 port, QAbstractSocket::SocketError& error);
    void abandonLookup();
    bool lookingUp() const { return m_lookupId >= 0; }
    bool hasEndpoint() const { return m_socket || m_server || lookingUp(); }
    quint16 resolvePort();
    // The address when it is known at once; none when a lookup must run.
    std::optional<QHostAddress> resolveHost();
    // Runs an event handler step; errors go to the general error report.
    template <class Step> void guarded(Step&& step);

    std::string m_hostName;
    std::string m_portName;
    std::string m_bindAddress;
    bool m_listen = false;
    bool m_connected = false;
    bool m_sending = false;
    bool m_peerClosedHandled = false;
    int m_tag = 0;
    QPointer<QTcpSocket> m_socket;
    QPointer<QTcpServer> m_server;
    bool m_resumeScheduled = false;
    // The host name lookup under way, or -1.
    int m_lookupId = -1;
    quint16 m_lookupPort = 0;
    std::string m_receiveBuffer;
    // Bytes given to Send while the host name is being looked up.
    std::string m_heldOutput;
};

} // namespace lexiflip::net
