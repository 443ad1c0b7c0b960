#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/random_source.h"
#include "engine/game.h"
#include "engine/sender.h"
#include "host/state_file.h"
#include "net/paced_queue.h"
#include "wire/accumulator.h"
#include "wire/dispatch_table.h"
#include "wire/host_requests.h"

namespace lexiflip::core {
class Clock;
} // namespace lexiflip::core

namespace lexiflip::words {
class NoticeSink;
class TDictn;
} // namespace lexiflip::words

namespace lexiflip::host {

using ConnectionId = net::PacedQueue::ConnectionId;

// What the session needs from the program around it: the connections'
// transport (TCP sockets under TServer, a recorder in tests and the fuzz
// target) and the host's error report.
class HostTransport {
public:
    virtual ~HostTransport() = default;
    // One whole message, terminator included, for a connection.
    virtual void send(ConnectionId connection, std::string_view message) = 0;
    // Lets a connection go. The session has forgotten it when this returns,
    // so the transport need not report the close back.
    virtual void close(ConnectionId connection) = 0;
    // An error raised inside an event handler run through guarded (the
    // session's own timed steps among them): none may escape into the event
    // loop.
    virtual void reportError(std::string_view text) = 0;
};

// Everything the session borrows; all of it must outlive the session.
struct HostSessionServices {
    HostTransport& transport;
    words::NoticeSink& notices;
    // The engine's two clocks; their owner calls the game's tick handlers.
    core::Clock& timer1;
    core::Clock& computertimer;
    // socktimer: the receive queue hands on one message per tick of it.
    net::PaceTimer& socktimer;
    // Login deadlines, and departures that must wait until a send is over.
    net::PaceTimer& sessionTimer;
    const words::TDictn& dictionary;
    // The computer's word list, lower case and sorted.
    const std::vector<std::string>& listboxWords;
};

struct HostSessionSettings {
    std::uint64_t seed = 0;
    int botSpeedMs = 750;
    // How well the computer plays Klot's seat and the seats of players who
    // just watch.
    engine::ComputerStrength klotStrength = engine::ComputerStrength::Classic;
    int socktimerMs = 10;
    int loginTimeoutMs = 30000;
    // Slot 1 is a remote player like any other (see HostOptions).
    bool firstSeatRemote = false;
    // How long the seat of a player whose connection drops during a game is
    // kept for his return from the same address; 0 frees it at once.
    int seatHoldMs = 120000;
};

// The host's session rules, with no sockets and no Qt: connections are ids
// given by the transport, time comes from the injected timers. It gives every
// connection a slot (or tells it the game is full), cuts its bytes into
// messages, queues them at socktimer's pace and feeds each to its handler here
// or in the game it owns: logins (one per connection, within a deadline) and
// the version check, the catch-up of a late joiner, chat, actions and chatter
// sounds relayed, "just watch", removals, the departure of a connection that
// closed, and the seat kept for a player whose connection dropped during a
// game until he is back from the same address or the hold ends.
//
// A message is acted on only in the name of the connection it came on: each
// queued entry remembers its connection, and a slot field that is not that
// connection's slot is dropped (slot 1, the host's own player, may name
// another seat in CMD_justwatch and CMD_kickhim); only slot 1 may start a game.
class HostSession {
public:
    HostSession(HostSessionServices services, HostSessionSettings settings);
    ~HostSession();

    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // A new connection from a peer address (IPv4 dotted, IPv6 as text; the
    // session only compares them). A seat kept for a player who dropped goes
    // only to a connection from his address, the one kept longest first;
    // otherwise the lowest free slot is reused first, so a player who leaves
    // and comes back usually finds his seat as it stands. Gives the slot, or
    // 0 when all nine are taken or kept: the connection was told the game is
    // full and the transport lets it go. An id must be new each time.
    int accept(ConnectionId connection, std::string_view address);
    // Bytes from a connection's peer; nothing for a connection not held.
    void receive(ConnectionId connection, std::string_view bytes);
    // The transport found a connection closed (its peer left, it was reset,
    // or it stopped reading): it acts and hears no more at once, and its
    // departure is told as soon as no send is under way.
    void closed(ConnectionId connection);

    // The slot a connection holds, 0 for none.
    int slotOf(ConnectionId connection) const;

    // Keeps seat 1..6, empty now, for a player named name who will connect
    // from address, for the session's hold time from now (a game restored
    // with players still to come back). Nothing is sent, and a turn the seat
    // holds stays with it; when the hold ends unanswered, the turn moves on.
    void holdSeat(int slot, std::string address, std::string name);
    // Whether a seat is kept for a player who has not logged in again yet.
    bool seatHeld(int slot) const;

    engine::Game& game() { return *m_game; }
    const engine::GameState& state() const { return m_game->state(); }

    int botSpeedMs() const { return m_botSpeedMs; }
    void setBotSpeedMs(int milliseconds)
    {
        m_botSpeedMs = milliseconds;
        stateChanged();
    }

    engine::ComputerStrength klotStrength() const { return m_klotStrength; }
    // Takes effect at the computer's next choice. A strength that searches
    // the dictionary has its word index built now, on a thread of its own,
    // so that neither this event nor a turn waits for it.
    void setKlotStrength(engine::ComputerStrength strength);

    // The engine's two clocks tick here, so that what a tick changes is kept.
    void timer1Timer();
    void computertimerTimer();

    // The game and the host's options as they stand, to keep on disk.
    HostSnapshot snapshot() const;
    // Told the state file's text each time a fact of the game changed (a
    // flip, a word, a pass, a buy, a turn, a login or a departure, an option):
    // a state whose facts equal the last one told is not told again.
    void setStateListener(std::function<void(std::string)> listener);
    // Goes on with a kept game, before any connection came: its seats wait
    // for their players, and the turn clock waits until the player on turn
    // is back. False, and nothing changed, for a state that holds no running
    // game or whose random sources cannot be restored.
    bool resume(const HostSnapshot& snapshot);

    // For tests and benchmarks: entries waiting in receivedlist, whether
    // socktimer runs, and the bytes a slot's connection holds for a message
    // whose terminator has not come yet.
    std::size_t queuedEntries() const { return receivedlist.size(); }
    bool socktimerRunning() const { return receivedlist.pacing(); }
    std::size_t partialMessageBytes(int slot) const;

    // Runs one event handler; what it raises goes to the transport's error
    // report instead of further.
    template <class Step> void guarded(Step&& step);

private:
    // What the session keeps for each slot's connection besides the player
    // table's fields.
    struct SlotConnection {
        bool held = false;
        ConnectionId id = 0;
        wire::ReceiveAccumulator accumulator;
        bool loggedIn = false;
        // When a connection that has not logged in by then is closed.
        std::chrono::nanoseconds loginDeadline{0};
        std::string address;
        // The host's player removed it: its seat is not kept.
        bool removed = false;
    };

    // A seat kept for a player whose connection dropped (or, after accept,
    // for his new connection until it logs in).
    struct SeatHold {
        bool active = false;
        std::string address;
        std::chrono::nanoseconds since{0};
        std::chrono::nanoseconds deadline{0};
        // The others have heard he is away: a comeback that closes before
        // its login is not told again.
        bool told = false;
    };

    class SlotSender : public engine::Sender {
    public:
        explicit SlotSender(HostSession& session) : m_session(session) {}
        void send(int slot, std::string_view message) override { m_session.sendToSlot(slot, message); }

    private:
        HostSession& m_session;
    };

    // The slot a new connection from address gets, or 0 when there is none.
    int chooseSlot(std::string_view address) const;
    // Whether a logged-in player leaving slot s now has his seat kept.
    bool keepsSeat(int s) const;
    void startHold(int s, std::string address);
    // The hold ends without its player back: the seat is free again.
    void endHold(int s);
    void endAllHolds();
    SlotConnection* find(ConnectionId connection);
    void buildDispatch();
    wire::DispatchTable<>::Handler sessionHandler(wire::HostRequest request);

    // The receive queue hands on one message of a connection.
    void socktimerTimer(ConnectionId connection, std::string_view text);
    // The session's timer: deadlines passed, departures still to tell.
    void sessionTimerFired();
    // Sets the session's timer for the next thing it has to do.
    void armSessionTimer();

    // Session handlers of the dispatch table (session_requests.cpp).
    void receivedlogininfo(std::string_view payload);
    void catchUp(int slot);
    void kickhim(std::string_view payload);
    void disconnectsock(int slot);
    void justwatch(std::string_view payload);
    void chat(std::string_view payload);
    void action(std::string_view payload);
    void playasound(std::string_view payload);
    template <class Build> void relay(std::string_view payload, Build&& build);

    void sendToSlot(int slot, std::string_view message);
    // Closes the connection a slot holds; its departure follows.
    void closeLink(int slot);
    // A slot's connection has gone: it acts and hears no more.
    void connectionClosed(int slot);
    void announceDepartures();
    // Tells the state listener the state when its facts changed.
    void stateChanged();
    // A resumed turn whose player is back (or whose seat is free again)
    // starts its clock.
    void resumeWaitingTurn();

    static bool holdsConnection(int slot) { return slot >= 1 && slot <= engine::kMaxConnections; }

    HostTransport& m_transport;
    core::Clock& m_timer1;
    core::Clock& m_computertimer;
    int m_botSpeedMs;
    engine::ComputerStrength m_klotStrength = engine::ComputerStrength::Classic;
    const words::TDictn& m_dictionary;
    // The word index being built; waited for when the session goes.
    std::future<void> m_indexBuild;
    std::chrono::nanoseconds m_loginTimeout;
    SlotSender m_sender{*this};
    core::RandomSource m_random;
    std::unique_ptr<engine::Game> m_game;

    net::PacedQueue receivedlist;
    net::PaceTimer& m_sessionTimer;
    wire::DispatchTable<> m_table;

    // Slots whose connection closed and whose departure is still to be told,
    // oldest first. A connection can close inside a send to it (the send
    // finds the peer gone); its departure waits until that send and the
    // broadcast around it are over, so that nothing runs inside the engine's
    // own sending.
    std::deque<int> m_departed;
    int m_sendDepth = 0;
    bool m_announcing = false;

    std::array<SlotConnection, engine::kMaxConnections + 1> m_slots;
    std::chrono::nanoseconds m_seatHold;
    bool m_firstSeatRemote;
    std::array<SeatHold, engine::kMaxConnections + 1> m_holds;

    std::function<void(std::string)> m_stateListener;
    std::string m_lastFacts;
    // The seat whose resumed turn waits for its player, 0 for none.
    int m_waitingTurn = 0;
};

template <class Step> void HostSession::guarded(Step&& step)
{
    try {
        step();
    } catch (const std::exception& error) {
        m_transport.reportError(error.what());
    } catch (...) {
        m_transport.reportError("Error here");
    }
}

} // namespace lexiflip::host
