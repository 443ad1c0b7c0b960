#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/messages.h"
#include "support/engine_rig.h"

using namespace lexiflip;
using engine::Game;
using lexiflip::testing::EngineRig;
using lexiflip::testing::wireText;

namespace {

// Made-up words are fine here: the test dictionary decides what is a word.
const std::vector<std::string> kWords{"cat", "qit", "seating", "tea", "eat"};

// Slots 1..3 connected, slot 1 on turn in its building phase.
struct TurnFixture : ::testing::Test {
    TurnFixture() : rig(kWords)
    {
        rig.connect({1, 2, 3});
        rig.game.state().gamerunning = 1;
        rig.game.state().currentplayer = 1;
        rig.game.startTimer1Phase(Game::kBuilding, 64);
    }

    std::string payload(const std::string& message) { return std::string(wire::msg::payloadOf(message)); }
    void submit(int slot, const std::vector<wire::Origin>& word)
    {
        rig.game.idone(payload(wire::msg::idone(slot, word)));
    }

    EngineRig rig;
};

} // namespace

TEST_F(TurnFixture, FlipsCountDownAndTheSixthIsIgnored)
{
    rig.game.iflip("1+1+1+");
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_heflip+1+1+1+f+4+")), (std::vector<int>{1, 2, 3}));
    for (int x = 2; x <= 5; ++x)
        rig.game.iflip("1+" + std::to_string(x) + "+1+");
    EXPECT_EQ(rig.sender.sent.back().message, wireText("CMD_heflip+1+5+1+t+0+"));
    EXPECT_EQ(rig.game.state().flipcount, 5);
    rig.sender.clear();
    rig.game.iflip("1+6+1+");
    EXPECT_TRUE(rig.sender.sent.empty());
    EXPECT_EQ(rig.game.state().cell(6, 1).flipped, 0);
}

TEST_F(TurnFixture, FlippingAFaceUpTileOnlyTellsTheHost)
{
    rig.game.iflip("1+3+4+");
    rig.sender.clear();
    rig.game.iflip("1+3+4+");
    EXPECT_TRUE(rig.sender.sent.empty());
    EXPECT_EQ(rig.game.state().flipcount, 1);
    EXPECT_EQ(rig.notices.notices, (std::vector<std::string>{"flipping..: 3..4"}));
}

TEST_F(TurnFixture, RequestsOutOfTurnOutOfPhaseOrOffTheBoardAreIgnored)
{
    rig.game.iflip("2+1+1+");  // not on turn
    rig.game.iflip("x+1+1+");  // slot does not parse
    rig.game.iflip("1+11+1+"); // off the board
    rig.game.iflip("1+0+1+");
    rig.game.iflip("1+1+9+");
    rig.game.usebarletter("1+8+1+"); // no bar position 8
    rig.game.useboardletter("1+1+0+1+");
    rig.game.clickbuy("3+");
    rig.game.hepass("2+");
    rig.game.startTimer1Phase(Game::kPause, 4);
    rig.game.iflip("1+1+1+"); // pause: the turn is over
    rig.game.hepass("1+");
    EXPECT_TRUE(rig.sender.sent.empty());
    EXPECT_EQ(rig.game.state().flipcount, 0);
}

TEST_F(TurnFixture, TheWorkedExampleScoresThirteen)
{
    rig.setBar(1, "qizzzzz");
    rig.faceUp(5, 2, 't');
    rig.game.state().players[1].score = 7;
    submit(1, {{0, 1}, {0, 2}, {5, 2}});
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_hisword+1+qit+20+13+17+9+20")),
              (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(rig.game.state().players[1].score, 20);
    // An accepted word starts the pause and keeps its marks for the refill.
    EXPECT_EQ(rig.game.state().timer1phase, Game::kPause);
    EXPECT_EQ(rig.game.state().turnticks, 4);
    EXPECT_EQ(rig.game.state().cell(5, 2).used, 1);
    EXPECT_EQ(rig.game.state().players[1].tiles[1].used, 1);
}

TEST_F(TurnFixture, SevenLettersFromFiveBarAndTwoBoardTilesEarnFifteen)
{
    rig.setBar(1, "seatixx");
    rig.faceUp(1, 1, 'n');
    rig.faceUp(2, 2, 'g');
    submit(1, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 1}, {2, 2}});
    // s e a t i = 5, n and g doubled = 2 + 6, plus 15 for seven letters.
    EXPECT_EQ(rig.sender.sent.back().message, wireText("CMD_hisword+1+seating+28+28+19+5+1+20+9+14+7"));
}

namespace {

// A word of bar 'a's (worth 1 each) followed by board 'e's (worth 1, doubled
// on the board).
struct ScoreCase {
    int bar;
    int board;
    int wordscore;
};

} // namespace

// The length bonus counts from 5 to 10 letters; five board tiles (every flip
// of the turn) and the whole bar each earn their own bonus, whatever else the
// word has. The rows sit on each edge.
TEST(TurnScores, LengthBonusFromFiveToTenLettersAndTheAllFlippedAndWholeBarBonuses)
{
    const ScoreCase cases[] = {
        {4, 0, 4},                   // too short for a bonus
        {5, 0, 5 + 5},               // the first bonus
        {5, 4, 5 + 8 + 25},          // 9 letters
        {6, 4, 6 + 8 + 30},          // 10 letters: the last and largest
        {6, 5, 6 + 10 + 0 + 5},      // 11 letters: none, but all five flips used
        {0, 5, 10 + 5 + 5},          // all five flips without the bar
        {2, 5, 2 + 10 + 15 + 5},     // ... and with part of it
        {0, 4, 8},                   // four board tiles are not all the flips
        {7, 0, 7 + 15 + 10},         // the whole bar alone
        {7, 5, 7 + 10 + 0 + 5 + 10}, // 12 letters, both bonuses
        {7, 6, 7 + 12 + 0 + 0 + 10}, // 13: six board tiles are not the five flips
    };
    for (const ScoreCase& c : cases) {
        const std::string word =
            std::string(std::size_t(c.bar), 'a') + std::string(std::size_t(c.board), 'e');
        SCOPED_TRACE(word);
        EngineRig rig({word});
        rig.connect({1, 2});
        rig.game.state().gamerunning = 1;
        rig.game.state().currentplayer = 1;
        rig.game.startTimer1Phase(Game::kBuilding, 64);
        rig.setBar(1, std::string(7, 'a'));
        std::vector<wire::Origin> origins;
        for (int k = 1; k <= c.bar; ++k)
            origins.push_back({0, k});
        for (int x = 1; x <= c.board; ++x) {
            rig.faceUp(x, 3, 'e');
            origins.push_back({x, 3});
        }
        rig.game.idone(std::string(wire::msg::payloadOf(wire::msg::idone(1, origins))));
        ASSERT_EQ(rig.sender.withCommand("CMD_hisword").size(), 2u) << "the word was refused";
        EXPECT_EQ(rig.game.state().players[1].score, c.wordscore);
    }
}

TEST_F(TurnFixture, EveryInvalidLetterPathClearsMarksAndTheTurnGoesOn)
{
    rig.setBar(1, "catxxxx");
    rig.faceUp(4, 4, 't');
    const struct {
        std::vector<wire::Origin> word;
        const char* notice;
    } cases[] = {
        {{{0, 1}, {0, 8}}, "Invalid Letter (1)"},  {{{0, 1}, {0, -1}}, "Invalid Letter (2)"},
        {{{0, 1}, {7, 7}}, "Invalid Letter (3)"}, // face down
        {{{4, 4}, {4, 4}}, "Invalid Letter (4)"}, // board tile twice
        {{{0, 2}, {0, 2}}, "Invalid Letter (4)"}, // bar tile twice
        {{{0, 1}, {11, 2}}, "Invalid Letter (5)"}, {{{0, 1}, {-3, 2}}, "Invalid Letter (5)"},
        {{{0, 1}, {4, 9}}, "Invalid Letter (6)"},
    };
    for (const auto& c : cases) {
        rig.notices.notices.clear();
        rig.sender.clear();
        submit(1, c.word);
        EXPECT_EQ(rig.notices.notices, (std::vector<std::string>{c.notice}));
        EXPECT_TRUE(rig.sender.sent.empty()) << c.notice;
        EXPECT_EQ(rig.game.state().cell(4, 4).used, 0) << c.notice;
        for (int k = 1; k <= 7; ++k)
            EXPECT_EQ(rig.game.state().players[1].tiles[k].used, 0) << c.notice;
        EXPECT_EQ(rig.game.state().timer1phase, Game::kBuilding);
    }
    submit(1, {{0, 1}, {0, 2}, {4, 4}});
    EXPECT_EQ(rig.sender.sent.back().message, wireText("CMD_hisword+1+cat+6+6+3+1+20"));
}

TEST_F(TurnFixture, ATileFlippedInAnEarlierTurnIsFaceDownNow)
{
    rig.setBar(1, "caxxxxx");
    rig.game.state().cell(2, 2).letter = 20; // a t, seen last turn, face down again
    submit(1, {{0, 1}, {0, 2}, {2, 2}});
    EXPECT_EQ(rig.notices.notices, (std::vector<std::string>{"Invalid Letter (3)"}));
    rig.game.iflip("1+2+2+");
    submit(1, {{0, 1}, {0, 2}, {2, 2}});
    EXPECT_EQ(rig.game.state().players[1].score, 6);
}

TEST_F(TurnFixture, AWordNotInTheDictionaryGoesBackToTheSubmitterOnly)
{
    rig.setBar(1, "tacxxxx");
    rig.faceUp(1, 1, 'a');
    submit(1, {{0, 1}, {1, 1}, {0, 3}}); // "tac"
    ASSERT_EQ(rig.sender.sent.size(), 1u);
    EXPECT_EQ(rig.sender.sent[0].slot, 1);
    EXPECT_EQ(rig.sender.sent[0].message, wireText("CMD_invalid+1+"));
    EXPECT_EQ(rig.game.state().timer1phase, Game::kBuilding);
    EXPECT_EQ(rig.game.state().cell(1, 1).used, 0);
    EXPECT_EQ(rig.game.state().players[1].tiles[1].used, 0);
}

TEST_F(TurnFixture, UnreadablePairsMakeAPassAndLeaveNoMarksBehind)
{
    rig.setBar(1, "catxxxx");
    rig.faceUp(4, 4, 't');
    rig.game.idone("1+0,1+4,4+junk");
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_hepasses+1+")), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(rig.game.state().timer1phase, Game::kPause);
    EXPECT_EQ(rig.game.state().turnticks, 3);
    EXPECT_EQ(rig.game.state().cell(4, 4).used, 0);
    EXPECT_EQ(rig.game.state().players[1].tiles[1].used, 0);

    // The turn change after it refills nothing.
    rig.sender.clear();
    rig.game.flipthem();
    rig.game.refillBar(1);
    EXPECT_TRUE(rig.sender.withCommand("CMD_theboard").empty());
    EXPECT_TRUE(rig.sender.withCommand("CMD_mytiles").empty());
}

TEST_F(TurnFixture, ZeroZeroAndEmptySubmissionsArePassesToo)
{
    rig.game.idone("1+0,0");
    EXPECT_EQ(rig.sender.withCommand("CMD_hepasses").size(), 3u);
    rig.game.startTimer1Phase(Game::kBuilding, 64);
    rig.sender.clear();
    rig.game.idone("1+");
    EXPECT_EQ(rig.sender.withCommand("CMD_hepasses").size(), 3u);
}

TEST_F(TurnFixture, PassingAnnouncesAndStartsTheFourTickPause)
{
    rig.game.hepass("1+");
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_hepasses+1+")), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(rig.game.state().timer1phase, Game::kPause);
    EXPECT_EQ(rig.game.state().turnticks, 4);
    EXPECT_TRUE(rig.timer1.running());
}

TEST_F(TurnFixture, BuyingCostsTwentyAndNeedsTwenty)
{
    rig.game.state().players[1].score = 19;
    rig.game.clickbuy("1+");
    ASSERT_EQ(rig.sender.sent.size(), 1u);
    EXPECT_EQ(rig.sender.sent[0].slot, 1);
    EXPECT_EQ(rig.sender.sent[0].message, wireText("CMD_notenough+1+"));
    EXPECT_EQ(rig.game.state().players[1].score, 19);

    rig.sender.clear();
    rig.game.state().players[1].score = 20;
    rig.game.state().players[1].tiles[3].used = 1;
    rig.game.clickbuy("1+");
    ASSERT_EQ(rig.sender.sent.size(), 4u);
    EXPECT_EQ(rig.sender.sent[0].slot, 1);
    EXPECT_EQ(rig.sender.sent[0].message.substr(0, 14), "CMD_mytiles+1+");
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_buytiles+1+0+20+")), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(rig.game.state().players[1].score, 0);
    EXPECT_EQ(rig.game.state().players[1].tiles[3].used, 0);
    // The turn goes on.
    EXPECT_EQ(rig.game.state().timer1phase, Game::kBuilding);
}

TEST_F(TurnFixture, RelaysReachTheMoverOnlyWhileTheComputerPlaysForHim)
{
    rig.setBar(1, "catxxxx");
    rig.faceUp(4, 4, 't');
    rig.game.usebarletter("1+2+1+");
    rig.game.useboardletter("1+4+4+2+");
    rig.game.clickclear("1+1+0,2+2+4,4");
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_heusebarletter+1+1+1+")), (std::vector<int>{2, 3}));
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_heuseboardletter+1+4+4+2+20+")), (std::vector<int>{2, 3}));
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_heclickclear+1+1+0,2+2+4,4")), (std::vector<int>{2, 3}));
    // Relays set no marks: the host keeps no word under construction.
    EXPECT_EQ(rig.game.state().cell(4, 4).used, 0);

    rig.sender.clear();
    rig.game.state().players[1].watching = 1;
    rig.game.usebarletter("1+2+1+");
    EXPECT_EQ(rig.sender.recipients(wireText("CMD_heusebarletter+1+1+1+")), (std::vector<int>{1, 2, 3}));
}
