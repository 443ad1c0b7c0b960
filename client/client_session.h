#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "client/game/client_sender.h"
#include "net/paced_queue.h"
#include "net/qt_pace_timer.h"
#include "net/tsock.h"
#include "net/wire/accumulator.h"

namespace lexiflip::client {

// The client's connection to the host: the socket `sock`, the receive
// accumulator that cuts its bytes at the terminator, and the queue
// `receivedlist` that Timer1 drains one message per tick, oldest first, into
// the message handler (the client game). Outgoing messages go out through
// send(). Every event handler is guarded: nothing it raises crosses the event
// loop; it reaches the application's general error report instead.
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

    // Who gets each message (the whole entry without its terminator).
    void setMessageHandler(MessageHandler handler) { m_handler = std::move(handler); }

    // Sets the host and port and opens the connection; the outcome arrives as
    // connected(), or as an error report.
    void open(const std::string& host, int port);
    // Hands a whole message (with its terminator) to the socket; nothing is
    // sent while the socket is not connected, and a socket that was never
    // opened raises the socket's "Send - Socket Not Connected".
    void send(std::string_view message) override;

    bool isConnected() const { return sock.Connected(); }
    // Entries waiting in receivedlist, and whether Timer1 is due to run.
    std::size_t queuedEntries() const { return receivedlist.size(); }
    bool timer1Running() const { return receivedlist.pacing(); }

signals:
    void connected();
    // The socket reported "Socket Closed": the window closes.
    void closed();
    // A socket error that arrived with a notification ("Error #10061 (WSAECONNREFUSED)").
    void socketError(const QString& text);

private:
    void sockRead(net::TSock& socket, int count);
    void sockInfo(net::SocketInfo category, std::string_view message);
    void Timer1Timer(std::string_view message);

    MessageHandler m_handler;
    wire::ReceiveAccumulator m_accumulator;
    // Runs only while messages wait; a lone message is handled at once.
    net::QtPaceTimer Timer1;
    net::PacedQueue receivedlist;
    bool m_closedReported = false;
    bool m_opened = false;
    // Declared last: it is closed while everything it reports to still exists.
    net::TSock sock;
};

} // namespace lexiflip::client
