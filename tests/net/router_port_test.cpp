// The host's port on the router, kept by RouterPort over a fake router: the
// window never waits for it, the lease is renewed at half (on a stepped
// scheduler), and the mapping goes with close() and with the object.
#include <gtest/gtest.h>

#include <memory>

#include "net/router_port.h"
#include "net_wait.h"
#include "support/fake_router.h"
#include "support/stepped_scheduler.h"

namespace lexiflip::net {
namespace {

using namespace std::chrono_literals;
using portmap::MapAnswer;
using testing::FakeMapper;
using testing::FakeRouter;
using testing::openedAnswer;
using testing::SteppedScheduler;

std::unique_ptr<RouterPort> makePort(const std::shared_ptr<FakeRouter>& router, SteppedScheduler& time)
{
    auto port = std::make_unique<RouterPort>([router] { return std::make_unique<FakeMapper>(router); });
    port->setScheduler(time.scheduler());
    return port;
}

TEST(RouterPort, ARouterThatNeverAnswersCostsTheEventLoopNothing)
{
    auto router = std::make_shared<FakeRouter>();
    router->hold();
    SteppedScheduler time;
    auto port = makePort(router, time);
    port->open(7772);
    EXPECT_EQ(port->message().toStdString(), "Asking your router to open port 7772...");
    ASSERT_TRUE(testing::waitUntil([&] { return router->mapCount() == 1; }));
    // The router is still silent, and the event loop runs on.
    bool ticked = false;
    QTimer::singleShot(0, [&] { ticked = true; });
    EXPECT_TRUE(testing::waitUntil([&] { return ticked; }, 1000));
    EXPECT_FALSE(port->answer().has_value());
    router->release();
    ASSERT_TRUE(testing::waitUntil([&] { return port->answer().has_value(); }));
    EXPECT_EQ(
        port->message().toStdString(),
        "Your router did not answer: forward port 7772 by hand, or use an address your friends can reach");
    time.advance(2h);
    testing::settle();
    EXPECT_EQ(router->mapCount(), 1u) << "a first silence is not asked again";
}

TEST(RouterPort, RenewsAtHalfTheLeaseAndRemovesTheMappingOnEveryWayOut)
{
    auto router = std::make_shared<FakeRouter>();
    router->answerNext({openedAnswer(3600s), openedAnswer(3600s), MapAnswer{}});
    SteppedScheduler time;
    auto port = makePort(router, time);
    port->open(7772);
    ASSERT_TRUE(testing::waitUntil([&] { return port->answer().has_value(); }));
    EXPECT_EQ(port->message().toStdString(),
              "Your router opened port 7772: friends can join at 203.0.113.5:7772");
    time.advance(RouterPort::kAnswerLimit); // an answered request's time limit says nothing
    EXPECT_EQ(time.pending(), 1u);
    EXPECT_EQ(time.nextIn(), 1800s - RouterPort::kAnswerLimit);
    time.advance(time.nextIn()); // half an hour after the answer
    ASSERT_TRUE(testing::waitUntil([&] { return time.pending() == 1; }));
    EXPECT_EQ(router->mapCount(), 2u);
    EXPECT_EQ(time.nextIn(), 1800s);
    // The router lost it (restarted): asked again after a minute.
    time.advance(1800s);
    ASSERT_TRUE(testing::waitUntil([&] { return time.pending() == 1; }));
    EXPECT_EQ(time.nextIn(), 60s);

    router->answerNext({openedAnswer(3600s)});
    time.advance(60s);
    ASSERT_TRUE(testing::waitUntil([&] { return router->hasMapping(); }));
    port->close();
    ASSERT_TRUE(testing::waitUntil([&] { return router->unmapCount() == 1; }));
    time.advance(2h); // a renewal of the closed mapping does nothing
    testing::settle();
    EXPECT_EQ(router->mapCount(), 4u);
    EXPECT_TRUE(port->message().isEmpty());

    // Hosting again, then the program exits: the mapping goes with it.
    router->answerNext({openedAnswer(3600s)});
    port->open(7772);
    ASSERT_TRUE(testing::waitUntil([&] { return port->answer().has_value(); }));
    port.reset();
    EXPECT_EQ(router->unmapCount(), 2);
}

} // namespace
} // namespace lexiflip::net
