#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

namespace lexiflip::net {

// What a paced queue needs from time: a steady clock and one single-shot timer.
// The host and the client run it on Qt's timers; tests step it by hand.
class PaceTimer {
public:
    using Fired = std::function<void()>;

    virtual ~PaceTimer() = default;
    virtual std::chrono::nanoseconds now() const = 0;
    // (Re)starts the timer: fired is called once, delay from now.
    virtual void start(std::chrono::nanoseconds delay) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
    virtual void setFired(Fired fired) = 0;
};

// A receive queue that hands its handler one message per tick.
//
// Idle means idle: the timer runs only while messages wait, and a message that
// reaches an empty queue at least a tick after the last one was handled is
// handled at once (a zero-delay shot) instead of a tick later. Bursts drain at
// exactly one message per tick.
//
// Each connection holds at most its cap of waiting messages; more are dropped
// until it drains. Connections holding messages are served in turn, each
// connection's oldest first, so one that floods the queue delays another's
// message by at most one tick per busy connection. With one connection, or
// with messages arriving one at a time, the order is the order of arrival.
class PacedQueue {
public:
    using ConnectionId = std::uint64_t;
    using Handler = std::function<void(ConnectionId connection, std::string_view text)>;
    static constexpr std::size_t kNoCap = std::numeric_limits<std::size_t>::max();

    PacedQueue(PaceTimer& timer, std::chrono::nanoseconds tick, std::size_t capPerConnection = kNoCap);
    ~PacedQueue();

    PacedQueue(const PacedQueue&) = delete;
    PacedQueue& operator=(const PacedQueue&) = delete;

    // Called with each message when its turn comes. It may push, remove or
    // clear.
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // Queues a message; false (and the message is dropped) when its connection
    // already holds its cap.
    bool push(ConnectionId connection, std::string text);
    // Drops every waiting message of a connection that has gone.
    void remove(ConnectionId connection);
    void clear();

    std::size_t size() const { return m_size; }
    std::size_t size(ConnectionId connection) const;
    // Whether the timer runs: only while messages wait.
    bool pacing() const { return m_timer.active(); }
    std::chrono::nanoseconds tick() const { return m_tick; }

private:
    struct Connection {
        ConnectionId id = 0;
        std::deque<std::string> messages;
    };

    void onFired();
    void startTimer(std::chrono::nanoseconds due);
    Connection* find(ConnectionId connection);

    PaceTimer& m_timer;
    std::chrono::nanoseconds m_tick;
    std::size_t m_cap;
    Handler m_handler;
    // Connections that hold messages, in the order they are served.
    std::deque<Connection> m_turns;
    std::size_t m_size = 0;
    // When the running timer is meant to fire, and the tick of the last
    // message handled (none yet: a tick before the clock's start).
    std::chrono::nanoseconds m_due{0};
    std::chrono::nanoseconds m_lastHandled;
};

} // namespace lexiflip::net
