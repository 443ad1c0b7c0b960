// lexiflip-host under a long, rough game: nine scripted clients over TCP play
// legal and illegal moves, spoof each other's slots, chat with "+", "|" and
// 0xFF inside, watch, leave and come back, while every message they receive is
// checked against what the host promises. The host's memory must settle.
//
// LEXIFLIP_SOAK_SECONDS sets the length (default 75); LEXIFLIP_SOAK_SEED the
// seed of the clients' choices (printed with every failure).

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "e2e/host_process.h"
#include "e2e/word_play.h"
#include "engine/computer_words.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/client_messages.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

long environmentNumber(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// The clients' shared dice: one seeded engine, our own mapping to a range.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : m_engine(seed) {}
    int below(int n) { return n > 0 ? static_cast<int>(m_engine() % static_cast<std::uint64_t>(n)) : 0; }
    bool chance(int perThousand) { return below(1000) < perThousand; }

private:
    std::mt19937_64 m_engine;
};

// What one client's stream of messages says, checked as it arrives: board
// letters in 1..26, scores that add up, turns for seats that can take them.
struct Referee {
    BoardLetters board{};
    std::array<std::array<bool, 9>, 11> faceUp{};
    BarLetters bar{};
    std::array<int, 7> scores{};
    std::array<bool, 7> scoresKnown{};
    std::array<bool, 10> present{};
    bool maxFour = false;
    int turn = 0;
    bool lastFlip = false;
    std::vector<std::string> faults;
    int words = 0;
    int purchases = 0;
    int turns = 0;
    int winners = 0;

    void fault(const std::string& what, const std::string& message)
    {
        faults.push_back(what + ": " + message);
    }

    // slot is the receiving client's own; pending are slots whose login the
    // stream cannot have announced yet.
    void take(const std::string& message, int slot, const std::set<int>& pending)
    {
        const std::optional<wire::SplitEntry> entry = wire::splitEntry(message);
        if (!entry)
            return fault("unreadable", message);
        const std::string_view command = entry->command;
        const std::string_view payload = entry->payload;
        if (command == wire::cmd::startgame) {
            scores.fill(0);
            scoresKnown.fill(true);
            faceUp = {};
            maxFour = wire::readStartgame(payload).maxFour == "1";
        } else if (command == wire::cmd::stats) {
            const std::optional<wire::Stats> stats = wire::readStats(payload);
            if (!stats)
                return fault("unreadable stats", message);
            maxFour = stats->maxFour == "1";
            if (stats->scores.refused)
                return fault("stats for no seat", message);
            for (const wire::SeatScore& score : stats->scores.items) {
                scores[static_cast<std::size_t>(score.seat)] = score.score;
                scoresKnown[static_cast<std::size_t>(score.seat)] = true;
            }
        } else if (command == wire::cmd::theboard) {
            const wire::ReadList<wire::msg::Cell> cells = wire::readTheboard(payload);
            if (cells.cutShort)
                return fault("torn board list", message);
            for (const wire::msg::Cell& cell : cells.items) {
                if (cell.code < 1)
                    return fault("board cell out of range", message);
                board[static_cast<std::size_t>(cell.x)][static_cast<std::size_t>(cell.y)] = cell.code;
                faceUp[static_cast<std::size_t>(cell.x)][static_cast<std::size_t>(cell.y)] = false;
            }
            if (cells.refused)
                return fault("board cell out of range", message);
        } else if (command == wire::cmd::isflipped) {
            if (const std::optional<wire::Flipped> flipped = wire::readIsflipped(payload)) {
                for (const wire::Origin& cell : flipped->cells.items)
                    faceUp[static_cast<std::size_t>(cell.x)][static_cast<std::size_t>(cell.y)] = true;
            }
        } else if (command == wire::cmd::mytiles) {
            const std::optional<wire::PlayerTiles> tiles = wire::readMytiles(payload);
            if (!tiles || tiles->slot != slot)
                return fault("someone else's bar", message);
            for (const wire::msg::BarTile& tile : tiles->tiles.items) {
                if (tile.code < 1 || tile.code > 26)
                    return fault("bar tile out of range", message);
                bar[static_cast<std::size_t>(tile.position)] = tile.code;
            }
            if (tiles->tiles.refused)
                return fault("bar tile out of range", message);
        } else if (command == wire::cmd::heflip) {
            const std::optional<wire::HeFlip> flip = wire::readHeflip(payload);
            if (!flip)
                return fault("flip out of range", message);
            faceUp[static_cast<std::size_t>(flip->x)][static_cast<std::size_t>(flip->y)] = true;
            lastFlip = flip->last;
        } else if (command == wire::cmd::newplayerinfo || command == wire::cmd::existingplayers) {
            const std::optional<wire::PlayerInfo> player = wire::readPlayerinfo(payload);
            if (!player)
                return fault("player in no slot", message);
            present[static_cast<std::size_t>(player->slot)] = true;
        } else if (command == wire::cmd::playerdisconnected) {
            const std::optional<wire::PlayerInfo> player = wire::readPlayerinfo(payload);
            if (!player)
                return fault("departure from no slot", message);
            present[static_cast<std::size_t>(player->slot)] = false;
        } else if (command == wire::cmd::nextplayer) {
            const int s = wire::readNextplayer(payload).value_or(0);
            ++turns;
            turn = s;
            lastFlip = false;
            if (s < 1 || s > (maxFour ? 4 : 6))
                return fault("turn for no playing seat", message);
            // Until the own login is announced, turns of seats this stream
            // has not heard of yet may come (the host tells every connection).
            const bool ownLoginAnnounced = present[static_cast<std::size_t>(slot)];
            if (s != 2 && ownLoginAnnounced && !present[static_cast<std::size_t>(s)] && !pending.count(s) &&
                !pending.count(0))
                return fault("turn for a seat nobody holds", message);
        } else if (command == wire::cmd::hisword) {
            const std::optional<wire::HisWord> word = wire::readHisword(payload);
            if (!word || word->wordScore <= 0)
                return fault("word out of range", message);
            const auto s = static_cast<std::size_t>(word->seat);
            if (scoresKnown[s] && word->totalScore != scores[s] + word->wordScore)
                return fault("word total does not add up", message);
            scores[s] = word->totalScore;
            scoresKnown[s] = true;
            ++words;
        } else if (command == wire::cmd::winner) {
            ++winners;
        } else if (command == wire::cmd::buytiles) {
            const std::optional<wire::BuyTiles> purchase = wire::readBuytiles(payload);
            if (!purchase || purchase->newScore < 0)
                return fault("purchase out of range", message);
            const auto s = static_cast<std::size_t>(purchase->seat);
            if (scoresKnown[s] && purchase->newScore != scores[s] - 20)
                return fault("purchase does not add up", message);
            scores[s] = purchase->newScore;
            ++purchases;
        }
    }
};

// One scripted player: a connection, its referee and its habits.
class Player {
public:
    Player(quint16 port, int index, const std::vector<std::string>& words)
        : m_port(port), m_index(index), m_words(words)
    {
        join();
    }

    void join()
    {
        m_client = std::make_unique<TestClient>(m_port);
        m_next = 0;
        m_referee = Referee{};
        m_slot = 0;
        m_loggedIn = false;
        ++joins;
    }
    void leave(Dice& dice)
    {
        if (dice.chance(500))
            m_client->reset();
        else
            m_client->close();
        m_awayUntil = 20 + dice.below(150);
    }

    bool away() const { return m_awayUntil > 0; }
    bool closed() const { return m_client->closed(); }
    bool connecting() const { return !away() && !closed() && m_slot == 0; }
    int slot() const { return m_slot; }
    TestClient& client() { return *m_client; }
    const Referee& referee() const { return m_referee; }

    // Reads what arrived and answers it; pending as for Referee::take.
    void step(Dice& dice, const std::set<int>& pending)
    {
        if (away()) {
            if (--m_awayUntil == 0)
                join();
            return;
        }
        const std::vector<std::string>& messages = m_client->messages();
        while (m_next < messages.size()) {
            const std::string& message = messages[m_next++];
            if (!m_loggedIn && message.rfind("CMD_sendlogininfo+", 0) == 0) {
                m_slot = wire::readSendlogininfo(std::string_view(message).substr(18)).value_or(0);
                m_client->send(msg::logininfo(m_slot, msg::kVersion, "Bot+" + std::to_string(m_index)));
                m_loggedIn = true;
                continue;
            }
            m_referee.take(message, m_slot, pending);
            if (message.rfind("CMD_nextplayer+" + std::to_string(m_slot) + "+", 0) == 0 && m_slot >= 1)
                startTurn(dice);
            else if (message.rfind("CMD_heflip+" + std::to_string(m_slot) + "+", 0) == 0 &&
                     m_referee.lastFlip)
                finishTurn(dice);
        }
    }

    int joins = 0;

private:
    void startTurn(Dice& dice)
    {
        if (dice.chance(50))
            return; // lets the clock run out
        m_flipped.clear();
        for (int tries = 0; tries < 200 && m_flipped.size() < 5; ++tries) {
            const int x = 1 + dice.below(10);
            const int y = 1 + dice.below(8);
            if (!m_referee.faceUp[x][y] &&
                std::find(m_flipped.begin(), m_flipped.end(), wire::Origin{x, y}) == m_flipped.end())
                m_flipped.push_back({x, y});
        }
        for (const wire::Origin& cell : m_flipped)
            m_client->send(msg::iflip(m_slot, cell.x, cell.y));
        // A sixth flip the host must refuse.
        if (dice.chance(200))
            m_client->send(msg::iflip(m_slot, 1 + dice.below(10), 1 + dice.below(8)));
    }

    void finishTurn(Dice& dice)
    {
        const int roll = dice.below(100);
        if (roll < 8) {
            m_client->send(msg::hepass(m_slot));
        } else if (roll < 14) {
            m_client->send(msg::clickbuy(m_slot));
            m_client->send(msg::hepass(m_slot));
        } else if (roll < 26) {
            // Words the host must refuse: a bar tile twice, cells out of
            // range, an unreadable origin, a tile that is face down.
            const std::vector<std::vector<wire::Origin>> wrong{{{0, 1}, {0, 1}, {0, 2}},
                                                               {{11, 1}, {0, 3}},
                                                               {{0, 8}, {0, 0}},
                                                               {{3, 9}, {0, 2}},
                                                               {{0, 1}, {0, 2}}};
            m_client->send(msg::idone(m_slot, wrong[static_cast<std::size_t>(dice.below(5))]));
            if (dice.chance(300))
                m_client->send("CMD_idone+" + std::to_string(m_slot) + "+x,y+0,-1\xFF");
        } else {
            playBestWord();
        }
    }

    void playBestWord()
    {
        // The face-up cells column by column, each from the top.
        std::vector<wire::Origin> cells;
        for (int x = 1; x <= 10; ++x) {
            for (int y = 1; y <= 8; ++y) {
                if (m_referee.faceUp[x][y])
                    cells.push_back({x, y});
            }
        }
        const std::vector<wire::Origin> best = longestWord(m_words, cells, m_referee.board, m_referee.bar);
        if (best.empty()) {
            m_client->send(msg::hepass(m_slot));
            return;
        }
        sendWord(*m_client, m_slot, best);
    }

    quint16 m_port;
    int m_index;
    const std::vector<std::string>& m_words;
    std::unique_ptr<TestClient> m_client;
    std::size_t m_next = 0;
    Referee m_referee;
    int m_slot = 0;
    bool m_loggedIn = false;
    int m_awayUntil = 0;
    std::vector<wire::Origin> m_flipped;
};

// Something rude or idle a player does between turns.
void mischief(Player& player, int count, Dice& dice)
{
    TestClient& client = player.client();
    const int s = player.slot();
    const int other = 1 + dice.below(9);
    switch (dice.below(12)) {
    case 0:
        client.send(msg::chat(s,
                              "two+two|is\xFF"
                              "four+|clRed",
                              static_cast<wire::Colour>(dice.below(1 << 24))));
        break;
    case 1:
        client.send(msg::chat(s, "a|b+c " + std::to_string(count), 0));
        break;
    case 2:
        client.send(msg::action(s, "says: +|+", 255));
        break;
    case 3:
        client.send(msg::playasound(s, 1 + dice.below(14)));
        break;
    case 4:
        client.send(msg::iflip(other, 1 + dice.below(10), 1 + dice.below(8)));
        break;
    case 5:
        client.send(msg::idone(other, {{0, 1}, {0, 2}}));
        break;
    case 6:
        client.send(msg::clickbuy(other));
        break;
    case 7:
        client.send(msg::kickhim(s == 1 ? 1 : other, 2 + dice.below(8)));
        break;
    case 8:
        client.send(msg::startgame("Spoof", "1", "1", true, "1", "0"));
        break;
    case 9:
        client.send(msg::justwatch(s, dice.chance(500) ? "1" : "2"));
        break;
    case 10:
        client.send(msg::justwatch(other, "1"));
        break;
    default:
        client.send(std::string("CMD_chat+") + std::to_string(s) + "+half a mess");
        break;
    }
}

TEST(LexiflipHostSoak, NineRoughPlayersKeepTheGameSoundAndTheMemorySettled)
{
    const long seconds = environmentNumber("LEXIFLIP_SOAK_SECONDS", 75);
    const auto seed = static_cast<std::uint64_t>(environmentNumber("LEXIFLIP_SOAK_SEED", 20261208));
    SCOPED_TRACE("LEXIFLIP_SOAK_SEED=" + std::to_string(seed));
    Dice dice(seed);
    const std::vector<std::string> words = engine::loadComputerWords(assets::computerWords());

    HostProcess host({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bot-speed"),
                      QStringLiteral("fast")});
    const quint16 port = host.waitForPort();
    ASSERT_NE(port, 0) << host.process().readAllStandardError().toStdString();

    // Slot 1 first: the host's own player, who starts the games and stays.
    std::vector<std::unique_ptr<Player>> players;
    players.push_back(std::make_unique<Player>(port, 1, words));
    ASSERT_TRUE(waitUntil([&] {
        players[0]->step(dice, {});
        return players[0]->referee().present[1];
    }));
    ASSERT_EQ(players[0]->slot(), 1);
    for (int i = 2; i <= 9; ++i)
        players.push_back(std::make_unique<Player>(port, i, words));

    // Connections the host may have seated before slot 1 heard their login.
    const auto pending = [&] {
        std::set<int> held;
        for (const auto& p : players) {
            if (p->connecting())
                held.insert(0);
            else if (!p->away() && !players[0]->referee().present[p->slot()])
                held.insert(p->slot());
        }
        return held;
    };
    const qint64 pid = host.process().processId();
    long warmRss = -1;
    long peakRss = 0;
    int games = 0;
    int winners = 0;
    int sinceWinner = -1;
    QElapsedTimer clock;
    clock.start();
    for (int count = 0; clock.elapsed() < seconds * 1000; ++count) {
        waitUntil([] { return false; }, 20);
        const std::set<int> waiting = pending();
        for (auto& p : players)
            p->step(dice, waiting);
        Player& first = *players[0];
        ASSERT_FALSE(first.closed()) << "the host closed its own player";
        ASSERT_EQ(host.process().state(), QProcess::Running)
            << host.process().readAllStandardError().toStdString();

        // A new game at the start, after a winner, and now and then anyway.
        if (first.referee().winners > winners) {
            winners = first.referee().winners;
            sinceWinner = 50;
        }
        // (The times per turn sent, 4 to 8 seconds, are below the options
        // dialog's range: the host holds them to its least.)
        if (games == 0 || (sinceWinner >= 0 && sinceWinner-- == 0) || dice.chance(1)) {
            first.client().send(msg::startgame(
                "Bot1", std::to_string(15 + dice.below(30)), std::to_string(4 + dice.below(5)),
                dice.chance(500), std::to_string(1 + dice.below(3)), dice.chance(300) ? "1" : "0"));
            ++games;
            sinceWinner = -1;
        }
        for (std::size_t i = 0; i < players.size(); ++i) {
            Player& p = *players[i];
            if (p.away() || p.closed() || p.slot() == 0)
                continue;
            if (dice.chance(25))
                mischief(p, count, dice);
            if (i > 0 && dice.chance(1))
                p.leave(dice);
        }
        // Players the host closed (kicked, or refused when full) come back.
        for (std::size_t i = 1; i < players.size(); ++i) {
            if (!players[i]->away() && players[i]->closed())
                players[i]->leave(dice);
        }
        if (warmRss < 0 && clock.elapsed() > seconds * 1000 / 5)
            warmRss = residentKiB(pid);
        peakRss = std::max(peakRss, residentKiB(pid));
    }
    const long endRss = residentKiB(pid);

    // A fresh login is still served. The players stop coming back; the last
    // one leaves to make room, and the others' late departures may hold a
    // slot for a moment, during which the host rightly answers CMD_full.
    Player& last = *players.back();
    if (!last.away() && !last.closed()) {
        const int gone = players[0]->client().count("CMD_playerdisconnected+");
        last.client().close();
        EXPECT_TRUE(
            waitUntil([&] { return players[0]->client().count("CMD_playerdisconnected+") > gone; }, 10000));
    }
    std::unique_ptr<TestClient> fresh;
    for (int attempt = 0; attempt < 10; ++attempt) {
        fresh = std::make_unique<TestClient>(port);
        if (fresh->login("Fresh"))
            break;
        ASSERT_TRUE(fresh->has("CMD_full+")) << "a fresh login got no answer";
        waitUntil([] { return false; }, 500);
    }
    ASSERT_NE(fresh->slot(), 0) << "no slot came free at the end";
    fresh->send(msg::chat(fresh->slot(), "made+it|here", 0));
    EXPECT_TRUE(fresh->waitFor("CMD_chat+Fresh chats: made+it|here"));

    int turns = 0;
    int accepted = 0;
    int purchases = 0;
    int joins = 0;
    for (const auto& p : players) {
        for (const std::string& fault : p->referee().faults)
            ADD_FAILURE() << "client " << p->slot() << ": " << fault;
        joins += p->joins;
    }
    turns = players[0]->referee().turns;
    accepted = players[0]->referee().words;
    purchases = players[0]->referee().purchases;
    std::printf(
        "soak: %ld s, seed %llu, %d games started, %d won, %d turns, %d words, %d purchases, %d joins; "
        "host RSS %ld KiB after warm-up, %ld KiB at the end (peak %ld)\n",
        seconds, static_cast<unsigned long long>(seed), games, winners, turns, accepted, purchases, joins,
        warmRss, endRss, peakRss);
    EXPECT_GT(turns, 5);
    EXPECT_GT(accepted, 0) << "no legal word was ever accepted";
    ASSERT_GT(warmRss, 0);
#if !defined(LEXIFLIP_SANITIZED) && !defined(__SANITIZE_ADDRESS__)
    // Under AddressSanitizer freed memory sits in its quarantine, so the
    // host's resident size says nothing about leaks there.
    EXPECT_LE(endRss - warmRss, 5 * 1024) << "host memory grew after warm-up";
#endif
    EXPECT_EQ(host.process().state(), QProcess::Running);
}

} // namespace
} // namespace lexiflip::testing
