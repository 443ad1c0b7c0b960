#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "client/game/client_sender.h"
#include "net/paced_queue.h"
#include "net/qt_pace_timer.h"
#include "net/tsock.h"
#include "wire/accumulator.h"

namespace lexiflip::client {

// The client's connection to the host: the socket `sock`, the receive
// accumulator that cuts its bytes at the terminator, and the queue
// `receivedlist` that Timer1 drains one message per tick, oldest first, into
// the message handler (the client game). Outgoing messages go out through
// send(). Every event handler is guarded: nothing it raises crosses the event
// loop; it reaches the application's general error report instead.
//
// What a host sends cannot grow the window without bound: a message nobody
// handles is dropped before it is queued, and the queue holds at most the cap
// the host keeps for each of its own connections. A host that fills it is
// closed like a disconnect (overrun(), then closed()).
//
// A host that falls silent for longer than the silence limit (a cable pulled,
// a peer that stopped without a word) is closed like a disconnect too:
// without it a dead connection would look like a quiet game for ever.
//
// "Socket Closed" is reported as closed() only once every message that
// arrived before it has been handled, so that the last word of a host that
// closes at once ("Game is full") is still shown.
class ClientSession : public QObject, public ClientSender {
    Q_OBJECT

public:
    // Timer1's tick: at most one message is handled per millisecond.
    static constexpr int kTimer1Ms = 1;

    using MessageHandler = std::function<void(std::string_view message)>;

    explicit ClientSession(QObject* parent = nullptr);
    ~ClientSession() override;

    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;

    // Who gets each message (the whole entry without its terminator), and
    // which messages it handles at all; without that test every message is
    // queued.
    void setMessageHandler(MessageHandler handler) { m_handler = std::move(handler); }
    void setHandledMessages(std::function<bool(std::string_view message)> handles)
    {
        m_handles = std::move(handles);
    }

    // Sets the host and port and opens the connection; the outcome arrives as
    // connected(), or as an error report.
    void open(const std::string& host, int port);
    // Ends the connection as destroying the session would: without a report
    // (no closed(), no error), and with whatever waited in the queue dropped.
    // The session may be opened again afterwards, to another host.
    void close();
    // Hands a whole message (with its terminator) to the socket; nothing is
    // sent while the socket is not connected, and a socket that was never
    // opened raises the socket's "Send - Socket Not Connected".
    void send(std::string_view message) override;

    bool isConnected() const { return sock.Connected(); }
    // How long the host may say nothing on an open connection before it is
    // taken for gone; 0 (the default) waits for ever. Counts from the last
    // bytes received, or from now.
    void setSilenceLimitMs(int milliseconds);
    int silenceLimitMs() const { return m_silenceLimitMs; }
    // Entries waiting in receivedlist, and whether Timer1 is due to run.
    std::size_t queuedEntries() const { return receivedlist.size(); }
    bool timer1Running() const { return receivedlist.pacing(); }

signals:
    void connected();
    // The socket reported "Socket Closed" and every message received before
    // it has been handled: the window closes.
    void closed();
    // The host filled the receive queue; the connection is being closed.
    void overrun();
    // The host was silent for longer than the limit; the connection is being closed.
    void fellSilent();
    // A socket error that arrived with a notification ("Error #10061 (WSAECONNREFUSED)").
    void socketError(const QString& text);

private:
    void sockRead(net::TSock& socket, int count);
    void sockInfo(net::SocketInfo category, std::string_view message);
    void Timer1Timer(std::string_view message);
    void queueMessage(std::string_view message);
    // Reports closed() once the socket closed and the queue is empty.
    void closeWhenDrained();
    void watchSilence();

    MessageHandler m_handler;
    std::function<bool(std::string_view)> m_handles;
    wire::ReceiveAccumulator m_accumulator;
    // Runs only while messages wait; a lone message is handled at once.
    net::QtPaceTimer Timer1;
    net::PacedQueue receivedlist;
    bool m_socketClosed = false;
    bool m_overrun = false;
    bool m_closedReported = false;
    bool m_opened = false;
    int m_silenceLimitMs = 0;
    QTimer m_silence;
    // Declared last: it is closed while everything it reports to still exists.
    net::TSock sock;
};

} // namespace lexiflip::client
