#pragma once

#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "net/esock_exception.h"

namespace lexiflip::net {

// The category of an OnInfo report, numbered as the component numbers them.
enum class SocketInfo { Lookup = 0, Connect, Close, Listen, Receive, Send, Accept, Error };

// "Lookup", "Connect", ... "Error".
const char* socketInfoName(SocketInfo category);

// One IPv4 stream endpoint: a listener, an accepted connection or an outgoing
// connection. It turns socket readiness into events on the thread that owns it
// (the user-interface thread), and buffers both directions as byte strings; it
// never splits what it receives into lines or messages.
//
// Only the non-blocking stream mode exists: every endpoint of the game is one.
//
// Handlers run inside the component's own event handling. They may call any
// operation, Close included, but must not delete the TSock that called them
// (use deleteLater()).
class TSock : public QObject {
    Q_OBJECT

public:
    using Event = std::function<void(TSock& sender)>;
    using InfoEvent = std::function<void(TSock& sender, SocketInfo category, std::string_view message)>;
    using ReadEvent = std::function<void(TSock& sender, int count)>;

    explicit TSock(QObject* parent = nullptr);
    // A TSock that is listening or connected is closed first.
    ~TSock() override;

    TSock(const TSock&) = delete;
    TSock& operator=(const TSock&) = delete;

    // Remote host for Open: dotted IPv4 address, host name, or empty for the
    // any-address. On an accepted connection, the peer's dotted address.
    const std::string& HostName() const { return m_hostName; }
    void setHostName(std::string hostName);

    // Decimal port number or a "tcp" service name.
    const std::string& PortName() const { return m_portName; }
    void setPortName(std::string portName);

    // Setting it True makes this a listener on PortName; False stops.
    bool Listen() const { return m_listen; }
    void setListen(bool listen);

    // Free for the owner: the host keeps a connection's slot here.
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    bool Connected() const { return m_connected; }

    // Starts the outgoing connection; the outcome arrives as OnConnect or as an
    // Error report. Returns the connected flag (False while connecting).
    bool Open();
    // Closes and reports; True when there was a socket and it closed cleanly.
    bool Close();
    // Queues the bytes and hands the queue to the network without waiting;
    // what it does not take is retried when the socket can take more.
    bool Send(std::string_view text);
    // Takes received bytes: size -1 (or at least what is held) takes all.
    std::string Receive(int size = -1);
    // On a listener, from OnAccept: accepts one waiting connection into a new
    // TSock owned by this one.
    bool Accept(TSock*& newSock);

    // Bytes given to Send that the network has not taken yet.
    std::size_t pendingSendBytes() const;
    // Bytes received and not taken by Receive yet.
    std::size_t receivedBytes() const { return m_receiveBuffer.size(); }
    // The port a listener is bound to (useful after listening on port 0).
    quint16 boundPort() const;

    Event OnConnect;
    Event OnDisconnect;
    InfoEvent OnInfo;
    ReadEvent OnRead;
    Event OnWrite;
    Event OnAccept;

    // Bytes one data event reads at most; further data makes further events.
    static constexpr int kReadChunk = 32768;

private:
    void onConnected();
    void onReadyRead();
    void onBytesWritten();
    void onErrorOccurred(int error);
    void onPeerClosed();
    void onNewConnection();

    // Calls OnInfo; an exception out of it becomes ESockException "Error here".
    void report(SocketInfo category, std::string_view message);
    // Reads what the network holds, at most kReadChunk per event.
    void takeIncoming();
    void adopt(QTcpSocket* socket);
    // Lets go of the socket; pending output is still delivered for a while.
    void releaseSocket();
    void releaseServer();
    quint16 resolvePort();
    quint32 resolveHost();
    // Runs an event handler step; errors go to the general error report.
    template <class Step>
    void guarded(Step&& step);

    std::string m_hostName;
    std::string m_portName;
    bool m_listen = false;
    bool m_connected = false;
    bool m_sending = false;
    bool m_peerClosedHandled = false;
    int m_tag = 0;
    QPointer<QTcpSocket> m_socket;
    QPointer<QTcpServer> m_server;
    std::string m_receiveBuffer;
};

} // namespace lexiflip::net
