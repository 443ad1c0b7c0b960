// lexiflip-host killed with SIGKILL at several moments of a game and started
// again on its state file: the players reconnect, each is caught up with
// exactly the board, bar, scores and turn he saw before the kill, and the
// game goes on from there.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "e2e/driven_window.h"
#include "e2e/host_process.h"
#include "e2e/scripted_seat.h"
#include "engine/computer_words.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

constexpr int kPlayTo = 900; // out of reach: the game runs all through the test

// The moment of the kill.
enum class Moment { MidFlip, KlotThinking, BetweenTurns };
void PrintTo(Moment moment, std::ostream* out)
{
    *out << (moment == Moment::MidFlip        ? "MidFlip"
             : moment == Moment::KlotThinking ? "KlotThinking"
                                              : "BetweenTurns");
}

// What a player sees of the game, as a catch-up can tell it.
struct View {
    BoardLetters letters{};
    std::set<SeenGame::Cell> faceUp;
    std::array<int, 7> scores{};
    BarLetters bar{};
    int onTurn = 0;
    bool operator==(const View&) const = default;
};
void PrintTo(const View& view, std::ostream* out)
{
    *out << "turn " << view.onTurn << ", " << view.faceUp.size() << " face up, scores";
    for (int seat = 1; seat <= 6; ++seat)
        *out << ' ' << view.scores[static_cast<std::size_t>(seat)];
    *out << ", bar";
    for (int k = 1; k <= 7; ++k)
        *out << ' ' << view.bar[static_cast<std::size_t>(k)];
}
View viewOf(const SeenGame& seen)
{
    return View{seen.letters, seen.faceUp, seen.scores, seen.bar, seen.onTurn};
}
View seenBy(const TestClient& client)
{
    SeenGame seen;
    for (const std::string& message : client.messages())
        seen.take(client.slot(), message);
    return viewOf(seen);
}
// The face-up tiles as a window lists them ("x:y:L", column by column).
std::vector<std::string> shownBoard(const View& view)
{
    std::vector<std::string> cells;
    for (const auto& [x, y] : view.faceUp) {
        const int code = view.letters[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
        const char letter = code >= 1 && code <= 26 ? static_cast<char>('A' + code - 1) : '.';
        cells.push_back(std::to_string(x) + ':' + std::to_string(y) + ':' + letter);
    }
    return cells;
}
// The window shows the turn and the board the view holds and, when asked,
// the scores of the four seats in play (a word placed late in the turn
// changes them while the board stays).
bool shows(const DrivenState& s, const View& view, bool withScores)
{
    for (int seat = 1; withScores && seat <= 4; ++seat) {
        if (s.score(seat) != view.scores[static_cast<std::size_t>(seat)])
            return false;
    }
    return s.number("turn") == view.onTurn && s.list("board") == shownBoard(view);
}
std::string described(const DrivenState& s)
{
    return "slot " + std::to_string(s.number("slot")) + ", turn " + std::to_string(s.number("turn")) +
           ", board " + s.text("board") + ", scores " + s.text("scores") + ", status \"" + s.text("status") +
           "\", reconnecting " + s.text("reconnecting");
}

class KilledHost : public ::testing::TestWithParam<Moment> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        stateFile = folder.filePath(QStringLiteral("game.state"));
        startHost(QStringLiteral("0"));
    }
    void startHost(const QString& portText)
    {
        host = std::make_unique<HostProcess>(
            QStringList{QStringLiteral("--port"), portText, QStringLiteral("--bot-speed"),
                        QStringLiteral("fast"), QStringLiteral("--state-file"), stateFile});
        port = host->waitForPort();
        ASSERT_NE(port, 0) << host->process().readAllStandardError().toStdString();
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
    // The state file holds every one of the facts (whole lines).
    bool fileHolds(const std::vector<std::string>& facts)
    {
        return waitUntil([&] {
            QFile file(stateFile);
            if (!file.open(QIODevice::ReadOnly))
                return false;
            const std::string text = file.readAll().toStdString();
            for (const std::string& fact : facts) {
                if (text.find("\n" + fact + "\n") == std::string::npos)
                    return false;
            }
            return true;
        });
    }

    QTemporaryDir folder;
    QTemporaryDir danHome;
    QString stateFile;
    std::vector<std::string> words = engine::loadComputerWords(assets::computerWords());
    std::unique_ptr<HostProcess> host;
    quint16 port = 0;
    std::vector<std::unique_ptr<TestClient>> clients;
    std::vector<std::unique_ptr<ScriptedSeat>> seats;
};

// Ann in seat 1, Klot in seat 2, Bob in seat 3. The host dies at the moment;
// started again on its file, it holds Ann's and Bob's seats for them: each
// reconnects to his own seat and is caught up with what he saw, and the turn
// that was under way goes on.
TEST_P(KilledHost, EveryPlayerIsBackInTheGameHeSawAndItGoesOn)
{
    TestClient& ann = connect("Ann");
    TestClient& passing = connect("Passing");
    TestClient& bob = connect("Bob");
    ASSERT_EQ(bob.slot(), 3);
    // A window in seat 4 over IPv6, so that its seat is held for another
    // address than the scripted players' (all on this machine); Klot plays it
    // while it just watches.
    std::unique_ptr<DrivenWindow> dan;
    if (machineHasIpv6()) {
        dan = std::make_unique<DrivenWindow>(QStringList{"Dan", "::1", "join"}, port, danHome.path());
        ASSERT_TRUE(dan->waitFor([](const DrivenState& s) { return s.number("slot") == 4; }))
            << dan->errors();
    }
    passing.close();
    ASSERT_TRUE(ann.waitFor("CMD_playerdisconnected+2+"));
    ScriptedSeat& annSeat = play(ann);
    ScriptedSeat& bobSeat = play(bob);
    ann.send(msg::startgame("Ann", std::to_string(kPlayTo), "60", false, "1", "0"));
    if (dan) {
        ASSERT_TRUE(dan->waitFor([](const DrivenState& s) { return s.number("turn") == 1; }));
        ASSERT_TRUE(dan->command("menu JustWatch1"));
        ASSERT_TRUE(ann.waitFor("CMD_justwatching+4+1"));
    }

    switch (GetParam()) {
    case Moment::MidFlip:
        // Bob's first turn, three tiles turned.
        bobSeat.holdAfter(3);
        ASSERT_TRUE(playUntil([&] { return bobSeat.holding() && annSeat.seen.flipsThisTurn == 3; }, 90000));
        ASSERT_TRUE(fileHolds({"currentplayer 3", "flipcount 3"}));
        break;
    case Moment::KlotThinking:
        // Klot has turned his five tiles and chooses his word (a second at this pace).
        ASSERT_TRUE(playUntil([&] { return annSeat.seen.onTurn == 2 && annSeat.seen.flipsThisTurn == 5; }));
        ASSERT_TRUE(fileHolds({"currentplayer 2", "flipcount 5", "botclock 2 1"}));
        break;
    case Moment::BetweenTurns:
        // Ann's word or pass is in; the pause before Klot's turn runs.
        ASSERT_TRUE(playUntil([&] { return ann.has("CMD_hisword+1+") || ann.has("CMD_hepasses+1+"); }));
        ASSERT_TRUE(fileHolds({"currentplayer 1", "turnclock 1 1"}));
        break;
    }
    const View annSaw = seenBy(ann);
    const View bobSaw = seenBy(bob);
    ASSERT_EQ(annSaw.letters, bobSaw.letters);
    // The window reads the same messages as the scripted players, but at its
    // own pace: what it saw is what it shows once it is as far as they are.
    if (dan) {
        ASSERT_TRUE(dan->waitFor([&](const DrivenState& s) { return shows(s, annSaw, false); }))
            << described(dan->last()) << " / " << ::testing::PrintToString(annSaw);
    }
    const DrivenState danSaw = dan ? dan->last() : DrivenState();

    const quint16 samePort = port;
    host->process().kill();
    ASSERT_TRUE(host->process().waitForFinished(5000));
    ASSERT_TRUE(ann.waitForClose() && bob.waitForClose());
    seats.clear();
    startHost(QString::number(samePort));

    TestClient& annBack = connect("Ann");
    ASSERT_EQ(annBack.slot(), 1);
    ASSERT_TRUE(annBack.waitFor("CMD_theboard+"));
    TestClient& bobBack = connect("Bob");
    ASSERT_EQ(bobBack.slot(), 3);
    ASSERT_TRUE(bobBack.waitFor("CMD_theboard+"));
    ASSERT_TRUE(waitUntil([&] { return seenBy(annBack) == annSaw && seenBy(bobBack) == bobSaw; }, 5000))
        << ::testing::PrintToString(seenBy(annBack)) << " / " << ::testing::PrintToString(annSaw);
    EXPECT_FALSE(bobBack.has("CMD_hepasses+")) << "a resumed turn is not passed for its player";
    if (dan) {
        // The window reconnects by itself, to its own seat, and shows the
        // game as the host now tells it: Klot may have played on meanwhile,
        // but a turn that waited for its player is the one it showed before.
        ASSERT_TRUE(dan->waitFor(
            [&](const DrivenState& s) {
                return (annBack.has("CMD_newplayerinfo+4+") || annBack.has("CMD_existingplayers+4+")) &&
                       s.number("slot") == 4 && shows(s, seenBy(annBack), true);
            },
            30000))
            << described(dan->last()) << " / " << ::testing::PrintToString(seenBy(annBack)) << "; before "
            << described(danSaw) << "\n"
            << dan->errors();
        if (GetParam() == Moment::MidFlip) {
            EXPECT_EQ(dan->last().list("board"), danSaw.list("board"));
        }
        // Its own seat has not played meanwhile.
        EXPECT_EQ(dan->last().text("bar"), danSaw.text("bar"));
        EXPECT_EQ(dan->last().list("names"), danSaw.list("names"));
    }

    switch (GetParam()) {
    case Moment::MidFlip: {
        // Bob turns his last two tiles and passes; Ann's turn comes.
        int asked = 0;
        for (int x = 1; x <= 10 && asked < 2; ++x) {
            for (int y = 1; y <= 8 && asked < 2; ++y) {
                if (!bobSaw.faceUp.count({x, y})) {
                    bobBack.send(msg::iflip(3, x, y));
                    ++asked;
                }
            }
        }
        ASSERT_TRUE(annBack.waitFor("CMD_heflip+3+"));
        ASSERT_TRUE(waitUntil([&] { return annBack.count("CMD_heflip+3+") == 2; }));
        bobBack.send(msg::hepass(3));
        EXPECT_TRUE(annBack.waitFor("CMD_hepasses+3+"));
        EXPECT_TRUE(annBack.waitFor("CMD_nextplayer+1+", 10000));
        break;
    }
    case Moment::KlotThinking:
        EXPECT_TRUE(annBack.waitFor("CMD_nextplayer+3+", 15000)) << "Klot finished his turn";
        EXPECT_TRUE(annBack.has("CMD_hisword+2+") || annBack.has("CMD_hepasses+2+"));
        break;
    case Moment::BetweenTurns:
        EXPECT_TRUE(annBack.waitFor("CMD_nextplayer+2+", 10000)) << "the pause ran out into Klot's turn";
        break;
    }
}

// A solo window killed in the middle of its own turn: started again, it asks
// whether to go on, and the same turn goes on with the board, bar and scores
// it showed.
TEST(KilledSoloWindow, GoesOnWithTheSameTurnWhenStartedAgain)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const quint16 port = freePort();
    DrivenState before;
    {
        DrivenWindow window({}, port, home.path());
        ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("loggedin"); }));
        ASSERT_TRUE(window.command("menu StartGame1"));
        ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("options"); }));
        ASSERT_TRUE(window.command("options start"));
        ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.number("turn") == 1; }));
        ASSERT_TRUE(window.command("board 1 1") && window.command("board 2 2"));
        ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.list("board").size() == 2; }));
        const QString file = home.filePath(QStringLiteral("game-in-progress.state"));
        ASSERT_TRUE(waitUntil([&] {
            QFile kept(file);
            return kept.open(QIODevice::ReadOnly) && kept.readAll().contains("\nflipcount 2\n");
        }));
        before = window.state();
        window.process().kill();
        ASSERT_TRUE(window.process().waitForFinished(5000));
    }
    DrivenWindow again({}, port, home.path());
    ASSERT_TRUE(again.waitFor([](const DrivenState& s) {
        return s.text("box").starts_with("Go on with your game");
    })) << again.errors();
    EXPECT_EQ(again.last().text("box"), "Go on with your game against Klot (You 0, Klot 0)?");
    ASSERT_TRUE(again.command("answer yes"));
    ASSERT_TRUE(
        again.waitFor([](const DrivenState& s) { return s.number("turn") == 1 && s.number("flips") == 2; }));
    const DrivenState after = again.last();
    EXPECT_EQ(after.list("board"), before.list("board"));
    EXPECT_EQ(after.text("bar"), before.text("bar"));
    EXPECT_EQ(after.list("scores"), before.list("scores"));
    // The turn is his: three more flips, then the word may be built.
    ASSERT_TRUE(again.command("board 3 3") && again.command("board 4 4") && again.command("board 5 5"));
    EXPECT_TRUE(again.waitFor(
        [](const DrivenState& s) { return s.list("board").size() == 5 && s.flag("canbuild"); }));

    // Leaving asks first; then the game is over and nothing is kept of it.
    ASSERT_TRUE(again.command("menu LeaveGame1"));
    ASSERT_TRUE(again.command("answer yes"));
    EXPECT_TRUE(
        waitUntil([&] { return !QFile::exists(home.filePath(QStringLiteral("game-in-progress.state"))); }));
}

INSTANTIATE_TEST_SUITE_P(Resume, KilledHost,
                         ::testing::Values(Moment::MidFlip, Moment::KlotThinking, Moment::BetweenTurns));

} // namespace
} // namespace lexiflip::testing
