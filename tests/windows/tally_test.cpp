// The tally in plain C++: games counted against followed opponents, the own
// totals and best word, following and unfollowing, reset, and the text form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/tally/tally.h"
#include "windows/tally/tally_file.h"

namespace lexiflip::windows {
namespace {

using Cells = std::vector<std::string>;

Cells cellsOf(const TallyRow& row)
{
    return Cells(row.begin(), row.end());
}

// We sit in seat 1; the other seats as given.
PlayerList game(std::vector<std::string> others)
{
    PlayerList players{1, {"You"}};
    for (std::string& name : others)
        players.names.push_back(std::move(name));
    while (players.names.size() < 6)
        players.names.push_back("<Waiting>");
    return players;
}

// Follows a name the way the window does: tick it in "Players In Current Game".
void follow(Tally& tally, const PlayerList& players, const std::string& name)
{
    tally.loadchecklist(players);
    for (std::size_t i = 0; i < tally.checklist().size(); ++i)
        if (tally.checklist()[i].name == name)
            tally.setChecklistTick(static_cast<int>(i), true);
}

struct GameCase {
    const char* what;
    std::vector<std::string> others;
    std::vector<std::string> followed;
    std::string winner;
    Cells own;
    std::vector<Cells> opponents;
};

class TallyGames : public ::testing::TestWithParam<GameCase> {};

TEST_P(TallyGames, countsOneFinishedGame)
{
    const GameCase& c = GetParam();
    Tally tally;
    const PlayerList players = game(c.others);
    for (const std::string& name : c.followed)
        follow(tally, players, name);
    tally.addgame(c.winner, players);

    EXPECT_EQ(cellsOf(tally.row(0)), c.own);
    ASSERT_EQ(tally.rowCount(), static_cast<int>(c.opponents.size()) + 1);
    for (std::size_t i = 0; i < c.opponents.size(); ++i)
        EXPECT_EQ(cellsOf(tally.row(static_cast<int>(i) + 1)), c.opponents[i]) << "row " << i + 1;
    EXPECT_EQ(tally.texts().mylabel[0], "1");
    EXPECT_EQ(tally.texts().mylabel[1], c.own[2]);
}

INSTANTIATE_TEST_SUITE_P(, TallyGames,
                         ::testing::Values(GameCase{"first game won against two unfollowed computers",
                                                    {"Klot", "Bot"},
                                                    {},
                                                    "addtomine",
                                                    {"0", "1", "1", "0", "0", "0", "0", "0", "0"},
                                                    {}},
                                           GameCase{"lost to Klot, followed",
                                                    {"Klot"},
                                                    {"Klot"},
                                                    "Klot",
                                                    {"0", "1", "0", "0", "0", "0", "0", "0", "0"},
                                                    {{"Klot", "1", "1", "0", "0", "1", "1", "0", "0"}}},
                                           GameCase{"lost to a third player while following Klot",
                                                    {"Klot", "Ann"},
                                                    {"Klot"},
                                                    "Ann",
                                                    {"0", "1", "0", "0", "0", "0", "0", "0", "0"},
                                                    {{"Klot", "1", "0", "0", "1", "1", "0", "0", "1"}}},
                                           GameCase{"won against two followed players",
                                                    {"Klot", "Ann"},
                                                    {"Ann", "Klot"},
                                                    "addtomine",
                                                    {"0", "1", "1", "0", "0", "0", "0", "0", "0"},
                                                    {{"Ann", "1", "0", "1", "0", "1", "0", "1", "0"},
                                                     {"Klot", "1", "0", "1", "0", "1", "0", "1", "0"}}}),
                         [](const ::testing::TestParamInfo<GameCase>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(Tally, aFollowedOpponentCountsOnlyWhileInTheGameAndATickCountsOnlyOnce)
{
    Tally tally;
    follow(tally, game({"Klot"}), "Klot");
    follow(tally, game({"Klot"}), "Klot"); // ticking again adds no second row
    ASSERT_EQ(tally.rowCount(), 2);
    tally.addgame("Bob", game({"Bob"})); // Klot was not in this game
    EXPECT_EQ(cellsOf(tally.row(1)), (Cells{"Klot", "0", "0", "0", "0", "0", "0", "0", "0"}));
    tally.addgame("Klot", game({"Klot"}));
    EXPECT_EQ(tally.cell(2, 1), "1");
    EXPECT_TRUE(tally.checklist()[0].ticked); // the game's list ticks what is followed
}

TEST(Tally, theChecklistHoldsTheSeatedOthersOnly)
{
    Tally tally;
    follow(tally, game({"Klot"}), "Klot");
    PlayerList players{3, {"Ann", "<Waiting>", "You", "Klot", "<Waiting>", "Cy"}};
    tally.loadchecklist(players);
    ASSERT_EQ(tally.checklist().size(), 3u);
    EXPECT_EQ(tally.checklist()[0].name, "Ann");
    EXPECT_EQ(tally.checklist()[1].name, "Klot");
    EXPECT_TRUE(tally.checklist()[1].ticked);
    EXPECT_FALSE(tally.checklist()[2].ticked);
}

TEST(Tally, ownWordsAndBestWord)
{
    Tally tally;
    tally.addtomineincrease(3);
    tally.addtomineincrease(3);
    tally.addtomineincrease(7); // no such own counter: nothing happens
    EXPECT_EQ(tally.cell(3, 0), "2");
    EXPECT_EQ(tally.texts().mylabel[2], "2");

    tally.addtomineset(4, 12, "quiz");
    tally.addtomineset(4, 12, "jazz"); // not higher
    tally.addtomineset(4, 9, "cab");
    EXPECT_EQ(tally.cell(4, 0), "quiz");
    EXPECT_EQ(tally.cell(5, 0), "12");
    EXPECT_EQ(tally.texts().mylabel[3], "quiz (12)");

    // A best score that is not a number stops the best word from changing.
    std::vector<TallyRow> rows = tally.rows();
    rows[0][5] = "";
    tally.setRows(rows);
    tally.addtomineset(4, 50, "zap");
    EXPECT_EQ(tally.cell(4, 0), "quiz");
    // A counter that is not a number counts from nothing again.
    rows[0][3] = "x";
    tally.setRows(rows);
    tally.addtomineincrease(3);
    EXPECT_EQ(tally.cell(3, 0), "1");
}

TEST(Tally, unfollowingMovesTheRowsBelowUpAndKeepsTheSelectionOnItsName)
{
    Tally tally;
    for (const char* name : {"Ann", "Bob", "Cy"})
        follow(tally, game({"Ann", "Bob", "Cy"}), name);
    tally.addgame("Cy", game({"Ann", "Bob", "Cy"}));
    tally.select(2);
    tally.unfollow(0);
    EXPECT_EQ(tally.tallied(), (std::vector<std::string>{"Bob", "Cy"}));
    EXPECT_EQ(tally.selected(), 1);
    EXPECT_EQ(tally.texts().hisnametop, "Cy's Tally");
    EXPECT_EQ(tally.cell(2, 2), "1");          // Cy's win moved up with its row
    EXPECT_FALSE(tally.checklist()[0].ticked); // Ann is no longer followed

    tally.unfollow(1); // the selected one
    EXPECT_EQ(tally.selected(), -1);
    EXPECT_EQ(tally.texts().label[1], "0");
    tally.moverow(0); // the own row never moves
    tally.moverow(5);
    EXPECT_EQ(tally.rowCount(), 2);
    EXPECT_EQ(unfollowQuestion("Klot"), "This will delete Klot's Tally, Are you want to delete it?");
}

TEST(Tally, resetWithAndWithoutOpponentRows)
{
    Tally alone;
    alone.addgame("addtomine", game({}));
    alone.addtomineset(4, 30, "jinx");
    alone.reset();
    EXPECT_EQ(cellsOf(alone.row(0)), (Cells{"0", "0", "0", "0", "-", "0", "0", "0", "0"}));
    EXPECT_EQ(alone.texts().mylabel, (std::array<std::string, 4>{"0", "0", "0", "-"}));

    // With opponents every cell, the best word's included, becomes "0".
    Tally followed;
    follow(followed, game({"Klot"}), "Klot");
    followed.addgame("Klot", game({"Klot"}));
    followed.select(0);
    followed.reset();
    EXPECT_EQ(followed.rowCount(), 1);
    EXPECT_EQ(cellsOf(followed.row(0)), (Cells(9, "0")));
    EXPECT_EQ(followed.texts().mylabel[3], "-");
    EXPECT_EQ(followed.texts().label, (std::array<std::string, 8>{"0", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(followed.selected(), -1);
}

TEST(TallyText, theEmptyTallyAndTheColumnOrder)
{
    EXPECT_EQ(tallyText(Tally().rows()), "9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");

    TallyRow own, klot;
    own.fill("0");
    klot = {"Klot", "1", "2", "3", "4", "5", "6", "7", "8"};
    // Column by column: both rows of column 0, then both of column 1, ...
    EXPECT_TRUE(tallyText({own, klot}).starts_with("9\r\n2\r\n0\r\nKlot\r\n0\r\n1\r\n0\r\n2\r\n"));
    // A name cannot break the lines.
    klot[0] = "Kl\r\not";
    const TallyTextRead read = readTallyText(tallyText({own, klot}));
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[1][0], "Kl  ot");
    EXPECT_EQ(read.rows[1][8], "8");
    // Nor can a stray CR in a hand-edited file: it reads as the space it would
    // be saved as, so a read tally saves as it was read.
    const TallyTextRead stray = readTallyText("9\r\n1\r\n0\r\n3\r\r\n1\r2\r\n0\r\n-\r\n0\r\n0\r\n0\r\n0\r\n");
    ASSERT_EQ(stray.error, "");
    EXPECT_EQ(stray.rows[0][1], "3 ");
    EXPECT_EQ(stray.rows[0][2], "1 2");
    EXPECT_EQ(readTallyText(tallyText(stray.rows)).rows, stray.rows);
}

TEST(TallyText, unreadableTextsKeepWhatWasRead)
{
    struct Case {
        std::string text;
        std::string error;
        std::vector<std::string> names; // of the rows kept
    };
    const std::vector<Case> cases = {
        {"", "The tally text has no column and row counts", {}},
        {"8\r\n1\r\n", "The tally text's column count \"8\" is not 9", {}},
        {"9\r\nmany\r\n", "The tally text's row count \"many\" is not a number from 1 to 100000", {}},
        {"9\r\n0\r\n", "The tally text's row count \"0\" is not a number from 1 to 100000", {}},
        {"9\r\n3\r\n0\r\nAnn\r\n", "The tally text ends after 2 of its 27 cells", {"0", "Ann"}},
        {"9\r\n99999\r\n0\r\nAnn\r\nBob\r\n",
         "The tally text ends after 3 of its 899991 cells",
         {"0", "Ann", "Bob"}},
        {"9\n2\n0\nAnn\n1\n2\n", "The tally text ends after 4 of its 18 cells", {"0", "Ann"}},
    };
    for (const Case& c : cases) {
        const TallyTextRead read = readTallyText(c.text);
        EXPECT_EQ(read.error, c.error) << c.text;
        std::vector<std::string> names;
        for (const TallyRow& row : read.rows)
            names.push_back(row[0]);
        EXPECT_EQ(names, c.names) << c.text;
    }
    // Cells not reached stay "0"; those read keep their place.
    const TallyTextRead partial = readTallyText("9\n2\n0\nAnn\n1\n2\n");
    EXPECT_EQ(cellsOf(partial.rows[1]), (Cells{"Ann", "2", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(partial.rows[0][1], "1");
}

} // namespace
} // namespace lexiflip::windows
