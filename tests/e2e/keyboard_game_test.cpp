// lexiflip under a real X server, played from the keyboard alone: the menu,
// the options dialog and every move of every turn are key presses sent
// through the X server, and a scripted peer at the table checks on the wire
// that each flip and each word is the one the keys asked for.

#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "e2e/game_records.h"
#include "e2e/table_peer.h"
#include "e2e/x_display.h"

namespace lexiflip::testing {
namespace {

// The key names that take the cursor from one cell to another: Home first
// when the target lies in the row's left half.
QStringList route(Cell& cursor, Cell target)
{
    QStringList keys;
    for (; cursor.y < target.y; ++cursor.y)
        keys << QStringLiteral("Down");
    for (; cursor.y > target.y; --cursor.y)
        keys << QStringLiteral("Up");
    if (target.x < cursor.x && target.x * 2 <= cursor.x) {
        keys << QStringLiteral("Home");
        cursor.x = 1;
    }
    for (; cursor.x < target.x; ++cursor.x)
        keys << QStringLiteral("Right");
    for (; cursor.x > target.x; --cursor.x)
        keys << QStringLiteral("Left");
    return keys;
}

TEST(KeyboardGame, ASoloGameIsPlayedToItsWinnerWithKeyPressesOnly)
{
    XDisplay display;
    ASSERT_TRUE(display.up()) << "Xvfb did not start";
    const quint16 port = freePort();
    Home home;
    QProcess game;
    game.setProcessEnvironment(display.environment(windowEnvironment(port, home.path())));
    game.start(binaryDir() + QStringLiteral("/app/lexiflip"), {});
    ASSERT_TRUE(game.waitForStarted(10000));
    const std::unique_ptr<TestClient> client = joinWhenListening(port, "Ann");
    ASSERT_NE(client, nullptr);
    Peer peer(*client);

    // File, Start Game; in the options the lowest score to play to and Tiles
    // Viewable (so that the peer can plan words with the window's bar); Start.
    ASSERT_TRUE(display.focusWindow(QStringLiteral("Lexiflip")));
    ASSERT_TRUE(display.keys({QStringLiteral("alt+f"), QStringLiteral("Return")}));
    ASSERT_TRUE(display.focusWindow(QStringLiteral("Lexiflip - Game Start")));
    QStringList down;
    for (int i = 0; i < 81; ++i)
        down << QStringLiteral("Down");
    ASSERT_TRUE(display.keys(down + QStringList{QStringLiteral("Tab"), QStringLiteral("Tab"),
                                                QStringLiteral("space"), QStringLiteral("Return")}));
    // The host tells the table the score; Tiles Viewable shows in the
    // window's bar reaching the peer at each of its turns.
    ASSERT_TRUE(peer.waitFor("CMD_startgame+You+100+60+", 0)) << "the options dialog by keyboard";

    // The first turn may start before the game window has the keyboard back
    // (no window manager gives it back as the dialog closes): the window then
    // calls its player in its title.
    ASSERT_TRUE(display.focusWindow(QStringLiteral("(Your turn - )?Lexiflip")));
    Cell cursor{1, 1};
    bool gameAreaFocused = false;
    int words = 0;
    std::size_t turnStart = 0;
    while (!client->find("CMD_winner+", 0)) {
        // The next turn of seat 1, or the winner.
        const auto found = [&] {
            peer.step();
            return client->find("CMD_nextplayer+1+", turnStart).has_value() || client->find("CMD_winner+", 0);
        };
        ASSERT_TRUE(waitUntil(found, 60000)) << "no turn for the window";
        if (client->find("CMD_winner+", 0))
            break;
        turnStart = *client->find("CMD_nextplayer+1+", turnStart) + 1;

        // F6 gives the keyboard to the game area. The window may take a
        // moment to count as active after the dialog, and until then F6 is
        // not its shortcut: so F6 and Space until the cursor's cell flips.
        std::vector<Cell> flipped;
        for (int attempt = 0; !gameAreaFocused && attempt < 5; ++attempt) {
            ASSERT_TRUE(display.keys({QStringLiteral("F6"), QStringLiteral("space")}));
            gameAreaFocused = peer.waitFor("CMD_heflip+1+1+1+", turnStart, 2000);
            if (gameAreaFocused)
                flipped.push_back(cursor);
        }
        ASSERT_TRUE(gameAreaFocused) << "F6 never gave the board the keyboard";

        ASSERT_TRUE(peer.waitFor("CMD_theirtiles+1+", turnStart));
        const KeyTurn plan = planTurn(peer.board, flipped, peer.windowBar);
        ASSERT_FALSE(plan.word.empty());
        QStringList keys;
        for (std::size_t i = flipped.size(); i < plan.flips.size(); ++i)
            keys << route(cursor, plan.flips[i]) << QStringLiteral("space");
        ASSERT_TRUE(display.keys(keys));
        ASSERT_TRUE(waitUntil(
            [&] {
                peer.step();
                return peer.flipsSince(turnStart).size() == 5;
            },
            10000));
        std::set<std::pair<int, int>> asked;
        for (const Cell& cell : plan.flips)
            asked.insert({cell.x, cell.y});
        EXPECT_EQ(peer.flipsSince(turnStart), asked) << "the flips the cursor asked for";

        // The word by its letters; on the first turn a wrong letter given
        // back with Backspace first.
        keys.clear();
        if (words == 0)
            keys << QStringLiteral("x") << QStringLiteral("BackSpace");
        for (const char letter : plan.word)
            keys << QString(QChar(letter));
        keys << QStringLiteral("Return");
        ASSERT_TRUE(display.keys(keys));
        ASSERT_TRUE(peer.waitFor("CMD_hisword+1+", turnStart)) << plan.word;
        const auto at = client->find("CMD_hisword+1+", turnStart);
        const auto said = wire::readHisword(wire::splitEntry(client->messages()[*at])->payload);
        ASSERT_TRUE(said);
        EXPECT_EQ(lower(said->word), plan.word);
        ++words;
        ASSERT_LT(words, 30) << "the game does not end";
    }
    EXPECT_GE(words, 1);
    EXPECT_TRUE(client->find("CMD_winner+", 0));

    // The window kept the game's record as it went: read back, it replays to
    // the host's scores and the last turn's board, and names the winner.
    std::optional<record::GameRecord> kept;
    ASSERT_TRUE(waitUntil([&] { return (kept = finishedRecord(home.path())).has_value(); }, 10000));
    expectReplaysTo(*kept, client->messages());
    const auto won = wire::splitEntry(client->messages()[*client->find("CMD_winner+", 0)]);
    EXPECT_EQ(kept->winner(), std::string(wire::readWinner(won->payload)));

    // The summary of that game opens by keys, in a window of its own.
    ASSERT_TRUE(display.keys({QStringLiteral("ctrl+g")}));
    EXPECT_TRUE(waitUntil([&] { return !display.window(QStringLiteral("Game Summary")).isEmpty(); }, 10000));
    game.terminate();
    game.waitForFinished(10000);
}

} // namespace
} // namespace lexiflip::testing
