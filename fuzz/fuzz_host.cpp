// The host session under arbitrary traffic from several connections at once:
// logins, spoofed slots, game starts, moves, chat with "+", "|" and 0xFF,
// closes and rejoins, raw and half-sent bytes, with the receive queue and the
// engine's clocks, the session's timer (login deadlines, departures told
// after a send) and peers found gone inside a send, all stepped by the input.
// It drives the plain session, with connection ids for sockets. After every
// step it checks what the host promises its players.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "assets/embedded.h"
#include "engine/computer_words.h"
#include "engine/virtual_timeline.h"
#include "host/host_session.h"
#include "support/stepped_pace_timer.h"
#include "wire/field_reader.h"
#include "wire/messages.h"
#include "words/notice_sink.h"
#include "words/tdictn.h"

using namespace lexiflip;

namespace {

[[noreturn]] void fail(const char* what, std::string_view detail = {})
{
    std::fprintf(stderr, "fuzz_host: %s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

// Reads the input from the front; past its end every byte is 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::string bytes(std::size_t n)
    {
        n = std::min(n, m_size - std::min(m_at, m_size));
        std::string taken(reinterpret_cast<const char*>(m_data + m_at), n);
        m_at += n;
        return taken;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Everything the host sent, checked as it goes out, and the scores the
// players can work out from CMD_hisword and CMD_buytiles.
class Observer {
public:
    explicit Observer(const host::HostSession& host) : m_host(host) {}

    // slot: the one the receiving connection holds, 0 for none.
    void sent(int slot, std::string_view message)
    {
        const engine::GameState& state = m_host.state();
        if (slot == 0 ? message != "CMD_full+\xFF" : !state.players[slot].connected)
            fail("message to a connection that holds no slot", message);
        if (message.empty() || message.back() != '\xFF' || message.find('\xFF') != message.size() - 1)
            fail("message not framed by exactly one terminator", message);
        if (message.size() > 3 * 4096)
            fail("message longer than anything a peer can cause", message);
        // A broadcast reaches the slots in ascending order; take it once.
        const bool fresh = slot <= m_lastSlot || message != m_lastMessage;
        m_lastSlot = slot;
        m_lastMessage = std::string(message);
        if (fresh)
            check(message.substr(0, message.size() - 1));
    }

    // Scores change only as the messages told: a seat's total is its words'
    // points minus its purchases since the game began. Unseen changes (with
    // nobody connected to hear them) start a fresh account.
    void checkScores(bool heardThroughout)
    {
        const engine::GameState& state = m_host.state();
        for (int seat = 1; seat <= 6; ++seat) {
            if (state.players[seat].score == m_scores[seat])
                continue;
            if (heardThroughout)
                fail("a score changed without CMD_hisword or CMD_buytiles", std::to_string(seat));
            m_scores[seat] = state.players[seat].score;
        }
    }

private:
    void check(std::string_view text)
    {
        const std::optional<wire::SplitEntry> entry = wire::splitEntry(text);
        if (!entry)
            fail("unreadable message", text);
        wire::FieldReader fields(entry->payload);
        const engine::GameState& state = m_host.state();
        if (entry->command == "CMD_startgame") {
            m_scores.fill(0);
        } else if (entry->command == "CMD_theboard") {
            const std::vector<std::string_view> items = fields.list();
            for (std::size_t i = 2; i < items.size(); i += 3) {
                const int code = wire::parseInt(items[i]).value_or(0);
                if (code < 1 || code > 26)
                    fail("board letter out of 1..26", text);
            }
        } else if (entry->command == "CMD_nextplayer") {
            const int s = fields.nextInt().value_or(0);
            if (s < 1 || s > state.numseats)
                fail("turn for a slot that is no seat", text);
            const engine::tplayer& player = state.players[s];
            // Slot 1 keeps a turn it was given, with its peek, before it left:
            // its leaving changes no turn.
            const bool keptBySlot1 = s == 1 && m_peekFor == 1;
            if (s != 2 && !(player.connected && player.inplay) && !keptBySlot1)
                fail("turn for a seat nobody plays", text);
            m_peekFor = 0;
        } else if (entry->command == "CMD_sneak") {
            m_peekFor = fields.nextInt().value_or(0);
        } else if (entry->command == "CMD_hisword") {
            const int s = fields.nextInt().value_or(0);
            fields.next(); // the word
            const int total = fields.nextInt().value_or(-1);
            const int points = fields.nextInt().value_or(-1);
            if (s < 1 || s > 6 || points <= 0 || total != m_scores[s] + points)
                fail("word score does not add up", text);
            m_scores[s] = total;
        } else if (entry->command == "CMD_buytiles") {
            const int s = fields.nextInt().value_or(0);
            const int total = fields.nextInt().value_or(-1);
            if (s < 1 || s > 6 || total < 0 || total != m_scores[s] - 20)
                fail("purchase does not add up", text);
            m_scores[s] = total;
        }
    }

    const host::HostSession& m_host;
    int m_lastSlot = 0;
    int m_peekFor = 0;
    std::string m_lastMessage;
    std::array<int, 7> m_scores{};
};

void checkState(const engine::GameState& s)
{
    if (s.currentplayer < 0 || s.currentplayer > 6 || s.flipcount < 0 || s.flipcount > 5 || s.slotsused < 0 ||
        s.slotsused > 9)
        fail("state out of range");
    for (int x = 1; x <= 10; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int letter = s.board[x][y].letter;
            if (s.gamerunning ? letter < 1 || letter > 26 : letter < 0 || letter > 26)
                fail("board letter out of range");
        }
    }
    for (int seat = 1; seat <= 9; ++seat) {
        for (int k = 1; k <= 7; ++k) {
            if (s.players[seat].tiles[k].letter < 0 || s.players[seat].tiles[k].letter > 26)
                fail("bar letter out of range");
        }
    }
}

// One request from a connection, with its own slot or, now and then, another.
std::string request(Input& in, int own)
{
    const std::uint8_t pick = in.byte();
    const int slot = (pick & 0x80) ? 1 + in.byte() % 10 : own;
    const int a = in.byte();
    const int b = in.byte();
    switch (pick % 16) {
    case 0:
        return wire::msg::logininfo(slot, (a & 1) ? "0.9" : wire::msg::kVersion, "P+" + std::to_string(a));
    case 1:
        return wire::msg::chat(slot, std::string("a+b|c\xFF") + char(a), static_cast<wire::Colour>(b));
    case 2:
        return wire::msg::action(slot, "says: +|" + std::to_string(a), 0);
    case 3:
        return wire::msg::startgame("S", std::to_string(a % 60), std::to_string(b % 30), a & 1,
                                    std::to_string(1 + b % 3), (a & 2) ? "1" : "0");
    case 4:
        return wire::msg::iflip(slot, a % 12, b % 10);
    case 5:
        return wire::msg::useboardletter(slot, a % 12, b % 10, 1 + a % 11);
    case 6:
        return wire::msg::usebarletter(slot, b % 9, 1 + a % 11);
    case 7:
        return wire::msg::clickclear(slot, {{1 + a % 10, {0, b % 8}}});
    case 8:
        return wire::msg::idone(slot, {{a % 11, b % 9}, {0, 1 + a % 7}, {b % 11, a % 9}});
    case 9:
        return wire::msg::hepass(slot);
    case 10:
        return wire::msg::clickbuy(slot);
    case 11:
        return wire::msg::justwatch(slot, (a & 1) ? "1" : "2");
    case 12:
        return wire::msg::kickhim(slot, a % 11);
    case 13:
        return wire::msg::playasound(slot, a % 20);
    case 14:
        return "CMD_chat";
    default:
        return std::string("CMD_") + char('a' + a % 26) + "+" + std::to_string(slot) + "+";
    }
}

// A word the player on turn can lay: two tiles, from his bar and the face-up
// board, that the dictionary knows.
std::vector<wire::Origin> findWord(const host::HostSession& host, const words::TDictn& dictionary)
{
    const engine::GameState& s = host.state();
    struct Tile {
        wire::Origin origin;
        int letter;
    };
    std::vector<Tile> tiles;
    for (int k = 1; k <= 7; ++k) {
        if (const int letter = s.players[s.currentplayer].tiles[k].letter)
            tiles.push_back({{0, k}, letter});
    }
    for (int x = 1; x <= 10; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (s.board[x][y].flipped)
                tiles.push_back({{x, y}, s.board[x][y].letter});
        }
    }
    for (const Tile& first : tiles) {
        for (const Tile& second : tiles) {
            if (&first == &second)
                continue;
            const std::string word{char('a' + first.letter - 1), char('a' + second.letter - 1)};
            if (dictionary.checkWord(word))
                return {first.origin, second.origin};
        }
    }
    return {};
}

struct Quiet : words::NoticeSink {
    void notice(std::string_view) override {}
};

// The session with its timers stepped by the input and connections as ids.
// What it sends is checked as it goes out; a peer marked gone is found
// closed by the next send to it, inside that send, as a reset TCP peer is.
class Host : public host::HostTransport {
public:
    Host(std::uint64_t seed, const words::TDictn& dictionary, const std::vector<std::string>& listboxWords)
        : session(host::HostSessionServices{*this, quiet, timer1, computertimer, socktimer, sessionTimer,
                                            dictionary, listboxWords},
                  // The login deadline passes whenever the session's timer is stepped.
                  host::HostSessionSettings{.seed = seed, .botSpeedMs = 250, .loginTimeoutMs = 0})
    {
        timeline.setOnTick(timer1, [this] { session.timer1Timer(); });
        timeline.setOnTick(computertimer, [this] { session.computertimerTimer(); });
    }

    void accept()
    {
        const host::ConnectionId connection = ++m_lastConnection;
        // Two peer addresses take turns, so that a dropped player's kept
        // seat is sometimes asked for by his own address and sometimes not.
        if (const int slot = session.accept(connection, connection % 2 != 0 ? "192.0.2.1" : "192.0.2.2"))
            m_connections[static_cast<std::size_t>(slot)] = connection;
    }
    // The connection a slot held last, whether or not it still holds it.
    void receive(int slot, std::string_view bytes) { session.receive(connectionOf(slot), bytes); }
    void leave(int slot) { session.closed(connectionOf(slot)); }
    void peerGone(int slot) { m_gone.insert(connectionOf(slot)); }

    // Whether anybody hears what the host sends: a connection whose close
    // the session took but whose departure it has still to tell keeps its
    // seat connected in the game, yet hears nothing.
    bool anyListening() const
    {
        for (int s = 1; s <= 9; ++s) {
            if (session.slotOf(connectionOf(s)) == s)
                return true;
        }
        return false;
    }

    void send(host::ConnectionId connection, std::string_view message) override
    {
        // LEXIFLIP_FUZZ_TRACE=1 shows what the host sends, to follow a finding.
        static const bool trace = std::getenv("LEXIFLIP_FUZZ_TRACE") != nullptr;
        if (trace)
            std::fprintf(stderr, "-> %llu %.*s\n", static_cast<unsigned long long>(connection),
                         static_cast<int>(message.size() - 1), message.data());
        observer.sent(session.slotOf(connection), message);
        if (m_gone.erase(connection) != 0)
            session.closed(connection);
    }
    void close(host::ConnectionId connection) override
    {
        if (session.slotOf(connection) == 0)
            fail("closes a connection it does not hold");
        m_gone.erase(connection);
    }
    void reportError(std::string_view text) override { fail("error reported", text); }

    Quiet quiet;
    engine::VirtualTimeline timeline;
    engine::VirtualTimeline::VirtualClock& timer1 = timeline.addClock();
    engine::VirtualTimeline::VirtualClock& computertimer = timeline.addClock();
    net::SteppedPaceTimer socktimer;
    net::SteppedPaceTimer sessionTimer;
    host::HostSession session;
    Observer observer{session};

private:
    host::ConnectionId connectionOf(int slot) const { return m_connections[static_cast<std::size_t>(slot)]; }

    std::array<host::ConnectionId, 10> m_connections{};
    host::ConnectionId m_lastConnection = 0;
    std::set<host::ConnectionId> m_gone;
};

// One step of the input: a connection comes, leaves or sends, or a timer
// ticks, or the player on turn plays.
void step(Host& host, Input& in, const words::TDictn& dictionary)
{
    auto slot = [](std::uint8_t pick) { return 1 + pick % 9; };
    const std::uint8_t op = in.byte();
    switch (op % 8) {
    case 0:
        host.accept();
        break;
    case 1:
        // A peer leaves, or is reset and found gone by the next send to it.
        if (op & 0x80)
            host.peerGone(slot(in.byte()));
        else
            host.leave(slot(in.byte()));
        break;
    case 2: {
        const int from = slot(in.byte());
        host.receive(from, request(in, from));
        break;
    }
    case 3: {
        // Raw bytes, perhaps half a message, perhaps a flood.
        const int from = slot(in.byte());
        std::string raw = in.bytes(in.byte() % 64);
        if (op & 0x80)
            raw.append(5000, 'x');
        host.receive(from, raw);
        break;
    }
    case 5:
        // Now and then the session's timer: deadlines pass, departures
        // put off by a send are told.
        if (op >= 0xC0) {
            host.sessionTimer.step();
            break;
        }
        [[fallthrough]];
    case 4:
        for (int i = 0; i < 1 + op / 8 && host.socktimer.step(); ++i)
            checkState(host.session.state());
        break;
    case 6:
        for (int i = 0; i < 1 + op / 8 && host.timeline.step(); ++i)
            checkState(host.session.state());
        break;
    default: {
        // The player on turn plays: flips, then lays a word if he can.
        const int s = host.session.state().currentplayer;
        if (s >= 1 && s <= 6) {
            host.receive(s, wire::msg::iflip(s, 1 + in.byte() % 10, 1 + in.byte() % 8));
            if (op & 0x80) {
                if (const auto word = findWord(host.session, dictionary); !word.empty())
                    host.receive(s, wire::msg::idone(s, word));
            }
        }
        break;
    }
    }
}

} // namespace

extern "C" const char* const* lexiflipFuzzSeeds()
{
    // Pieces of a game the smoke driver splices and mutates: three accepted
    // and logged in, a start from slot 1, turns with flips and words, chat,
    // spoofed slots, a half-sent message, a close and a rejoin. No NUL bytes.
    static const char* const seeds[] = {
        "\x08\x08\x08\x02\x09\x10\x02\x02\x02\x01\x10\x02\x02\x02\x02\x10\x04\x02\x3c",
        "\x02\x09\x13\x14\x03\x3c\x7e",
        "\x87\x03\x04\x3c\x87\x05\x06\x3c\x87\x07\x01\x3c\x87\x02\x02\x3c\x87\x09\x08\x3c\x7e",
        "\x02\x09\x11\x41\x42\x02\x02\x12\x2b\x01\x3c",
        "\x02\x01\x84\x09\x03\x04\x02\x02\x8a\x01\x01\x01\x3c",
        "\x01\x01\x08\x02\x01\x10\x02\x02\x3c",
        "\x03\x02\x0a"
        "CMD_chat+3\x01\x02\x08\x3c",
        "\x02\x09\x1c\x03\x02\x3c\x02\x09\x1b\x01\x01\x3c\x7e",
        nullptr};
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
#ifdef __GLIBC__
    // Each input builds and drops a whole host; keeping the freed heap saves
    // faulting it in again for the next (this costs more than the host).
    static const bool keepHeap = mallopt(M_TRIM_THRESHOLD, 256 << 20) && mallopt(M_MMAP_THRESHOLD, 64 << 20);
    (void)keepHeap;
#endif
    // The shipped word lists, so that words (the computer's too) are accepted.
    static Quiet quiet;
    static const words::TDictn dictionary(assets::dictionaryRecords(), quiet, "/nonexistent-lexiflip-dir");
    static const std::vector<std::string> listboxWords = engine::loadComputerWords(assets::computerWords());

    Host host(size, dictionary, listboxWords);
    Input in(data, size);
    for (int steps = 0; !in.done() && steps < 4000; ++steps) {
        const bool heardBefore = host.anyListening();
        step(host, in, dictionary);
        checkState(host.session.state());
        host.observer.checkScores(heardBefore && host.anyListening());
    }
    // The host is still serving: a fresh connection gets a slot or hears why not.
    while (host.socktimer.step())
        checkState(host.session.state());
    for (int i = 0; i < 10 && host.sessionTimer.step(); ++i)
        checkState(host.session.state());
    host.observer.checkScores(false);
    host.accept();
    return 0;
}
