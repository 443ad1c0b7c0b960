#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "wire/game_size.h"

// A game as one window followed it, kept as plain text so that a person can
// read it in a text editor and the replay can read it back. The window writes
// it as the game goes, one event a line; a record of a game cut short (the
// program ended, the host went away) simply has no winner.
//
// The text, version 1. Every line is a keyword and its fields, separated by
// single spaces, and ends in a line feed. A name is always the last field: it
// runs to the end of the line, its bytes as the host sent them, with "%", the
// control characters and DEL written as "%" and two hexadecimal digits. A
// letter is A..Z, or "?" for a tile that carries no letter.
//
//   lexiflip-record 1             the first line: what the file is, its version
//   began 2026-12-09T14:05:00Z    when the record began, in UTC
//   options T S MODE F            play-to score, seconds a turn, blind|help|sneak, 4 player max 0|1
//   starter NAME                  who started the game
//   self SLOT                     the slot of the window that kept the record (0: none yet)
//   seat N NAME                   seat 1..6 as the game began, one line a taken seat
//   watcher SLOT NAME             a watcher 7..9 as the game began
//   catchup N S1 S2 S3 S4 S5 S6   the game was running when this window came in:
//                                 seat N's turn, and every seat's score then
//   (the header ends here; the events follow, in the order they came)
//   join SLOT NAME                somebody came in
//   leave SLOT NAME               somebody went
//   watch N on|off                seat N began or stopped just watching
//   turn N                        seat N's turn began; the board is all face down
//   bar LETTERS                   the keeping window's own bar at its turn, 7 letters
//   flip X Y L                    the turn's flip of column X 1..10, row Y 1..8: letter L
//   word N LETTERS P B T FROM...  seat N made LETTERS for P points, B of them
//                                 bonuses ("?" unknown), T in total after; then
//                                 where each letter came from: X,Y a board
//                                 cell, "bar", or "?" unknown
//   pass N                        seat N passed
//   buy N T                       seat N bought a fresh bar, T points left
//   timeout N                     seat N's time ran out
//   tie                           the scores tied at the top: another round
//   winner NAME                   the host announced the winner
//   final S1 S2 S3 S4 S5 S6       every seat's score at the end
//
// The own bar's shuffles and swaps change nothing in the game and are not
// kept. A last line without its line feed was cut short while it was being
// written: the reader leaves it out (at most that one event is lost).
namespace lexiflip::record {

inline constexpr int kRecordVersion = 1;
inline constexpr std::string_view kMagic = "lexiflip-record";
inline constexpr int kSeats = wire::kSeatCount;
inline constexpr int kCells = wire::kBoardColumns * wire::kBoardRows;
// A letter not among A..Z: a blank tile.
inline constexpr char kNoLetter = '?';

// The options the game was started with.
struct Options {
    int target = 0;       // play-to score
    int turnSeconds = 60; // seconds a turn
    std::string mode = "sneak";
    bool maxFour = false;
    bool operator==(const Options&) const = default;
};

struct Person {
    int slot = 0; // seats 1..6 play, slots 7..9 watch
    std::string name;
    bool operator==(const Person&) const = default;
};

struct CatchUp {
    int currentSeat = 0; // 0..6
    std::array<int, kSeats> scores{};
    bool operator==(const CatchUp&) const = default;
};

// Where one letter of a word came from.
struct Source {
    enum class Kind { board, bar, unknown };
    Kind kind = Kind::unknown;
    int x = 0; // board cells only
    int y = 0;
    bool operator==(const Source&) const = default;
};

struct Join {
    Person who;
    bool operator==(const Join&) const = default;
};
struct Leave {
    Person who;
    bool operator==(const Leave&) const = default;
};
struct JustWatch {
    int seat = 0;
    bool watching = false;
    bool operator==(const JustWatch&) const = default;
};
struct TurnStart {
    int seat = 0;
    bool operator==(const TurnStart&) const = default;
};
struct OwnBar {
    std::string letters; // 7 letters A..Z or '?'
    bool operator==(const OwnBar&) const = default;
};
struct Flip {
    int x = 0;
    int y = 0;
    char letter = kNoLetter;
    bool operator==(const Flip&) const = default;
};
struct Word {
    int seat = 0;
    std::string letters; // 1..10 letters A..Z or '?'
    int score = 0;       // the word's points, bonuses included
    std::optional<int> bonus;
    int total = 0;            // the seat's score after it
    std::vector<Source> from; // one per letter
    bool operator==(const Word&) const = default;
};
struct Pass {
    int seat = 0;
    bool operator==(const Pass&) const = default;
};
struct Buy {
    int seat = 0;
    int total = 0;
    bool operator==(const Buy&) const = default;
};
struct TimeOut {
    int seat = 0;
    bool operator==(const TimeOut&) const = default;
};
struct Tie {
    bool operator==(const Tie&) const = default;
};
struct Winner {
    std::string name;
    bool operator==(const Winner&) const = default;
};
struct FinalScores {
    std::array<int, kSeats> scores{};
    bool operator==(const FinalScores&) const = default;
};

using Event = std::variant<Join, Leave, JustWatch, TurnStart, OwnBar, Flip, Word, Pass, Buy, TimeOut, Tie,
                           Winner, FinalScores>;

// The header, then the events in the order they came.
struct GameRecord {
    std::string began; // "YYYY-MM-DDTHH:MM:SSZ"
    Options options;
    std::string starter;
    int self = 0;
    std::vector<Person> seats;    // taken seats 1..6 as the game began
    std::vector<Person> watchers; // watchers as the game began
    std::optional<CatchUp> catchUp;
    std::vector<Event> events;

    // The winner's name, when the record holds one.
    std::optional<std::string> winner() const;
    // The final scores, when the record holds them.
    std::optional<std::array<int, kSeats>> finalScores() const;
    // The name of seat 1..6 as the game began, or a later join; empty when nobody.
    std::string seatName(int seat) const;
    bool operator==(const GameRecord&) const = default;
};

// A record refused: the line it failed on (1 for the first) and why.
struct RecordError {
    int line = 0;
    std::string reason;
    std::string text() const { return "line " + std::to_string(line) + ": " + reason; }
};

// Reads a whole record. A damaged text (a wrong first line, a newer version,
// an unknown keyword, a field missing, out of range or extra, a header line
// among the events) is refused with the first fault; nothing in the text can
// make the reader fail otherwise.
std::variant<GameRecord, RecordError> readRecord(std::string_view text);

// Now in UTC, as a record's "began" holds it: "2026-12-09T14:05:00Z".
std::string utcTimestamp();

// The lines of the record's header, each ending in a line feed.
std::string writeHeader(const GameRecord& record);
// One event's line, ending in a line feed.
std::string writeEventLine(const Event& event);
// The whole record: its header and every event.
std::string writeRecord(const GameRecord& record);

} // namespace lexiflip::record
