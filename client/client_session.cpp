#include "client/client_session.h"

#include <exception>

#include "net/error_report.h"

namespace lexiflip::client {

ClientSession::ClientSession(QObject* parent) : QObject(parent)
{
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(kTimer1Ms);
    connect(&Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    m_handleNow.setSingleShot(true);
    m_handleNow.setInterval(0);
    connect(&m_handleNow, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });

    sock.OnRead = [this](net::TSock& socket, int count) { guarded([&] { sockRead(socket, count); }); };
    sock.OnInfo = [this](net::TSock&, net::SocketInfo category, std::string_view message) {
        guarded([&] { sockInfo(category, message); });
    };
    sock.OnConnect = [this](net::TSock&) { guarded([this] { emit connected(); }); };
}

ClientSession::~ClientSession()
{
    // Closing down reports to nobody.
    sock.OnRead = nullptr;
    sock.OnInfo = nullptr;
    sock.OnConnect = nullptr;
    Timer1.stop();
    m_handleNow.stop();
}

template <class Step> void ClientSession::guarded(Step&& step)
{
    try {
        step();
    } catch (const std::exception& error) {
        net::reportGeneralError(error.what());
    } catch (...) {
        net::reportGeneralError("Error here");
    }
}

void ClientSession::open(const std::string& host, int port)
{
    sock.setHostName(host);
    sock.setPortName(std::to_string(port));
    sock.Open();
}

void ClientSession::send(std::string_view message)
{
    if (sock.Connected())
        sock.Send(message);
}

void ClientSession::sockRead(net::TSock& socket, int)
{
    const std::string bytes = socket.Receive();
    const std::size_t before = receivedlist.size();
    m_accumulator.feed(bytes, [this](std::string_view message) { receivedlist.emplace_back(message); });
    if (receivedlist.size() > before)
        scheduleDispatch();
}

void ClientSession::sockInfo(net::SocketInfo category, std::string_view message)
{
    if (category == net::SocketInfo::Error) {
        emit socketError(QString::fromLatin1(message.data(), static_cast<qsizetype>(message.size())));
        return;
    }
    if (message == "Socket Closed" && !m_closedReported) {
        m_closedReported = true;
        emit closed();
    }
}

// A message that reaches an idle queue is handled at once if a whole tick has
// passed since the last one, otherwise when that tick is over; after that the
// queue drains at one message per tick, and Timer1 stops when it is empty.
void ClientSession::scheduleDispatch()
{
    if (Timer1.isActive() || m_handleNow.isActive())
        return;
    constexpr qint64 kTickNs = qint64(kTimer1Ms) * 1000 * 1000;
    const qint64 sinceLast = m_lastHandled.isValid() ? m_lastHandled.nsecsElapsed() : kTickNs;
    if (sinceLast >= kTickNs)
        m_handleNow.start();
    else
        Timer1.start();
}

void ClientSession::Timer1Timer()
{
    if (receivedlist.empty()) {
        Timer1.stop();
        return;
    }
    // The entry leaves the queue before its handler runs, so a message whose
    // handler fails is not retried.
    const std::string entry = std::move(receivedlist.front());
    receivedlist.pop_front();
    m_lastHandled.restart();
    if (!receivedlist.empty() && !Timer1.isActive())
        Timer1.start();
    if (m_handler)
        m_handler(entry);
}

} // namespace lexiflip::client
