// TServer's socket-free connections, which the host fuzz target relies on:
// they must take slots, queue, admit and leave exactly as TCP ones do.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/virtual_timeline.h"
#include "net/stepped_pace_timer.h"
#include "net/tserver.h"
#include "net/wire/messages.h"

namespace lexiflip::net {
namespace {

namespace msg = wire::msg;

class VirtualHost : public ::testing::Test {
protected:
    VirtualHost()
    {
        HostOptions options;
        options.port = 0;
        options.seed = 3;
        options.timer1 = &timer1;
        options.computertimer = &computertimer;
        options.socktimer = &socktimer;
        host = std::make_unique<TServer>(options);
        timeline.setOnTick(timer1, [this] { host->game().timer1Timer(); });
        timeline.setOnTick(computertimer, [this] { host->game().computertimerTimer(); });
        host->setVirtualSink(
            [this](int slot, std::string_view m) { heard[slot].emplace_back(m.substr(0, m.size() - 1)); });
    }

    void drain()
    {
        while (socktimer.step()) {
        }
    }
    bool heardExactly(int slot, const std::string& text) const
    {
        const auto found = heard.find(slot);
        return found != heard.end() && std::count(found->second.begin(), found->second.end(), text) == 1;
    }

    engine::VirtualTimeline timeline;
    engine::VirtualTimeline::VirtualClock& timer1 = timeline.addClock();
    engine::VirtualTimeline::VirtualClock& computertimer = timeline.addClock();
    SteppedPaceTimer socktimer;
    std::unique_ptr<TServer> host;
    std::map<int, std::vector<std::string>> heard;
};

TEST_F(VirtualHost, SlotsFillUpRefuseATenthAndReuseTheLowestFreed)
{
    for (int expected = 1; expected <= 9; ++expected)
        EXPECT_EQ(host->acceptVirtual(), expected);
    EXPECT_EQ(host->acceptVirtual(), 0);
    EXPECT_TRUE(heardExactly(10, "CMD_full+"));
    EXPECT_TRUE(heardExactly(4, "CMD_sendlogininfo+4"));

    // A login split over two reads, then the player leaves.
    const std::string login = msg::logininfo(4, msg::kVersion, "Four+th");
    host->receiveVirtual(4, login.substr(0, 9));
    host->receiveVirtual(4, login.substr(9));
    drain();
    EXPECT_TRUE(heardExactly(1, "CMD_newplayerinfo+4+Four+th"));
    host->closeVirtual(4);
    EXPECT_TRUE(heardExactly(1, "CMD_playerdisconnected+4+Four+th"));
    EXPECT_FALSE(heardExactly(4, "CMD_playerdisconnected+4+Four+th"));
    EXPECT_EQ(host->acceptVirtual(), 4);
    // What the old connection left half-sent does not reach the new one's.
    host->receiveVirtual(4, "CMD_chat+4+half");
    host->closeVirtual(4);
    EXPECT_EQ(host->acceptVirtual(), 4);
    host->receiveVirtual(4, std::string("way\xFF") + msg::chat(4, "whole", 0));
    drain();
    EXPECT_TRUE(heardExactly(1, "CMD_chat+ chats: whole|clBlack"));
    EXPECT_EQ(std::count_if(heard[1].begin(), heard[1].end(),
                            [](const std::string& m) { return m.rfind("CMD_chat+", 0) == 0; }),
              1);
}

TEST_F(VirtualHost, AdmissionAndTheSteppedClocksWorkAsOnTheWire)
{
    for (int slot = 1; slot <= 3; ++slot) {
        ASSERT_EQ(host->acceptVirtual(), slot);
        host->receiveVirtual(slot, msg::logininfo(slot, msg::kVersion, "P" + std::to_string(slot)));
    }
    drain();
    // Slot 3 speaks for slot 2 and tries to start a game: both dropped.
    host->receiveVirtual(3, msg::chat(2, "spoof", 0));
    host->receiveVirtual(3, msg::startgame("P3", "50", "5", true, "1", "0"));
    drain();
    EXPECT_FALSE(heardExactly(1, "CMD_chat+P2 chats: spoof|clBlack"));
    EXPECT_FALSE(host->state().gamerunning);

    host->receiveVirtual(1, msg::startgame("P1", "50", "5", true, "1", "0"));
    drain();
    ASSERT_TRUE(host->state().gamerunning);
    EXPECT_TRUE(heardExactly(3, "CMD_nextplayer+1+"));
    // Nobody moves: the turn runs out on the stepped clock and moves on.
    for (int i = 0; i < 40 && !heardExactly(3, "CMD_nextplayer+2+"); ++i)
        timeline.step();
    EXPECT_TRUE(heardExactly(3, "CMD_timeup+1+"));
    EXPECT_TRUE(heardExactly(3, "CMD_nextplayer+2+"));
}

} // namespace
} // namespace lexiflip::net
