#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "wire/field_reader.h"
#include "wire/game_mode.h"
#include "wire/game_size.h"
#include "wire/messages.h"
#include "wire/turn_time.h"

// Readers of what the host sends its clients, one beside each builder of
// messages.h. Each takes the payload (the text after the command word's "+",
// terminator gone) and gives its fields typed and range-checked: a message
// whose fields do not parse or lie outside the board, the bar, the word row or
// the seats gives nothing, so that a hostile host cannot reach past an array.
// What a reader lets through is what the game window has always acted on: a
// missing trailing "+" is tolerated, and so is a slot field no seat holds where
// the message is shown whoever sent it.
namespace lexiflip::wire {

// Letter codes: 1..26 are A..Z, 0 a blank.
inline constexpr int kLastLetterCode = 26;

// A list the host sends item by item, read up to its end or a trailing "+".
// The items before a bad one are kept: the window has always acted on them.
template <class Item> struct ReadList {
    std::vector<Item> items;
    // Reading stopped at an item that did not parse or was out of range.
    bool refused = false;
    // The list ended in a group of fields cut short, which was left out.
    bool cutShort = false;
    bool whole() const { return !refused && !cutShort; }
};

// newplayerinfo, existingplayers and playerdisconnected: slot 1..9 and the
// rest of the payload as the name (a name may hold "+").
struct PlayerInfo {
    int slot = 0;
    std::string_view name;
};

// playasound: seat is the sender when it is a seat (1..6); a watcher's slot or
// a broken number names nobody. sound is its "wave" N.
struct PlayASound {
    std::optional<int> seat;
    std::string_view sound;
};

struct JustWatching {
    int seat = 0;
    bool watching = false;
};

// The host's relay of startgame. It is acted on whatever it holds: a mode that
// is no digit leaves the mode as it was, a turn time that is not a positive
// number is left out, any other is held to kTurnSecondsMin..kTurnSecondsMax.
// maxFour is the text the starter sent ("0" or "1").
struct StartGame {
    std::string_view starter;
    std::string_view playToScore;
    std::optional<int> turnSeconds;
    std::optional<GameMode> mode;
    std::string_view maxFour;
};

struct PlayerTiles {
    int slot = 0;
    ReadList<msg::BarTile> tiles; // positions 1..7, any code
};

// The slot of a move's maker is any number: the move is shown whoever made it,
// and only the maker's own window does something more.
struct HeFlip {
    int slot = 0;
    int x = 0;
    int y = 0;
    bool last = false;
    int remaining = 0;
};

struct Flipped {
    int slot = 0;
    ReadList<Origin> cells;
};

struct HeUseBoardLetter {
    int slot = 0;
    int x = 0;
    int y = 0;
    int wordPosition = 0;
    int code = 0;
};

struct HeUseBarLetter {
    int slot = 0;
    int wordPosition = 0;
    int code = 0;
};

// Letters given back: word positions 1..10 and where each came from, a board
// cell or (x 0) the bar.
struct HeClickClear {
    int slot = 0;
    ReadList<msg::RemovedLetter> letters;
};

struct HisWord {
    int seat = 0;
    std::string_view word;
    int totalScore = 0;
    int wordScore = 0;
};

struct BuyTiles {
    int seat = 0;
    int newScore = 0;
    std::string_view cost;
};

struct SeatScore {
    int seat = 0;
    int score = 0;
};

// A late joiner's catch-up: a turnSeconds below 1 refuses it, any other is
// held to kTurnSecondsMin..kTurnSecondsMax; currentPlayer 0..6.
struct Stats {
    int slot = 0;
    std::string_view playToScore;
    int turnSeconds = 0;
    int currentPlayer = 0;
    int turnTicks = 0;
    std::optional<GameMode> mode;
    std::string_view maxFour;
    ReadList<SeatScore> scores;
};

// Slot 1..9 (sendlogininfo, invalid, timeup, sneak).
std::optional<int> readSendlogininfo(std::string_view payload);
std::optional<int> readInvalid(std::string_view payload);
std::optional<int> readTimeup(std::string_view payload);
std::optional<int> readSneak(std::string_view payload);
// Seat 1..6 (nextplayer, hepasses, notenough).
std::optional<int> readNextplayer(std::string_view payload);
std::optional<int> readHepasses(std::string_view payload);
std::optional<int> readNotenough(std::string_view payload);
// The seat the sneaker stands at, or 0 when he goes.
std::optional<int> readSneaker(std::string_view payload);

std::optional<PlayerInfo> readPlayerinfo(std::string_view payload);
PlayASound readPlayasound(std::string_view payload);
std::optional<JustWatching> readJustwatching(std::string_view payload);
StartGame readStartgame(std::string_view payload);
// The winner's name; one that holds "+" is known only up to it.
std::string_view readWinner(std::string_view payload);
ReadList<msg::Cell> readTheboard(std::string_view payload);          // cells on the board, codes 0..26
std::optional<PlayerTiles> readMytiles(std::string_view payload);    // slot 1..9
std::optional<PlayerTiles> readTheirtiles(std::string_view payload); // seat 1..6
std::optional<HeFlip> readHeflip(std::string_view payload);
std::optional<Flipped> readIsflipped(std::string_view payload);
std::optional<HeUseBoardLetter> readHeuseboardletter(std::string_view payload);
std::optional<HeUseBarLetter> readHeusebarletter(std::string_view payload);
std::optional<HeClickClear> readHeclickclear(std::string_view payload);
std::optional<HisWord> readHisword(std::string_view payload);
std::optional<BuyTiles> readBuytiles(std::string_view payload);
std::optional<Stats> readStats(std::string_view payload);

} // namespace lexiflip::wire
