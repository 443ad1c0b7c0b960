#include <gtest/gtest.h>

#include "record/game_record.h"

namespace lexiflip::record {
namespace {

GameRecord sampleGame()
{
    GameRecord game;
    game.began = "2026-12-09T14:05:00Z";
    game.options = Options{150, 45, "help", true};
    game.starter = "Ann 100%";
    game.self = 1;
    game.seats = {{1, "Ann 100%"}, {2, "Klot"}, {3, "tab\there \xE9t\xE9"}};
    game.watchers = {{7, "  spaced  "}};
    game.events = {
        TurnStart{1},
        OwnBar{"BREATH?"},
        Flip{1, 1, 'D'},
        Flip{10, 8, 'E'},
        Word{1,
             "BREAD",
             31,
             10,
             31,
             {{Source::Kind::bar},
              {Source::Kind::bar},
              {Source::Kind::board, 10, 8},
              {Source::Kind::bar},
              {Source::Kind::board, 1, 1}}},
        Join{{8, "late"}},
        TurnStart{2},
        Word{2, "AX", 12, std::nullopt, 12, {{}, {Source::Kind::bar}}},
        JustWatch{3, true},
        TurnStart{3},
        TimeOut{3},
        Buy{1, 11},
        Pass{2},
        Leave{{8, "late"}},
        Tie{},
        Winner{"Ann 100%"},
        FinalScores{{11, 12, 0, 0, 0, 0}},
    };
    return game;
}

TEST(RecordText, WrittenRecordReadsBackTheSameWithNamesOfAnyBytes)
{
    const GameRecord game = sampleGame();
    const std::string text = writeRecord(game);
    // Names stay on one line and show in an editor: control bytes and "%" escaped.
    EXPECT_NE(text.find("seat 3 tab%09here \xE9t\xE9\n"), std::string::npos);
    EXPECT_NE(text.find("starter Ann 100%25\n"), std::string::npos);
    EXPECT_NE(text.find("word 1 BREAD 31 10 31 bar bar 10,8 bar 1,1\n"), std::string::npos);
    const auto read = readRecord(text);
    ASSERT_TRUE(std::holds_alternative<GameRecord>(read)) << std::get<RecordError>(read).text();
    EXPECT_EQ(std::get<GameRecord>(read), game);
    EXPECT_EQ(std::get<GameRecord>(read).winner(), "Ann 100%");
    EXPECT_EQ(std::get<GameRecord>(read).seatName(3), "tab\there \xE9t\xE9");
}

TEST(RecordText, LastLineWithoutItsLineFeedIsLeftOutAsCutShort)
{
    const GameRecord game = sampleGame();
    std::string text = writeRecord(game);
    // "buy 1 110" cut after "buy 1 11" would read as another score.
    text += "buy 1 11";
    const auto read = readRecord(text);
    ASSERT_TRUE(std::holds_alternative<GameRecord>(read));
    EXPECT_EQ(std::get<GameRecord>(read).events, game.events);

    // Windows line ends from an editor are read as line feeds.
    std::string crlf;
    for (const char c : writeRecord(game))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const auto fromEditor = readRecord(crlf);
    ASSERT_TRUE(std::holds_alternative<GameRecord>(fromEditor));
    EXPECT_EQ(std::get<GameRecord>(fromEditor), game);
}

TEST(RecordText, DamagedRecordsAreRefusedWithTheLineAndAReason)
{
    const std::string head = "lexiflip-record 1\nbegan 2026-12-09T14:05:00Z\noptions 200 60 sneak 0\n";
    struct Case {
        std::string text;
        int line;
        std::string reason; // a part of the reason
    };
    const Case cases[] = {
        {"", 1, "empty"},
        {"some text\n", 1, "not a game record"},
        {"lexiflip-record 2\n", 1, "version 2"},
        {"lexiflip-record\n", 1, "version"},
        {head + "options 200 60 quick 0\n", 4, "blind|help|sneak"},
        {head + "seat 7 Bob\n", 4, "seat"},
        {head + "watcher 3 Bob\n", 4, "watcher"},
        {head + "turn 1\nseat 1 Bob\n", 5, "header"},
        {head + "turn 0\n", 4, "seat 1..6"},
        {head + "turn 1 2\n", 4, "more fields"},
        {head + "flip 11 1 A\n", 4, "column"},
        {head + "flip 1 9 A\n", 4, "row"},
        {head + "flip 1 1 a\n", 4, "letter"},
        {head + "bar ABCDEF\n", 4, "7 letters"},
        {head + "word 1 BREAD 31 10 31 bar bar bar bar\n", 4, "each of its letters"},
        {head + "word 1 BREAD 31 10 31 bar bar bar bar bar bar\n", 4, "each of its letters"},
        {head + "word 1 BREAD 31 10 31 bar bar 0,1 bar bar\n", 4, "each of its letters"},
        {head + "word 1 ABCDEFGHIJK 31 10 31 bar bar bar bar bar bar bar bar bar bar bar\n", 4,
         "1..10 letters"},
        {head + "word 1 BREAD 31 x 31 bar bar bar bar bar\n", 4, "bonuses"},
        {head + "buy 1 99999999999\n", 4, "score"},
        {head + "final 1 2 3 4 5\n", 4, "six scores"},
        {head + "winner bad%4\n", 4, "escape"},
        {head + "winner bad%ZZname\n", 4, "escape"},
        {head + "join 1 a\x01name\n", 4, "join"},
        {head + "castle 1\n", 4, "unknown keyword"},
        {head + "\n", 4, "empty line"},
        {head + "pass  1\n", 4, "seat"},
    };
    for (const Case& c : cases) {
        const auto read = readRecord(c.text);
        ASSERT_TRUE(std::holds_alternative<RecordError>(read)) << c.text;
        const RecordError& error = std::get<RecordError>(read);
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << c.text << " gave: " << error.reason;
    }
}

} // namespace
} // namespace lexiflip::record
