// The host's port on the router, kept by RouterPort over a fake router: the
// window never waits for it, the lease is renewed at half (on a stepped
// scheduler), and the mapping goes with close() and with the object.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "net/router_port.h"
#include "net_wait.h"

namespace lexiflip::net {
namespace {

using namespace std::chrono_literals;
using portmap::MapAnswer;

// What the fake router saw and will say. A held router answers nothing
// until released, as one that never answers keeps the caller waiting.
struct FakeRouter {
    std::mutex mutex;
    std::condition_variable released;
    bool held = false;
    std::deque<MapAnswer> answers; // the next maps' answers; then NoAnswer
    std::vector<int> maps;         // the ports asked for
    int unmaps = 0;
};

class FakeMapper final : public portmap::PortMapper {
public:
    explicit FakeMapper(std::shared_ptr<FakeRouter> router) : m_router(std::move(router)) {}
    MapAnswer map(int port, std::chrono::seconds) override
    {
        std::unique_lock lock(m_router->mutex);
        m_router->maps.push_back(port);
        m_router->released.wait(lock, [this] { return !m_router->held; });
        MapAnswer answer;
        if (!m_router->answers.empty()) {
            answer = m_router->answers.front();
            m_router->answers.pop_front();
        }
        return answer;
    }
    void unmap() override
    {
        const std::lock_guard lock(m_router->mutex);
        ++m_router->unmaps;
    }

private:
    std::shared_ptr<FakeRouter> m_router;
};

MapAnswer opened(std::chrono::seconds lease)
{
    MapAnswer answer;
    answer.kind = MapAnswer::Kind::Opened;
    answer.externalAddress = "203.0.113.5";
    answer.externalPort = 7772;
    answer.lease = lease;
    return answer;
}

struct Scheduled {
    std::chrono::seconds wait;
    std::function<void()> call;
};

std::unique_ptr<RouterPort> makePort(const std::shared_ptr<FakeRouter>& router, std::vector<Scheduled>& steps)
{
    auto port = std::make_unique<RouterPort>([router] { return std::make_unique<FakeMapper>(router); });
    port->setScheduler([&steps](std::chrono::seconds wait, std::function<void()> call) {
        steps.push_back({wait, std::move(call)});
    });
    return port;
}

int count(const std::shared_ptr<FakeRouter>& router, int FakeRouter::*field)
{
    const std::lock_guard lock(router->mutex);
    return (*router).*field;
}

std::size_t mapCount(const std::shared_ptr<FakeRouter>& router)
{
    const std::lock_guard lock(router->mutex);
    return router->maps.size();
}

TEST(RouterPort, ARouterThatNeverAnswersCostsTheEventLoopNothing)
{
    auto router = std::make_shared<FakeRouter>();
    router->held = true;
    std::vector<Scheduled> steps;
    auto port = makePort(router, steps);
    port->open(7772);
    EXPECT_EQ(port->message().toStdString(), "Asking your router to open port 7772...");
    ASSERT_TRUE(testing::waitUntil([&] { return mapCount(router) == 1; }));
    // The router is still silent, and the event loop runs on.
    bool ticked = false;
    QTimer::singleShot(0, [&] { ticked = true; });
    EXPECT_TRUE(testing::waitUntil([&] { return ticked; }, 1000));
    EXPECT_FALSE(port->answer().has_value());
    {
        const std::lock_guard lock(router->mutex);
        router->held = false;
    }
    router->released.notify_all();
    ASSERT_TRUE(testing::waitUntil([&] { return port->answer().has_value(); }));
    EXPECT_EQ(
        port->message().toStdString(),
        "Your router did not answer: forward port 7772 by hand, or use an address your friends can reach");
    EXPECT_TRUE(steps.empty()); // a first silence is not asked again
}

TEST(RouterPort, RenewsAtHalfTheLeaseAndRemovesTheMappingOnEveryWayOut)
{
    auto router = std::make_shared<FakeRouter>();
    router->answers = {opened(3600s), opened(3600s), MapAnswer{}};
    std::vector<Scheduled> steps;
    auto port = makePort(router, steps);
    port->open(7772);
    ASSERT_TRUE(testing::waitUntil([&] { return port->answer().has_value(); }));
    EXPECT_EQ(port->message().toStdString(),
              "Your router opened port 7772: friends can join at 203.0.113.5:7772");
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].wait, 1800s);
    steps[0].call(); // half an hour later
    ASSERT_TRUE(testing::waitUntil([&] { return steps.size() == 2; }));
    EXPECT_EQ(mapCount(router), 2u);
    EXPECT_EQ(steps[1].wait, 1800s);
    // The router lost it (restarted): asked again after a minute.
    steps[1].call();
    ASSERT_TRUE(testing::waitUntil([&] { return steps.size() == 3; }));
    EXPECT_EQ(steps[2].wait, 60s);

    port->close();
    ASSERT_TRUE(testing::waitUntil([&] { return count(router, &FakeRouter::unmaps) == 1; }));
    steps[2].call(); // a renewal of the closed mapping does nothing
    testing::settle();
    EXPECT_EQ(mapCount(router), 3u);
    EXPECT_TRUE(port->message().isEmpty());

    // Hosting again, then the program exits: the mapping goes with it.
    router->answers = {opened(3600s)};
    port->open(7772);
    ASSERT_TRUE(testing::waitUntil([&] { return port->answer().has_value(); }));
    port.reset();
    EXPECT_EQ(count(router, &FakeRouter::unmaps), 2);
}

} // namespace
} // namespace lexiflip::net
