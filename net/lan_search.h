#pragma once

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

#include "net/discovery/found_games.h"
#include "net/discovery_scope.h"

class QUdpSocket;

namespace lexiflip::net {

// A game a search found on the local network.
struct LanHost {
    // Where to join it: the address the answer came from, the game's port.
    QHostAddress address;
    quint16 port = 0;
    // The host's own player, empty before he has logged in.
    QString hostName;
    // Playing seats nobody holds (the computer's seat counts as free), and
    // connections the host still takes as a player or a watcher (0: full).
    int freeSeats = 0;
    int freePlaces = 0;
    bool gameRunning = false;
    // The host's version text; joining a different version is refused.
    QString version;
};

// Looks for games on the local network: start() sends one query to each of
// the scope's targets on the discovery port, hostFound reports each game
// that answers, at most once per search and within the bounds of
// discovery::FoundGames, and finished follows after kWindowMs, however many
// answers keep coming. Nothing is sent before start().
//
//     auto* search = new LanSearch(dialog);
//     connect(search, &LanSearch::hostFound, dialog, &JoinDialog::addHost);
//     connect(search, &LanSearch::finished, dialog, &JoinDialog::searchOver);
//     search->start();
class LanSearch : public QObject {
    Q_OBJECT

public:
    static constexpr int kWindowMs = 1000;
    // Datagrams read at one time: between two such turns the event loop
    // serves everything else in this process, such as a game the window
    // hosts, and the socket says again that the rest waits.
    static constexpr int kDatagramsPerTurn = 64;

    // The scope from LEXIFLIP_DISCOVERY_ADDRESS, the port from defaultDiscoveryPort().
    explicit LanSearch(QObject* parent = nullptr);
    ~LanSearch() override;

    void setScope(const DiscoveryScope& scope) { m_scope = scope; }
    void setPort(quint16 port) { m_port = port; }
    void setWindowMs(int milliseconds) { m_windowMs = milliseconds; }

    // Sends the query and listens for answers; a search under way is
    // forgotten first (its late answers are not reported).
    void start();
    // Ends a search under way at once, without finished.
    void stop();
    bool searching() const { return m_window.isActive(); }
    // Why the last search could not send its query to any target, empty when
    // it could.
    const QString& problem() const { return m_problem; }

signals:
    void hostFound(const lexiflip::net::LanHost& host);
    void finished();

private:
    void onReadyRead(QUdpSocket* socket);
    void finish();

    DiscoveryScope m_scope;
    quint16 m_port;
    int m_windowMs = kWindowMs;
    // One socket per family of the targets.
    QList<QUdpSocket*> m_sockets;
    // Ends a search when nothing comes; m_deadline, when answers keep coming.
    QTimer m_window;
    QDeadlineTimer m_deadline;
    std::uint32_t m_nonce = 0;
    // The games reported in this search.
    discovery::FoundGames m_found;
    QString m_problem;
};

} // namespace lexiflip::net
