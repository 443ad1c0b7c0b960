#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

#include "net/discovery/answer_policy.h"
#include "net/discovery/datagram.h"
#include "net/discovery_scope.h"

class QUdpSocket;

namespace lexiflip::engine {
struct GameState;
} // namespace lexiflip::engine

namespace lexiflip::host {

// What a host tells a search about its game: its own player (slot 1), the
// seats and places nobody holds, whether a game runs, the version and the
// game's port.
discovery::Answer describeHost(const engine::GameState& state, quint16 gamePort);

// Answers the discovery queries that reach a UDP port, as AnswerPolicy
// decides, with the facts it is handed at the moment of each answer. It
// answers only the scope's sources.
class DiscoveryResponder : public QObject {
    Q_OBJECT

public:
    using Facts = std::function<discovery::Answer()>;
    using Now = std::function<std::chrono::nanoseconds()>;

    explicit DiscoveryResponder(Facts facts,
                                net::DiscoveryScope scope = net::DiscoveryScope::fromEnvironment(),
                                QObject* parent = nullptr);
    ~DiscoveryResponder() override;

    // For tests: the time the one-answer-a-second rule is kept by (a steady
    // clock unless set).
    void setClock(Now now) { m_now = std::move(now); }

    // Listens on port (0 lets the system choose) with a socket for each
    // family the scope reaches, sharing the port with other hosts of this
    // same user on this machine and with nobody else. False, with the reason
    // in problem(), when no socket could.
    bool start(quint16 port);
    void stop();
    // The port listened on, 0 while not listening.
    quint16 port() const;
    const QString& problem() const { return m_problem; }

private:
    void onReadyRead(QUdpSocket* socket);

    Facts m_facts;
    net::DiscoveryScope m_scope;
    Now m_now;
    discovery::AnswerPolicy m_policy;
    // One socket per family: an IPv4 broadcast reaches a socket of IPv4.
    QList<QUdpSocket*> m_sockets;
    QString m_problem;
};

} // namespace lexiflip::host
