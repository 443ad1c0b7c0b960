#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "record/game_record.h"
#include "record/record_sink.h"
#include "wire/field_reader.h"

namespace lexiflip::client {

class ClientGame;

// Keeps the record of each game this window follows, from what it sees on the
// wire: fed every message after the game half has handled it, it reads the
// message again with the wire's readers and the mirror (the roster's names and
// scores, the board's letters, the own word row and bar) for what the message
// leaves out. Every window keeps one, a player's, a joiner's and a watcher's
// alike; only the own bar is a player's alone.
class GameRecorder {
public:
    // A game has some hundreds of events; a host that sends without end
    // must not fill the memory or the disk: a record stops growing here.
    static constexpr std::size_t kMaxEvents = 100'000;

    // now gives the time a record begins, as its "began" holds it.
    explicit GameRecorder(record::RecordSink& sink, std::function<std::string()> now = record::utcTimestamp)
        : m_sink(sink), m_now(std::move(now))
    {
    }

    // One message the game half has just handled.
    void handled(std::string_view message, const ClientGame& game);
    // The window leaves its game (another game, or it closes): a record still
    // open ends here, without a winner.
    void leave();

    // The record being kept, or the last one kept since this window began.
    const std::optional<record::GameRecord>& lastRecord() const { return m_record; }
    bool recording() const { return m_open; }

private:
    void begin(record::GameRecord header);
    void add(record::Event event);
    void startgame(std::string_view payload, const ClientGame& game);
    void catchUp(std::string_view payload, const ClientGame& game);
    void word(std::string_view payload, const ClientGame& game);
    void ownBar(const ClientGame& game);
    bool isOwnSeat(int seat, const ClientGame& game) const;

    record::RecordSink& m_sink;
    std::function<std::string()> m_now;
    std::optional<record::GameRecord> m_record;
    bool m_open = false;
    // The word row as others build it, from their relayed moves: where the
    // letter at each word position came from.
    std::array<record::Source, wire::kWordLetters> m_relayedRow{};
};

} // namespace lexiflip::client
