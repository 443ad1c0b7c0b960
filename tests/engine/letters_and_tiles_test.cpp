#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "core/random_source.h"
#include "engine/letter_draw.h"
#include "wire/field_reader.h"
#include "support/engine_rig.h"

using namespace lexiflip;
using lexiflip::testing::EngineRig;

TEST(Letters, DrawsFollowTheWeightsAndStayInRange)
{
    core::RandomSource random(12345);
    constexpr int kDraws = 98 * 4000;
    std::array<int, 27> counts{};
    for (int i = 0; i < kDraws; ++i) {
        const int code = engine::getletter(random);
        ASSERT_GE(code, 1);
        ASSERT_LE(code, 26);
        ++counts[code];
    }
    int weights = 0;
    for (int code = 1; code <= 26; ++code) {
        const int weight = engine::letterWeight(code);
        weights += weight;
        const double expected = double(kDraws) * weight / 98.0;
        // Five standard deviations of a binomial count: fails only when a
        // weight is wrong, not by bad luck.
        const double sigma = std::sqrt(expected * (1.0 - weight / 98.0));
        EXPECT_NEAR(counts[code], expected, 5 * sigma) << "letter " << char('a' + code - 1);
    }
    EXPECT_EQ(weights, 98);
    EXPECT_EQ(engine::letterWeight(5), 12); // e
    EXPECT_EQ(engine::letterWeight(17), 1); // q
}

TEST(Letters, OneSeedGivesOneSequence)
{
    core::RandomSource a(7), b(7), c(8);
    int differences = 0;
    for (int i = 0; i < 200; ++i) {
        const int x = engine::getletter(a);
        EXPECT_EQ(x, engine::getletter(b));
        differences += x != engine::getletter(c);
    }
    EXPECT_GT(differences, 0);
}

TEST(Tiles, TheFirstBoardHoldsEightyCellsXOuterYInner)
{
    EngineRig rig;
    rig.connect({1, 3});
    rig.game.makeboard();
    ASSERT_EQ(rig.sender.sent.size(), 2u);
    EXPECT_EQ(rig.sender.sent[0].slot, 1);
    EXPECT_EQ(rig.sender.sent[1].slot, 3);
    const std::string& message = rig.sender.sent[0].message;
    ASSERT_EQ(message.substr(0, 13), "CMD_theboard+");
    ASSERT_EQ(message.back(), '\xFF');
    wire::FieldReader fields(std::string_view(message).substr(13, message.size() - 14));
    const auto items = fields.list();
    ASSERT_EQ(items.size(), 240u);
    int i = 0;
    for (int x = 1; x <= 10; ++x) {
        for (int y = 1; y <= 8; ++y) {
            EXPECT_EQ(wire::parseInt(items[i++]), x);
            EXPECT_EQ(wire::parseInt(items[i++]), y);
            const auto code = wire::parseInt(items[i++]);
            EXPECT_EQ(code, rig.game.state().cell(x, y).letter);
            EXPECT_GE(*code, 1);
            EXPECT_LE(*code, 26);
        }
    }
}

TEST(Tiles, BarsAreDealtToAllSixSeatsButSentOnlyToConnectedOnes)
{
    EngineRig rig;
    rig.connect({1, 4, 8});
    rig.game.dealtiles();
    for (int slot = 1; slot <= 6; ++slot) {
        for (int k = 1; k <= 7; ++k)
            EXPECT_NE(rig.game.state().players[slot].tiles[k].letter, 0) << slot << "," << k;
    }
    ASSERT_EQ(rig.sender.sent.size(), 2u);
    EXPECT_EQ(rig.sender.sent[0].slot, 1);
    EXPECT_EQ(rig.sender.sent[1].slot, 4);
    const auto& bar = rig.game.state().players[4].tiles;
    std::string expected = "CMD_mytiles+4";
    for (int k = 1; k <= 7; ++k)
        expected += "+" + std::to_string(k) + "+" + std::to_string(bar[k].letter);
    EXPECT_EQ(rig.sender.sent[1].message, expected + '\xFF');
}

TEST(Tiles, RefillsSendOnlyChangedCellsAndNothingWhenNothingChanged)
{
    EngineRig rig;
    rig.connect({1, 2});
    rig.game.makeboard();
    rig.game.dealtiles();
    rig.sender.clear();

    // Nothing used: the turn change refills nothing and sends nothing.
    rig.game.state().cell(2, 2).flipped = 1;
    rig.game.flipthem();
    rig.game.refillBar(1);
    EXPECT_TRUE(rig.sender.sent.empty());
    EXPECT_EQ(rig.game.state().cell(2, 2).flipped, 0);

    // Two board tiles and three bar tiles of an accepted word.
    rig.game.state().cell(3, 4).used = 1;
    rig.game.state().cell(9, 1).used = 1;
    for (int k : {2, 5, 7})
        rig.game.state().players[1].tiles[k].used = 1;
    rig.game.flipthem();
    rig.game.refillBar(1);
    ASSERT_EQ(rig.sender.sent.size(), 3u);
    const auto& s = rig.game.state();
    const std::string board = "CMD_theboard+3+4+" + std::to_string(s.cell(3, 4).letter) + "+9+1+" +
                              std::to_string(s.cell(9, 1).letter) + '\xFF';
    EXPECT_EQ(rig.sender.recipients(board), (std::vector<int>{1, 2}));
    const auto& bar = s.players[1].tiles;
    EXPECT_EQ(rig.sender.sent[2].slot, 1);
    EXPECT_EQ(rig.sender.sent[2].message, "CMD_mytiles+1+2+" + std::to_string(bar[2].letter) + "+5+" +
                                              std::to_string(bar[5].letter) + "+7+" +
                                              std::to_string(bar[7].letter) + '\xFF');
    EXPECT_EQ(s.cell(3, 4).used, 0);
    EXPECT_EQ(bar[5].used, 0);
}

TEST(Tiles, FlipthemoverClearsMarksButKeepsLettersAndFlips)
{
    EngineRig rig;
    rig.faceUp(1, 1, 'q');
    rig.game.state().cell(1, 1).used = 1;
    rig.game.state().players[3].tiles[2].used = 1;
    rig.game.state().players[3].tiles[2].letter = 4;
    rig.game.flipthemover(3);
    EXPECT_EQ(rig.game.state().cell(1, 1).used, 0);
    EXPECT_EQ(rig.game.state().cell(1, 1).flipped, 1);
    EXPECT_EQ(rig.game.state().cell(1, 1).letter, 17);
    EXPECT_EQ(rig.game.state().players[3].tiles[2].used, 0);
    EXPECT_EQ(rig.game.state().players[3].tiles[2].letter, 4);
}

TEST(Tiles, SendToAllWalksConnectedSlotsUpToSlotsused)
{
    EngineRig rig;
    rig.connect({1, 2, 5, 9});
    rig.game.state().players[2].connected = 0;
    rig.game.state().players[9].connected = 1;
    rig.game.state().slotsused = 5; // slot 9 lies beyond the slots handed out so far
    rig.game.sendToAll("X");
    EXPECT_EQ(rig.sender.recipients("X"), (std::vector<int>{1, 5}));
}
