#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "engine/game.h"
#include "host/discovery_responder.h"
#include "host/host_session.h"
#include "host/state_writer.h"
#include "net/qt_clock.h"
#include "net/qt_pace_timer.h"
#include "net/tsock.h"
#include "words/notice_sink.h"
#include "words/tdictn.h"

namespace lexiflip::host {

// How a host is set up. The defaults are the game's.
struct HostOptions {
    // The TCP port; unset means LEXIFLIP_PORT when that is a port number, else
    // 7772. 0 lets the system choose (read it back with TServer::port()).
    std::optional<int> port;
    // The computer player's pace (Bot Speed): 1000, 750 or 250 ms.
    int botSpeedMs = 750;
    // How well the computer plays (Klot's Strength): Classic, Strong or Expert.
    engine::ComputerStrength klotStrength = engine::ComputerStrength::Classic;
    // The seed of the game's letter draws; unset means a fresh random one.
    std::optional<std::uint64_t> seed;
    // The dictionary words are checked against; unset means the embedded list
    // (or a file "English" in the working directory). Tests hand in small ones.
    std::shared_ptr<const words::TDictn> dictionary;
    // The receive queue hands on one message per tick of this many ms.
    int socktimerMs = 10;
    // A peer that lets more than this wait for it is not reading: it is closed.
    std::size_t sendLimitBytes = 1024 * 1024;
    // A connection that has not logged in this long after it was accepted is
    // closed, so that idle connections cannot hold every slot.
    int loginTimeoutMs = 30000;
    // Slot 1 is a remote player like any other (lexiflip-host): when he
    // leaves on turn, the turn moves on at once. Unset, slot 1 is the hosting
    // window's own client, which cannot leave without the host going, and the
    // turn it held stays until its clock runs out.
    bool firstSeatRemote = false;
    // How long a seat is kept for a player whose connection drops during a
    // game, for his return from the same address (HostSessionSettings).
    int seatHoldMs = 120000;
    // For a game that must play the same however fast its messages travel
    // (the screenshot renderer) and for tests of the receive queue's pace:
    // the engine's two clocks and socktimer's timer, stepped by the caller
    // instead of running on Qt's timers. Not owned; they must outlive the
    // host. Unset means Qt's timers.
    core::Clock* timer1 = nullptr;
    core::Clock* computertimer = nullptr;
    net::PaceTimer* socktimer = nullptr;
    // The UDP port the host answers local network searches on while it hosts
    // for the network (never for a game only this machine may reach); unset,
    // it answers none. 0 lets the system choose (read it back with
    // TServer::discoveryPort()). The programs use defaultDiscoveryPort().
    std::optional<int> discoveryPort;
    // For tests: the time the one-answer-a-second rule of discovery is kept
    // by; unset means a steady clock.
    std::function<std::chrono::nanoseconds()> discoveryClock;
};

// The host on the network: it listens for clients and puts the host session
// (HostSession, which holds the rules) on sockets and Qt's timers. Each
// accepted socket becomes a connection id; its bytes and its close go to the
// session, and what the session sends goes out on it. A peer that stops
// reading is closed once the send limit waits for it.
class TServer : public QObject {
    Q_OBJECT

public:
    explicit TServer(HostOptions options = {}, QObject* parent = nullptr);
    ~TServer() override;

    TServer(const TServer&) = delete;
    TServer& operator=(const TServer&) = delete;

    // Who may connect: anybody who reaches one of the machine's interfaces
    // (a game hosted for others), or this machine alone over 127.0.0.1 (a
    // solo game, whose only client is the window's own).
    enum class Reach { Network, ThisMachine };

    // Sets Sock1's Listen to True. Raises ESockException "Listen - Error
    // Binding Socket" when the port is taken. Hosting for the network also
    // answers local network searches when the options ask for it; when that
    // cannot be, a notice says so and the game is hosted all the same.
    void startHosting(Reach reach = Reach::Network);
    // The port Sock1 listens on (0 while not hosting).
    quint16 port() const;
    // The UDP port local network searches are answered on, 0 when none are.
    quint16 discoveryPort() const;
    // The address Sock1 is bound to ("127.0.0.1", or "::" for every
    // interface), empty while not hosting.
    std::string listeningAddress() const;

    engine::Game& game() { return m_session->game(); }
    const engine::GameState& state() const { return m_session->state(); }

    int botSpeedMs() const { return m_session->botSpeedMs(); }
    void setBotSpeedMs(int milliseconds) { m_session->setBotSpeedMs(milliseconds); }

    engine::ComputerStrength klotStrength() const { return m_session->klotStrength(); }
    void setKlotStrength(engine::ComputerStrength strength) { m_session->setKlotStrength(strength); }

    // Keeps the game in file from now on, after every change that matters.
    // Before the host listens: a file holding an unfinished game is resumed
    // (true), its seats waiting for their players. A file that cannot be
    // read is moved aside and its problem told (problem), and the host
    // starts fresh; a write that fails later is told as a notice.
    struct KeptState {
        bool resumed = false;
        std::string problem;
    };
    KeptState keepStateIn(const std::filesystem::path& file);
    // Writes what waits for the state file (tests).
    void flushState();
    // The game is over for good (the player left it): its file goes, and
    // nothing more is kept.
    void forgetState();
    // The game and options as the state file keeps them.
    HostSnapshot snapshot() const { return m_session->snapshot(); }

    // Also told every notice, besides the noticed signal (lexiflip-host
    // writes them to standard error).
    void setNoticeCallback(std::function<void(std::string_view)> callback);

    // For tests and benchmarks: entries waiting in receivedlist, whether
    // socktimer runs, and the bytes a slot's connection holds for a message
    // whose terminator has not come yet.
    std::size_t queuedEntries() const { return m_session->queuedEntries(); }
    bool socktimerRunning() const { return m_session->socktimerRunning(); }
    std::size_t partialMessageBytes(int slot) const { return m_session->partialMessageBytes(slot); }

signals:
    // A notice for the host's own user ("Invalid Letter (3)").
    void noticed(const QString& text);
    // An error that reached the top of an event handler.
    void errorReported(const QString& text);

private:
    // An accepted socket while the session holds its connection.
    struct Link {
        net::TSock* sock = nullptr;
        // Past the send limit: it hears nothing more and closes next.
        bool closing = false;
    };

    // The session's way out onto the sockets.
    class SocketTransport : public HostTransport {
    public:
        explicit SocketTransport(TServer& server) : m_server(server) {}
        void send(ConnectionId connection, std::string_view message) override
        {
            m_server.sendTo(connection, message);
        }
        void close(ConnectionId connection) override { m_server.closeSocket(connection); }
        void reportError(std::string_view text) override { m_server.reportError(text); }

    private:
        TServer& m_server;
    };

    class LocalNotices : public words::NoticeSink {
    public:
        explicit LocalNotices(TServer& server) : m_server(server) {}
        void notice(std::string_view text) override { m_server.onNotice(text); }

    private:
        TServer& m_server;
    };

    // Socket events.
    void Sock1Accept(net::TSock& listener);
    void Sock1Read(net::TSock& sock, std::size_t count);
    void tempsockDisconnect(net::TSock& sock);
    void tempsockInfo(net::TSock& sock, net::SocketInfo category, std::string_view message);

    // The connection an accepted socket carries, 0 for none.
    ConnectionId connectionOf(const net::TSock& sock) const;
    void sendTo(ConnectionId connection, std::string_view message);
    // Closes a connection's socket without telling the session.
    void closeSocket(ConnectionId connection);
    // A peer that does not read is closed like one that left.
    void closeSlowPeer(ConnectionId connection);
    void onNotice(std::string_view text);
    void reportError(std::string_view text);
    // Runs one event handler; nothing it raises goes further.
    template <class Step> void guarded(Step&& step) { m_session->guarded(std::forward<Step>(step)); }

    void startAnsweringSearches();

    std::size_t m_sendLimitBytes;
    std::optional<int> m_discoveryPort;
    std::function<std::chrono::nanoseconds()> m_discoveryClock;
    std::function<void(std::string_view)> m_noticeCallback;

    SocketTransport m_transport{*this};
    LocalNotices m_notices{*this};
    net::QtClock m_qtTimer1;
    net::QtClock m_qtComputertimer;
    net::QtPaceTimer m_socktimer;
    net::QtPaceTimer m_sessionTimer;
    std::shared_ptr<const words::TDictn> m_dictionary;
    std::vector<std::string> m_listboxWords;
    std::unique_ptr<HostSession> m_session;
    // Goes after the session, which tells it every state.
    std::unique_ptr<StateWriter> m_stateWriter;
    // Answers from the session's state, so it goes before the session.
    std::unique_ptr<DiscoveryResponder> m_discovery;

    std::map<ConnectionId, Link> m_links;
    ConnectionId m_lastConnectionId = 0;
    std::string m_portName;

    // Declared last: its connections are closed while everything they report
    // to still exists.
    net::TSock tempsock;
    net::TSock Sock1;
};

} // namespace lexiflip::host
