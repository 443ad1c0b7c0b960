#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/game/key_moves.h"
#include "support/client_rig.h"

namespace client = lexiflip::client;
namespace rigs = lexiflip::testing;
using client::BoardCursor;
using client::GameKey;
using client::KeyMove;
using client::KeyPress;
using rigs::wireText;
using ::testing::ElementsAre;
using Kind = KeyMove::Kind;

namespace {

// Seat 1 on turn, bar A..G in positions 1..7. After flipFive the face-up
// cells are (4,3) J, (7,8) M, (1,1) J, (2,2) S and (3,3) B, and the word
// buttons show.
class KeyTurn : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.login(1);
        rig.feed({"CMD_newplayerinfo+1+You", "CMD_newplayerinfo+2+Bob", "CMD_startgame+You+200+60+3+0+"});
        rig.game.handle(rigs::fullBoard());
        rig.feed({"CMD_mytiles+1+1+1+2+2+3+3+4+4+5+5+6+6+7+7", "CMD_nextplayer+1+"});
    }
    void flipFive()
    {
        int left = 5;
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{4, 3}, {7, 8}, {1, 1}, {2, 2}, {3, 3}}) {
            press({GameKey::Space}, {x, y});
            --left;
            rig.game.handle("CMD_heflip+1+" + std::to_string(x) + "+" + std::to_string(y) + "+" +
                            (left == 0 ? "t" : "f") + "+" + std::to_string(left) + "+");
        }
        rig.sender.sent.clear();
    }
    KeyMove move(KeyPress key, BoardCursor at = {5, 5}) { return client::keyMove(rig.game.turn(), at, key); }
    void press(KeyPress key, BoardCursor at = {5, 5}) { client::playKeyMove(rig.game.turn(), move(key, at)); }
    static KeyPress letter(char c) { return {GameKey::Letter, c, 0}; }

    rigs::ClientRig rig;
};

TEST_F(KeyTurn, ArrowsHomeAndEndMoveTheCursorAndStopAtTheBoardsEdges)
{
    struct Case {
        BoardCursor from;
        GameKey key;
        BoardCursor to;
    };
    for (const Case& c : std::vector<Case>{{{5, 5}, GameKey::Left, {4, 5}},
                                           {{5, 5}, GameKey::Right, {6, 5}},
                                           {{5, 5}, GameKey::Up, {5, 4}},
                                           {{5, 5}, GameKey::Down, {5, 6}},
                                           {{1, 3}, GameKey::Left, {1, 3}},
                                           {{10, 3}, GameKey::Right, {10, 3}},
                                           {{4, 1}, GameKey::Up, {4, 1}},
                                           {{4, 8}, GameKey::Down, {4, 8}},
                                           {{6, 7}, GameKey::Home, {1, 7}},
                                           {{6, 7}, GameKey::End, {10, 7}}}) {
        EXPECT_EQ(move({c.key}, c.from), (KeyMove{Kind::Cursor, c.to, 0}))
            << c.from.column << "," << c.from.row << " key " << static_cast<int>(c.key);
    }
}

TEST_F(KeyTurn, ATypedLetterTakesAFaceUpBoardTileFirstThenTheLeftmostBarTile)
{
    EXPECT_EQ(move(letter('J')), KeyMove{}) << "nothing face up, no J on the bar";
    flipFive();
    struct Case {
        char typed;
        BoardCursor cursor;
        KeyMove expected;
    };
    for (const Case& c :
         std::vector<Case>{{'j', {4, 3}, {Kind::BoardClick, {4, 3}, 0}}, // the one under the cursor
                           {'J', {5, 5}, {Kind::BoardClick, {1, 1}, 0}}, // else the first in reading order
                           {'B', {5, 5}, {Kind::BoardClick, {3, 3}, 0}}, // the board's B before the bar's
                           {'e', {5, 5}, {Kind::BarClick, {}, 5}},
                           {'Z', {5, 5}, {}},
                           {'?', {5, 5}, {}}}) {
        EXPECT_EQ(move(letter(c.typed), c.cursor), c.expected) << c.typed;
    }

    press(letter('B'));
    EXPECT_EQ(move(letter('B')), (KeyMove{Kind::BarClick, {}, 2})) << "the board's B is taken";
    press(letter('B'));
    EXPECT_EQ(move(letter('B')), KeyMove{}) << "no B left";
    // After a swap the leftmost is the one standing further left, whatever its number.
    rig.game.handle("CMD_mytiles+1+1+1+2+1+3+3+4+4+5+5+6+6+7+7");
    EXPECT_EQ(move(letter('A')), (KeyMove{Kind::BarClick, {}, 1}));
    press({GameKey::BarPlace, 0, 1});
    press({GameKey::BarPlace, 0, 2});
    EXPECT_EQ(rig.game.turn().bar(2).place, 1);
    EXPECT_EQ(move(letter('A')), (KeyMove{Kind::BarClick, {}, 2}));
}

TEST_F(KeyTurn, KeysMakeTheSameMovesOnTheWireAsClicks)
{
    EXPECT_EQ(move({GameKey::Enter}), KeyMove{}) << "DONE is not shown while flipping";
    EXPECT_EQ(move({GameKey::Backspace}), KeyMove{});
    flipFive();
    press(letter('M'));
    press(letter('e'));
    press(letter('J'), {1, 1});
    press({GameKey::Backspace});
    press({GameKey::Escape});
    press(letter('S'));
    press({GameKey::Enter});
    EXPECT_THAT(rig.sender.sent,
                ElementsAre(wireText("CMD_useboardletter+1+7+8+1+"), wireText("CMD_usebarletter+1+5+2+"),
                            wireText("CMD_useboardletter+1+1+1+3+"), wireText("CMD_clickclear+1+3+1,1"),
                            wireText("CMD_clickclear+1+1+7,8+2+0,5"), wireText("CMD_useboardletter+1+2+2+1+"),
                            wireText("CMD_idone+1+2,2")));
}

TEST_F(KeyTurn, PassBuyAndShuffleKeys)
{
    EXPECT_EQ(move({GameKey::Shuffle}), (KeyMove{Kind::Shuffle, {}, 0}));
    EXPECT_EQ(move({GameKey::Pass}), KeyMove{});
    flipFive();
    press({GameKey::Buy});
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_clickbuy+1+")));
    rig.sender.sent.clear();
    rig.feed({"CMD_nextplayer+1+"});
    flipFive();
    press({GameKey::Pass});
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_hepass+1+")));
}

} // namespace
