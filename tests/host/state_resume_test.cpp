// A host session that goes on with a kept game: the players' seats wait for
// them at their addresses, the turn clock waits for the player on turn, and
// he finishes his turn when he is back; only changes of the game are written.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "engine/computer_words.h"
#include "engine/virtual_timeline.h"
#include "host/host_session.h"
#include "support/recording.h"
#include "support/stepped_pace_timer.h"
#include "wire/messages.h"
#include "words/tdictn.h"

namespace lexiflip::host {
namespace {

namespace msg = wire::msg;
using namespace std::chrono_literals;

struct Words {
    testing::RecordingNotices notices;
    words::TDictn dictionary{assets::dictionaryRecords(), notices, "/nonexistent-lexiflip-dir"};
    std::vector<std::string> listboxWords = engine::loadComputerWords(assets::computerWords());
};

const Words& words()
{
    static const Words shipped;
    return shipped;
}

// One host session on stepped clocks, as a lexiflip-host process would run it.
class Host : public HostTransport {
public:
    explicit Host(std::uint64_t seed, int seatHoldMs = 120000)
    {
        timeline.setOnTick(timer1, [this] { session->timer1Timer(); });
        timeline.setOnTick(computertimer, [this] { session->computertimerTimer(); });
        session = std::make_unique<HostSession>(
            HostSessionServices{*this, notices, timer1, computertimer, socktimer, sessionTimer,
                                words().dictionary, words().listboxWords},
            HostSessionSettings{.seed = seed, .firstSeatRemote = true, .seatHoldMs = seatHoldMs});
        session->setStateListener([this](std::string text) {
            written = std::move(text);
            ++writes;
        });
    }
    ~Host() override { session.reset(); }

    int join(std::string_view address, std::string_view name)
    {
        const ConnectionId id = ++lastId;
        const int slot = session->accept(id, address);
        if (slot != 0) {
            idOfSlot[slot] = id;
            send(slot, msg::logininfo(slot, msg::kVersion, name));
        }
        return slot;
    }
    void send(int slot, std::string_view bytes)
    {
        session->receive(idOfSlot.at(slot), bytes);
        while (socktimer.step()) {
        }
    }
    int heard(int slot, std::string_view prefix)
    {
        const std::vector<std::string>& messages = heardOn[idOfSlot.at(slot)];
        return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                              [&](const std::string& m) { return m.rfind(prefix, 0) == 0; }));
    }
    const engine::GameState& state() const { return session->state(); }

    void send(ConnectionId connection, std::string_view message) override
    {
        heardOn[connection].emplace_back(message);
    }
    void close(ConnectionId) override {}
    void reportError(std::string_view text) override { ADD_FAILURE() << "error reported: " << text; }

    testing::RecordingNotices notices;
    engine::VirtualTimeline timeline;
    engine::VirtualTimeline::VirtualClock& timer1 = timeline.addClock();
    engine::VirtualTimeline::VirtualClock& computertimer = timeline.addClock();
    net::SteppedPaceTimer socktimer;
    net::SteppedPaceTimer sessionTimer;
    std::unique_ptr<HostSession> session;
    ConnectionId lastId = 100;
    std::map<int, ConnectionId> idOfSlot;
    std::map<ConnectionId, std::vector<std::string>> heardOn;
    std::string written;
    int writes = 0;
};

// Two players; the first has flipped two tiles of his turn when the host dies.
std::string diedMidFlip()
{
    Host host(7);
    EXPECT_EQ(host.join("192.0.2.1", "Ann"), 1);
    EXPECT_EQ(host.join("192.0.2.2", "Bob"), 2);
    host.send(1, msg::startgame("Ann", "100", "60", true, "1", "0"));
    EXPECT_EQ(host.state().currentplayer, 1);
    host.send(1, msg::iflip(1, 1, 1));
    host.send(1, msg::iflip(1, 2, 1));
    EXPECT_EQ(host.state().flipcount, 2);
    return host.written;
}

TEST(Resume, APlayerBackOnHisTurnFinishesItWhileTheClockWaitedForHim)
{
    const StateRead kept = readStateText(diedMidFlip());
    ASSERT_TRUE(kept.snapshot) << kept.problem;

    Host host(8);
    ASSERT_TRUE(host.session->resume(*kept.snapshot));
    EXPECT_TRUE(host.session->seatHeld(1));
    EXPECT_TRUE(host.session->seatHeld(2));
    EXPECT_FALSE(host.timer1.running());
    EXPECT_FALSE(host.computertimer.running()); // Klot plays no kept seat

    // Somebody else gets neither seat; Bob gets his back and waits.
    EXPECT_EQ(host.join("198.51.100.9", "Eve"), 3);
    EXPECT_EQ(host.join("192.0.2.2", "Bob"), 2);
    EXPECT_FALSE(host.timer1.running());

    EXPECT_EQ(host.join("192.0.2.1", "Ann"), 1);
    EXPECT_EQ(host.heard(1, "CMD_hepasses"), 0);
    // The catch-up, then the news that the turn is hers, with her two tiles.
    EXPECT_EQ(host.heard(1, "CMD_nextplayer+1+"), 1);
    std::string herTiles = msg::isflipped(1, {{1, 1}, {2, 1}});
    herTiles.pop_back(); // its terminator
    EXPECT_EQ(host.heard(1, herTiles), 2);
    EXPECT_TRUE(host.timer1.running());
    EXPECT_EQ(host.state().currentplayer, 1);
    for (int x = 3; x <= 6; ++x)
        host.send(1, msg::iflip(1, x, 1));
    EXPECT_EQ(host.state().flipcount, 5); // three more, not a sixth
    EXPECT_EQ(host.heard(2, "CMD_heflip"), 3);
}

TEST(Resume, TheTurnMovesOnWhenThePlayerOnTurnDoesNotComeBack)
{
    const StateRead kept = readStateText(diedMidFlip());
    ASSERT_TRUE(kept.snapshot) << kept.problem;
    Host host(8, 5000);
    ASSERT_TRUE(host.session->resume(*kept.snapshot));
    EXPECT_EQ(host.join("192.0.2.2", "Bob"), 2);
    host.sessionTimer.advance(6s);
    EXPECT_FALSE(host.session->seatHeld(1));
    EXPECT_EQ(host.state().currentplayer, 2);
    EXPECT_TRUE(host.timer1.running());
}

TEST(Resume, OnlyChangesOfTheGameAreWrittenNotTheSecondsOfItsClock)
{
    Host host(9);
    host.join("192.0.2.1", "Ann");
    host.send(1, msg::startgame("Ann", "100", "60", true, "1", "0"));
    const int writes = host.writes;
    for (int tick = 0; tick < 5; ++tick)
        ASSERT_TRUE(host.timeline.step());
    EXPECT_EQ(host.writes, writes); // Ann's clock runs: nothing new
    host.send(1, msg::chat(1, "hello", 0));
    EXPECT_EQ(host.writes, writes);
    host.send(1, msg::iflip(1, 4, 4));
    EXPECT_EQ(host.writes, writes + 1);
    EXPECT_EQ(host.state().turnticks, 60 + 4 - 5);
    EXPECT_NE(host.written.find("\nturnticks 59\n"), std::string::npos) << "the file keeps the ticks left";
    // A game with nothing running is no game to go on with.
    HostSnapshot idle;
    EXPECT_FALSE(host.session->resume(idle));
}

} // namespace
} // namespace lexiflip::host
