// lexiflip-host with a game running: a newcomer logs in while a turn is half
// played, and a player leaves in the middle of his turn and comes back.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "e2e/driven_window.h"
#include "e2e/host_process.h"
#include "e2e/scripted_seat.h"
#include "engine/computer_words.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/field_reader.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

constexpr int kPlayTo = 900; // out of reach: the game runs all through the test
constexpr int kTurnSeconds = 60;
// The building phase runs four seconds longer than the turn the players see.
constexpr int kBuildingTicks = kTurnSeconds + 4;

std::string body(std::string message)
{
    if (!message.empty() && message.back() == '\xFF')
        message.pop_back();
    return message;
}

// The catch-up a witness's picture of the game says a joiner in slot should
// get: the scores and the turn, its bar, all 80 cells and this turn's
// face-up cells. turnticks is what the joiner's CMD_stats says.
std::vector<std::string> expectedCatchUp(int slot, const SeenGame& witness, int turnticks,
                                         const std::array<int, 8>* bar)
{
    std::array<int, 6> scores{};
    for (int seat = 1; seat <= 6; ++seat)
        scores[seat - 1] = witness.scores[seat];
    std::vector<std::string> expected{
        body(msg::stats(slot, kPlayTo, kTurnSeconds, witness.onTurn, turnticks, "blind", "0", scores))};
    if (bar) {
        std::vector<msg::BarTile> tiles;
        for (int k = 1; k <= 7; ++k)
            tiles.push_back({k, (*bar)[k]});
        expected.push_back(body(msg::mytiles(slot, tiles)));
    }
    std::vector<msg::Cell> cells;
    for (int x = 1; x <= 10; ++x) {
        for (int y = 1; y <= 8; ++y)
            cells.push_back({x, y, witness.letters[x][y]});
    }
    expected.push_back(body(msg::theboard(cells)));
    std::vector<wire::Origin> faceUp;
    for (const auto& [x, y] : witness.faceUp)
        faceUp.push_back({x, y});
    if (!faceUp.empty())
        expected.push_back(body(msg::isflipped(slot, faceUp)));
    return expected;
}

// The messages from CMD_stats on, as many as expected holds.
std::vector<std::string> catchUpOf(const TestClient& joiner, std::size_t count)
{
    const std::optional<std::size_t> first = joiner.find("CMD_stats+");
    if (!first)
        return {};
    const auto& all = joiner.messages();
    const std::size_t end = std::min(all.size(), *first + count);
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(*first),
                                    all.begin() + static_cast<std::ptrdiff_t>(end));
}

int turnticksOf(const TestClient& joiner)
{
    const std::optional<std::size_t> at = joiner.find("CMD_stats+");
    if (!at)
        return -1;
    wire::FieldReader fields(std::string_view(joiner.messages()[*at]).substr(10));
    for (int i = 0; i < 4; ++i)
        fields.next();
    return fields.nextInt().value_or(-1);
}

class GameInProgress : public ::testing::Test {
protected:
    void SetUp() override
    {
        host =
            std::make_unique<HostProcess>(QStringList{QStringLiteral("--port"), QStringLiteral("0"),
                                                      QStringLiteral("--bot-speed"), QStringLiteral("fast")});
        port = host->waitForPort();
        ASSERT_NE(port, 0);
    }

    TestClient& connect(const std::string& name)
    {
        clients.push_back(std::make_unique<TestClient>(port));
        EXPECT_TRUE(clients.back()->login(name)) << name;
        return *clients.back();
    }
    ScriptedSeat& play(TestClient& client)
    {
        seats.push_back(std::make_unique<ScriptedSeat>(client, words));
        return *seats.back();
    }
    void start(TestClient& first)
    {
        first.send(msg::startgame(first.name(), std::to_string(kPlayTo), std::to_string(kTurnSeconds), false,
                                  "1", "0"));
    }
    // Runs the event loop, every scripted seat playing, until done holds.
    bool playUntil(const std::function<bool()>& done, int timeoutMs = 60000)
    {
        return waitUntil(
            [&] {
                for (auto& seat : seats)
                    seat->step();
                return done();
            },
            timeoutMs);
    }
    // Plays until seat has had turnsBefore turns, then holds its next turn
    // after `flips` flips, once witness has seen them.
    bool holdTurn(ScriptedSeat& seat, TestClient& client, int turnsBefore, int flips, ScriptedSeat& witness)
    {
        if (!playUntil([&] { return seat.turns >= turnsBefore; }, 90000))
            return false;
        seat.holdAfter(flips);
        return playUntil([&] {
            return seat.holding() && witness.seen.onTurn == client.slot() &&
                   witness.seen.flipsThisTurn == flips;
        });
    }

    std::vector<std::string> words = engine::loadComputerWords(assets::computerWords());
    std::unique_ptr<HostProcess> host;
    quint16 port = 0;
    std::vector<std::unique_ptr<TestClient>> clients;
    std::vector<std::unique_ptr<ScriptedSeat>> seats;
};

// What witness had seen when the first message beginning with marker
// arrived: the host's game as it stood when it sent that message.
SeenGame seenBefore(const TestClient& witness, std::string_view marker)
{
    SeenGame seen;
    for (const std::string& message : witness.messages()) {
        if (message.starts_with(marker))
            break;
        seen.take(witness.slot(), message);
    }
    return seen;
}

// Whose turn it is when a newcomer arrives: a player's, or Klot's in the
// seat the newcomer takes.
enum class Arrival { WhileBobPlays, WhileKlotPlays };
void PrintTo(Arrival arrival, std::ostream* out)
{
    *out << (arrival == Arrival::WhileBobPlays ? "WhileBobPlays" : "WhileKlotPlays");
}

class Newcomer : public GameInProgress, public ::testing::WithParamInterface<Arrival> {};

// Klot sits in seat 2 (its player left before the game). While a turn is
// half played a newcomer arrives: the lowest free slot is Klot's seat, which
// he takes over as it stands, caught up with what the players saw. When it
// was Klot's turn, the host passes it for him and Klot's remaining steps
// come to nothing; from then on seat 2 is his to play.
TEST_P(Newcomer, IsCaughtUpMidTurnWithWhatThePlayersSawAndTakesKlotsSeat)
{
    const bool klotsTurn = GetParam() == Arrival::WhileKlotPlays;
    TestClient& ann = connect("Ann");
    TestClient& placeholder = connect("Passing");
    TestClient& bob = connect("Bob");
    ASSERT_EQ(bob.slot(), 3);
    placeholder.close();
    ASSERT_TRUE(ann.waitFor("CMD_playerdisconnected+2+"));
    ScriptedSeat& annSeat = play(ann);
    ScriptedSeat& bobSeat = play(bob);
    start(ann);
    if (klotsTurn) {
        // Klot's first turn, his first flip made.
        ASSERT_TRUE(playUntil([&] {
            const std::optional<std::size_t> turn = ann.find("CMD_nextplayer+2+");
            return turn && ann.find("CMD_heflip+2+", *turn);
        }));
    } else {
        // A round for everyone, Klot's turn included, then Bob's second turn
        // stops after three flips.
        ASSERT_TRUE(holdTurn(bobSeat, bob, 1, 3, annSeat));
        ASSERT_TRUE(ann.has("CMD_heflip+2+")) << "Klot never played";
    }

    TestClient& dan = connect("Dan");
    ASSERT_EQ(dan.slot(), 2);
    ASSERT_TRUE(dan.waitFor("CMD_isflipped+", 15000));
    ASSERT_TRUE(waitUntil([&] { return catchUpOf(dan, 4).size() == 4; }, 15000));
    // Nobody else saw Klot's bar: check it by its form and take it as given.
    const std::vector<std::string> got = catchUpOf(dan, 4);
    std::array<int, 8> bar{};
    {
        SeenGame danSees;
        danSees.take(2, got[1]);
        bar = danSees.bar;
        for (int k = 1; k <= 7; ++k)
            EXPECT_TRUE(bar[k] >= 1 && bar[k] <= 26) << got[1];
    }
    const int ticks = turnticksOf(dan);
    EXPECT_TRUE(ticks >= 0 && ticks <= kBuildingTicks) << ticks;
    ASSERT_TRUE(ann.waitFor("CMD_newplayerinfo+2+Dan"));
    const SeenGame witness = seenBefore(ann, "CMD_newplayerinfo+2+Dan");
    EXPECT_EQ(witness.onTurn, klotsTurn ? 2 : 3);
    EXPECT_EQ(got, expectedCatchUp(2, witness, ticks, &bar));

    ScriptedSeat& danSeat = play(dan);
    if (klotsTurn) {
        // The pass follows the catch-up; nothing more is played for seat 2
        // in that turn.
        ASSERT_TRUE(dan.waitFor("CMD_hepasses+2+"));
        EXPECT_EQ(*dan.find("CMD_stats+") + 4, *dan.find("CMD_hepasses+2+"));
        ASSERT_TRUE(playUntil([&] { return annSeat.seen.onTurn == 3; }));
        const std::size_t passed = *ann.find("CMD_hepasses+2+");
        const std::size_t next = *ann.find("CMD_nextplayer+3+", passed);
        for (std::size_t i = passed + 1; i < next; ++i) {
            for (const char* move : {"CMD_heflip+2+", "CMD_hisword+2+", "CMD_invalid+2+", "CMD_hepasses+2+",
                                     "CMD_heuseboardletter+2+", "CMD_heusebarletter+2+"})
                EXPECT_FALSE(ann.messages()[i].starts_with(move)) << ann.messages()[i];
        }
    } else {
        EXPECT_FALSE(dan.has("CMD_hepasses+")) << "Dan was not on turn";
        bobSeat.release();
    }

    // Seat 2's next turn is Dan's: every tile turned in it is one Dan asked
    // for, none is Klot's.
    ASSERT_TRUE(playUntil([&] { return danSeat.turns == 1 && danSeat.seen.onTurn != 2; }));
    const std::size_t from = *dan.find("CMD_nextplayer+2+");
    std::set<SeenGame::Cell> turned;
    bool ended = false;
    for (std::size_t i = from + 1;
         i < dan.messages().size() && !dan.messages()[i].starts_with("CMD_nextplayer+"); ++i) {
        SeenGame cell;
        cell.take(2, dan.messages()[i]);
        if (dan.messages()[i].starts_with("CMD_heflip+2+"))
            turned.insert(cell.faceUp.begin(), cell.faceUp.end());
        ended = ended || dan.messages()[i].starts_with("CMD_hisword+2+") ||
                dan.messages()[i].starts_with("CMD_hepasses+2+");
    }
    EXPECT_EQ(turned.size(), 5u);
    EXPECT_EQ(turned, danSeat.askedThisTurn());
    EXPECT_TRUE(ended) << "Dan's word or pass ended his turn";
}

INSTANTIATE_TEST_SUITE_P(LateJoin, Newcomer,
                         ::testing::Values(Arrival::WhileBobPlays, Arrival::WhileKlotPlays));

// A real window joins while Cid's turn is half played: its board shows face
// up exactly the tiles the players saw turned, with their letters, and its
// seat rows the scores they saw. Then its own turn comes, and it plays it
// through its controls.
TEST_F(GameInProgress, AWindowJoiningMidTurnShowsWhatThePlayersSawAndPlaysItsTurn)
{
    TestClient& ann = connect("Ann");
    TestClient& bob = connect("Bob");
    TestClient& cid = connect("Cid");
    ASSERT_EQ(cid.slot(), 3);
    ScriptedSeat& annSeat = play(ann);
    play(bob);
    ScriptedSeat& cidSeat = play(cid);
    start(ann);
    ASSERT_TRUE(holdTurn(cidSeat, cid, 1, 3, annSeat));

    Home home;
    DrivenWindow dan({QStringLiteral("Dan"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, port,
                     home.path(), {{QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(freePort())}});
    ASSERT_TRUE(ann.waitFor("CMD_newplayerinfo+4+Dan", 30000)) << dan.errors();
    annSeat.step();
    std::vector<std::string> faceUp;
    for (const auto& [x, y] : annSeat.seen.faceUp)
        faceUp.push_back(std::to_string(x) + ":" + std::to_string(y) + ":" +
                         static_cast<char>('A' + annSeat.seen.letters[x][y] - 1));
    ASSERT_EQ(faceUp.size(), 3u);
    std::vector<std::string> scores;
    for (int seat = 1; seat <= 6; ++seat)
        scores.push_back(std::to_string(annSeat.seen.scores[seat]));
    const bool caughtUp = dan.waitFor(
        [&](const DrivenState& shown) {
            return shown.number("slot") == 4 && shown.list("board") == faceUp &&
                   shown.list("scores") == scores;
        },
        30000);
    const DrivenState& shown = dan.last();
    ASSERT_TRUE(caughtUp) << "board " << shown.text("board") << ", scores " << shown.text("scores");
    EXPECT_EQ(shown.number("turn"), 3);
    const std::vector<std::string> names = shown.list("names");
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
              (std::vector<std::string>{"Ann", "Bob", "Cid", "Dan"}));
    const std::string bar = shown.text("bar");
    EXPECT_EQ(bar.size(), 7u);
    EXPECT_EQ(bar.find('.'), std::string::npos) << bar;

    // Cid finishes; the next turn is the window's.
    cidSeat.release();
    ASSERT_TRUE(playUntil([&] { return annSeat.seen.onTurn == 4; }));
    ASSERT_TRUE(dan.waitFor([](const DrivenState& s) { return s.number("turn") == 4; }));
    std::set<SeenGame::Cell> clicked;
    for (int cell = 0; clicked.size() < 5 && cell < 80; ++cell) {
        const SeenGame::Cell at{cell / 8 + 1, cell % 8 + 1};
        ASSERT_TRUE(dan.command("board " + std::to_string(at.first) + " " + std::to_string(at.second)));
        clicked.insert(at);
    }
    ASSERT_TRUE(dan.waitFor([](const DrivenState& s) { return s.flag("buttons"); }));
    ASSERT_TRUE(dan.command("click button_pass"));
    ASSERT_TRUE(playUntil([&] { return ann.has("CMD_hepasses+4+") && annSeat.seen.onTurn == 1; }));
    std::set<SeenGame::Cell> turned;
    for (std::size_t i = *ann.find("CMD_nextplayer+4+"); i < ann.messages().size(); ++i) {
        SeenGame flip;
        if (ann.messages()[i].starts_with("CMD_heflip+4+")) {
            flip.take(1, ann.messages()[i]);
            turned.insert(flip.faceUp.begin(), flip.faceUp.end());
        }
    }
    EXPECT_EQ(turned, clicked);
    EXPECT_EQ(dan.quit(), 0);
}

// The host's first player starts a game and drops; a window that joins gets
// slot 1, and with it the host's player's role, but the running game is not
// its to restart: no START GAME, no "Start Game", until that game's winner.
TEST_F(GameInProgress, AWindowGivenSlotOneMidGameCannotStartAnotherUntilItEnds)
{
    TestClient& ann = connect("Ann");
    TestClient& bob = connect("Bob");
    ASSERT_EQ(ann.slot(), 1);
    start(ann);
    ASSERT_TRUE(bob.waitFor("CMD_nextplayer+"));
    ann.close();
    ASSERT_TRUE(bob.waitFor("CMD_playerdisconnected+1", 10000));

    Home home;
    DrivenWindow joe({QStringLiteral("Joe"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, port,
                     home.path(), {{QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(freePort())}});
    ASSERT_TRUE(bob.waitFor("CMD_newplayerinfo+1+Joe", 30000)) << joe.errors();
    // Caught up: Bob's turn, as it stood or once the host passed slot 1's.
    ASSERT_TRUE(joe.waitFor([](const DrivenState& s) { return s.number("slot") == 1 && s.number("turn") == 2; },
                            30000))
        << joe.errors();
    EXPECT_FALSE(joe.last().flag("start"));
    EXPECT_FALSE(joe.command("menu StartGame1")) << "the running game could be restarted";
    EXPECT_FALSE(joe.command("click button_start"));
    EXPECT_FALSE(joe.state().flag("options"));
    EXPECT_EQ(joe.quit(), 0);
}

// A player leaves with his turn half played and logs in again: he gets his
// seat back with its score and bar as they stand, and plays on. The turn
// moves on as he leaves, slot 1's too: on a host without a window slot 1 is a
// remote player like the others.
struct Leaving {
    int leaver;
};
void PrintTo(const Leaving& leaving, std::ostream* out)
{
    *out << "slot" << leaving.leaver;
}

class LeavingMidTurn : public GameInProgress, public ::testing::WithParamInterface<Leaving> {};

TEST_P(LeavingMidTurn, HeComesBackToHisSeatScoreAndBar)
{
    const Leaving c = GetParam();
    TestClient& ann = connect("Ann");
    TestClient& bob = connect("Bob");
    TestClient& cid = connect("Cid");
    ASSERT_EQ(cid.slot(), 3);
    std::array<ScriptedSeat*, 4> seat{nullptr, &play(ann), &play(bob), &play(cid)};
    TestClient& leaver = *clients[static_cast<std::size_t>(c.leaver - 1)];
    ScriptedSeat& witness = *seat[2];
    start(ann);
    ASSERT_TRUE(holdTurn(*seat[c.leaver], leaver, 1, 2, witness));
    witness.step();
    const int score = witness.seen.scores[c.leaver];
    seat[c.leaver]->step();
    const std::array<int, 8> bar = seat[c.leaver]->seen.bar;
    const std::string name = leaver.name();
    // The turn after his: Ann's, or Bob's when Ann is the one leaving.
    const int next = c.leaver == 1 ? 2 : 1;
    seat[next]->holdAfter(1);
    const int nextsTurns = seat[next]->turns;

    leaver.close();
    ASSERT_TRUE(playUntil([&] { return bob.has("CMD_playerdisconnected+" + std::to_string(c.leaver)); }));
    // Well inside his 60 s: the turn moves on as he leaves.
    ASSERT_TRUE(playUntil([&] { return seat[next]->holding() && witness.seen.flipsThisTurn == 1; }, 10000));
    EXPECT_EQ(seat[next]->turns, nextsTurns + 1);
    EXPECT_EQ(witness.seen.onTurn, next);

    TestClient& back = connect(name);
    ASSERT_EQ(back.slot(), c.leaver) << "the lowest free slot is his own";
    const std::size_t count = witness.seen.faceUp.empty() ? 3 : 4;
    ASSERT_TRUE(waitUntil([&] { return catchUpOf(back, count).size() == count; }));
    const int ticks = turnticksOf(back);
    EXPECT_TRUE(ticks >= 0 && ticks <= kBuildingTicks) << ticks;
    witness.step();
    EXPECT_EQ(witness.seen.scores[c.leaver], score);
    EXPECT_EQ(catchUpOf(back, count), expectedCatchUp(c.leaver, witness.seen, ticks, &bar));

    ScriptedSeat& backSeat = play(back);
    EXPECT_FALSE(back.has("CMD_hepasses+" + std::to_string(c.leaver) + "+"));
    seat[next]->release();
    // He plays his next turn, and the turn moves on after it.
    ASSERT_TRUE(playUntil([&] { return backSeat.turns >= 1 && backSeat.seen.onTurn != c.leaver; }, 60000));
    const std::string after = std::to_string(c.leaver) + "+";
    EXPECT_TRUE(back.has("CMD_hisword+" + after) || back.has("CMD_hepasses+" + after));
    EXPECT_GE(back.count("CMD_heflip+" + after), 5) << "he flipped on his turn";
}

INSTANTIATE_TEST_SUITE_P(AfterHisTurnMovedOn, LeavingMidTurn, ::testing::Values(Leaving{3}, Leaving{1}));

} // namespace
} // namespace lexiflip::testing
