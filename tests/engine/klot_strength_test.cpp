// Klot at Strong and Expert through the engine's own turn handlers: what he
// flips, which word he lays and what the host counts for it, when he buys,
// and what Expert remembers and cannot know.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/known_board.h"
#include "wire/field_reader.h"
#include "wire/messages.h"
#include "support/engine_rig.h"

using namespace lexiflip;
using engine::ComputerStrength;
using engine::Game;
using lexiflip::testing::EngineRig;

namespace {

// A solo game, slot 1 on turn, every board tile an m, Klot's bar fixed.
struct StrengthGame {
    StrengthGame(std::vector<std::string> dictionary, ComputerStrength strength, const std::string& bar,
                 std::uint64_t seed = 1)
        : rig(std::move(dictionary), {}, seed)
    {
        rig.connect({1});
        rig.game.setComputerStrength(strength);
        rig.game.startgame("You+100+60+f+1+0+");
        for (int x = 1; x <= 10; ++x)
            for (int y = 1; y <= 8; ++y)
                rig.game.state().cell(x, y).letter = 'm' - 'a' + 1;
        rig.setBar(2, bar);
    }

    // Slot 1 ends its turn; Klot plays until his turn is over.
    void klotsTurn()
    {
        rig.game.hepass("1+");
        rig.sender.clear();
        auto& s = rig.game.state();
        rig.runUntil([&] { return s.currentplayer == 2 && s.timer1phase == Game::kPause; });
    }

    std::vector<std::string> sent(const std::string& command) const
    {
        std::vector<std::string> texts;
        for (const auto& m : rig.sender.withCommand(command))
            if (m.slot == 1)
                texts.push_back(m.message);
        return texts;
    }

    std::string hisword() const
    {
        const auto words = sent("CMD_hisword");
        return words.empty() ? "" : words.front().substr(0, words.front().find('\xFF'));
    }

    EngineRig rig;
};

} // namespace

TEST(KlotStrength, StrongPlaysTheBestWordAndTheHostCountsWhatHeCounted)
{
    // The five flipped tiles are m's. "mate" scores 6 + 1 + 1 + 1 with the m
    // from the board; "mammal" (three m's from the board, then a, a, l from
    // the bar) 6 * 3 + 1 + 1 + 1 + 10 for six letters = 31.
    StrengthGame strong({"mate", "mammal", "at"}, ComputerStrength::Strong, "taealxx");
    strong.klotsTurn();
    EXPECT_EQ(strong.sent("CMD_heflip").size(), 5u);
    EXPECT_EQ(strong.hisword(), "CMD_hisword+2+mammal+31+31+13+1+13+13+1+12");
    EXPECT_EQ(strong.rig.game.state().players[2].score, 31);
}

TEST(KlotStrength, StrongFlipsAsClassicDoes)
{
    StrengthGame classic({"mate"}, ComputerStrength::Classic, "taexxxx", 5);
    StrengthGame strong({"mate"}, ComputerStrength::Strong, "taexxxx", 5);
    classic.klotsTurn();
    strong.klotsTurn();
    ASSERT_EQ(strong.sent("CMD_heflip").size(), 5u);
    EXPECT_EQ(strong.sent("CMD_heflip"), classic.sent("CMD_heflip"));
}

TEST(KlotStrength, BuysANewBarOnlyWhenItIsWorthMoreAndHeCanPayForIt)
{
    // Every board tile a z: with any vowel on the bar "zaz"-like words score
    // 20 + 1 + 20 and more, so a new bar is worth some 40 points on average.
    const std::vector<std::string> words = {"zaz", "zez", "ziz", "zoz", "zuz"};
    const struct {
        const char* name;
        int score;
        std::string bar;
        bool buys;
    } cases[] = {
        {"nothing to play and 20 to pay", 20, "xxxxxxx", true},
        {"nothing to play but 19", 19, "xxxxxxx", false},
        {"a good word on the bar", 60, "axxxxxx", false},
    };
    for (const auto& c : cases) {
        StrengthGame game(words, ComputerStrength::Strong, c.bar);
        for (int x = 1; x <= 10; ++x)
            for (int y = 1; y <= 8; ++y)
                game.rig.game.state().cell(x, y).letter = 'z' - 'a' + 1;
        game.rig.game.state().players[2].score = c.score;
        game.klotsTurn();
        EXPECT_EQ(game.sent("CMD_buytiles").size(), c.buys ? 1u : 0u) << c.name;
        // Either way the turn ends with a word or a pass.
        EXPECT_EQ(game.sent("CMD_hisword").size() + game.sent("CMD_hepasses").size(), 1u) << c.name;
        if (!c.buys && c.bar[0] == 'x') {
            EXPECT_EQ(game.sent("CMD_hepasses").size(), 1u) << c.name;
        }
    }
}

TEST(KlotStrength, ExpertTurnsTheTileHeSawAnotherPlayerTurn)
{
    // Slot 1 turns the q at 3,4 and passes; the q stays face down for Expert,
    // who remembers it and makes "quiz" with it. Strong does not.
    for (const ComputerStrength strength : {ComputerStrength::Expert, ComputerStrength::Strong}) {
        StrengthGame game({"quiz"}, strength, "uizxxxx");
        game.rig.game.state().cell(3, 4).letter = 'q' - 'a' + 1;
        game.rig.game.iflip("1+3+4+");
        game.klotsTurn();
        const bool expert = strength == ComputerStrength::Expert;
        EXPECT_EQ(game.hisword(), expert ? "CMD_hisword+2+quiz+32+32+17+21+9+26" : "") << int(strength);
        const auto flips = game.sent("CMD_heflip");
        bool turnedQ = false;
        for (const auto& flip : flips)
            turnedQ = turnedQ || flip.rfind("CMD_heflip+2+3+4+", 0) == 0;
        EXPECT_EQ(turnedQ, expert);
    }
}

TEST(KlotStrength, ExpertForgetsATileWhoseLetterWasDrawnAnew)
{
    // Slot 1 turns the q and uses it in an accepted word: the tile gets a new
    // letter at the turn change, which nobody has seen. Even when that letter
    // is a q again, Expert does not know it.
    StrengthGame game({"quiz", "qi"}, ComputerStrength::Expert, "uizxxxx");
    auto& s = game.rig.game.state();
    s.cell(3, 4).letter = 'q' - 'a' + 1;
    game.rig.setBar(1, "ixxxxxx");
    game.rig.game.iflip("1+3+4+");
    game.rig.game.idone("1+3,4+0,1");
    ASSERT_EQ(s.players[1].score, 21);
    game.rig.runUntil([&] { return s.currentplayer == 2; });
    EXPECT_FALSE(s.cell(3, 4).seen);
    s.cell(3, 4).letter = 'q' - 'a' + 1;
    EXPECT_EQ(engine::KnownBoard(s).letter(3, 4), 0);
    game.rig.sender.clear();
    game.rig.runUntil([&] { return s.currentplayer == 2 && s.timer1phase == Game::kPause; });
    // Knowing the q he would turn it and play quiz, as in the test above.
    for (const auto& flip : game.sent("CMD_heflip"))
        EXPECT_NE(flip.rfind("CMD_heflip+2+3+4+", 0), 0u);
    EXPECT_EQ(game.hisword().find("quiz"), std::string::npos);
}

TEST(KlotStrength, ExpertsChoiceDoesNotDependOnLettersNobodyHasTurned)
{
    // Play Expert's turn once; then again from the same game and seed, with
    // every tile nobody has turned (and that he did not turn) given a z:
    // knowing them, he would turn z's for "zizz". His flips and his word must
    // be the same.
    auto play = [](bool changeHidden, const std::vector<std::pair<int, int>>& keep) {
        StrengthGame game({"quiz", "quip", "zip", "mum", "imp", "zizz"}, ComputerStrength::Expert, "uizpxxx", 9);
        auto& s = game.rig.game.state();
        s.cell(3, 4).letter = 'q' - 'a' + 1;
        s.cell(7, 2).letter = 'p' - 'a' + 1;
        game.rig.game.iflip("1+3+4+");
        game.rig.game.iflip("1+7+2+");
        if (changeHidden) {
            for (int x = 1; x <= 10; ++x)
                for (int y = 1; y <= 8; ++y) {
                    const bool kept = std::find(keep.begin(), keep.end(), std::pair{x, y}) != keep.end();
                    if (!s.cell(x, y).seen && !kept)
                        s.cell(x, y).letter = 'z' - 'a' + 1;
                }
        }
        game.klotsTurn();
        std::vector<std::pair<int, int>> flipped;
        for (const auto& flip : game.sent("CMD_heflip")) {
            wire::FieldReader fields(wire::msg::payloadOf(flip));
            fields.next();
            const int x = *fields.nextInt();
            flipped.emplace_back(x, *fields.nextInt());
        }
        return std::pair{flipped, game.hisword()};
    };
    const auto [flips, word] = play(false, {});
    ASSERT_EQ(flips.size(), 5u);
    EXPECT_NE(std::find(flips.begin(), flips.end(), std::pair{3, 4}), flips.end()) << "he turns the q he saw";
    const auto [flipsAgain, wordAgain] = play(true, flips);
    EXPECT_EQ(flipsAgain, flips);
    EXPECT_EQ(wordAgain, word);
    EXPECT_FALSE(word.empty());
}
