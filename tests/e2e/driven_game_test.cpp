// lexiflip-driven: the game window played through its named controls, as a
// person plays it, against scripted clients and against another window.

#include <QFile>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "core/letters.h"
#include "e2e/driven_play.h"
#include "e2e/driven_window.h"
#include "e2e/e2e_support.h"
#include "e2e/game_records.h"
#include "e2e/word_play.h"
#include "engine/computer_words.h"
#include "net/test_client.h"
#include "wire/dispatch_table.h"
#include "wire/field_reader.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

// The driver itself: it refuses what a player could not do, and its clicks
// reach the game as a player's would.
TEST(DrivenWindow, RefusesMalformedCommandsAndPlaysASoloTurnThroughTheControls)
{
    Home home;
    DrivenWindow window({}, freePort(), home.path());
    ASSERT_TRUE(window.waitFor(loggedInHost)) << window.errors();

    for (const char* bad :
         {"", "bogus", "state now", "board 0 1", "board 11 1", "board 1", "board 1 1 middle", "bar 8",
          "bar x", "word 0", "click", "click nosuch", "menu nosuch", "options score 100", "closebox", "chat"})
        EXPECT_EQ(window.send(bad).rfind("err ", 0), 0u) << bad;
    ASSERT_TRUE(window.running()) << "a bad command must not end the program";

    ASSERT_TRUE(window.command("click button_start"));
    ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("options"); }));
    // The arrows step by 5 within 100..500: 103 and 95 cannot be shown.
    EXPECT_TRUE(window.command("options score 100"));
    EXPECT_FALSE(window.command("options score 103"));
    EXPECT_FALSE(window.command("options score 95"));
    EXPECT_TRUE(window.command("options time 45"));
    EXPECT_TRUE(window.command("options mode 1"));
    EXPECT_TRUE(window.command("options viewable 1"));
    ASSERT_TRUE(window.command("options start"));
    ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return !s.flag("options") && s.flag("running"); }));
    EXPECT_TRUE(window.waitFor([](const DrivenState& s) { return s.number("turn") == 1; }, 20000));
    EXPECT_EQ(window.last().list("names").at(1), "Klot") << "seat 2 shows the computer player";

    // Five flips, then a sixth that the window ignores.
    for (int x = 1; x <= 6; ++x)
        ASSERT_TRUE(window.command("board " + std::to_string(x) + " 2"));
    ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("canbuild"); }));
    const DrivenState built = window.last();
    EXPECT_EQ(built.number("flips"), 5);
    EXPECT_EQ(built.list("board").size(), 5u);
    EXPECT_TRUE(built.flag("buttons"));

    // A bar tile and a face-up board tile go into the word; the bar shows the
    // gap.
    const std::string bar = built.text("bar");
    ASSERT_TRUE(window.command("bar 1"));
    ASSERT_TRUE(window.command("board 1 2"));
    const DrivenState word = window.state();
    EXPECT_EQ(word.number("wordlen"), 2);
    EXPECT_EQ(word.text("bar")[0], '.');
    EXPECT_EQ(word.text("word")[0], bar[0]);
    EXPECT_EQ(word.text("word")[1], built.list("board").front().back());

    ASSERT_TRUE(window.command("click button_pass"));
    EXPECT_TRUE(window.waitFor([](const DrivenState& s) { return s.number("turn") == 2; }));
    EXPECT_FALSE(window.command("click button_done")) << "the word buttons hide after a pass";

    EXPECT_EQ(window.quit(), 0) << window.errors();
    EXPECT_TRUE(QFile::exists(home.file(QStringLiteral("Lexifliptally.tld"))));
}

// The host's window, driven, against three scripted players and a watcher:
// a game started from the options dialog and played to the winner banner, and
// the host copy's tally on disk afterwards.
TEST(DrivenWindow, HostsAGameForThreeScriptedPlayersAndAWatcherAndTalliesIt)
{
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    Home home;
    // A tally from earlier runs that follows Bea.
    ASSERT_TRUE(compressTally(home.path(), {{"0", "3", "1", "7", "ox", "1", "0", "0", "0"},
                                            {"Bea", "2", "1", "1", "0", "0", "0", "0", "0"}}));
    const quint16 port = freePort();
    DrivenWindow host({QStringLiteral("Ann"), QStringLiteral("10.9.8.7"), QStringLiteral("true")}, port,
                      home.path(),
                      {{QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(lobby.serverPort())}});
    std::vector<std::unique_ptr<TestClient>> players;
    for (const char* name : {"Bea", "Cal", "Dee"}) {
        players.push_back(joinWhenListening(port, name));
        ASSERT_NE(players.back(), nullptr) << name << host.errors();
    }
    const std::unique_ptr<TestClient> watcher = joinWhenListening(port, "Eve");
    ASSERT_NE(watcher, nullptr);
    ASSERT_EQ(watcher->slot(), 5);
    ASSERT_TRUE(host.waitFor([](const DrivenState& s) {
        return loggedInHost(s) && s.list("names").size() == 6 && s.list("names")[4] == "Eve";
    })) << host.errors();

    // The options: play to 100, Blind, four players at most, so that Eve in
    // seat 5 sits the game out.
    ASSERT_TRUE(host.command("click button_start"));
    ASSERT_TRUE(host.waitFor([](const DrivenState& s) { return s.flag("options"); }));
    for (const char* choice : {"options score 100", "options time 45", "options mode 1", "options four 1",
                               "options viewable 0", "options start"})
        ASSERT_TRUE(host.command(choice)) << choice;
    ASSERT_TRUE(watcher->waitFor("CMD_startgame+Ann+100+45+1+1+"));
    watcher->send(msg::justwatch(5, "1"));
    ASSERT_TRUE(watcher->waitFor("CMD_justwatching+5+1"));

    std::vector<PlanningSeat> seats;
    for (auto& player : players)
        seats.emplace_back(*player);
    TableView seen(watcher->slot());
    const int drivenTurns = playToWinner(*watcher, seen, seats, {{1, &host}});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_TRUE(watcher->has("CMD_winner+")) << "turns of Ann " << drivenTurns << host.errors();
    EXPECT_EQ(watcher->count("CMD_nextplayer+5+"), 0) << "seat 5 is out of a four-player game";

    // The banner and the seat rows agree with the wire.
    const std::string winner = winnerOf(*watcher);
    ASSERT_TRUE(host.waitFor([](const DrivenState& s) { return !s.text("winner").empty(); }));
    const DrivenState end = host.last();
    EXPECT_EQ(end.text("winner"), bannerFor(winner, "Ann"));
    EXPECT_FALSE(end.flag("running"));
    EXPECT_TRUE(end.flag("start")) << "the host may start the next game";
    const std::vector<std::string> names = {"Ann", "Bea", "Cal", "Dee"};
    int best = -1;
    for (int slot = 1; slot <= 4; ++slot) {
        const int total = seen.totals.count(slot) ? seen.totals.at(slot) : 0;
        EXPECT_EQ(end.score(slot), total) << "seat " << slot;
        best = std::max(best, total);
    }
    EXPECT_GE(best, 100);
    const auto winnerSlot = std::find(names.begin(), names.end(), winner) - names.begin() + 1;
    ASSERT_LE(winnerSlot, 4) << winner;
    EXPECT_EQ(seen.totals[static_cast<int>(winnerSlot)], best);

    // Typed chat reaches the other players.
    ASSERT_TRUE(host.command("chat good game"));
    EXPECT_TRUE(waitUntil([&] {
        for (const std::string& message : players[0]->messages()) {
            if (message.rfind("CMD_chat+Ann chats: good game", 0) == 0)
                return true;
        }
        return false;
    }));

    // Ann's words as the host announced them: how many, and the best one.
    int annWords = 0;
    std::string bestWord = "ox";
    int bestScore = 1;
    for (const std::string& message : watcher->messages()) {
        if (message.rfind("CMD_hisword+1+", 0) != 0)
            continue;
        wire::FieldReader fields(wire::splitEntry(message)->payload);
        fields.next();
        const std::string word(fields.take());
        fields.next();
        const int score = fields.takeInt().value_or(0);
        ++annWords;
        if (score > bestScore) {
            bestScore = score;
            bestWord = word;
        }
    }
    EXPECT_GE(annWords, 1);

    EXPECT_EQ(host.quit(), 0) << host.errors();
    const QByteArray tally = decompressedTally(home.path());
    ASSERT_FALSE(tally.isEmpty()) << "the tally file is missing or does not decompress";
    const int annWon = winner == "Ann" ? 1 : 0;
    const int beaWon = winner == "Bea" ? 1 : 0;
    const int neither = 1 - annWon - beaWon;
    const auto n = [](int value) { return std::to_string(value); };
    EXPECT_EQ(tally,
              tallyText({{"0", n(4), n(1 + annWon), n(7 + annWords), bestWord, n(bestScore), "0", "0", "0"},
                         {"Bea", n(3), n(1 + beaWon), n(1 + annWon), n(neither), "1", n(beaWon), n(annWon),
                          n(neither)}}));
}

// Two windows, one hosting and one joining, against each other and Klot in
// seat 2: seat 2 is held while the second window joins, so that it sits in
// seat 3, and then left to the computer.
TEST(DrivenWindow, AHostingAndAJoiningWindowPlayEachOtherAndKlotToTheWinner)
{
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    const QList<QPair<QString, QString>> lobbyPort = {
        {QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(lobby.serverPort())}};
    const quint16 port = freePort();
    Home hostHome;
    Home joinHome;
    DrivenWindow host({QStringLiteral("Ann"), QStringLiteral("10.9.8.7"), QStringLiteral("true")}, port,
                      hostHome.path(), lobbyPort);
    std::unique_ptr<TestClient> seat2 = joinWhenListening(port, "Tim");
    ASSERT_NE(seat2, nullptr) << host.errors();
    ASSERT_EQ(seat2->slot(), 2);
    DrivenWindow joiner({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, port,
                        joinHome.path(), lobbyPort);
    ASSERT_TRUE(joiner.waitFor([](const DrivenState& s) {
        return s.flag("loggedin") && s.number("slot") == 3;
    })) << joiner.errors();
    std::unique_ptr<TestClient> seat4 = joinWhenListening(port, "Tom");
    ASSERT_NE(seat4, nullptr);
    const std::unique_ptr<TestClient> watcher = joinWhenListening(port, "Eve");
    ASSERT_NE(watcher, nullptr);
    ASSERT_EQ(watcher->slot(), 5);
    // With every player's seat taken, a window joins in a watcher's slot.
    std::unique_ptr<TestClient> seat6 = joinWhenListening(port, "Sal");
    ASSERT_NE(seat6, nullptr);
    ASSERT_EQ(seat6->slot(), 6);
    Home watchHome;
    DrivenWindow watching({QStringLiteral("Cy"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, port,
                          watchHome.path(), lobbyPort);
    ASSERT_TRUE(watching.waitFor([](const DrivenState& s) {
        return s.flag("loggedin") && s.number("slot") == 7;
    })) << watching.errors();
    seat2->close();
    seat4->close();
    seat6->close();
    ASSERT_TRUE(watcher->waitFor("CMD_playerdisconnected+2+"));
    ASSERT_TRUE(watcher->waitFor("CMD_playerdisconnected+4+"));
    ASSERT_TRUE(watcher->waitFor("CMD_playerdisconnected+6+"));

    // Klot at its fastest, then the options as in any game.
    ASSERT_TRUE(host.waitFor(loggedInHost));
    ASSERT_TRUE(host.command("menu Fast1"));
    ASSERT_TRUE(host.command("menu StartGame1"));
    ASSERT_TRUE(host.waitFor([](const DrivenState& s) { return s.flag("options"); }));
    for (const char* choice : {"options score 100", "options time 45", "options mode 1", "options four 1",
                               "options viewable 1", "options start"})
        ASSERT_TRUE(host.command(choice)) << choice;
    ASSERT_TRUE(watcher->waitFor("CMD_startgame+Ann+100+45+1+1+"));
    EXPECT_FALSE(joiner.command("menu StartGame1")) << "only the host's copy starts games";

    std::vector<PlanningSeat> none;
    TableView seen(watcher->slot());
    const int drivenTurns = playToWinner(*watcher, seen, none, {{1, &host}, {3, &joiner}});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_TRUE(watcher->has("CMD_winner+")) << "driven turns " << drivenTurns << host.errors();
    EXPECT_TRUE(watcher->has("CMD_heflip+2+")) << "Klot played seat 2";
    EXPECT_EQ(watcher->count("CMD_nextplayer+4+"), 0) << "an empty seat 4 is skipped";

    const std::string winner = winnerOf(*watcher);
    for (auto [window, own] : {std::pair{&host, "Ann"}, std::pair{&joiner, "Bob"}}) {
        ASSERT_TRUE(window->waitFor([](const DrivenState& s) { return !s.text("winner").empty(); })) << own;
        const DrivenState end = window->last();
        EXPECT_EQ(end.text("winner"), bannerFor(winner, own));
        EXPECT_EQ(end.list("names").at(1), "Klot");
        for (int slot = 1; slot <= 3; ++slot)
            EXPECT_EQ(end.score(slot), seen.totals.count(slot) ? seen.totals.at(slot) : 0) << own << slot;
    }
    EXPECT_TRUE(winner == "Ann" || winner == "Bob" || winner == "Klot") << winner;

    // Every window kept the game's record: the watching window's is the
    // players', less the bars it never saw, and replays to the host's scores.
    std::optional<record::GameRecord> hostRecord, joinRecord, watchRecord;
    ASSERT_TRUE(waitUntil(
        [&] {
            hostRecord = finishedRecord(hostHome.path());
            joinRecord = finishedRecord(joinHome.path());
            watchRecord = finishedRecord(watchHome.path());
            return hostRecord && joinRecord && watchRecord;
        },
        10000));
    EXPECT_TRUE(holdsOwnBars(*hostRecord));
    EXPECT_TRUE(holdsOwnBars(*joinRecord));
    EXPECT_FALSE(holdsOwnBars(*watchRecord));
    EXPECT_EQ(asEveryWindowSeesIt(*watchRecord), asEveryWindowSeesIt(*hostRecord));
    EXPECT_EQ(asEveryWindowSeesIt(*joinRecord), asEveryWindowSeesIt(*hostRecord));
    expectReplaysTo(*watchRecord, watcher->messages());
    EXPECT_EQ(watching.quit(), 0) << watching.errors();

    EXPECT_EQ(joiner.quit(), 0) << joiner.errors();
    EXPECT_EQ(host.quit(), 0) << host.errors();
    EXPECT_TRUE(QFile::exists(joinHome.file(QStringLiteral("Lexifliptally.tld"))));
    EXPECT_TRUE(QFile::exists(hostHome.file(QStringLiteral("Lexifliptally.tld"))));
}

} // namespace
} // namespace lexiflip::testing
