#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/field_reader.h"
#include "support/engine_rig.h"

using namespace lexiflip;
using engine::Game;
using lexiflip::testing::EngineRig;
using lexiflip::testing::wireText;

namespace {

// The slots named by the CMD_nextplayer messages so far, in order.
std::vector<int> turns(const EngineRig& rig)
{
    std::vector<int> slots;
    for (const auto& sent : rig.sender.withCommand("CMD_nextplayer")) {
        if (sent.slot == 1 || rig.game.state().players[1].connected == 0)
            slots.push_back(
                *wire::parseInt(std::string_view(sent.message).substr(15, sent.message.size() - 17)));
    }
    return slots;
}

// Passes whenever a person's turn is in its building phase, so that only the
// clocks and the computer move the game on.
bool passingPeopleUntil(EngineRig& rig, const std::function<bool()>& done, int maxTicks = 20000)
{
    return rig.runUntil(
        [&] {
            auto& s = rig.game.state();
            if (s.timer1phase == Game::kBuilding && !rig.game.computerPlays(s.currentplayer))
                rig.game.hepass(std::to_string(s.currentplayer) + "+");
            return done();
        },
        maxTicks);
}

} // namespace

TEST(TurnOrder, StartgameAppliesOptionsAndAnnouncesThem)
{
    EngineRig rig;
    rig.connect({1});
    rig.game.startgame("Ann+200+45+f+2+0+");
    const auto& s = rig.game.state();
    EXPECT_EQ(s.playtoscore, 200);
    EXPECT_EQ(s.creationtime, 45);
    EXPECT_EQ(s.viewable, 0);
    EXPECT_EQ(s.gamemode, "help");
    EXPECT_EQ(s.gamerunning, 1);
    ASSERT_FALSE(rig.sender.sent.empty());
    EXPECT_EQ(rig.sender.sent[0].message, wireText("CMD_startgame+Ann+200+45+2+0+"));
    EXPECT_EQ(rig.sender.sent[1].message.substr(0, 13), "CMD_theboard+");
    EXPECT_EQ(rig.sender.sent[2].message.substr(0, 14), "CMD_mytiles+1+");

    // Junk numbers fall back to 100 and 60; an unknown mode keeps the last
    // one; anything but "f" makes the tiles viewable.
    rig.sender.clear();
    rig.game.startgame("Ann+lots+soon+x+9+0+");
    EXPECT_EQ(s.playtoscore, 100);
    EXPECT_EQ(s.creationtime, 60);
    EXPECT_EQ(s.viewable, 1);
    EXPECT_EQ(s.gamemode, "help");
    EXPECT_EQ(rig.sender.sent[0].message, wireText("CMD_startgame+Ann+100+60+9+0+"));
    rig.game.startgame("Ann+100+60+t+3+0+");
    EXPECT_EQ(s.gamemode, "sneak");
    rig.game.startgame("Ann+100+60+t+1+0+");
    EXPECT_EQ(s.gamemode, "blind");
}

TEST(TurnOrder, ANewGameResetsTheSeats)
{
    EngineRig rig;
    rig.connect({1, 3});
    auto& s = rig.game.state();
    s.players[3].score = 77;
    s.players[3].watching = 1;
    s.players[5].inplay = 0;
    rig.game.startgame("Ann+100+60+t+1+0+");
    EXPECT_EQ(s.players[3].score, 0);
    EXPECT_EQ(s.players[3].watching, 0);
    EXPECT_EQ(s.players[5].inplay, 1);
    EXPECT_EQ(s.players[4].tiles[6].coord, "0,6");
    EXPECT_EQ(s.currentplayer, 1);
}

TEST(TurnOrder, ASoloGameAlternatesSlotOneAndKlot)
{
    EngineRig rig({"cat"}, {"zzzz"});
    rig.connect({1});
    rig.game.startgame("You+100+60+t+1+0+");
    ASSERT_TRUE(
        passingPeopleUntil(rig, [&] { return rig.sender.withCommand("CMD_nextplayer").size() >= 6; }));
    EXPECT_EQ(turns(rig), (std::vector<int>{1, 2, 1, 2, 1, 2}));
    // Klot's bar is shown to slot 1 when tiles are viewable, never its own.
    EXPECT_EQ(rig.sender.withCommand("CMD_theirtiles").size(), 3u);
}

TEST(TurnOrder, TheFourPlayerOptionKeepsSeatsFiveAndSixOutButDealsThem)
{
    EngineRig rig;
    rig.connect({1, 2, 3, 4, 5, 6});
    rig.game.startgame("Ann+100+60+f+1+1+");
    EXPECT_EQ(rig.sender.withCommand("CMD_mytiles").size(), 6u);
    ASSERT_TRUE(
        passingPeopleUntil(rig, [&] { return rig.sender.withCommand("CMD_nextplayer").size() >= 6 * 8; }));
    EXPECT_EQ(turns(rig), (std::vector<int>{1, 2, 3, 4, 1, 2, 3, 4}));
    // Seats 5 and 6 still receive every broadcast.
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_nextplayer+1+")).size(), 2u * 6u);
}

namespace {

struct OrderCase {
    std::vector<int> connected;
    std::vector<int> turns;
};

} // namespace

TEST(TurnOrder, TurnsGoRoundEveryConnectedSeatUpToSixAndSlotTwo)
{
    const OrderCase cases[] = {
        {{1, 4}, {1, 2, 4, 1, 2, 4}}, // slot 2 always plays, the computer for nobody
        {{1, 6}, {1, 2, 6, 1, 2, 6}},
        {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6, 1, 2}},
        {{1, 3, 5}, {1, 2, 3, 5, 1}},
    };
    for (const OrderCase& c : cases) {
        EngineRig rig;
        for (int slot : c.connected)
            rig.connect({slot});
        rig.game.startgame("Ann+100+60+f+1+0+");
        const std::size_t told = c.connected.size() * c.turns.size();
        ASSERT_TRUE(
            passingPeopleUntil(rig, [&] { return rig.sender.withCommand("CMD_nextplayer").size() >= told; }));
        EXPECT_EQ(turns(rig), c.turns) << ::testing::PrintToString(c.connected);
    }
}

TEST(TurnOrder, TheBuildingPhaseLastsCreationtimePlusFourTicks)
{
    EngineRig rig;
    rig.connect({1});
    rig.game.startgame("Ann+100+60+f+1+0+");
    const auto start = rig.timeline.now();
    ASSERT_TRUE(rig.runUntil([&] { return !rig.sender.withCommand("CMD_timeup").empty(); }));
    EXPECT_EQ(rig.timeline.now() - start, 64000);
    EXPECT_EQ(rig.sender.withCommand("CMD_timeup")[0].message, wireText("CMD_timeup+1+"));
    // Then a pause of four ticks before the next turn.
    ASSERT_TRUE(rig.runUntil([&] { return rig.game.state().currentplayer == 2; }));
    EXPECT_EQ(rig.timeline.now() - start, 68000);
}

// Whatever time per turn the starter sends, the game keeps one within the
// options dialog's range: the relay tells every window that time, and the
// turn's clock runs it (plus the grace ticks).
TEST(TurnOrder, TheTimePerTurnIsKeptWithinTheDialogsRange)
{
    const std::vector<std::pair<std::string, int>> cases{
        {"0", 45},    {"-5", 45},   {"-2147483648", 45}, {"44", 45},          {"45", 45},
        {"120", 120}, {"121", 120}, {"2147483647", 120}, {"99999999999", 60}, // no int: the default
    };
    for (const auto& [sent, kept] : cases) {
        EngineRig rig;
        rig.connect({1});
        rig.game.startgame("Ann+100+" + sent + "+f+1+0+");
        EXPECT_EQ(rig.game.state().creationtime, kept) << sent;
        ASSERT_FALSE(rig.sender.sent.empty());
        EXPECT_EQ(rig.sender.sent[0].message,
                  wireText("CMD_startgame+Ann+100+" + std::to_string(kept) + "+1+0+"))
            << sent;
        const auto start = rig.timeline.now();
        ASSERT_TRUE(rig.runUntil([&] { return !rig.sender.withCommand("CMD_timeup").empty(); }, 200)) << sent;
        EXPECT_EQ(rig.timeline.now() - start, (kept + 4) * 1000) << sent;
    }
}

TEST(TurnOrder, ReachingTheTargetMidRoundWaitsForTheRoundToEnd)
{
    EngineRig rig;
    rig.connect({1, 3});
    rig.game.startgame("Ann+10+60+f+1+0+");
    auto& s = rig.game.state();
    s.currentplayer = 2;
    s.players[2].score = 50;
    rig.sender.clear();
    rig.game.findplayer();
    EXPECT_EQ(s.currentplayer, 3);
    EXPECT_EQ(s.gamerunning, 1);
    EXPECT_TRUE(rig.sender.withCommand("CMD_winner").empty());
    rig.sender.clear();
    rig.game.findplayer();
    EXPECT_EQ(s.gamerunning, 0);
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_winner+Klot+")), (std::vector<int>{1, 3}));
    EXPECT_TRUE(rig.sender.withCommand("CMD_nextplayer").empty());
    EXPECT_FALSE(rig.timer1.running());
    EXPECT_FALSE(rig.computertimer.running());
}

// The lap ends with the turn back at slot 1: whoever has the play-to score
// then has won, one point short is not enough.
TEST(TurnOrder, ThePlayToScoreItselfWins)
{
    for (const int score : {99, 100, 101}) {
        SCOPED_TRACE(score);
        EngineRig rig;
        rig.connect({1, 3});
        rig.game.startgame("Ann+100+60+f+1+0+");
        auto& s = rig.game.state();
        s.players[3].score = score;
        s.currentplayer = 3;
        rig.sender.clear();
        rig.game.findplayer();
        const bool won = score >= 100;
        EXPECT_EQ(s.gamerunning, won ? 0 : 1);
        EXPECT_EQ(rig.sender.withCommand("CMD_winner").size(), won ? 2u : 0u);
        EXPECT_EQ(rig.sender.withCommand("CMD_nextplayer").size(), won ? 0u : 2u);
    }
}

TEST(TurnOrder, ATieForTheLeadPlaysAnotherRound)
{
    EngineRig rig;
    rig.connect({1, 3});
    rig.game.startgame("Ann+40+60+f+1+0+");
    auto& s = rig.game.state();
    s.players[1].score = 50;
    s.players[3].score = 50;
    s.currentplayer = 3;
    rig.sender.clear();
    rig.game.findplayer();
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_tie+")), (std::vector<int>{1, 3}));
    EXPECT_EQ(s.gamerunning, 1);
    EXPECT_EQ(rig.sender.sent.back().message, wireText("CMD_nextplayer+1+"));

    // A round later slot 3 leads alone.
    s.players[3].score = 60;
    s.currentplayer = 3;
    rig.game.findplayer();
    EXPECT_EQ(rig.sender.sent.back().message, wireText("CMD_winner+P3+"));
}

TEST(TurnOrder, HelperModeChoosesTheLowestNonZeroScore)
{
    EngineRig rig;
    rig.connect({1, 3});
    auto& s = rig.game.state();
    s.players[1].score = 30;
    s.players[2].score = 12;
    s.players[3].score = 0;
    EXPECT_EQ(rig.game.chooseSneaker(), 2);
    s.players[1].score = 0;
    EXPECT_EQ(rig.game.chooseSneaker(), 0);
    s.players[1].score = 30;
    s.players[3].score = 12; // ties go to the lower slot
    EXPECT_EQ(rig.game.chooseSneaker(), 2);
    s.players[3].score = 5;
    EXPECT_EQ(rig.game.chooseSneaker(), 3);
    s.players[3].connected = 0; // only connected seats and slot 2 count
    EXPECT_EQ(rig.game.chooseSneaker(), 2);
}

TEST(TurnOrder, HelperModeGivesTheSneakerAPeekBeforeHisTurn)
{
    EngineRig rig;
    rig.connect({1, 3});
    rig.game.startgame("Ann+100+60+f+2+0+");
    // The first round: nobody has points, so nobody peeks.
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_sneaker+0+")), (std::vector<int>{1, 3}));
    auto& s = rig.game.state();
    s.players[1].score = 30;
    s.players[3].score = 8;
    s.currentplayer = 3;
    rig.sender.clear();
    rig.game.findplayer();
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_sneaker+3+")), (std::vector<int>{1, 3}));
    rig.game.findplayer(); // slot 2: no peek
    EXPECT_TRUE(rig.sender.withCommand("CMD_sneak").empty());
    rig.game.findplayer(); // slot 3, the sneaker
    EXPECT_EQ(rig.sender.withCommand("CMD_sneak").size(), 1u);
    EXPECT_EQ(rig.sender.sent.back().slot, 3);
    EXPECT_EQ(rig.sender.sent.back().message, wireText("CMD_sneak+3+"));
    EXPECT_EQ(s.timer1phase, Game::kSneakPeek);
    EXPECT_EQ(s.turnticks, 5);
}

TEST(TurnOrder, SneakPeekModePeeksEveryTurnForFiveTicks)
{
    EngineRig rig;
    rig.connect({1});
    rig.game.startgame("Ann+100+60+f+3+0+");
    ASSERT_EQ(rig.sender.withCommand("CMD_sneak").size(), 1u);
    EXPECT_TRUE(rig.sender.withCommand("CMD_nextplayer").empty());
    const auto start = rig.timeline.now();
    ASSERT_TRUE(rig.runUntil([&] { return !rig.sender.withCommand("CMD_nextplayer").empty(); }));
    EXPECT_EQ(rig.timeline.now() - start, 5000);
    // Klot's turn peeks too, though nobody is there to be sent the peek.
    rig.game.hepass("1+");
    ASSERT_TRUE(rig.runUntil([&] { return rig.game.state().currentplayer == 2; }));
    EXPECT_EQ(rig.game.state().timer1phase, Game::kSneakPeek);
    EXPECT_EQ(rig.sender.withCommand("CMD_sneak").size(), 1u);
}

TEST(TurnOrder, TheTurnMovesOnWhenThePlayerOnTurnLeavesOrWatches)
{
    EngineRig rig;
    rig.connect({1, 3, 4});
    rig.game.startgame("Ann+100+60+f+1+0+");
    auto& s = rig.game.state();
    s.currentplayer = 3;
    rig.game.seatLeft(3);
    EXPECT_EQ(s.currentplayer, 4);
    EXPECT_EQ(s.players[3].connected, 0);
    EXPECT_TRUE(s.players[3].name.empty());
    rig.game.seatLeft(3); // not on turn any more: nothing happens
    EXPECT_EQ(s.currentplayer, 4);
    rig.game.setWatching(4, true);
    EXPECT_EQ(s.currentplayer, 1);
    EXPECT_EQ(s.players[4].watching, 1);
    rig.game.setWatching(1, false); // playing again moves nothing
    EXPECT_EQ(s.currentplayer, 1);
    rig.game.seatLeft(1); // the hosting window's own client never moves the turn
    EXPECT_EQ(s.currentplayer, 1);
    // Where slot 1 is a remote player, his turn moves on like anybody's (to
    // seat 2, which the computer plays while nobody holds it).
    rig.game.seatConnected(1);
    rig.game.setFirstSeatRemote(true);
    rig.game.seatLeft(1);
    EXPECT_EQ(s.currentplayer, 2);
}

TEST(TurnOrder, ActionsBeforeTheFirstGameAreIgnored)
{
    EngineRig rig;
    rig.connect({1});
    rig.game.iflip("0+1+1+");
    rig.game.hepass("0+");
    rig.game.timer1Timer();
    EXPECT_TRUE(rig.sender.sent.empty());
}
