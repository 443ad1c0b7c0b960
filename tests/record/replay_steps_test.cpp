#include <gtest/gtest.h>

#include "record/replay_steps.h"

namespace lexiflip::record {
namespace {

using Face = ReplayCell::Face;
constexpr Source bar{Source::Kind::bar};
constexpr Source at(int x, int y)
{
    return Source{Source::Kind::board, x, y};
}

TEST(ReplaySteps, BoardAndScoresFollowTurnsFlipsWordsAndBuys)
{
    GameRecord game;
    game.seats = {{1, "Ann"}, {2, "Klot"}};
    game.events = {
        TurnStart{1},                                         // step 1, round 1
        Join{{7, "Wat"}},                                     // no step
        Flip{2, 3, 'C'},                                      // 2
        Flip{4, 5, 'T'},                                      // 3
        Word{1, "CAT", 10, 0, 10, {at(2, 3), bar, at(4, 5)}}, // 4
        TurnStart{2},                                         // 5
        Flip{2, 3, 'Q'},                                      // 6
        Buy{2, 0},                                            // 7
        TimeOut{2},                                           // 8
        TurnStart{1},                                         // 9, round 2
        Pass{1},                                              // 10
        Winner{"Ann"},                                        // 11
        FinalScores{{12, 0, 0, 0, 0, 0}},                     // corrects step 11
    };
    const std::vector<ReplayStep> steps = replaySteps(game);
    ASSERT_EQ(steps.size(), 12u);

    EXPECT_EQ(steps[0].round, 0);
    EXPECT_EQ(steps[0].cell(2, 3).face, Face::down);

    EXPECT_EQ(steps[3].cell(2, 3), (ReplayCell{Face::up, 'C'}));
    EXPECT_EQ(steps[3].cell(4, 5), (ReplayCell{Face::up, 'T'}));
    EXPECT_FALSE(steps[3].word);

    const ReplayStep& word = steps[4];
    EXPECT_EQ(word.cell(2, 3).face, Face::taken);
    EXPECT_EQ(word.cell(4, 5), (ReplayCell{Face::taken, 'T'}));
    EXPECT_EQ(word.scores[0], 10);
    ASSERT_TRUE(word.word);
    EXPECT_EQ(word.word->letters, "CAT");
    EXPECT_EQ(word.event, 4u);

    // The next turn turns the board face down; a flip shows the new letter.
    EXPECT_EQ(steps[5].cell(2, 3).face, Face::down);
    EXPECT_EQ(steps[5].seat, 2);
    EXPECT_EQ(steps[5].round, 1);
    EXPECT_EQ(steps[6].cell(2, 3), (ReplayCell{Face::up, 'Q'}));
    EXPECT_EQ(steps[7].scores, (std::array<int, kSeats>{10, 0, 0, 0, 0, 0}));

    EXPECT_EQ(steps[9].round, 2);
    EXPECT_TRUE(steps[11].finished);
    EXPECT_EQ(steps[11].scores[0], 12) << "the final scores are the last step's";

    const auto rounds = roundScores(steps);
    ASSERT_EQ(rounds.size(), 2u);
    EXPECT_EQ(rounds[0], (std::array<int, kSeats>{10, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rounds[1], (std::array<int, kSeats>{12, 0, 0, 0, 0, 0}));
}

TEST(ReplaySteps, RecordBegunByACatchUpStartsFromItsScoresAndSeat)
{
    GameRecord game;
    game.catchUp = CatchUp{3, {40, 50, 60, 0, 0, 0}};
    game.events = {TurnStart{4}, Word{4, "AB", 8, 0, 8, {bar, bar}}, TurnStart{1}};
    const std::vector<ReplayStep> steps = replaySteps(game);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].seat, 3);
    EXPECT_EQ(steps[0].scores[2], 60);
    EXPECT_EQ(steps[1].round, 1) << "seat 4 follows seat 3 in the same round";
    EXPECT_EQ(steps[3].round, 2);
    EXPECT_EQ(roundScores(steps).front(), (std::array<int, kSeats>{40, 50, 60, 8, 0, 0}));
}

} // namespace
} // namespace lexiflip::record
