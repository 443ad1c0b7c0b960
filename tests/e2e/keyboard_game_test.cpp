// lexiflip under a real X server, played from the keyboard alone: the menu,
// the options dialog and every move of every turn are key presses sent
// through the X server, and a scripted peer at the table checks on the wire
// that each flip and each word is the one the keys asked for. The game's
// summary, opened by keys at the end, is read as a screen reader reads it
// (pyatspi over a private accessibility bus) and checked against the wire and
// against a search of the test's own.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "assets/embedded.h"
#include "e2e/e2e_support.h"
#include "e2e/game_records.h"
#include "e2e/private_bus.h"
#include "e2e/table_peer.h"
#include "e2e/x_display.h"
#include "words/word_score.h"

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

// What the window's player saw and did on one of his turns, as the table saw
// it on the wire.
struct SeenTurn {
    std::string bar;     // A..Z: his bar, as Tiles Viewable showed it
    std::string flipped; // A..Z: the five tiles he turned
    std::string played;  // upper case
    int points = 0;
};

using LetterCounts = std::array<int, 27>; // by letter code 1..26

LetterCounts countsOf(std::string_view letters)
{
    LetterCounts counts{};
    for (const char letter : letters)
        ++counts[static_cast<std::size_t>(letter - 'A' + 1)];
    return counts;
}

// The most a word of these letters scores when each of its letters may come
// from the turned tiles or from the bar, every way tried; -1 when the tiles
// do not hold it.
int mostPoints(const LetterCounts& word, const LetterCounts& bar, const LetterCounts& board, int letter = 1,
               int barcount = 0, int boardcount = 0)
{
    while (letter <= 26 && word[static_cast<std::size_t>(letter)] == 0)
        ++letter;
    if (letter > 26)
        return words::wordBonus(barcount, boardcount);
    const auto at = static_cast<std::size_t>(letter);
    int most = -1;
    for (int fromBoard = 0; fromBoard <= word[at]; ++fromBoard) {
        const int fromBar = word[at] - fromBoard;
        if (fromBoard > board[at] || fromBar > bar[at])
            continue;
        const int rest = mostPoints(word, bar, board, letter + 1, barcount + fromBar, boardcount + fromBoard);
        if (rest >= 0)
            most = std::max(most, fromBoard * words::tilePoints(letter, true) +
                                      fromBar * words::tilePoints(letter, false) + rest);
    }
    return most;
}

// The best-scoring words of a bar and the turned tiles, found apart from the
// game's own word index and search: every record of the dictionary the game
// ships that fits the word row, tried letter by letter.
struct BestWords {
    int score = 0;
    std::set<std::string> words; // upper case: every word that scores it
};

BestWords bestWordsFrom(std::string_view bar, std::string_view flipped)
{
    const LetterCounts barCounts = countsOf(bar);
    const LetterCounts boardCounts = countsOf(flipped);
    BestWords best;
    const std::string_view records = assets::dictionaryRecords();
    for (std::size_t at = 0; at + 15 <= records.size(); at += 15) {
        std::string_view word = records.substr(at + 1, 14);
        word = word.substr(0, word.find(' '));
        if (word.empty() || word.size() > static_cast<std::size_t>(wire::kWordLetters) ||
            !std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
            continue;
        const int score = mostPoints(countsOf(word), barCounts, boardCounts);
        if (score <= 0 || score < best.score)
            continue;
        if (score > best.score)
            best = {score, {}};
        best.words.insert(std::string(word));
    }
    return best;
}

// Every seat's score at the start and after each round, as the host said it
// on the wire: a round ends when the turn goes back to a seat numbered no
// higher than the last, and the last one with the winner.
struct WireChart {
    std::vector<int> seats;                     // the seats that had turns, ascending
    std::vector<std::array<int, 7>> afterRound; // [0] the start; by seat
    std::map<int, std::string> names;           // the names the host told
};

WireChart chartOnTheWire(const std::vector<std::string>& messages)
{
    WireChart chart;
    std::set<int> seats;
    std::array<int, 7> scores{};
    int previous = 0;
    for (const std::string& message : messages) {
        const auto entry = wire::splitEntry(message);
        if (!entry)
            continue;
        if (entry->command == "CMD_newplayerinfo" || entry->command == "CMD_existingplayers") {
            if (const auto info = wire::readPlayerinfo(entry->payload))
                chart.names[info->slot] = std::string(info->name);
        } else if (entry->command == "CMD_startgame") {
            scores = {};
            chart.afterRound = {scores};
            previous = 0;
        } else if (entry->command == "CMD_nextplayer") {
            const int seat = wire::readNextplayer(entry->payload).value_or(0);
            if (previous != 0 && seat <= previous)
                chart.afterRound.push_back(scores);
            previous = seat;
            seats.insert(seat);
        } else if (entry->command == "CMD_hisword") {
            if (const auto word = wire::readHisword(entry->payload))
                scores[static_cast<std::size_t>(word->seat)] = word->totalScore;
        } else if (entry->command == "CMD_buytiles") {
            if (const auto buy = wire::readBuytiles(entry->payload))
                scores[static_cast<std::size_t>(buy->seat)] = buy->newScore;
        } else if (entry->command == "CMD_winner") {
            chart.afterRound.push_back(scores);
        }
    }
    chart.seats.assign(seats.begin(), seats.end());
    return chart;
}

// The summary as the screen reader's side read it off the bus, or an empty
// object when it could not.
QJsonObject readSummary(const QProcessEnvironment& environment)
{
    QProcess reader;
    reader.setProcessEnvironment(environment);
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(SCREEN_READER_SUMMARY_SCRIPT),
                                                      QStringLiteral("Lexiflip"), QStringLiteral("--turns")});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "screen reader: " << reader.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

// The letters in alphabetical order, to compare letters told in another order.
std::string sorted(QStringView letters)
{
    std::string out = letters.trimmed().toLatin1().toStdString();
    std::sort(out.begin(), out.end());
    return out;
}

// The chart's table: a column a seat that played, headed by its name where
// the host told it; a row for the start and one a round; the host's scores.
void expectChart(const QJsonObject& table, const WireChart& chart)
{
    const QJsonArray columns = table["columns"].toArray();
    const QJsonArray cells = table["cells"].toArray();
    ASSERT_EQ(columns.size(), static_cast<int>(chart.seats.size()));
    ASSERT_EQ(cells.size(), static_cast<int>(chart.afterRound.size()));
    ASSERT_GE(cells.size(), 2);
    for (int column = 0; column < columns.size(); ++column) {
        const int seat = chart.seats[static_cast<std::size_t>(column)];
        if (const auto name = chart.names.find(seat); name != chart.names.end()) {
            EXPECT_EQ(columns[column].toString().toStdString(), name->second);
        }
        for (int row = 0; row < cells.size(); ++row)
            EXPECT_EQ(cells[row].toArray()[column].toString().toStdString(),
                      std::to_string(
                          chart.afterRound[static_cast<std::size_t>(row)][static_cast<std::size_t>(seat)]))
                << "seat " << seat << ", row " << row;
    }
}

// The turns' table, a row a turn of the player's: his letters, his word and
// its points, and a best word that scores what the test's own search finds;
// then the points he left on the table in all.
void expectTurns(const QJsonObject& read, const std::vector<SeenTurn>& turns)
{
    const QJsonArray columns = read["turns"].toObject()["columns"].toArray();
    ASSERT_EQ(columns.size(), 6);
    EXPECT_EQ(columns[2].toString(), QStringLiteral("You played"));
    EXPECT_EQ(columns[4].toString(), QStringLiteral("Best word"));
    // Each points column is told apart by its header alone, as a screen
    // reader says it before every cell.
    EXPECT_EQ(columns[3].toString(), QStringLiteral("Your points"));
    EXPECT_EQ(columns[5].toString(), QStringLiteral("Best points"));
    const QJsonArray rows = read["turns"].toObject()["cells"].toArray();
    ASSERT_EQ(rows.size(), static_cast<int>(turns.size()));
    int left = 0;
    for (int row = 0; row < rows.size(); ++row) {
        const SeenTurn& turn = turns[static_cast<std::size_t>(row)];
        const QJsonArray cells = rows[row].toArray();
        ASSERT_EQ(cells.size(), 6);
        SCOPED_TRACE("turn " + std::to_string(row + 1) + ": " + turn.bar + " + " + turn.flipped);
        EXPECT_EQ(cells[0].toString().toStdString(), std::to_string(row + 1));
        const QStringList letters = cells[1].toString().split(QStringLiteral(" + "));
        ASSERT_EQ(letters.size(), 2) << cells[1].toString().toStdString();
        EXPECT_EQ(sorted(letters[0]), sorted(QString::fromStdString(turn.bar)));
        EXPECT_EQ(sorted(letters[1]), sorted(QString::fromStdString(turn.flipped)));
        EXPECT_EQ(cells[2].toString().toStdString(), turn.played);
        EXPECT_EQ(cells[3].toString().toStdString(), std::to_string(turn.points));

        const BestWords best = bestWordsFrom(turn.bar, turn.flipped);
        ASSERT_FALSE(best.words.empty()) << "he played " << turn.played;
        const std::string shown = cells[4].toString().toStdString();
        EXPECT_TRUE(best.words.count(shown))
            << shown << " for " << cells[5].toString().toStdString() << "; the best is "
            << *best.words.begin() << " for " << best.score;
        EXPECT_EQ(cells[5].toString().toStdString(), std::to_string(best.score));
        left += std::max(0, best.score - turn.points);
    }
    EXPECT_EQ(read["pointsLeft"].toString().toStdString(),
              left == 0 ? std::string("You made the best word of every turn.")
                        : "Points you left on the table: " + std::to_string(left) + ".");
}

TEST(KeyboardGame, ASoloGameIsPlayedToItsWinnerWithKeyPressesOnly)
{
    XDisplay display;
    ASSERT_TRUE(display.up()) << "Xvfb did not start";
    const quint16 port = freePort();
    Home home;
    // A session bus of the test's own, and on it the accessibility bus the
    // summary is read from at the end.
    QProcessEnvironment environment = display.environment(
        windowEnvironment(port, home.path(), {{QStringLiteral("XDG_RUNTIME_DIR"), home.path()}}));
    PrivateBus bus(environment);
    ASSERT_TRUE(bus.up()) << "dbus-launch gave no session bus";
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    QProcessEnvironment windowEnv = environment;
    windowEnv.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    QProcess game;
    game.setProcessEnvironment(windowEnv);
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
    std::vector<SeenTurn> seenTurns;
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
        SeenTurn seen;
        for (std::size_t position = 1; position <= 7; ++position)
            if (peer.windowBar[position] != 0)
                seen.bar += static_cast<char>('A' + peer.windowBar[position] - 1);
        for (const auto& [x, y] : peer.flipsSince(turnStart))
            seen.flipped += static_cast<char>(
                'A' + peer.board[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)] - 1);

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
        for (const char letter : said->word)
            seen.played += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
        seen.points = said->wordScore;
        seenTurns.push_back(seen);
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

    // The summary of that game opens by keys, in a window of its own: its
    // chart holds the host's scores round by round, and each of the player's
    // turns the best word his letters made.
    ASSERT_TRUE(display.keys({QStringLiteral("ctrl+g")}));
    ASSERT_TRUE(waitUntil([&] { return !display.window(QStringLiteral("Game Summary")).isEmpty(); }, 10000));
    const QJsonObject summary = readSummary(environment);
    expectChart(summary, chartOnTheWire(client->messages()));
    expectTurns(summary, seenTurns);
    game.terminate();
    game.waitForFinished(10000);
}

} // namespace
} // namespace lexiflip::testing
