#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/game/game_recorder.h"
#include "record/replay_steps.h"
#include "support/client_rig.h"
#include "wire/messages.h"

namespace lexiflip::client {
namespace {

namespace msg = wire::msg;

// A sink that keeps what it was given.
struct KeptRecord : record::RecordSink {
    void begin(const record::GameRecord& header) override
    {
        game = header;
        ++begun;
    }
    void add(const record::Event& event) override { game.events.push_back(event); }
    void end() override { ++ended; }
    record::GameRecord game;
    int begun = 0;
    int ended = 0;
};

// One window at the table: its game, its recorder and the sink.
struct Window {
    explicit Window(int slot, std::string name)
    {
        rig.game.setRecorder(&recorder);
        rig.login(slot, name);
    }
    void take(const std::string& message)
    {
        // Without the terminator, as the session hands entries over.
        rig.game.handle(std::string_view(message).substr(0, message.size() - 1));
    }
    testing::ClientRig rig;
    KeptRecord kept;
    GameRecorder recorder{kept, [] { return std::string("2026-12-09T14:05:00Z"); }};
};

int code(char letter)
{
    return letter - 'A' + 1;
}

// A host's game seen by Ann's window (seat 1) and Wat's (a watcher in slot 7):
// what goes to all goes to both, what goes to one goes to it alone, and Ann's
// own moves are her clicks (the host relays them to the others only).
class Table : public ::testing::Test {
protected:
    void all(const std::string& message)
    {
        ann.take(message);
        wat.take(message);
    }
    void letters(char first, std::vector<msg::Cell>& cells)
    {
        for (int x = 1; x <= 10; ++x)
            for (int y = 1; y <= 8; ++y)
                cells.push_back({x, y, code(static_cast<char>(first + (x + y) % 20))});
    }
    // Seat flips five cells of row 1, columns 1..5.
    void flipFive(int seat)
    {
        for (int x = 1; x <= 5; ++x) {
            if (seat == 1)
                ann.rig.game.turn().paintbox_boardMouseUp(x, 1, MouseButton::Left);
            all(msg::heflip(seat, x, 1, x == 5, 5 - x));
        }
    }
    char boardLetter(int x, int y) const { return static_cast<char>('A' + (x + y) % 20); }

    Window ann{1, "Ann"};
    Window wat{7, "Wat"};
};

TEST_F(Table, PlayersAndWatchersWindowsKeepTheSameRecordLessTheOwnBar)
{
    all(msg::newplayerinfo(1, "Ann"));
    all(msg::newplayerinfo(7, "Wat"));
    all(msg::startgameRelay("Ann", 60, 45, "1", "0"));
    std::vector<msg::Cell> cells;
    letters('A', cells);
    all(msg::theboard(cells));
    ann.take(msg::mytiles(1, {{1, code('S')},
                              {2, code('T')},
                              {3, code('O')},
                              {4, code('P')},
                              {5, code('Q')},
                              {6, code('R')},
                              {7, code('E')}}));

    // Ann: bar S, then the board's (2,1), then bar T.
    all(msg::nextplayer(1));
    flipFive(1);
    ann.rig.game.turn().letters_1MouseUp(1, MouseButton::Left);
    ann.rig.game.turn().paintbox_boardMouseUp(2, 1, MouseButton::Left);
    ann.rig.game.turn().letters_1MouseUp(2, MouseButton::Left);
    ann.rig.game.turn().clickdone();
    wat.take(msg::heusebarletter(1, 1, code('S')));
    wat.take(msg::heuseboardletter(1, 2, 1, 2, code(boardLetter(2, 1))));
    wat.take(msg::heusebarletter(1, 3, code('T')));
    const std::string annWord = std::string("s") + static_cast<char>(boardLetter(2, 1) | 0x20) + "t";
    // S 1, D on the board 2 * 1, T 1: no bonuses for three letters.
    all(msg::hisword(1, annWord, 4, 4, {}));
    all(msg::theboard({{2, 1, code('Z')}}));
    ann.take(msg::mytiles(1, {{1, code('A')}, {2, code('B')}}));

    // Klot: two board letters, a mistake given back, one bar letter.
    all(msg::nextplayer(2));
    flipFive(2);
    all(msg::heuseboardletter(2, 4, 1, 1, code(boardLetter(4, 1))));
    all(msg::heuseboardletter(2, 5, 1, 2, code(boardLetter(5, 1))));
    all(msg::heusebarletter(2, 3, code('X')));
    all(msg::heclickclear(2, "3,0,1+"));
    all(msg::heusebarletter(2, 3, code('Y')));
    all(msg::hisword(2, "efy", 30, 30, {}));

    all(msg::newplayerinfo(8, "Late"));
    all(msg::justwatching(1, "1"));
    all(msg::justwatching(1, "0"));
    all(msg::nextplayer(1));
    ann.take(msg::mytiles(1, {{1, code('K')},
                              {2, code('L')},
                              {3, code('M')},
                              {4, code('N')},
                              {5, code('O')},
                              {6, code('P')},
                              {7, code('Q')}}));
    all(msg::buytiles(1, 0));
    all(msg::hepasses(1));
    all(msg::playerdisconnected(8, "Late"));
    all(msg::nextplayer(2));
    all(msg::timeup(2));
    all(msg::winner("Klot"));

    const record::GameRecord& own = ann.kept.game;
    const record::GameRecord& seen = wat.kept.game;
    EXPECT_EQ(ann.kept.ended, 1);
    EXPECT_FALSE(ann.recorder.recording());
    EXPECT_EQ(own.self, 1);
    EXPECT_EQ(seen.self, 7);
    EXPECT_EQ(own.options, (record::Options{60, 45, "blind", false}));
    EXPECT_EQ(own.seats, (std::vector<record::Person>{{1, "Ann"}, {2, "Klot"}}));
    EXPECT_EQ(own.watchers, (std::vector<record::Person>{{7, "Wat"}}));

    std::vector<record::Event> ownBars;
    record::GameRecord withoutBars = own;
    std::erase_if(withoutBars.events, [&](const record::Event& e) {
        if (std::holds_alternative<record::OwnBar>(e))
            ownBars.push_back(e);
        return std::holds_alternative<record::OwnBar>(e);
    });
    withoutBars.self = seen.self;
    EXPECT_EQ(withoutBars, seen);
    // At each own turn, and the fresh bar after the purchase.
    EXPECT_EQ(ownBars, (std::vector<record::Event>{record::OwnBar{"STOPQRE"}, record::OwnBar{"ABOPQRE"},
                                                   record::OwnBar{"KLMNOPQ"}}));

    using K = record::Source::Kind;
    const auto* annWordEvent = std::get_if<record::Word>(&seen.events[6]);
    ASSERT_NE(annWordEvent, nullptr) << record::writeRecord(seen);
    EXPECT_EQ(annWordEvent->from, (std::vector<record::Source>{{K::bar}, {K::board, 2, 1}, {K::bar}}));
    EXPECT_EQ(annWordEvent->bonus, 0);
    std::vector<record::Word> words;
    for (const record::Event& e : seen.events)
        if (const auto* word = std::get_if<record::Word>(&e))
            words.push_back(*word);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[1].letters, "EFY");
    EXPECT_EQ(words[1].from, (std::vector<record::Source>{{K::board, 4, 1}, {K::board, 5, 1}, {K::bar}}));

    // The record read back from its text replays to the window's own end.
    const auto read = record::readRecord(record::writeRecord(own));
    ASSERT_TRUE(std::holds_alternative<record::GameRecord>(read));
    const std::vector<record::ReplayStep> steps = record::replaySteps(std::get<record::GameRecord>(read));
    for (int seat = 1; seat <= 6; ++seat)
        EXPECT_EQ(std::to_string(steps.back().scores[static_cast<std::size_t>(seat - 1)]),
                  ann.rig.game.roster().seat(seat).score);
    EXPECT_EQ(std::get<record::GameRecord>(read).winner(), "Klot");
    EXPECT_EQ(record::roundScores(steps).size(), 2u);
}

TEST_F(Table, LateJoinerRecordsFromItsCatchUpAndANewGameEndsTheOldRecord)
{
    all(msg::newplayerinfo(1, "Ann"));
    wat.take(msg::stats(7, 100, 60, 2, 12, "sneak", "1", {5, 17, 0, 0, 0, 0}));
    wat.take(msg::theboard({{3, 3, code('Q')}}));
    wat.take(msg::isflipped(7, {{3, 3}}));
    ASSERT_TRUE(wat.recorder.recording());
    const record::GameRecord& seen = wat.kept.game;
    ASSERT_TRUE(seen.catchUp);
    EXPECT_EQ(*seen.catchUp, (record::CatchUp{2, {5, 17, 0, 0, 0, 0}}));
    EXPECT_EQ(seen.options, (record::Options{100, 60, "sneak", true}));
    EXPECT_EQ(seen.events, (std::vector<record::Event>{record::Flip{3, 3, 'Q'}}));

    // Stats meant for another window starts nothing here.
    ann.take(msg::stats(7, 100, 60, 2, 12, "sneak", "1", {5, 17, 0, 0, 0, 0}));
    EXPECT_EQ(ann.kept.begun, 0);

    wat.take(msg::startgameRelay("Ann", 60, 45, "1", "0"));
    EXPECT_EQ(wat.kept.ended, 1);
    // A host that never stops sending fills neither the memory nor the disk.
    for (std::size_t i = 0; i <= GameRecorder::kMaxEvents; ++i)
        wat.take(msg::hepasses(2));
    EXPECT_EQ(wat.kept.game.events.size(), GameRecorder::kMaxEvents);
    EXPECT_EQ(wat.recorder.lastRecord()->events.size(), GameRecorder::kMaxEvents);
    EXPECT_EQ(wat.kept.begun, 2);
    // The window leaving its game ends the record it keeps.
    wat.rig.game.reset();
    EXPECT_EQ(wat.kept.ended, 2);
}

} // namespace
} // namespace lexiflip::client
