#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "wire/client_messages.h"

using namespace lexiflip::wire;

namespace {

// Each reader's result as one line of text, "-" for nothing, so that one table
// can hold every message.
using Reader = std::function<std::string(std::string_view)>;

std::string n(int value)
{
    return std::to_string(value);
}
std::string n(const std::optional<int>& value)
{
    return value ? n(*value) : "-";
}
std::string n(const std::optional<GameMode>& mode)
{
    return mode ? std::string(gameModeWord(*mode)) : "-";
}
template <class Item, class Show> std::string list(const ReadList<Item>& read, Show show)
{
    std::string text;
    for (const Item& item : read.items)
        text += " " + show(item);
    return text + (read.refused ? " refused" : "") + (read.cutShort ? " cut" : "");
}
template <class T, class Show> Reader optional(std::optional<T> (*read)(std::string_view), Show show)
{
    return [read, show](std::string_view payload) {
        const std::optional<T> value = read(payload);
        return value ? show(*value) : std::string("-");
    };
}
std::string tile(const msg::BarTile& t)
{
    return n(t.position) + ":" + n(t.code);
}
std::string origin(const Origin& o)
{
    return n(o.x) + "," + n(o.y);
}
std::string tiles(const PlayerTiles& t)
{
    return n(t.slot) + list(t.tiles, tile);
}

const Reader number[] = {
    [](std::string_view p) { return n(readSendlogininfo(p)); },
    [](std::string_view p) { return n(readNextplayer(p)); },
    [](std::string_view p) { return n(readSneaker(p)); },
    [](std::string_view p) { return n(readTimeup(p)); },
};
const Reader playerinfo =
    optional(readPlayerinfo, [](const PlayerInfo& i) { return n(i.slot) + " " + std::string(i.name); });
const Reader playasound = [](std::string_view p) {
    const PlayASound s = readPlayasound(p);
    return n(s.seat) + " " + std::string(s.sound);
};
const Reader justwatching =
    optional(readJustwatching, [](const JustWatching& j) { return n(j.seat) + (j.watching ? " t" : " f"); });
const Reader startgame = [](std::string_view p) {
    const StartGame s = readStartgame(p);
    return std::string(s.starter) + " " + std::string(s.playToScore) + " " + n(s.turnSeconds) + " " +
           n(s.mode) + " " + std::string(s.maxFour);
};
const Reader winner = [](std::string_view p) { return std::string(readWinner(p)); };
const Reader theboard = [](std::string_view p) {
    return list(readTheboard(p), [](const msg::Cell& c) { return n(c.x) + "," + n(c.y) + ":" + n(c.code); });
};
const Reader mytiles = optional(readMytiles, tiles);
const Reader theirtiles = optional(readTheirtiles, tiles);
const Reader heflip = optional(readHeflip, [](const HeFlip& f) {
    return n(f.slot) + " " + n(f.x) + "," + n(f.y) + (f.last ? " t " : " f ") + n(f.remaining);
});
const Reader isflipped =
    optional(readIsflipped, [](const Flipped& f) { return n(f.slot) + list(f.cells, origin); });
const Reader boardletter = optional(readHeuseboardletter, [](const HeUseBoardLetter& l) {
    return n(l.slot) + " " + n(l.x) + "," + n(l.y) + " " + n(l.wordPosition) + ":" + n(l.code);
});
const Reader barletter = optional(readHeusebarletter, [](const HeUseBarLetter& l) {
    return n(l.slot) + " " + n(l.wordPosition) + ":" + n(l.code);
});
const Reader clickclear = optional(readHeclickclear, [](const HeClickClear& c) {
    return n(c.slot) + list(c.letters, [](const msg::RemovedLetter& l) {
               return n(l.wordPosition) + "<" + origin(l.origin);
           });
});
const Reader hisword = optional(readHisword, [](const HisWord& w) {
    return n(w.seat) + " " + std::string(w.word) + " " + n(w.totalScore) + " " + n(w.wordScore);
});
const Reader buytiles = optional(readBuytiles, [](const BuyTiles& b) {
    return n(b.seat) + " " + n(b.newScore) + " " + std::string(b.cost);
});
const Reader stats = optional(readStats, [](const Stats& s) {
    return n(s.slot) + " " + std::string(s.playToScore) + " " + n(s.turnSeconds) + " " + n(s.currentPlayer) +
           " " + n(s.turnTicks) + " " + n(s.mode) + " " + std::string(s.maxFour) +
           list(s.scores, [](const SeatScore& x) { return n(x.seat) + "=" + n(x.score); });
});

std::string payload(const std::string& message)
{
    return std::string(msg::payloadOf(message));
}

struct Row {
    const Reader* reader;
    std::string payload;
    std::string fields;
};

// Builder, then reader: the fields come back as they went out.
const Row kRoundTrips[] = {
    {&number[0], payload(msg::sendlogininfo(9)), "9"},
    {&playerinfo, payload(msg::newplayerinfo(7, "You+Me")), "7 You+Me"},
    {&playerinfo, payload(msg::playerdisconnected(3, "Bo")), "3 Bo"},
    {&playasound, payload(msg::playasoundRelay(6, "wave4+")), "6 wave4"},
    {&justwatching, payload(msg::justwatching(2, "1")), "2 t"},
    {&startgame, payload(msg::startgameRelay("Ann", 100, 45, "2", "1")), "Ann 100 45 help 1"},
    {&theboard, payload(msg::theboard({{1, 1, 0}, {10, 8, 26}})), " 1,1:0 10,8:26"},
    {&mytiles, payload(msg::mytiles(9, {{1, 3}, {7, 99}})), "9 1:3 7:99"},
    {&theirtiles, payload(msg::theirtiles(6, {{2, 26}})), "6 2:26"},
    {&number[1], payload(msg::nextplayer(6)), "6"},
    {&number[2], payload(msg::sneaker(0)), "0"},
    {&heflip, payload(msg::heflip(1, 10, 8, true, 0)), "1 10,8 t 0"},
    {&heflip, payload(msg::heflip(2, 1, 1, false, 4)), "2 1,1 f 4"},
    {&boardletter, payload(msg::heuseboardletter(1, 5, 2, 10, 20)), "1 5,2 10:20"},
    {&barletter, payload(msg::heusebarletter(1, 1, 17)), "1 1:17"},
    {&clickclear, payload(msg::heclickclear(1, "1+0,3+2+5,2")), "1 1<0,3 2<5,2"},
    {&hisword, payload(msg::hisword(6, "quit", 13, 13, {17, 21, 9, 20})), "6 quit 13 13"},
    {&number[3], payload(msg::timeup(9)), "9"},
    {&buytiles, payload(msg::buytiles(2, 5)), "2 5 20"},
    {&stats, payload(msg::stats(3, 100, 60, 0, 41, "sneak", "0", {10, 20, 0, 0, 0, -5})),
     "3 100 60 0 41 sneak 0 1=10 2=20 3=0 4=0 5=0 6=-5"},
    {&isflipped, payload(msg::isflipped(3, {{1, 2}, {10, 8}})), "3 1,2 10,8"},
    {&winner, payload(msg::winner("Klot")), "Klot"},
};

// What a hostile or broken host may send: out of range or unparsable gives
// nothing; what the window has always tolerated still reads.
const Row kMalformed[] = {
    {&number[0], "0", "-"},
    {&number[0], "10", "-"},
    {&number[0], "1x", "-"},
    {&number[0], "4", "4"}, // no trailing "+"
    {&number[1], "7+", "-"},
    {&number[1], "0+", "-"},
    {&number[2], "-1+", "-"},
    {&number[2], "7+", "-"},
    {&playerinfo, "10+Eve", "-"},
    {&playerinfo, "3", "-"}, // no name field at all
    {&playasound, "8+wave2+", "- wave2"},
    {&playasound, "x+wave1", "- wave1"},
    {&playasound, "wave1", "- wave1"},
    {&justwatching, "7+1", "-"},
    {&justwatching, "3+2", "3 f"},
    {&startgame, "Ann+100+0+4+0+", "Ann 100 - - 0"},
    {&startgame, "Ann+100+x", "Ann 100 - - "},
    {&theboard, "1+1+5+11+1+3+2+2+4", " 1,1:5 refused"},
    {&theboard, "1+1+27", " refused"},
    {&theboard, "1+1+5+2+2", " 1,1:5 cut"},
    {&theboard, "1+1+5+", " 1,1:5"},
    {&mytiles, "1+1+3+8+4+2+5", "1 1:3 refused"},
    {&mytiles, "1+3", "1 cut"},
    {&mytiles, "10+1+3", "-"},
    {&theirtiles, "7+1+3", "-"},
    {&heflip, "1+11+1+f+4+", "-"},
    {&heflip, "1+1+9+f+4+", "-"},
    {&heflip, "1+1+1+f+", "-"},
    {&heflip, "99+1+1+f+4", "99 1,1 f 4"}, // a move is shown whoever made it
    {&isflipped, "1+3+4+0+2+5+6", "1 3,4 refused"},
    {&boardletter, "1+5+2+11+20+", "-"},
    {&boardletter, "1+5+2+0+20+", "-"},
    {&boardletter, "1+5+0+1+20+", "-"},
    {&barletter, "1+11+17+", "-"},
    {&barletter, "1+1+x+", "-"},
    {&clickclear, "1+1+0,99+2+11,2+3+5,2", "1 1<0,99 refused"},
    {&clickclear, "1+11+5,2", "1 refused"},
    {&clickclear, "1+1+5,2+", "1 1<5,2"},
    {&clickclear, "1+1", "1 cut"},
    {&hisword, "7+ox+20+0", "-"},
    {&hisword, "2+ox+20", "-"},
    {&buytiles, "0+5+20+", "-"},
    {&buytiles, "3+5", "3 5 "},
    {&stats, "10+100+60+2+41+help+0+1+10", "-"},
    {&stats, "3+100+0+2+41+help+0+1+10", "-"},
    {&stats, "3+100+60+7+41+help+0+1+10", "-"},
    {&stats, "3+100+60+2+x+help+0+1+10", "-"},
    {&stats, "3+100+60+2+41+easy+0+7+10+1+5", "3 100 60 2 41 - 0 refused"},
    {&winner, "Bo+b+", "Bo"},
};

} // namespace

TEST(ClientMessages, ReadersGiveBackWhatTheBuildersWrote)
{
    for (const Row& row : kRoundTrips)
        EXPECT_EQ((*row.reader)(row.payload), row.fields) << row.payload;
}

TEST(ClientMessages, ReadersDropWhatIsOutOfRangeAndTolerateWhatTheWindowAlwaysDid)
{
    for (const Row& row : kMalformed)
        EXPECT_EQ((*row.reader)(row.payload), row.fields) << row.payload;
}

TEST(ClientMessages, GameModeTextsConvertBothWays)
{
    for (GameMode mode : kGameModes) {
        EXPECT_EQ(gameModeFromDigit(gameModeDigit(mode)), mode);
        EXPECT_EQ(gameModeFromWord(gameModeWord(mode)), mode);
        EXPECT_EQ(gameModeFromNumber(static_cast<int>(mode)), mode);
        EXPECT_EQ(gameModeHeader(mode), "Game Mode: " + std::string(gameModeCaption(mode)));
    }
    EXPECT_EQ(gameModeDigit(GameMode::sneak), "3");
    EXPECT_EQ(gameModeWord(GameMode::help), "help");
    EXPECT_EQ(gameModeCaption(GameMode::blind), "Blind");
    EXPECT_EQ(gameModeFromDigit("0"), std::nullopt);
    EXPECT_EQ(gameModeFromWord("Blind"), std::nullopt);
    EXPECT_EQ(gameModeFromNumber(4), std::nullopt);
}
