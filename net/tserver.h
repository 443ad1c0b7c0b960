#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/random_source.h"
#include "engine/game.h"
#include "engine/notice_sink.h"
#include "engine/sender.h"
#include "engine/tdictn.h"
#include "net/paced_queue.h"
#include "net/qt_clock.h"
#include "net/qt_pace_timer.h"
#include "net/tsock.h"
#include "net/wire/accumulator.h"
#include "net/wire/dispatch_table.h"
#include "net/wire/host_requests.h"

namespace lexiflip::net {

// How a host is set up. The defaults are the game's.
struct HostOptions {
    // The TCP port; unset means LEXIFLIP_PORT when that is a port number, else
    // 7772. 0 lets the system choose (read it back with TServer::port()).
    std::optional<int> port;
    // The computer player's pace (Bot Speed): 1000, 750 or 250 ms.
    int botSpeedMs = 750;
    // The seed of the game's letter draws; unset means a fresh random one.
    std::optional<std::uint64_t> seed;
    // The dictionary words are checked against; unset means the embedded list
    // (or a file "English" in the working directory). Tests hand in small ones.
    std::shared_ptr<const engine::TDictn> dictionary;
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
    // For fuzzing and tests: the engine's two clocks and socktimer's timer,
    // stepped by the caller instead of running on Qt's timers. Not owned;
    // they must outlive the host. Unset means Qt's timers.
    core::Clock* timer1 = nullptr;
    core::Clock* computertimer = nullptr;
    PaceTimer* socktimer = nullptr;
};

// The port a host listens on when none is given: LEXIFLIP_PORT, else 7772.
int defaultHostPort();

// The host session: it listens for clients, gives every connection a slot,
// handles logins and the version check, catches late joiners up, relays chat,
// actions and chatter sounds, handles "just watch" and removals, cleans up
// when a connection closes, and feeds every received message, one per
// socktimer tick, to its handler here or in the game engine it owns.
//
// A message is acted on only in the name of the connection it came on: each
// queued entry remembers its connection, and a slot field that is not that
// connection's slot is dropped (slot 1, the host's own player, may name
// another seat in CMD_justwatch and CMD_kickhim); only slot 1 may start a game.
class TServer : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultPort = 7772;
    // Entries one connection may hold in the receive queue at a time.
    static constexpr int kQueueLimitPerConnection = 256;

    explicit TServer(HostOptions options = {}, QObject* parent = nullptr);
    ~TServer() override;

    TServer(const TServer&) = delete;
    TServer& operator=(const TServer&) = delete;

    // Who may connect: anybody who reaches one of the machine's interfaces
    // (a game hosted for others), or this machine alone over 127.0.0.1 (a
    // solo game, whose only client is the window's own).
    enum class Reach { Network, ThisMachine };

    // Sets Sock1's Listen to True. Raises ESockException "Listen - Error
    // Binding Socket" when the port is taken.
    void startHosting(Reach reach = Reach::Network);
    // The port Sock1 listens on (0 while not hosting).
    quint16 port() const;
    // The address Sock1 is bound to ("127.0.0.1", or "::" for every
    // interface), empty while not hosting.
    std::string listeningAddress() const;

    engine::Game& game() { return *m_game; }
    const engine::GameState& state() const { return m_game->state(); }

    int botSpeedMs() const { return m_botSpeedMs; }
    void setBotSpeedMs(int milliseconds) { m_botSpeedMs = milliseconds; }

    // Also told every notice, besides the noticed signal (lexiflip-host
    // writes them to standard error).
    void setNoticeCallback(std::function<void(std::string_view)> callback);

    // For tests and benchmarks: entries waiting in receivedlist, whether
    // socktimer runs, and the bytes a slot's connection holds for a message
    // whose terminator has not come yet.
    std::size_t queuedEntries() const { return receivedlist.size(); }
    bool socktimerRunning() const { return receivedlist.pacing(); }
    std::size_t partialMessageBytes(int slot) const;

    // Connections without sockets, for fuzzing the session: each is accepted,
    // fed and closed exactly as a TCP connection is (slot choice, login
    // deadline, receive queue, departures), and what the host sends it goes
    // to the sink instead of the wire. They never pass the send limit.
    using VirtualSink = std::function<void(int slot, std::string_view message)>;
    void setVirtualSink(VirtualSink sink) { m_virtualSink = std::move(sink); }
    // Accepts a virtual connection: its slot, or 0 when all nine slots are
    // held (the refusal goes to the sink as slot 10).
    int acceptVirtual();
    // Bytes from the peer of the virtual connection in slot; nothing when the
    // slot holds no virtual connection.
    void receiveVirtual(int slot, std::string_view bytes);
    // The peer of the virtual connection in slot leaves.
    void closeVirtual(int slot);

signals:
    // A notice for the host's own user ("Invalid Letter (3)").
    void noticed(const QString& text);
    // An error that reached the top of an event handler.
    void errorReported(const QString& text);

private:
    // What the session keeps for each slot's connection besides the player
    // table's fields.
    struct SlotConnection {
        TSock* conn = nullptr;
        // A connection without a socket (acceptVirtual); conn is then null.
        bool virtualLink = false;
        std::uint64_t id = 0;
        wire::ReceiveAccumulator accumulator;
        bool closing = false;
        bool loggedIn = false;

        bool held() const { return conn || virtualLink; }
    };

    class SlotSender : public engine::Sender {
    public:
        explicit SlotSender(TServer& server) : m_server(server) {}
        void send(int slot, std::string_view message) override { m_server.sendToSlot(slot, message); }

    private:
        TServer& m_server;
    };

    class LocalNotices : public engine::NoticeSink {
    public:
        explicit LocalNotices(TServer& server) : m_server(server) {}
        void notice(std::string_view text) override { m_server.onNotice(text); }

    private:
        TServer& m_server;
    };

    // Socket events.
    void Sock1Accept(TSock& listener);
    void Sock1Read(TSock& sock, std::size_t count);
    // The slot a new connection gets, or 0 when all nine are held.
    int chooseSlot() const;
    // Gives slot a new connection (conn is null for a virtual one).
    void seatConnection(int slot, TSock* conn);
    void receiveBytes(int slot, std::string_view bytes);
    void tempsockDisconnect(TSock& sock);
    void tempsockInfo(TSock& sock, SocketInfo category, std::string_view message);

    // The receive queue hands on one message of a connection.
    void socktimerTimer(std::uint64_t connection, std::string_view text);
    wire::DispatchTable<>::Handler sessionHandler(wire::HostRequest request);

    // Session handlers of the dispatch table.
    void receivedlogininfo(std::string_view payload);
    void kickhim(std::string_view payload);
    void disconnectsock(int slot);
    void justwatch(std::string_view payload);
    void chat(std::string_view payload);
    void action(std::string_view payload);
    void playasound(std::string_view payload);
    template <class Build> void relay(std::string_view payload, Build&& build);
    void catchUp(int slot);

    void sendToSlot(int slot, std::string_view message);
    void closeConnection(int slot, std::uint64_t connection);
    // Closes whatever connection slot holds; its departure follows.
    void closeLink(int slot);
    void closeIfNotLoggedIn(int slot, std::uint64_t connection);
    // A slot's connection has closed: it acts and hears no more at once, and
    // its departure is told when no send is under way.
    void connectionClosed(int slot, TSock* sock);
    void announceDepartures();
    void onNotice(std::string_view text);
    void reportError(std::string_view text);
    // Runs one event handler; nothing it raises goes further.
    template <class Step> void guarded(Step&& step);

    static bool holdsConnection(int slot) { return slot >= 1 && slot <= engine::kMaxConnections; }

    int m_botSpeedMs;
    std::size_t m_sendLimitBytes;
    int m_loginTimeoutMs;
    std::function<void(std::string_view)> m_noticeCallback;

    SlotSender m_sender{*this};
    LocalNotices m_notices{*this};
    VirtualSink m_virtualSink;
    // Qt's timers unless the options hand in others.
    std::unique_ptr<QtClock> m_qtTimer1;
    std::unique_ptr<QtClock> m_qtComputertimer;
    std::unique_ptr<QtPaceTimer> m_qtSocktimer;
    core::Clock& m_timer1;
    core::Clock& m_computertimer;
    core::RandomSource m_random;
    std::shared_ptr<const engine::TDictn> m_dictionary;
    std::vector<std::string> m_listboxWords;
    std::unique_ptr<engine::Game> m_game;

    PaceTimer& socktimer;
    PacedQueue receivedlist;
    wire::DispatchTable<> m_table;

    // Slots whose connection closed and whose departure is still to be told,
    // oldest first. A connection can close inside a send to it (the send
    // finds the peer gone); its departure waits until that send and the
    // broadcast around it are over, so that nothing runs inside the engine's
    // own sending.
    std::deque<int> m_departed;
    int m_sendDepth = 0;
    bool m_announcing = false;
    QTimer m_departuresLater;

    std::array<SlotConnection, engine::kMaxConnections + 1> m_slots;
    std::uint64_t m_lastConnectionId = 0;
    std::string m_portName;

    // Declared last: its connections are closed while everything they report
    // to still exists.
    TSock tempsock;
    TSock Sock1;
};

} // namespace lexiflip::net
