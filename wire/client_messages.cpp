#include "wire/client_messages.h"

#include <array>
#include <span>

namespace lexiflip::wire {
namespace {

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}
bool isSeat(int number)
{
    return inRange(number, 1, kSeatCount);
}
bool isSlot(int number)
{
    return inRange(number, 1, kLastSlot);
}
bool isCell(int x, int y)
{
    return inRange(x, 1, kBoardColumns) && inRange(y, 1, kBoardRows);
}

// A message whose only field is a number in low..high.
std::optional<int> onlyNumber(std::string_view payload, int low, int high)
{
    FieldReader fields(payload);
    const std::optional<int> number = fields.takeInt();
    if (!number || !inRange(*number, low, high))
        return std::nullopt;
    return number;
}

// Reads the list that makes up the rest of a payload in groups of n items.
// read turns a group into an item, or gives nothing for a bad one, which ends
// the list.
template <class Item, class Read>
ReadList<Item> readGroups(const FieldReader& fields, std::size_t n, Read read)
{
    ReadList<Item> list;
    const std::vector<std::string_view> items = fields.list();
    for (std::size_t i = 0; i < items.size(); i += n) {
        if (i + 1 == items.size() && items[i].empty())
            break;
        if (i + n > items.size()) {
            list.cutShort = true;
            break;
        }
        const std::optional<Item> item = read(std::span<const std::string_view>(items.data() + i, n));
        if (!item) {
            list.refused = true;
            break;
        }
        list.items.push_back(*item);
    }
    return list;
}

// Items of a group read as integers, all of them or none.
template <std::size_t N> std::optional<std::array<int, N>> numbers(std::span<const std::string_view> items)
{
    std::array<int, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        const std::optional<int> value = parseInt(items[i]);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    return values;
}

// Bar positions 1..7 with any code: a code the tile set has no picture for is
// the window's to show.
ReadList<msg::BarTile> readBarTiles(const FieldReader& fields)
{
    return readGroups<msg::BarTile>(fields, 2, [](auto items) -> std::optional<msg::BarTile> {
        const auto values = numbers<2>(items);
        if (!values || !inRange((*values)[0], 1, kBarTiles))
            return std::nullopt;
        return msg::BarTile{(*values)[0], (*values)[1]};
    });
}

std::optional<PlayerTiles> readTiles(std::string_view payload, int lastSlot)
{
    FieldReader fields(payload);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !inRange(*slot, 1, lastSlot))
        return std::nullopt;
    return PlayerTiles{*slot, readBarTiles(fields)};
}

} // namespace

std::optional<int> readSendlogininfo(std::string_view payload)
{
    return onlyNumber(payload, 1, kLastSlot);
}
std::optional<int> readInvalid(std::string_view payload)
{
    return onlyNumber(payload, 1, kLastSlot);
}
std::optional<int> readTimeup(std::string_view payload)
{
    return onlyNumber(payload, 1, kLastSlot);
}
std::optional<int> readSneak(std::string_view payload)
{
    return onlyNumber(payload, 1, kLastSlot);
}
std::optional<int> readNextplayer(std::string_view payload)
{
    return onlyNumber(payload, 1, kSeatCount);
}
std::optional<int> readHepasses(std::string_view payload)
{
    return onlyNumber(payload, 1, kSeatCount);
}
std::optional<int> readNotenough(std::string_view payload)
{
    return onlyNumber(payload, 1, kSeatCount);
}
std::optional<int> readSneaker(std::string_view payload)
{
    return onlyNumber(payload, 0, kSeatCount);
}

std::optional<PlayerInfo> readPlayerinfo(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !isSlot(*slot))
        return std::nullopt;
    return PlayerInfo{*slot, fields.rest()};
}

PlayASound readPlayasound(std::string_view payload)
{
    FieldReader fields(payload);
    std::optional<int> seat = fields.nextInt();
    if (seat && !isSeat(*seat))
        seat.reset();
    return {seat, fields.take()};
}

std::optional<JustWatching> readJustwatching(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> seat = fields.nextInt();
    if (!seat || !isSeat(*seat))
        return std::nullopt;
    return JustWatching{*seat, fields.take() == "1"};
}

StartGame readStartgame(std::string_view payload)
{
    FieldReader fields(payload);
    StartGame start;
    start.starter = fields.take();
    start.playToScore = fields.take();
    // A turn of no time cannot be shown: it counts as a number that did not
    // parse. Any other time is held to the options dialog's range, as a sound
    // host holds it, whatever another host relays.
    start.turnSeconds = fields.takeInt();
    if (start.turnSeconds && *start.turnSeconds <= 0)
        start.turnSeconds.reset();
    else if (start.turnSeconds)
        start.turnSeconds = turnSecondsWithinRange(*start.turnSeconds);
    start.mode = gameModeFromDigit(fields.take());
    start.maxFour = fields.take();
    return start;
}

std::string_view readWinner(std::string_view payload)
{
    FieldReader fields(payload);
    return fields.take();
}

ReadList<msg::Cell> readTheboard(std::string_view payload)
{
    return readGroups<msg::Cell>(FieldReader(payload), 3, [](auto items) -> std::optional<msg::Cell> {
        const auto values = numbers<3>(items);
        if (!values || !isCell((*values)[0], (*values)[1]) || !inRange((*values)[2], 0, kLastLetterCode))
            return std::nullopt;
        return msg::Cell{(*values)[0], (*values)[1], (*values)[2]};
    });
}

std::optional<PlayerTiles> readMytiles(std::string_view payload)
{
    return readTiles(payload, kLastSlot);
}
std::optional<PlayerTiles> readTheirtiles(std::string_view payload)
{
    return readTiles(payload, kSeatCount);
}

std::optional<HeFlip> readHeflip(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> slot = fields.takeInt();
    const std::optional<int> x = fields.takeInt();
    const std::optional<int> y = fields.takeInt();
    const bool last = fields.take() == "t";
    const std::optional<int> remaining = fields.takeInt();
    if (!slot || !x || !y || !remaining || !isCell(*x, *y))
        return std::nullopt;
    return HeFlip{*slot, *x, *y, last, *remaining};
}

std::optional<Flipped> readIsflipped(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !isSlot(*slot))
        return std::nullopt;
    return Flipped{*slot, readGroups<Origin>(fields, 2, [](auto items) -> std::optional<Origin> {
                       const auto values = numbers<2>(items);
                       if (!values || !isCell((*values)[0], (*values)[1]))
                           return std::nullopt;
                       return Origin{(*values)[0], (*values)[1]};
                   })};
}

std::optional<HeUseBoardLetter> readHeuseboardletter(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> slot = fields.takeInt();
    const std::optional<int> x = fields.takeInt();
    const std::optional<int> y = fields.takeInt();
    const std::optional<int> position = fields.takeInt();
    const std::optional<int> code = fields.takeInt();
    if (!slot || !x || !y || !position || !code || !isCell(*x, *y) || !inRange(*position, 1, kWordLetters))
        return std::nullopt;
    return HeUseBoardLetter{*slot, *x, *y, *position, *code};
}

std::optional<HeUseBarLetter> readHeusebarletter(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> slot = fields.takeInt();
    const std::optional<int> position = fields.takeInt();
    const std::optional<int> code = fields.takeInt();
    if (!slot || !position || !code || !inRange(*position, 1, kWordLetters))
        return std::nullopt;
    return HeUseBarLetter{*slot, *position, *code};
}

std::optional<HeClickClear> readHeclickclear(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> slot = fields.nextInt();
    if (!slot)
        return std::nullopt;
    // A letter from the bar (x 0) names its bar position, which the window
    // does not need: only a board cell is checked.
    return HeClickClear{
        *slot, readGroups<msg::RemovedLetter>(fields, 2, [](auto items) -> std::optional<msg::RemovedLetter> {
            const std::optional<int> position = parseInt(items[0]);
            const Origin source = parseOrigin(items[1]);
            if (!position || !inRange(*position, 1, kWordLetters) ||
                (source.x != 0 && !isCell(source.x, source.y)))
                return std::nullopt;
            return msg::RemovedLetter{*position, source};
        })};
}

std::optional<HisWord> readHisword(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> seat = fields.takeInt();
    const std::string_view word = fields.take();
    const std::optional<int> total = fields.takeInt();
    const std::optional<int> points = fields.takeInt();
    if (!seat || !total || !points || !isSeat(*seat))
        return std::nullopt;
    return HisWord{*seat, word, *total, *points};
}

std::optional<BuyTiles> readBuytiles(std::string_view payload)
{
    FieldReader fields(payload);
    const std::optional<int> seat = fields.takeInt();
    const std::optional<int> score = fields.takeInt();
    const std::string_view cost = fields.take();
    if (!seat || !score || !isSeat(*seat))
        return std::nullopt;
    return BuyTiles{*seat, *score, cost};
}

std::optional<Stats> readStats(std::string_view payload)
{
    FieldReader fields(payload);
    Stats stats;
    const std::optional<int> slot = fields.nextInt();
    stats.playToScore = fields.next();
    const std::optional<int> seconds = fields.nextInt();
    const std::optional<int> current = fields.nextInt();
    const std::optional<int> ticks = fields.nextInt();
    stats.mode = gameModeFromWord(fields.next());
    stats.maxFour = fields.take();
    if (!slot || !isSlot(*slot) || !seconds || *seconds < 1 || !current ||
        !inRange(*current, 0, kSeatCount) || !ticks)
        return std::nullopt;
    stats.slot = *slot;
    stats.turnSeconds = turnSecondsWithinRange(*seconds);
    stats.currentPlayer = *current;
    stats.turnTicks = *ticks;
    stats.scores = readGroups<SeatScore>(fields, 2, [](auto items) -> std::optional<SeatScore> {
        const auto values = numbers<2>(items);
        if (!values || !isSeat((*values)[0]))
            return std::nullopt;
        return SeatScore{(*values)[0], (*values)[1]};
    });
    return stats;
}

} // namespace lexiflip::wire
