// The host session's rules without sockets or Qt: connections are plain ids
// (never equal to their slots here, so that a mix-up shows), the receive queue
// and the session's timer are stepped by hand, the engine's clocks run on a
// virtual timeline.
#include "host/host_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "engine/computer_words.h"
#include "engine/virtual_timeline.h"
#include "host/game_requests.h"
#include "support/recording.h"
#include "support/stepped_pace_timer.h"
#include "wire/messages.h"
#include "words/tdictn.h"

namespace lexiflip::host {
namespace {

namespace msg = wire::msg;
using namespace std::chrono_literals;

// The shipped word lists, read once: the computer plays as on a real host.
struct ShippedWords {
    testing::RecordingNotices notices;
    words::TDictn dictionary{assets::dictionaryRecords(), notices, "/nonexistent-lexiflip-dir"};
    std::vector<std::string> listboxWords = engine::loadComputerWords(assets::computerWords());
};

const ShippedWords& shippedWords()
{
    static const ShippedWords words;
    return words;
}

class Session : public ::testing::Test, public HostTransport {
protected:
    static constexpr int kLoginTimeoutMs = 30000;

    Session()
    {
        timeline.setOnTick(timer1, [this] { session->timer1Timer(); });
        timeline.setOnTick(computertimer, [this] { session->computertimerTimer(); });
    }

    std::unique_ptr<HostSession> makeSession(int seatHoldMs = HostSessionSettings{}.seatHoldMs,
                                             bool firstSeatRemote = false)
    {
        return std::make_unique<HostSession>(
            HostSessionServices{*this, notices, timer1, computertimer, socktimer, sessionTimer,
                                shippedWords().dictionary, shippedWords().listboxWords},
            HostSessionSettings{.seed = 3,
                                .loginTimeoutMs = kLoginTimeoutMs,
                                .firstSeatRemote = firstSeatRemote,
                                .seatHoldMs = seatHoldMs});
    }
    // A fresh session, with nobody connected and nothing heard.
    void restart(int seatHoldMs = HostSessionSettings{}.seatHoldMs, bool firstSeatRemote = false)
    {
        session.reset(); // the old one goes before its connections' ids are reused
        session = makeSession(seatHoldMs, firstSeatRemote);
        lastId = 100;
        idOfSlot.clear();
        heard.clear();
        letGo.clear();
    }

    // Connection ids are 100 + the order of acceptance.
    int accept(std::string_view address = "192.0.2.10")
    {
        const ConnectionId id = ++lastId;
        const int slot = session->accept(id, address);
        if (slot != 0)
            idOfSlot[slot] = id;
        return slot;
    }
    void receive(int slot, std::string_view bytes) { session->receive(idOfSlot.at(slot), bytes); }
    void login(int slot, std::string_view name, std::string_view version = msg::kVersion)
    {
        receive(slot, msg::logininfo(slot, version, name));
    }
    // Accepts and logs in slots 1..count as "P1", "P2", ...
    void seat(int count)
    {
        for (int slot = 1; slot <= count; ++slot) {
            ASSERT_EQ(accept(), slot);
            login(slot, "P" + std::to_string(slot));
        }
        drain();
    }
    void drain()
    {
        while (socktimer.step()) {
        }
    }
    const std::vector<std::string>& heardBy(int slot) { return heard[idOfSlot.at(slot)]; }
    bool heardExactly(int slot, const std::string& text)
    {
        const std::vector<std::string>& messages = heardBy(slot);
        return std::count(messages.begin(), messages.end(), text) == 1;
    }
    int countStarting(int slot, std::string_view prefix)
    {
        const std::vector<std::string>& messages = heardBy(slot);
        return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                              [&](const std::string& m) { return m.rfind(prefix, 0) == 0; }));
    }

    // The transport: what the session sends, and whom it lets go.
    void send(ConnectionId connection, std::string_view message) override
    {
        if (session->slotOf(connection) == 0 && message != msg::full())
            ADD_FAILURE() << "sent to a connection that holds no slot: " << message;
        heard[connection].emplace_back(message.substr(0, message.size() - 1));
        if (onSend)
            onSend(connection);
    }
    void close(ConnectionId connection) override { letGo.push_back(connection); }
    void reportError(std::string_view text) override { ADD_FAILURE() << "error reported: " << text; }

    testing::RecordingNotices notices;
    engine::VirtualTimeline timeline;
    engine::VirtualTimeline::VirtualClock& timer1 = timeline.addClock();
    engine::VirtualTimeline::VirtualClock& computertimer = timeline.addClock();
    net::SteppedPaceTimer socktimer;
    net::SteppedPaceTimer sessionTimer;
    std::unique_ptr<HostSession> session = makeSession();

    ConnectionId lastId = 100;
    std::map<int, ConnectionId> idOfSlot;
    std::map<ConnectionId, std::vector<std::string>> heard;
    std::vector<ConnectionId> letGo;
    std::function<void(ConnectionId)> onSend;
};

TEST_F(Session, SlotsFillUpRefuseATenthAndReuseTheLowestFreed)
{
    for (int expected = 1; expected <= 9; ++expected)
        EXPECT_EQ(accept(), expected);
    EXPECT_EQ(accept(), 0);
    EXPECT_EQ(heard[lastId], std::vector<std::string>{"CMD_full+"});
    EXPECT_TRUE(heardExactly(4, "CMD_sendlogininfo+4"));

    // A login split over two reads, then the player leaves.
    const std::string login = msg::logininfo(4, msg::kVersion, "Four+th");
    receive(4, login.substr(0, 9));
    receive(4, login.substr(9));
    drain();
    EXPECT_TRUE(heardExactly(1, "CMD_newplayerinfo+4+Four+th"));
    session->closed(idOfSlot[4]);
    EXPECT_TRUE(heardExactly(1, "CMD_playerdisconnected+4+Four+th"));
    EXPECT_FALSE(heardExactly(4, "CMD_playerdisconnected+4+Four+th"));
    EXPECT_EQ(accept(), 4);
    // What the old connection left half-sent does not reach the new one's.
    receive(4, "CMD_chat+4+half");
    session->closed(idOfSlot[4]);
    EXPECT_EQ(accept(), 4);
    receive(4, std::string("way\xFF") + msg::chat(4, "whole", 0));
    drain();
    EXPECT_TRUE(heardExactly(1, "CMD_chat+ chats: whole|clBlack"));
    EXPECT_EQ(countStarting(1, "CMD_chat+"), 1);
    EXPECT_TRUE(letGo.empty());
}

TEST_F(Session, AdmissionAndTheSteppedClocksWorkAsOnTheWire)
{
    seat(3);
    // Slot 3 speaks for slot 2 and tries to start a game: both dropped.
    receive(3, msg::chat(2, "spoof", 0));
    receive(3, msg::startgame("P3", "50", "5", true, "1", "0"));
    drain();
    EXPECT_FALSE(heardExactly(1, "CMD_chat+P2 chats: spoof|clBlack"));
    EXPECT_FALSE(session->state().gamerunning);

    receive(1, msg::startgame("P1", "50", "45", true, "1", "0"));
    drain();
    ASSERT_TRUE(session->state().gamerunning);
    EXPECT_TRUE(heardExactly(3, "CMD_nextplayer+1+"));
    // Nobody moves: the turn runs out on the stepped clock and moves on.
    for (int i = 0; i < 60 && !heardExactly(3, "CMD_nextplayer+2+"); ++i)
        timeline.step();
    EXPECT_TRUE(heardExactly(3, "CMD_timeup+1+"));
    EXPECT_TRUE(heardExactly(3, "CMD_nextplayer+2+"));
}

// Each request comes on the connection in slot `from` of three logged-in
// players; it is acted on only where the slot it names is the sender's (or
// the sender is slot 1 acting for another seat), which its effect shows.
TEST_F(Session, ASlotFieldThatIsNotTheSendersIsDropped)
{
    struct Row {
        const char* what;
        int from;
        std::string request;
        std::string effect; // what slot 1 then hears, at the start of a message
        bool admitted;
    };
    const std::vector<Row> rows{
        {"own chat", 3, msg::chat(3, "mine", 0), "CMD_chat+P3 chats: mine", true},
        {"chat for another", 3, msg::chat(2, "spoof", 0), "CMD_chat+P2 chats: spoof", false},
        {"action for slot 1", 3, msg::action(1, "spoof", 0), "CMD_action+", false},
        {"chatter sound for another", 2, msg::playasound(3, 4), "CMD_playasound+", false},
        {"slot 0", 3, "CMD_chat+0+zero|clBlack\xFF", "CMD_chat+", false},
        {"slot 10", 3, "CMD_chat+10+ten|clBlack\xFF", "CMD_chat+", false},
        {"slot not a number", 3, "CMD_chat+x+junk|clBlack\xFF", "CMD_chat+", false},
        {"removal in slot 1's name", 3, msg::kickhim(1, 2), "CMD_playerdisconnected+2+P2", false},
        {"removal by another than slot 1", 3, msg::kickhim(3, 2), "CMD_playerdisconnected+2+P2", false},
        {"just watch for another", 3, msg::justwatch(2, "2"), "CMD_justwatching+2+2", false},
        {"a start not from slot 1", 2, msg::startgame("P2", "50", "60", true, "1", "0"), "CMD_startgame+",
         false},
        {"slot 1 sets another seat playing", 1, msg::justwatch(3, "2"), "CMD_justwatching+3+2", true},
        {"slot 1 removes another", 1, msg::kickhim(1, 2), "CMD_playerdisconnected+2+P2", true},
        {"slot 1 starts", 1, msg::startgame("P1", "50", "60", true, "1", "0"), "CMD_startgame+", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        restart();
        seat(3);
        receive(row.from, row.request);
        drain();
        EXPECT_EQ(countStarting(1, row.effect), row.admitted ? 1 : 0);
    }
}

// One login per connection: repeats, under the same name or another, with
// the same version or another, are dropped without a word to anybody.
TEST_F(Session, OnlyAConnectionsFirstLoginCounts)
{
    seat(2);
    const std::size_t heardByOne = heardBy(1).size();
    const std::size_t heardByTwo = heardBy(2).size();
    for (const char* name : {"P2", "Mallory"})
        login(2, name);
    login(2, "Old", "0.9");
    drain();
    EXPECT_EQ(heardBy(1).size(), heardByOne);
    EXPECT_EQ(heardBy(2).size(), heardByTwo);
    EXPECT_EQ(session->state().players[2].name, "P2");
    EXPECT_EQ(countStarting(1, "CMD_newplayerinfo+2+"), 1);
}

// The login deadline on the session's stepped timer: each connection has its
// own, counted from its acceptance; a login, however late before it, lifts it.
TEST_F(Session, AConnectionThatDoesNotLogInInTimeIsLetGo)
{
    seat(1);                // slot 1 at 0 s, logged in
    ASSERT_EQ(accept(), 2); // slot 2 at 0 s
    sessionTimer.advance(10s);
    ASSERT_EQ(accept(), 3); // slot 3 at 10 s
    ASSERT_EQ(accept(), 4); // slot 4 at 10 s
    struct Moment {
        std::chrono::milliseconds at; // since slot 2 was accepted
        int logsIn;                   // the slot that logs in then, if any
        std::vector<int> letGo;       // the slots let go by then, in order
    };
    const std::vector<Moment> moments{
        {29999ms, 0, {}}, {30000ms, 0, {2}}, {39999ms, 4, {2}}, {40000ms, 0, {2, 3}}, {3600000ms, 0, {2, 3}},
    };
    std::chrono::milliseconds now = 10s;
    for (const Moment& moment : moments) {
        SCOPED_TRACE(moment.at.count());
        sessionTimer.advance(moment.at - now);
        now = moment.at;
        if (moment.logsIn != 0) {
            login(moment.logsIn, "Late");
            drain();
        }
        std::vector<ConnectionId> expected;
        for (int slot : moment.letGo)
            expected.push_back(idOfSlot[slot]);
        EXPECT_EQ(letGo, expected);
    }
    // Told like any departure; nothing more is due.
    EXPECT_TRUE(heardExactly(1, "CMD_playerdisconnected+2+"));
    EXPECT_TRUE(heardExactly(4, "CMD_playerdisconnected+3+"));
    EXPECT_EQ(countStarting(1, "CMD_playerdisconnected+"), 2);
    EXPECT_FALSE(sessionTimer.active());
    EXPECT_EQ(accept(), 2);
}

// A connection can be found closed inside a send to it: its departure waits
// until the broadcast around that send is over, and comes on the session's
// timer, not inside the engine's sending.
TEST_F(Session, AConnectionClosedInsideASendLeavesAfterTheBroadcast)
{
    restart(0); // the seat is free at once, not kept
    seat(3);
    receive(1, msg::startgame("P1", "50", "60", true, "1", "0"));
    drain();
    ASSERT_EQ(session->state().currentplayer, 1);
    const ConnectionId three = idOfSlot[3];
    bool closedDuringSend = false;
    onSend = [&](ConnectionId to) {
        if (to == three && !closedDuringSend) {
            closedDuringSend = true;
            session->closed(three);
        }
    };
    session->game().findplayer(); // tells everybody, slot 3 included, that 2 is on turn
    ASSERT_TRUE(closedDuringSend);
    EXPECT_EQ(session->state().players[3].connected, 1);
    EXPECT_EQ(countStarting(1, "CMD_playerdisconnected+"), 0);
    EXPECT_TRUE(heardExactly(2, "CMD_nextplayer+2+"));

    ASSERT_TRUE(sessionTimer.active());
    sessionTimer.step();
    EXPECT_EQ(session->state().players[3].connected, 0);
    EXPECT_TRUE(heardExactly(1, "CMD_playerdisconnected+3+P3"));
    EXPECT_TRUE(heardExactly(2, "CMD_playerdisconnected+3+P3"));
    EXPECT_FALSE(sessionTimer.active());
    EXPECT_EQ(accept(), 3);
}

// Seats kept for players whose connection dropped during a game: who gets a
// slot afterwards. Players sit at 192.0.2.<slot> unless the row says
// otherwise; the dropped ones leave a second apart, in the row's order.
TEST_F(Session, AKeptSeatGoesOnlyToItsPlayersAddress)
{
    const std::string other = "203.0.113.9";
    const std::string household = "198.51.100.7";
    struct Comer {
        std::string address;
        int slot; // 0: told the game is full
    };
    struct Row {
        const char* what;
        int seated = 6;
        std::vector<int> dropped;
        std::vector<Comer> comers;
        int holdMs = 120000;
        bool game = true;
        bool removed = false; // the host's player removes them instead
        std::map<int, std::string> addresses = {};
        std::vector<int> leftBeforeGame = {};
        int waitMs = 0; // after the drops
    };
    const std::vector<Row> rows{
        {.what = "his own address gets it back", .dropped = {3}, .comers = {{"192.0.2.3", 3}}},
        {.what = "another address gets a new slot", .dropped = {3}, .comers = {{other, 7}}},
        {.what = "another address gets a free seat below, not the kept one",
         .dropped = {5},
         .comers = {{other, 3}, {other, 7}},
         .leftBeforeGame = {3}},
        {.what = "with the rest taken, another address hears the game is full",
         .seated = 9,
         .dropped = {4},
         .comers = {{other, 0}, {"192.0.2.4", 4}}},
        {.what = "a household's seats come back kept longest first",
         .dropped = {5, 3},
         .comers = {{household, 5}, {household, 3}, {household, 7}},
         .addresses = {{3, household}, {5, household}}},
        {.what = "a hold of 0 frees the seat at once", .dropped = {3}, .comers = {{other, 3}}, .holdMs = 0},
        {.what = "between games the seat is free", .dropped = {3}, .comers = {{other, 3}}, .game = false},
        {.what = "a removed player's seat is free", .dropped = {3}, .comers = {{other, 3}}, .removed = true},
        {.what = "the hosting window's own slot is not kept", .dropped = {1}, .comers = {{other, 1}}},
        {.what = "a watcher's slot is not kept", .seated = 7, .dropped = {7}, .comers = {{other, 7}}},
        {.what = "a second before the end it is still kept",
         .dropped = {3},
         .comers = {{other, 7}},
         .waitMs = 118000},
        {.what = "at the end of the hold it is free",
         .dropped = {3},
         .comers = {{other, 3}},
         .waitMs = 119000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        restart(row.holdMs);
        for (int slot = 1; slot <= row.seated; ++slot) {
            const auto special = row.addresses.find(slot);
            ASSERT_EQ(
                accept(special != row.addresses.end() ? special->second : "192.0.2." + std::to_string(slot)),
                slot);
            login(slot, "P" + std::to_string(slot));
        }
        drain();
        for (int slot : row.leftBeforeGame)
            session->closed(idOfSlot.at(slot));
        if (row.game) {
            receive(1, msg::startgame("P1", "50", "60", true, "1", "0"));
            drain();
            ASSERT_TRUE(session->state().gamerunning);
        }
        for (int slot : row.dropped) {
            const ConnectionId gone = idOfSlot.at(slot);
            if (row.removed) {
                receive(1, msg::kickhim(1, slot));
                drain();
                // He hears his own departure before the host lets him go.
                EXPECT_EQ(heard[gone].back(),
                          "CMD_playerdisconnected+" + std::to_string(slot) + "+P" + std::to_string(slot));
                EXPECT_EQ(letGo.back(), gone);
            } else {
                session->closed(gone);
            }
            sessionTimer.advance(1s);
        }
        sessionTimer.advance(std::chrono::milliseconds(row.waitMs));
        for (const Comer& comer : row.comers)
            EXPECT_EQ(accept(comer.address), comer.slot) << comer.address;
    }
}

// A kept seat in play: the turn and Klot pass over it, a late joiner hears
// it is away, its player comes back under a new name to his score and bar,
// and a hold ends by itself at its deadline or at the winner, telling
// everybody the seat is free.
TEST_F(Session, AKeptSeatIsPassedOverUntilItsPlayerIsBackOrTheHoldEnds)
{
    for (int slot = 1; slot <= 4; ++slot) {
        ASSERT_EQ(accept("192.0.2." + std::to_string(slot)), slot);
        login(slot, "P" + std::to_string(slot));
    }
    receive(1, msg::startgame("P1", "50", "60", true, "1", "0"));
    drain();
    engine::Game& game = session->game();
    ASSERT_EQ(game.state().currentplayer, 1);
    game.state().players[3].score = 37;

    session->closed(idOfSlot.at(2));
    sessionTimer.advance(1s);
    session->closed(idOfSlot.at(3));
    EXPECT_TRUE(heardExactly(1, "CMD_playerdisconnected+2+P2"));
    EXPECT_TRUE(heardExactly(4, "CMD_playerdisconnected+3+P3"));
    EXPECT_TRUE(session->seatHeld(2) && session->seatHeld(3));
    EXPECT_FALSE(game.computerPlays(2));
    game.findplayer();
    EXPECT_EQ(game.state().currentplayer, 4);
    game.findplayer();
    EXPECT_EQ(game.state().currentplayer, 1);

    // A comeback that closes before its login leaves the seat kept, untold.
    ASSERT_EQ(accept("192.0.2.3"), 3);
    session->closed(idOfSlot.at(3));
    EXPECT_TRUE(session->seatHeld(3));
    EXPECT_EQ(countStarting(1, "CMD_playerdisconnected+3+"), 1);

    ASSERT_EQ(accept("203.0.113.5"), 5);
    login(5, "Late");
    drain();
    // After his catch-up he hears that both kept seats are away.
    const std::vector<std::string>& late = heardBy(5);
    const auto indexOf = [&](std::string_view prefix) {
        return std::find_if(late.begin(), late.end(),
                            [&](const std::string& m) { return m.rfind(prefix, 0) == 0; }) -
               late.begin();
    };
    const auto board = indexOf("CMD_theboard+");
    ASSERT_LT(board, std::ssize(late));
    for (const char* away : {"CMD_playerdisconnected+2+P2", "CMD_playerdisconnected+3+P3"}) {
        EXPECT_GT(indexOf(away), board) << away;
        EXPECT_LT(indexOf(away), std::ssize(late)) << away;
    }
    EXPECT_EQ(countStarting(5, "CMD_existingplayers+2+"), 0);

    std::vector<msg::BarTile> bar;
    for (int k = 1; k <= 7; ++k)
        bar.push_back({k, game.state().players[3].tiles[k].letter});
    ASSERT_EQ(accept("192.0.2.3"), 3);
    login(3, "P3 again");
    drain();
    EXPECT_FALSE(session->seatHeld(3));
    EXPECT_TRUE(heardExactly(1, "CMD_newplayerinfo+3+P3 again"));
    EXPECT_EQ(game.state().players[3].score, 37);
    const std::string stats = msg::stats(3, 50, 60, 1, game.state().turnticks, game.state().gamemode,
                                         game.state().fourplayeroption, {0, 0, 37, 0, 0, 0});
    EXPECT_TRUE(heardExactly(3, stats.substr(0, stats.size() - 1)));
    const std::string tiles = msg::mytiles(3, bar);
    EXPECT_TRUE(heardExactly(3, tiles.substr(0, tiles.size() - 1)));
    EXPECT_TRUE(heardExactly(3, "CMD_playerdisconnected+2+P2"));

    // Seat 2's hold ends at its deadline, 120 s after its drop: it is free,
    // and Klot's again.
    sessionTimer.advance(118s);
    EXPECT_TRUE(session->seatHeld(2));
    sessionTimer.advance(1s);
    EXPECT_FALSE(session->seatHeld(2));
    for (int slot : {1, 3, 4, 5})
        EXPECT_TRUE(heardExactly(slot, "CMD_playerdisconnected+2+")) << slot;
    EXPECT_TRUE(game.state().players[2].name.empty());
    game.findplayer();
    EXPECT_EQ(game.state().currentplayer, 2);
    EXPECT_TRUE(game.computerPlays(2));

    // Seat 4's hold ends at the winner, after him.
    session->closed(idOfSlot.at(4));
    ASSERT_TRUE(session->seatHeld(4));
    game.state().players[1].score = 60;
    game.state().currentplayer = 6;
    game.findplayer();
    EXPECT_FALSE(game.state().gamerunning);
    EXPECT_FALSE(session->seatHeld(4));
    const std::vector<std::string>& first = heardBy(1);
    const auto winner = std::find(first.begin(), first.end(), "CMD_winner+P1+");
    ASSERT_NE(winner, first.end());
    EXPECT_NE(std::find(winner, first.end(), "CMD_playerdisconnected+4+"), first.end());
}

// Where slot 1 is remote and every seat that could play is kept, Klot's
// included, the turn waits in pauses instead of walking the table for ever,
// and goes to the first player back.
TEST_F(Session, WithEverySeatKeptTheTurnWaitsForAPlayerBack)
{
    restart(HostSessionSettings{}.seatHoldMs, true);
    for (int slot = 1; slot <= 2; ++slot) {
        ASSERT_EQ(accept("192.0.2." + std::to_string(slot)), slot);
        login(slot, "P" + std::to_string(slot));
    }
    receive(1, msg::startgame("P1", "50", "60", true, "1", "0"));
    drain();
    session->closed(idOfSlot.at(1));
    EXPECT_EQ(session->state().currentplayer, 2);
    session->closed(idOfSlot.at(2));
    EXPECT_EQ(session->state().timer1phase, engine::Game::kPause);
    EXPECT_FALSE(session->game().computerPlays(session->state().currentplayer));

    ASSERT_EQ(accept("192.0.2.1"), 1);
    login(1, "P1");
    drain();
    for (int i = 0; i < 10 && session->state().timer1phase != engine::Game::kBuilding; ++i)
        timeline.step();
    EXPECT_EQ(session->state().currentplayer, 1);
    EXPECT_EQ(session->state().timer1phase, engine::Game::kBuilding);
    EXPECT_TRUE(session->seatHeld(2));
}

// A seat kept on restore (holdSeat): nothing is told, the turn it holds stays
// with it, only its address gets it, and an unanswered hold moves the turn on.
TEST_F(Session, ASeatKeptOnRestoreHoldsItsTurnUntilTheHoldEnds)
{
    engine::Game& game = session->game();
    game.state().gamerunning = 1;
    game.state().creationtime = 60;
    game.state().currentplayer = 3;
    session->holdSeat(3, "192.0.2.3", "Ann");
    session->holdSeat(7, "192.0.2.7", "Watcher"); // not a seat: nothing kept
    EXPECT_TRUE(session->seatHeld(3));
    EXPECT_FALSE(session->seatHeld(7));
    EXPECT_EQ(game.state().currentplayer, 3);
    EXPECT_EQ(game.state().players[3].name, "Ann");
    EXPECT_FALSE(game.computerPlays(3));

    ASSERT_EQ(accept("203.0.113.1"), 1);
    login(1, "Host");
    drain();
    EXPECT_TRUE(heardExactly(1, "CMD_playerdisconnected+3+Ann"));
    ASSERT_EQ(accept("203.0.113.2"), 2);
    login(2, "Two");
    drain();
    sessionTimer.advance(120s);
    EXPECT_FALSE(session->seatHeld(3));
    EXPECT_TRUE(heardExactly(1, "CMD_playerdisconnected+3+"));
    EXPECT_NE(game.state().currentplayer, 3);
    EXPECT_EQ(accept("203.0.113.3"), 3);
}

// The host's dispatch binds each request to the game or to the session; the
// table and the game's map must agree, or a request would find no handler.
TEST(HostRequestTable, TheGameHandlesExactlyTheRequestsMarkedForIt)
{
    for (const wire::HostRequestRule& rule : wire::kHostRequests)
        EXPECT_EQ(gameRequestHandler(rule.request) != nullptr, rule.handler == wire::Handler::game)
            << rule.command;
}

} // namespace
} // namespace lexiflip::host
