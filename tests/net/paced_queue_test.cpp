#include "net/paced_queue.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace lexiflip::net {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// A timer stepped by hand.
class SteppedTimer : public PaceTimer {
public:
    nanoseconds now() const override { return m_now; }
    void start(nanoseconds delay) override
    {
        m_due = m_now + delay;
        m_active = true;
        ++m_starts;
    }
    void stop() override { m_active = false; }
    bool active() const override { return m_active; }
    void setFired(Fired fired) override { m_fired = std::move(fired); }

    // Moves time on by step, firing every shot that falls due on the way.
    void advance(nanoseconds step)
    {
        const nanoseconds until = m_now + step;
        while (m_active && m_due <= until) {
            m_now = m_due;
            m_active = false;
            if (m_fired)
                m_fired();
        }
        m_now = until;
    }
    int starts() const { return m_starts; }

private:
    nanoseconds m_now{1'000'000'000};
    nanoseconds m_due{0};
    bool m_active = false;
    int m_starts = 0;
    Fired m_fired;
};

struct Handled {
    long long atMs;
    PacedQueue::ConnectionId connection;
    std::string text;
    bool operator==(const Handled&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Handled& h)
    {
        return out << h.atMs << "ms " << h.connection << ":" << h.text;
    }
};

class Queue : public ::testing::Test {
protected:
    Queue()
    {
        queue.setHandler([this](PacedQueue::ConnectionId connection, std::string_view text) {
            handled.push_back({(timer.now() - start) / 1ms, connection, std::string(text)});
        });
    }

    SteppedTimer timer;
    const nanoseconds start = timer.now();
    PacedQueue queue{timer, 10ms, 3};
    std::vector<Handled> handled;
};

TEST_F(Queue, ALoneMessageGoesAtOnceABurstOnePerTickAndIdleMeansIdle)
{
    ASSERT_TRUE(queue.push(1, "a"));
    EXPECT_TRUE(queue.pacing());
    timer.advance(0ms);
    EXPECT_EQ(handled, (std::vector<Handled>{{0, 1, "a"}}));
    EXPECT_FALSE(queue.pacing());

    // 4 ms after the last: waits the 6 left of its tick. The rest follow a
    // tick apart.
    timer.advance(4ms);
    for (const char* text : {"b", "c", "d"})
        queue.push(2, text);
    timer.advance(100ms);
    EXPECT_EQ(handled, (std::vector<Handled>{{0, 1, "a"}, {10, 2, "b"}, {20, 2, "c"}, {30, 2, "d"}}));
    EXPECT_FALSE(queue.pacing());
    const int starts = timer.starts();
    timer.advance(1000ms);
    EXPECT_EQ(timer.starts(), starts);

    // After a quiet spell, a message goes at once again.
    queue.push(1, "e");
    timer.advance(0ms);
    EXPECT_EQ(handled.back(), (Handled{1104, 1, "e"}));
}

TEST_F(Queue, ConnectionsAreServedInTurnEachInItsOwnOrder)
{
    struct Case {
        const char* name;
        std::vector<std::pair<PacedQueue::ConnectionId, const char*>> pushes;
        std::vector<const char*> order;
    };
    const Case cases[] = {
        {"one connection", {{1, "a1"}, {1, "a2"}, {1, "a3"}}, {"a1", "a2", "a3"}},
        {"a late second", {{1, "a1"}, {1, "a2"}, {1, "a3"}, {2, "b1"}}, {"a1", "b1", "a2", "a3"}},
        {"three",
         {{3, "c1"}, {1, "a1"}, {3, "c2"}, {2, "b1"}, {3, "c3"}, {2, "b2"}},
         {"c1", "a1", "b1", "c2", "b2", "c3"}},
        {"one each", {{2, "b1"}, {1, "a1"}, {3, "c1"}}, {"b1", "a1", "c1"}},
    };
    for (const Case& c : cases) {
        handled.clear();
        for (const auto& [connection, text] : c.pushes)
            queue.push(connection, text);
        timer.advance(1s);
        std::vector<std::string> order;
        for (const Handled& h : handled)
            order.push_back(h.text);
        EXPECT_EQ(order, std::vector<std::string>(c.order.begin(), c.order.end())) << c.name;
    }
}

TEST_F(Queue, AFloodingConnectionKeepsToItsCapAndDelaysOthersByATickEach)
{
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(queue.push(1, "f" + std::to_string(i)), i < 3) << i;
    queue.push(2, "g0");
    EXPECT_EQ(queue.size(1), 3u);
    EXPECT_EQ(queue.size(), 4u);
    timer.advance(0ms);               // f0 goes at once
    EXPECT_TRUE(queue.push(1, "f5")); // room again
    EXPECT_FALSE(queue.push(1, "f6"));
    queue.push(3, "h0");
    timer.advance(1s);
    std::vector<std::string> order;
    for (const Handled& h : handled)
        order.push_back(h.text);
    EXPECT_EQ(order, (std::vector<std::string>{"f0", "g0", "f1", "h0", "f2", "f5"}));
    EXPECT_EQ(handled[3].atMs, 30);
}

TEST_F(Queue, AGoneConnectionsMessagesAreDroppedEvenFromInsideTheHandler)
{
    queue.setHandler([this](PacedQueue::ConnectionId connection, std::string_view text) {
        handled.push_back({0, connection, std::string(text)});
        if (text == "a1")
            queue.remove(2);
        if (text == "c1")
            queue.clear();
    });
    queue.push(1, "a1");
    queue.push(2, "b1");
    queue.push(1, "a2");
    queue.push(2, "b2");
    timer.advance(1s);
    EXPECT_EQ(handled.size(), 2u);
    EXPECT_EQ(handled[1].text, "a2");
    EXPECT_EQ(queue.size(), 0u);

    queue.push(3, "c1");
    queue.push(3, "c2");
    queue.push(1, "a3");
    timer.advance(1s);
    EXPECT_EQ(handled.back().text, "c1");
    EXPECT_FALSE(queue.pacing());

    // remove() that empties the queue stops the timer at once.
    queue.push(4, "d1");
    queue.remove(4);
    EXPECT_FALSE(queue.pacing());
    EXPECT_EQ(queue.size(4), 0u);
}

} // namespace
} // namespace lexiflip::net
