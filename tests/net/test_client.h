#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <sys/socket.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/net_wait.h"
#include "wire/accumulator.h"
#include "wire/field_reader.h"
#include "wire/messages.h"

namespace lexiflip::testing {

// Whether this machine has IPv6 at all: its loopback ::1 can be bound.
inline bool machineHasIpv6()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHostIPv6, 0);
}

// A scripted client of the host over plain QTcpSocket, so that the host is
// tested against the wire and not against our own socket component. It keeps
// every message it receives, cut at the terminator.
class TestClient {
public:
    // A source address other than the system's choice (127.0.0.2 and up stay
    // on the loopback) makes the client a peer from another address.
    explicit TestClient(quint16 port, const QHostAddress& address = QHostAddress(QHostAddress::LocalHost),
                        const QHostAddress& source = QHostAddress())
    {
        if (!source.isNull())
            m_socket.bind(source);
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { take(); });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, [this] {
            take();
            m_closed = true;
        });
        QObject::connect(&m_socket, &QTcpSocket::connected,
                         [this] { m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
        m_socket.connectToHost(address, port);
    }

    void send(std::string_view bytes)
    {
        m_socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
        m_socket.flush();
    }

    void close() { m_socket.disconnectFromHost(); }
    // Leaves with a reset (RST) instead of an orderly close.
    void reset()
    {
        const linger abrupt{1, 0};
        ::setsockopt(static_cast<int>(m_socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &abrupt,
                     sizeof abrupt);
        m_socket.abort();
        m_closed = true;
    }
    bool closed() const { return m_closed; }
    QTcpSocket& socket() { return m_socket; }

    const std::vector<std::string>& messages() const { return m_messages; }
    void forget() { m_messages.clear(); }

    // The first message whose text begins with prefix, from index from on.
    std::optional<std::size_t> find(std::string_view prefix, std::size_t from = 0) const
    {
        for (std::size_t i = from; i < m_messages.size(); ++i) {
            if (std::string_view(m_messages[i]).substr(0, prefix.size()) == prefix)
                return i;
        }
        return std::nullopt;
    }
    bool has(std::string_view prefix) const { return find(prefix).has_value(); }
    int count(std::string_view prefix) const
    {
        return static_cast<int>(
            std::count_if(m_messages.begin(), m_messages.end(), [prefix](const std::string& m) {
                return std::string_view(m).substr(0, prefix.size()) == prefix;
            }));
    }
    // Messages that are exactly text.
    int countExactly(std::string_view text) const
    {
        return static_cast<int>(std::count(m_messages.begin(), m_messages.end(), std::string(text)));
    }

    bool waitFor(std::string_view prefix, int timeoutMs = 5000)
    {
        return waitUntil([&] { return has(prefix) || m_closed; }, timeoutMs) && has(prefix);
    }
    bool waitForClose(int timeoutMs = 5000)
    {
        return waitUntil([&] { return m_closed; }, timeoutMs);
    }

    // Waits for the slot the host gives and answers with a login.
    bool login(std::string_view name, std::string_view version = wire::msg::kVersion)
    {
        if (!waitFor("CMD_sendlogininfo+"))
            return false;
        const std::string& given = m_messages[*find("CMD_sendlogininfo+")];
        m_slot = wire::parseInt(std::string_view(given).substr(18)).value_or(0);
        m_name = std::string(name);
        send(wire::msg::logininfo(m_slot, version, name));
        return waitFor("CMD_newplayerinfo+" + std::to_string(m_slot) + "+");
    }
    int slot() const { return m_slot; }
    const std::string& name() const { return m_name; }

private:
    void take()
    {
        if (!m_socket.isOpen())
            return;
        const QByteArray bytes = m_socket.readAll();
        m_accumulator.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                           [this](std::string_view message) { m_messages.emplace_back(message); });
    }

    QTcpSocket m_socket;
    wire::ReceiveAccumulator m_accumulator;
    std::vector<std::string> m_messages;
    bool m_closed = false;
    int m_slot = 0;
    std::string m_name;
};

} // namespace lexiflip::testing
