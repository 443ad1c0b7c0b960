#include "client/game/game_recorder.h"

#include <charconv>

#include "client/game/client_game.h"
#include "core/letters.h"
#include "wire/accumulator.h"
#include "wire/client_messages.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"

namespace lexiflip::client {

namespace {

char letterOf(int code)
{
    return code >= core::kFirstLetter && code <= core::kLastLetter ? static_cast<char>('A' + code - 1)
                                                                   : record::kNoLetter;
}

// A seat's score as the mirror shows it: the host's number, or 0.
int scoreOf(const Seat& seat)
{
    int value = 0;
    const std::string& text = seat.score;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::array<int, record::kSeats> mirrorScores(const Roster& roster)
{
    std::array<int, record::kSeats> scores{};
    for (int seat = 1; seat <= kSeats; ++seat)
        scores[static_cast<std::size_t>(seat - 1)] = scoreOf(roster.seat(seat));
    return scores;
}

// The table as it stands: the taken seats and the watchers.
void takeTable(record::GameRecord& header, const Roster& roster)
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        const std::string& name = roster.seat(seat).name;
        if (name != kWaiting)
            header.seats.push_back({seat, name});
    }
    for (const std::string& entry : roster.watchers()) {
        // "7: name", one per slot.
        const std::size_t colon = entry.find(": ");
        int slot = 0;
        std::from_chars(entry.data(), entry.data() + (colon == std::string::npos ? 0 : colon), slot);
        if (slot > kSeats && slot <= kLastSlot)
            header.watchers.push_back({slot, entry.substr(colon + 2)});
    }
}

record::Source sourceOf(const wire::Origin& origin)
{
    if (isCell(origin.x, origin.y))
        return {record::Source::Kind::board, origin.x, origin.y};
    if (origin.x == 0 && inRange(origin.y, 1, kBarSize))
        return {record::Source::Kind::bar};
    return {};
}

} // namespace

bool GameRecorder::isOwnSeat(int seat, const ClientGame& game) const
{
    return game.roster().isMe(seat) && !game.roster().justWatchChecked();
}

void GameRecorder::begin(record::GameRecord header)
{
    leave();
    header.began = m_now();
    m_record = std::move(header);
    m_open = true;
    m_relayedRow.fill({});
    m_sink.begin(*m_record);
}

void GameRecorder::add(record::Event event)
{
    if (!m_open || m_record->events.size() >= kMaxEvents)
        return;
    m_sink.add(event);
    m_record->events.push_back(std::move(event));
}

void GameRecorder::leave()
{
    if (!m_open)
        return;
    m_open = false;
    m_sink.end();
}

void GameRecorder::handled(std::string_view message, const ClientGame& game)
{
    const std::optional<wire::SplitEntry> entry = wire::splitEntry(message.substr(0, wire::kMaxMessageBytes));
    if (!entry)
        return;
    const std::string_view command = entry->command;
    const std::string_view payload = entry->payload;
    const Roster& roster = game.roster();
    namespace cmd = wire::cmd;

    if (command == cmd::startgame)
        return startgame(payload, game);
    if (command == cmd::stats)
        return catchUp(payload, game);
    if (!m_open)
        return;
    if (command == cmd::nextplayer) {
        if (const auto seat = wire::readNextplayer(payload)) {
            m_relayedRow.fill({});
            add(record::TurnStart{*seat});
            if (isOwnSeat(*seat, game))
                ownBar(game);
        }
    } else if (command == cmd::heflip) {
        if (const auto flip = wire::readHeflip(payload))
            add(record::Flip{flip->x, flip->y, letterOf(game.turn().board(flip->x, flip->y).letter)});
    } else if (command == cmd::isflipped) {
        // This window came into a turn whose flips were made: it sees them now.
        if (const auto read = wire::readIsflipped(payload); read && roster.isMe(read->slot)) {
            for (const wire::Origin& at : read->cells.items)
                add(record::Flip{at.x, at.y, letterOf(game.turn().board(at.x, at.y).letter)});
        }
    } else if (command == cmd::heuseboardletter) {
        if (const auto read = wire::readHeuseboardletter(payload))
            m_relayedRow[static_cast<std::size_t>(read->wordPosition - 1)] = sourceOf({read->x, read->y});
    } else if (command == cmd::heusebarletter) {
        if (const auto read = wire::readHeusebarletter(payload))
            m_relayedRow[static_cast<std::size_t>(read->wordPosition - 1)] = {record::Source::Kind::bar};
    } else if (command == cmd::heclickclear) {
        if (const auto read = wire::readHeclickclear(payload)) {
            for (const wire::msg::RemovedLetter& letter : read->letters.items)
                m_relayedRow[static_cast<std::size_t>(letter.wordPosition - 1)] = {};
        }
    } else if (command == cmd::hisword) {
        word(payload, game);
    } else if (command == cmd::hepasses) {
        if (const auto seat = wire::readHepasses(payload); seat && isSeat(*seat))
            add(record::Pass{*seat});
    } else if (command == cmd::timeup) {
        if (const auto seat = wire::readTimeup(payload); seat && isSeat(*seat))
            add(record::TimeOut{*seat});
    } else if (command == cmd::buytiles) {
        if (const auto read = wire::readBuytiles(payload)) {
            add(record::Buy{read->seat, read->newScore});
            // The fresh bar came just before, to the buyer alone.
            if (isOwnSeat(read->seat, game))
                ownBar(game);
        }
    } else if (command == cmd::tie) {
        add(record::Tie{});
    } else if (command == cmd::winner) {
        add(record::Winner{std::string(wire::readWinner(payload))});
        add(record::FinalScores{mirrorScores(roster)});
        leave();
    } else if (command == cmd::newplayerinfo) {
        if (const auto info = wire::readPlayerinfo(payload))
            add(record::Join{{info->slot, std::string(info->name)}});
    } else if (command == cmd::playerdisconnected) {
        if (const auto info = wire::readPlayerinfo(payload))
            add(record::Leave{{info->slot, std::string(info->name)}});
    } else if (command == cmd::justwatching) {
        if (const auto read = wire::readJustwatching(payload))
            add(record::JustWatch{read->seat, read->watching});
    }
}

void GameRecorder::startgame(std::string_view payload, const ClientGame& game)
{
    const wire::StartGame start = wire::readStartgame(payload);
    record::GameRecord header;
    int target = 0;
    std::from_chars(start.playToScore.data(), start.playToScore.data() + start.playToScore.size(), target);
    // The mirror has taken the options in: the turn's seconds and mode as shown.
    header.options.target = target;
    header.options.turnSeconds = start.turnSeconds.value_or(60);
    header.options.mode = std::string(wire::gameModeWord(start.mode.value_or(wire::GameMode::sneak)));
    header.options.maxFour = start.maxFour != "0";
    header.starter = std::string(start.starter);
    header.self = game.roster().myplayer();
    takeTable(header, game.roster());
    begin(std::move(header));
}

void GameRecorder::catchUp(std::string_view payload, const ClientGame& game)
{
    const std::optional<wire::Stats> stats = wire::readStats(payload);
    if (!stats || !game.roster().isMe(stats->slot))
        return;
    record::GameRecord header;
    int target = 0;
    std::from_chars(stats->playToScore.data(), stats->playToScore.data() + stats->playToScore.size(), target);
    header.options.target = target;
    header.options.turnSeconds = stats->turnSeconds;
    header.options.mode = std::string(wire::gameModeWord(stats->mode.value_or(wire::GameMode::sneak)));
    header.options.maxFour = stats->maxFour != "0";
    header.self = stats->slot;
    takeTable(header, game.roster());
    record::CatchUp caught{stats->currentPlayer, {}};
    for (const wire::SeatScore& score : stats->scores.items)
        caught.scores[static_cast<std::size_t>(score.seat - 1)] = score.score;
    header.catchUp = caught;
    begin(std::move(header));
}

void GameRecorder::word(std::string_view payload, const ClientGame& game)
{
    const std::optional<wire::HisWord> read = wire::readHisword(payload);
    if (!read)
        return;
    record::Word word;
    word.seat = read->seat;
    word.score = read->wordScore;
    word.total = read->totalScore;
    for (const char c : read->word.substr(0, kWordSize))
        word.letters += letterOf(core::letterCode(static_cast<char>(c | 0x20)));
    if (word.letters.empty())
        return;
    // The own word was built here, and the host relays it to the others only:
    // its row is the turn's. Another's is the row its relayed moves built.
    const bool own = isOwnSeat(read->seat, game);
    int points = 0;
    bool allKnown = true;
    for (std::size_t i = 0; i < word.letters.size(); ++i) {
        const int position = static_cast<int>(i) + 1;
        const record::Source source = own ? sourceOf(game.turn().wordTile(position).source) : m_relayedRow[i];
        word.from.push_back(source);
        const int worth = core::letterworth(core::letterCode(static_cast<char>(word.letters[i] | 0x20)));
        if (source.kind == record::Source::Kind::unknown)
            allKnown = false;
        points += source.kind == record::Source::Kind::board ? 2 * worth : worth;
    }
    // The bonuses are what the host counted beyond the letters' worth.
    if (allKnown)
        word.bonus = word.score - points;
    add(std::move(word));
}

void GameRecorder::ownBar(const ClientGame& game)
{
    std::string letters;
    for (int position = 1; position <= kBarSize; ++position)
        letters += letterOf(game.turn().bar(position).letter);
    add(record::OwnBar{letters});
}

} // namespace lexiflip::client
