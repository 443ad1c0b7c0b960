#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "wire/field_reader.h"
#include "support/engine_rig.h"

using namespace lexiflip;
using engine::Game;
using lexiflip::testing::EngineRig;
using lexiflip::testing::wireText;

namespace {

// Ten filler entries that close the list: the computer never plays them.
std::vector<std::string> withTail(std::vector<std::string> words, const std::string& tailWord = "zzzz")
{
    for (int i = 0; i < 10; ++i)
        words.push_back(tailWord);
    return words;
}

// A solo game on Klot's turn, with Klot's bar and the board fixed so that the
// flips and the word are predictable: every board tile is an m, the bar holds
// t, a and e.
struct KlotGame {
    KlotGame(std::vector<std::string> dictionaryWords, std::vector<std::string> botWords)
        : rig(std::move(dictionaryWords), std::move(botWords))
    {
        rig.connect({1});
        rig.game.startgame("You+100+60+f+1+0+");
        fillBoard('m');
        rig.setBar(2, "taexxxx");
        rig.game.hepass("1+"); // slot 1 passes; after the pause Klot is on turn
        rig.sender.clear();
    }

    void fillBoard(char letter)
    {
        for (int x = 1; x <= 10; ++x)
            for (int y = 1; y <= 8; ++y)
                rig.game.state().cell(x, y).letter = letter - 'a' + 1;
    }

    bool runUntilCommand(const std::string& command)
    {
        return rig.runUntil([&] { return !rig.sender.withCommand(command).empty(); });
    }

    EngineRig rig;
};

struct KlotTurn : ::testing::Test {
    KlotGame klot{{"tame", "team", "meat"}, withTail({"tame"})};
    EngineRig& rig = klot.rig;
    void fillBoard(char letter) { klot.fillBoard(letter); }
    bool runUntilCommand(const std::string& command) { return klot.runUntilCommand(command); }
};

std::vector<std::string> commands(const EngineRig& rig)
{
    std::vector<std::string> names;
    for (const auto& sent : rig.sender.sent)
        names.push_back(sent.message.substr(0, sent.message.find('+')));
    return names;
}

} // namespace

TEST_F(KlotTurn, FlipsFiveThenLaysOutAndSubmitsItsWord)
{
    ASSERT_TRUE(runUntilCommand("CMD_hisword"));
    const auto names = commands(rig);
    std::vector<std::string> expected{"CMD_nextplayer"};
    for (int i = 0; i < 5; ++i)
        expected.push_back("CMD_heflip");
    // Only slot 1 is connected and it is not the mover: it gets every relay.
    for (int i = 0; i < 4; ++i)
        expected.push_back(i == 2 ? "CMD_heuseboardletter" : "CMD_heusebarletter");
    expected.push_back("CMD_hisword");
    EXPECT_EQ(names, expected);
    // t a m e: bar t, bar a, a flipped board m (doubled), bar e.
    const std::string word = rig.sender.withCommand("CMD_hisword")[0].message;
    EXPECT_EQ(word.substr(0, 22), "CMD_hisword+2+tame+9+9");
    EXPECT_EQ(rig.game.state().players[2].score, 1 + 1 + 6 + 1);
}

TEST_F(KlotTurn, ItsPhasesFollowTheBotSpeedReadAtEachPhase)
{
    ASSERT_TRUE(runUntilCommand("CMD_nextplayer"));
    const auto turnStart = rig.timeline.now();
    EXPECT_EQ(rig.computertimer.interval(), 750);
    ASSERT_TRUE(runUntilCommand("CMD_heflip"));
    EXPECT_EQ(rig.timeline.now() - turnStart, 750);
    // The word phase was entered at 750 ms; a change now waits for the next phase.
    rig.botSpeedMs = 250;
    ASSERT_TRUE(runUntilCommand("CMD_heusebarletter"));
    EXPECT_EQ(rig.timeline.now() - turnStart, 750 + 4 * 750);
    EXPECT_EQ(rig.computertimer.interval(), 250);
    ASSERT_TRUE(runUntilCommand("CMD_hisword"));
    EXPECT_EQ(rig.timeline.now() - turnStart, 750 + 4 * 750 + 3 * 250);
}

TEST_F(KlotTurn, ItsWordPrefersFlippedBoardTilesAndNeverReusesATile)
{
    // Every letter of "meat" is on the bar; the board is all e, so the e must
    // come from the board.
    fillBoard('e');
    rig.setBar(2, "meatxxx");
    ASSERT_TRUE(runUntilCommand("CMD_hisword"));
    const std::string botword = rig.game.state().botword;
    // "tame" with only one a and one m on the bar and e on the board.
    std::vector<wire::Origin> origins;
    for (std::string_view item : wire::FieldReader(std::string_view(botword).substr(1)).list())
        origins.push_back(wire::parseOrigin(item));
    ASSERT_EQ(origins.size(), 4u);
    EXPECT_EQ(origins[0], (wire::Origin{0, 4})); // t
    EXPECT_EQ(origins[1], (wire::Origin{0, 3})); // a
    EXPECT_EQ(origins[2], (wire::Origin{0, 1})); // m
    EXPECT_NE(origins[3].x, 0);                  // e from a flipped board tile
    std::set<std::pair<int, int>> distinct;
    for (const auto& o : origins)
        distinct.insert({o.x, o.y});
    EXPECT_EQ(distinct.size(), origins.size());
}

TEST(ComputerPlayer, TheLastTenEntriesAreNeverPlayed)
{
    // Only the tail could be spelled; every playable entry needs a letter that
    // is nowhere. So Klot passes.
    KlotGame other({"tame"}, withTail({"qqqq", "qqqqq"}, "tame"));
    ASSERT_TRUE(other.runUntilCommand("CMD_hepasses"));
    EXPECT_TRUE(other.rig.sender.withCommand("CMD_hisword").empty());
    EXPECT_TRUE(other.rig.sender.withCommand("CMD_heusebarletter").empty());
}

TEST_F(KlotTurn, WithNoFittingCandidateItPassesInTheSameTickItSearched)
{
    rig.setBar(2, "xxxxxxx");
    fillBoard('q');
    ASSERT_TRUE(runUntilCommand("CMD_heflip"));
    const auto flipped = rig.timeline.now();
    ASSERT_TRUE(runUntilCommand("CMD_hepasses"));
    EXPECT_EQ(rig.timeline.now() - flipped, 4 * 750);
    EXPECT_FALSE(rig.computertimer.running());
    EXPECT_EQ(rig.game.state().timer1phase, Game::kPause);
}

TEST(ComputerPlayer, AWordTheDictionaryRefusesLetsTheClockRunOut)
{
    KlotGame other({"cat"}, withTail({"tame"}));
    ASSERT_TRUE(other.runUntilCommand("CMD_timeup"));
    // Klot is not connected: nobody is told the word was refused.
    EXPECT_TRUE(other.rig.sender.withCommand("CMD_invalid").empty());
    EXPECT_EQ(other.rig.sender.withCommand("CMD_timeup")[0].message, wireText("CMD_timeup+2+"));
}

TEST(ComputerPlayer, AnEmptyWordAtSubmissionIsReportedOnTheHost)
{
    EngineRig rig;
    rig.game.computerdone(2);
    EXPECT_EQ(rig.notices.notices, (std::vector<std::string>{"Error in computer's word"}));
    EXPECT_TRUE(rig.sender.sent.empty());
}

TEST(ComputerPlayer, PlaysAWatchersSeatAndShowsHimTheMoves)
{
    EngineRig rig({"tame"}, withTail({"tame"}));
    rig.connect({1, 3});
    rig.game.startgame("You+100+60+f+1+0+");
    auto& s = rig.game.state();
    rig.game.setWatching(1, true);
    EXPECT_EQ(s.currentplayer, 2);

    // Slot 3 passes its turns; slot 1's seat is played by the computer.
    rig.sender.clear();
    ASSERT_TRUE(rig.runUntil([&] {
        if (s.timer1phase == Game::kBuilding && s.currentplayer == 3)
            rig.game.hepass("3+");
        return s.currentplayer == 1 && s.timer1phase == Game::kPause;
    }));
    int ownFlips = 0;
    for (const auto& sent : rig.sender.withCommand("CMD_heflip"))
        ownFlips += sent.slot == 1 && sent.message.rfind("CMD_heflip+1+", 0) == 0;
    EXPECT_EQ(ownFlips, 5);
    // Whatever it built, slot 1 was shown its own letters as they were laid out.
    for (const auto& sent : rig.sender.withCommand("CMD_heusebarletter")) {
        if (sent.message.rfind("CMD_heusebarletter+1+", 0) == 0) {
            const auto to = rig.sender.recipients(sent.message);
            EXPECT_NE(std::find(to.begin(), to.end(), 1), to.end());
        }
    }
}
