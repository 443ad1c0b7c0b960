#include "host/state_file.h"

#include <charconv>
#include <map>
#include <system_error>
#include <utility>
#include <vector>

#include "core/letters.h"
#include "core/random_source.h"
#include "fileio/file_rules.h"
#include "fileio/set_aside.h"
#include "wire/field_reader.h"
#include "wire/game_mode.h"
#include "wire/turn_time.h"

namespace lexiflip::host {

namespace fs = std::filesystem;
using engine::GameState;
using engine::kBarTiles;
using engine::kBoardColumns;
using engine::kBoardRows;
using engine::kMaxConnections;
using engine::kPlayerTiles;
using engine::kSlotCount;

namespace {

// The first line: a file of another version is refused whole, never half read.
constexpr std::string_view kVersionLine = "lexiflip-state 1";
constexpr std::string_view kEndLine = "end";

// The longest texts a peer's messages can leave in the state, with room to spare.
constexpr std::size_t kMaxNameBytes = 4096;
constexpr std::size_t kMaxOptionBytes = 32;
constexpr std::size_t kMaxAddressBytes = 64;
constexpr std::size_t kMaxBotWordTiles = 10;
constexpr int kMaxScore = 100'000'000;
constexpr int kMaxTurnTicks = wire::kTurnSecondsMax + 4;
constexpr int kMaxBotTicks = 4;
constexpr int kMaxBotSpeedMs = 60'000;

std::string escaped(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7e || c == '\\') {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte > 0x7e)
            return std::nullopt; // the writer never leaves such a byte bare
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return std::nullopt;
        const char* first = text.data() + i + 2;
        const auto [end, error] = std::from_chars(first, first + 2, value, 16);
        if (error != std::errc() || end != first + 2)
            return std::nullopt;
        out += static_cast<char>(value);
        i += 3;
    }
    return out;
}

std::string tileText(const engine::thetiles& tile)
{
    return std::to_string(tile.letter) + ":" + std::to_string(tile.used) + ":" +
           (tile.coord.empty() ? std::string("-") : tile.coord);
}

std::string cellText(const engine::tboardtile& cell)
{
    return std::to_string(cell.letter) + ":" + std::to_string(cell.flipped) + ":" +
           std::to_string(cell.used) + ":" + std::to_string(cell.seen);
}

void line(std::string& text, std::string_view key, std::string_view value)
{
    text += key;
    text += ' ';
    text += value;
    text += '\n';
}

void line(std::string& text, std::string_view key, long long value)
{
    line(text, key, std::to_string(value));
}

// The words of a value, split at single spaces.
std::vector<std::string_view> words(std::string_view value)
{
    std::vector<std::string_view> out;
    while (true) {
        const std::size_t space = value.find(' ');
        out.push_back(value.substr(0, space));
        if (space == std::string_view::npos)
            return out;
        value.remove_prefix(space + 1);
    }
}

std::optional<long long> number(std::string_view text, long long low, long long high)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high)
        return std::nullopt;
    return value;
}

// A tile's place as the game keeps it: "0,k" for bar tile k, "x,y" on the board.
bool validCoord(std::string_view coord)
{
    const wire::Origin origin = wire::parseOrigin(coord);
    if (std::to_string(origin.x) + "," + std::to_string(origin.y) != coord)
        return false;
    return origin.x == 0 ? origin.y >= 1 && origin.y <= kBarTiles : GameState::onBoard(origin.x, origin.y);
}

// The computer's word in waiting: "+x,y" for each tile, as it submits it.
bool validBotWord(std::string_view word)
{
    if (word.empty())
        return true;
    if (word.front() != '+')
        return false;
    const std::vector<std::string_view> tiles = [&] {
        std::vector<std::string_view> parts;
        std::string_view rest = word.substr(1);
        while (true) {
            const std::size_t plus = rest.find('+');
            parts.push_back(rest.substr(0, plus));
            if (plus == std::string_view::npos)
                return parts;
            rest.remove_prefix(plus + 1);
        }
    }();
    if (tiles.size() > kMaxBotWordTiles)
        return false;
    for (std::string_view tile : tiles) {
        if (!validCoord(tile))
            return false;
    }
    return true;
}

class Reader {
public:
    explicit Reader(HostSnapshot& snapshot) : m_snapshot(snapshot), m_state(snapshot.game.state) {}

    // Reads one "key value" line; false with the problem set when it is refused.
    bool read(std::string_view text)
    {
        const std::size_t space = text.find(' ');
        const std::string_view key = text.substr(0, space);
        const std::string_view value =
            space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        std::string seenAs(key);
        const bool ok = readFact(key, value, seenAs);
        if (!ok) {
            if (m_problem.empty())
                m_problem = "the line \"" + escaped(text.substr(0, 80)) + "\" is not valid";
            return false;
        }
        if (!m_seen.emplace(seenAs, true).second)
            return fail("\"" + escaped(seenAs) + "\" appears twice");
        return true;
    }

    // Every fact the writer writes must have been read.
    bool complete()
    {
        constexpr std::size_t kScalars = 20;
        constexpr std::size_t kPerSlot = 5;
        const std::size_t expected = kScalars + kPerSlot * kSlotCount + kMaxConnections + kBoardRows;
        if (m_seen.size() != expected)
            return fail("it holds " + std::to_string(m_seen.size()) + " of its " + std::to_string(expected) +
                        " facts");
        if (m_state.currentplayer > m_state.numseats || m_state.sneaker > m_state.numseats)
            return fail("the player on turn is not in a seat");
        return true;
    }

    const std::string& problem() const { return m_problem; }

private:
    bool fail(std::string problem)
    {
        m_problem = std::move(problem);
        return false;
    }

    template <class Field> bool setNumber(std::string_view value, Field& field, long long low, long long high)
    {
        const std::optional<long long> read = number(value, low, high);
        if (read)
            field = static_cast<Field>(*read);
        return read.has_value();
    }

    bool setFlag(std::string_view value, std::uint8_t& flag) { return setNumber(value, flag, 0, 1); }

    bool setClock(std::string_view value, int& phase, bool& running, std::initializer_list<int> phases)
    {
        const std::vector<std::string_view> parts = words(value);
        if (parts.size() != 2 || !setNumber(parts[0], phase, 0, 4))
            return false;
        bool known = false;
        for (int p : phases)
            known = known || p == phase;
        std::uint8_t flag = 0;
        if (!known || !setFlag(parts[1], flag))
            return false;
        running = flag != 0;
        return true;
    }

    // "S rest": the slot within 1..last, and the rest.
    std::optional<std::pair<int, std::string_view>> slotValue(std::string_view key, std::string_view value,
                                                              int last, std::string& seenAs)
    {
        const std::size_t space = value.find(' ');
        const std::optional<long long> slot = number(value.substr(0, space), 1, last);
        if (!slot)
            return std::nullopt;
        seenAs = std::string(key) + " " + std::to_string(*slot);
        return std::pair{static_cast<int>(*slot),
                         space == std::string_view::npos ? std::string_view() : value.substr(space + 1)};
    }

    bool readText(std::string_view value, std::string& field, std::size_t most)
    {
        std::optional<std::string> text = unescaped(value);
        if (!text || text->size() > most || text->find('\xff') != std::string::npos)
            return false;
        field = std::move(*text);
        return true;
    }

    bool readFact(std::string_view key, std::string_view value, std::string& seenAs)
    {
        GameState& s = m_state;
        engine::GameSnapshot& game = m_snapshot.game;
        if (key == "running")
            return setFlag(value, s.gamerunning);
        if (key == "slotsused")
            return setNumber(value, s.slotsused, 0, kMaxConnections);
        if (key == "currentplayer")
            return setNumber(value, s.currentplayer, 0, 6);
        if (key == "playtoscore")
            return setNumber(value, s.playtoscore, INT32_MIN, INT32_MAX);
        if (key == "turnseconds") {
            // 0 before the first game; then within what the host allows.
            return setNumber(value, s.creationtime, 0, wire::kTurnSecondsMax) &&
                   (s.creationtime == 0 || s.creationtime == wire::turnSecondsWithinRange(s.creationtime));
        }
        if (key == "numseats")
            return setNumber(value, s.numseats, 1, 6);
        if (key == "flipcount")
            return setNumber(value, s.flipcount, 0, engine::kFlipsPerTurn);
        if (key == "viewable")
            return setFlag(value, s.viewable);
        if (key == "sneaker")
            return setNumber(value, s.sneaker, 0, 6);
        if (key == "mode") {
            if (!value.empty() && !wire::gameModeFromWord(value))
                return false;
            s.gamemode = std::string(value);
            return true;
        }
        if (key == "fourplayer") {
            // Relayed in a late joiner's catch-up as one field.
            return readText(value, s.fourplayeroption, kMaxOptionBytes) &&
                   s.fourplayeroption.find('+') == std::string::npos;
        }
        if (key == "turnclock")
            return setClock(value, s.timer1phase, game.turnClockRunning, {0, 1, 2, 4});
        if (key == "botclock")
            return setClock(value, s.botphase, game.computerClockRunning, {0, 1, 2, 3});
        if (key == "botword") {
            if (!validBotWord(value))
                return false;
            s.botword = std::string(value);
            return true;
        }
        if (key == "turnticks")
            return setNumber(value, s.turnticks, 0, kMaxTurnTicks);
        if (key == "botticks")
            return setNumber(value, s.botticks, 0, kMaxBotTicks);
        if (key == "botspeed")
            return setNumber(value, m_snapshot.botSpeedMs, 1, kMaxBotSpeedMs);
        if (key == "klot") {
            const auto strength = engine::parseStrength(value);
            if (strength)
                m_snapshot.klotStrength = *strength;
            return strength.has_value();
        }
        if (key == "random" || key == "foresight") {
            // Only a state a source takes is kept.
            core::RandomSource check(0);
            if (!check.restore(value))
                return false;
            (key == "random" ? game.random : game.foresight) = std::string(value);
            return true;
        }
        if (key == "seat" || key == "name" || key == "botname" || key == "tiles" || key == "strength")
            return readSlotFact(key, value, seenAs);
        if (key == "address") {
            const auto slot = slotValue(key, value, kMaxConnections, seenAs);
            return slot && readText(slot->second, m_snapshot.addresses[slot->first], kMaxAddressBytes);
        }
        if (key == "row")
            return readRow(key, value, seenAs);
        return fail("\"" + escaped(key.substr(0, 40)) + "\" is no fact of a game");
    }

    bool readSlotFact(std::string_view key, std::string_view value, std::string& seenAs)
    {
        const auto slot = slotValue(key, value, kSlotCount, seenAs);
        if (!slot)
            return false;
        engine::tplayer& player = m_state.players[slot->first];
        const std::string_view rest = slot->second;
        if (key == "name")
            return readText(rest, player.name, kMaxNameBytes);
        if (key == "botname")
            return readText(rest, player.botname, kMaxNameBytes);
        if (key == "strength") {
            const auto strength = engine::parseStrength(rest);
            if (strength)
                m_snapshot.game.strengths[static_cast<std::size_t>(slot->first)] = *strength;
            return strength.has_value();
        }
        const std::vector<std::string_view> parts = words(rest);
        if (key == "seat") {
            return parts.size() == 4 && setFlag(parts[0], player.connected) &&
                   setFlag(parts[1], player.watching) && setFlag(parts[2], player.inplay) &&
                   setNumber(parts[3], player.score, 0, kMaxScore);
        }
        // tiles: letter:used:coord for tiles 1..12.
        if (parts.size() != static_cast<std::size_t>(kPlayerTiles))
            return false;
        for (int k = 1; k <= kPlayerTiles; ++k) {
            const std::vector<std::string_view> fields = colonFields(parts[static_cast<std::size_t>(k - 1)]);
            engine::thetiles& tile = player.tiles[static_cast<std::size_t>(k)];
            if (fields.size() != 3 || !setNumber(fields[0], tile.letter, 0, core::kLastLetter) ||
                !setFlag(fields[1], tile.used))
                return false;
            if (fields[2] == "-")
                tile.coord.clear();
            else if (validCoord(fields[2]))
                tile.coord = std::string(fields[2]);
            else
                return false;
        }
        return true;
    }

    bool readRow(std::string_view key, std::string_view value, std::string& seenAs)
    {
        const auto row = slotValue(key, value, kBoardRows, seenAs);
        if (!row)
            return false;
        const std::vector<std::string_view> cells = words(row->second);
        if (cells.size() != static_cast<std::size_t>(kBoardColumns))
            return false;
        for (int x = 1; x <= kBoardColumns; ++x) {
            const std::vector<std::string_view> fields = colonFields(cells[static_cast<std::size_t>(x - 1)]);
            engine::tboardtile& cell = m_state.cell(x, row->first);
            if (fields.size() != 4 || !setNumber(fields[0], cell.letter, 0, core::kLastLetter) ||
                !setFlag(fields[1], cell.flipped) || !setFlag(fields[2], cell.used) ||
                !setFlag(fields[3], cell.seen))
                return false;
        }
        return true;
    }

    static std::vector<std::string_view> colonFields(std::string_view text)
    {
        std::vector<std::string_view> out;
        for (int i = 0; i < 3; ++i) {
            const std::size_t colon = text.find(':');
            if (colon == std::string_view::npos)
                break;
            out.push_back(text.substr(0, colon));
            text.remove_prefix(colon + 1);
        }
        out.push_back(text);
        return out;
    }

    HostSnapshot& m_snapshot;
    GameState& m_state;
    std::map<std::string, bool> m_seen;
    std::string m_problem;
};

} // namespace

std::string stateFacts(const HostSnapshot& snapshot)
{
    const engine::GameSnapshot& game = snapshot.game;
    const GameState& s = game.state;
    std::string text;
    text.reserve(16384);
    line(text, "running", s.gamerunning);
    line(text, "slotsused", s.slotsused);
    line(text, "currentplayer", s.currentplayer);
    line(text, "playtoscore", s.playtoscore);
    line(text, "turnseconds", s.creationtime);
    line(text, "numseats", s.numseats);
    line(text, "flipcount", s.flipcount);
    line(text, "viewable", s.viewable);
    line(text, "sneaker", s.sneaker);
    line(text, "mode", s.gamemode);
    line(text, "fourplayer", escaped(s.fourplayeroption));
    line(text, "turnclock", std::to_string(s.timer1phase) + (game.turnClockRunning ? " 1" : " 0"));
    line(text, "botclock", std::to_string(s.botphase) + (game.computerClockRunning ? " 1" : " 0"));
    line(text, "botword", s.botword);
    line(text, "botspeed", snapshot.botSpeedMs);
    line(text, "klot", engine::strengthName(snapshot.klotStrength));
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const engine::tplayer& player = s.players[static_cast<std::size_t>(slot)];
        const std::string index = std::to_string(slot) + " ";
        line(text, "seat",
             index + std::to_string(player.connected) + " " + std::to_string(player.watching) + " " +
                 std::to_string(player.inplay) + " " + std::to_string(player.score));
        line(text, "name", index + escaped(player.name));
        line(text, "botname", index + escaped(player.botname));
        std::string tiles = index;
        for (int k = 1; k <= kPlayerTiles; ++k)
            tiles += (k > 1 ? " " : "") + tileText(player.tiles[static_cast<std::size_t>(k)]);
        line(text, "tiles", tiles);
        line(text, "strength",
             index + std::string(engine::strengthName(game.strengths[static_cast<std::size_t>(slot)])));
        if (slot <= kMaxConnections)
            line(text, "address", index + escaped(snapshot.addresses[static_cast<std::size_t>(slot)]));
    }
    for (int y = 1; y <= kBoardRows; ++y) {
        std::string row = std::to_string(y);
        for (int x = 1; x <= kBoardColumns; ++x)
            row += " " + cellText(s.cell(x, y));
        line(text, "row", row);
    }
    line(text, "random", game.random);
    line(text, "foresight", game.foresight);
    return text;
}

std::string stateFileText(const HostSnapshot& snapshot, std::string_view facts)
{
    std::string text;
    text.reserve(facts.size() + 64);
    text += kVersionLine;
    text += '\n';
    text += facts;
    line(text, "turnticks", snapshot.game.state.turnticks);
    line(text, "botticks", snapshot.game.state.botticks);
    text += kEndLine;
    text += '\n';
    return text;
}

StateRead readStateText(std::string_view text)
{
    StateRead result;
    auto refuse = [&](std::string problem) {
        result.problem = std::move(problem);
        return result;
    };
    const std::size_t first = text.find('\n');
    if (first == std::string_view::npos || text.substr(0, first) != kVersionLine)
        return refuse("it is no state file of this version of the game");
    text.remove_prefix(first + 1);

    HostSnapshot snapshot;
    Reader reader(snapshot);
    while (true) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return refuse("it ends before its end line");
        const std::string_view fact = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (fact == kEndLine)
            break;
        if (!reader.read(fact))
            return refuse(reader.problem());
    }
    if (!text.empty())
        return refuse("something follows its end line");
    if (!reader.complete())
        return refuse(reader.problem());
    result.snapshot = std::move(snapshot);
    return result;
}

StateFileRead readStateFile(const fs::path& file)
{
    StateFileRead result;
    // Only the user's own regular file: a link or a pipe planted under the
    // name must not decide the game a host resumes, nor hang its start.
    const fileio::FileRead contents = fileio::readRegularFile(file, fileio::Owner::User);
    if (contents.kind == fileio::FileRead::Kind::Missing)
        return result;
    std::string problem = contents.problem;
    if (contents.kind == fileio::FileRead::Kind::Read) {
        StateRead read = readStateText(contents.bytes);
        result.snapshot = std::move(read.snapshot);
        problem = std::move(read.problem);
    }
    if (problem.empty())
        return result;
    result.keptAs = fileio::setAside(file);
    result.problem = "The game in " + file.string() + " cannot go on: " + problem +
                     (result.keptAs.empty() ? std::string() : "; it was moved to " + result.keptAs.string());
    return result;
}

} // namespace lexiflip::host
