#include "client/session/client_session.h"

#include <algorithm>
#include <utility>

#include "client/session/eight_bit_text.h"
#include "client/session/guarded.h"
#include "wire/connection.h"

namespace lexiflip::client {

ClientSession::ClientSession(QObject* parent)
    : QObject(parent),
      receivedlist(Timer1, std::chrono::milliseconds(kTimer1Ms), wire::kQueueLimitPerConnection)
{
    // The entry leaves the queue before its handler runs, so a message whose
    // handler fails is not retried.
    receivedlist.setHandler([this](net::PacedQueue::ConnectionId, std::string_view message) {
        guarded([&] { Timer1Timer(message); });
        guarded([this] { closeWhenDrained(); });
    });
    sock.OnRead = [this](net::TSock& socket, int count) { guarded([&] { sockRead(socket, count); }); };
    sock.OnInfo = [this](net::TSock&, net::SocketInfo category, std::string_view message) {
        guarded([&] { sockInfo(category, message); });
    };
    sock.OnConnect = [this](net::TSock&) {
        guarded([this] {
            watchSilence();
            emit connected();
        });
    };
    m_silence.setSingleShot(true);
    connect(&m_silence, &QTimer::timeout, this, [this] {
        guarded([this] {
            if (!sock.Connected() || m_socketClosed)
                return;
            emit fellSilent();
            sock.Close(); // reports "Socket Closed"
        });
    });
}

ClientSession::~ClientSession()
{
    // Closing down reports to nobody.
    sock.OnRead = nullptr;
    sock.OnInfo = nullptr;
    sock.OnConnect = nullptr;
    receivedlist.clear();
}

void ClientSession::open(const std::string& host, int port)
{
    sock.setHostName(host);
    sock.setPortName(std::to_string(port));
    m_opened = true;
    sock.Open();
}

void ClientSession::setSilenceLimitMs(int milliseconds)
{
    m_silenceLimitMs = std::max(0, milliseconds);
    watchSilence();
}

void ClientSession::watchSilence()
{
    if (m_silenceLimitMs > 0 && sock.Connected() && !m_socketClosed)
        m_silence.start(m_silenceLimitMs);
    else
        m_silence.stop();
}

void ClientSession::close()
{
    m_silence.stop();
    const net::TSock::InfoEvent onInfo = std::exchange(sock.OnInfo, nullptr);
    sock.Close();
    sock.OnInfo = onInfo;
    receivedlist.clear();
    m_accumulator.clear();
    m_socketClosed = false;
    m_overrun = false;
    m_closedReported = false;
    m_opened = false;
}

void ClientSession::send(std::string_view message)
{
    // A socket that was never opened raises "Send - Socket Not Connected", so
    // that the player learns the message went nowhere; one that is still
    // connecting, or has closed, takes nothing.
    if (!m_opened || sock.Connected())
        sock.Send(message);
}

void ClientSession::sockRead(net::TSock& socket, int)
{
    const std::string bytes = socket.Receive();
    watchSilence();
    m_accumulator.feed(bytes, [this](std::string_view message) { queueMessage(message); });
    if (m_overrun && !m_socketClosed)
        sock.Close(); // reports "Socket Closed"
}

void ClientSession::queueMessage(std::string_view message)
{
    if (m_overrun || (m_handles && !m_handles(message)))
        return;
    if (receivedlist.push(0, std::string(message)))
        return;
    // Once, however much more the same read holds. What this host queued is
    // dropped with it: handling it would only push the line that says why
    // out of sight before the window closes.
    m_overrun = true;
    receivedlist.clear();
    emit overrun();
}

void ClientSession::sockInfo(net::SocketInfo category, std::string_view message)
{
    if (category == net::SocketInfo::Error) {
        emit socketError(fromEightBit(message));
        return;
    }
    if (message == "Socket Closed") {
        m_socketClosed = true;
        m_silence.stop();
        closeWhenDrained();
    }
}

void ClientSession::closeWhenDrained()
{
    if (!m_socketClosed || m_closedReported || receivedlist.size() != 0)
        return;
    m_closedReported = true;
    emit closed();
}

void ClientSession::Timer1Timer(std::string_view message)
{
    if (m_handler)
        m_handler(message);
}

} // namespace lexiflip::client
