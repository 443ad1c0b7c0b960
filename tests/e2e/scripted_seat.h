#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "e2e/word_play.h"
#include "net/test_client.h"
#include "wire/client_messages.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"
#include "wire/messages.h"

namespace lexiflip::testing {

// The game as one client has seen it on the wire: the board's letters and
// the cells turned this turn, the seats' scores, its own bar and whose turn
// it is. Two clients that saw the same game hold equal pictures.
struct SeenGame {
    using Cell = std::pair<int, int>;

    BoardLetters letters{};
    std::set<Cell> faceUp;
    std::array<int, 7> scores{}; // [seat]
    BarLetters bar{};
    int onTurn = 0;
    int flipsThisTurn = 0;
    bool lastFlip = false;

    void take(int mySlot, std::string_view message)
    {
        const std::optional<wire::SplitEntry> entry = wire::splitEntry(message);
        if (!entry)
            return;
        const std::string_view command = entry->command;
        const std::string_view payload = entry->payload;
        if (command == wire::cmd::theboard) {
            readBoard(payload, letters);
        } else if (command == wire::cmd::mytiles) {
            readBar(payload, mySlot, bar);
        } else if (command == wire::cmd::startgame) {
            scores = {};
        } else if (command == wire::cmd::nextplayer) {
            // Every turn starts with the whole board face down.
            onTurn = wire::readNextplayer(payload).value_or(0);
            faceUp.clear();
            flipsThisTurn = 0;
            lastFlip = false;
        } else if (command == wire::cmd::heflip) {
            const std::optional<wire::HeFlip> flip = wire::readHeflip(payload);
            if (flip)
                faceUp.insert({flip->x, flip->y});
            ++flipsThisTurn;
            lastFlip = flip && flip->last;
        } else if (command == wire::cmd::hisword) {
            if (const std::optional<wire::HisWord> word = wire::readHisword(payload))
                scores[static_cast<std::size_t>(word->seat)] = word->totalScore;
        } else if (command == wire::cmd::buytiles) {
            if (const std::optional<wire::BuyTiles> purchase = wire::readBuytiles(payload))
                scores[static_cast<std::size_t>(purchase->seat)] = purchase->newScore;
        } else if (command == wire::cmd::stats) {
            const std::optional<wire::Stats> stats = wire::readStats(payload);
            if (!stats)
                return;
            onTurn = stats->currentPlayer;
            for (const wire::SeatScore& score : stats->scores.items)
                scores[static_cast<std::size_t>(score.seat)] = score.score;
        } else if (command == wire::cmd::isflipped) {
            if (const std::optional<wire::Flipped> flipped = wire::readIsflipped(payload)) {
                for (const wire::Origin& cell : flipped->cells.items)
                    faceUp.insert({cell.x, cell.y});
            }
        }
    }
};

// A player over a scripted client: on each of its turns it flips five
// face-down tiles and lays the longest word of words it can make from them
// and its bar, or passes. holdAfter(n) makes it stop after n flips of its
// next turn, so that a test can act while that turn is half played.
class ScriptedSeat {
public:
    ScriptedSeat(TestClient& client, const std::vector<std::string>& words) : m_client(client), m_words(words)
    {
    }

    // Takes the messages that arrived since the last step and plays.
    void step()
    {
        while (m_next < m_client.messages().size()) {
            const std::string& message = m_client.messages()[m_next++];
            seen.take(m_client.slot(), message);
            react(message);
        }
    }

    void holdAfter(int flips) { m_holdAfter = flips; }
    bool holding() const { return m_holding; }
    // Plays the rest of the held turn.
    void release()
    {
        m_holdAfter = -1;
        if (!m_holding)
            return;
        m_holding = false;
        flipUpTo(5);
    }

    // The tiles it asked to turn in its latest turn.
    const std::set<SeenGame::Cell>& askedThisTurn() const { return m_askedCells; }

    SeenGame seen;
    int turns = 0;

private:
    bool mine(std::string_view message, std::string_view command) const
    {
        const std::string prefix = std::string(command) + "+" + std::to_string(m_client.slot()) + "+";
        return message.substr(0, prefix.size()) == prefix;
    }

    void react(std::string_view message)
    {
        if (mine(message, "CMD_nextplayer")) {
            ++turns;
            m_asked = 0;
            m_askedCells.clear();
            m_holding = false;
            flipUpTo(m_holdAfter >= 0 ? m_holdAfter : 5);
            if (m_holdAfter >= 0) {
                m_holding = true;
                m_holdAfter = -1;
            }
        } else if (mine(message, "CMD_heflip") && seen.lastFlip) {
            layOrPass();
        } else if (mine(message, "CMD_invalid")) {
            m_client.send(wire::msg::hepass(m_client.slot()));
        }
    }

    // Asks for face-down tiles until this turn has n flips asked.
    void flipUpTo(int n)
    {
        for (int cell = (turns * 17) % 80, tried = 0; m_asked < n && tried < 80;
             cell = (cell + 1) % 80, ++tried) {
            const int x = cell / 8 + 1;
            const int y = cell % 8 + 1;
            if (seen.faceUp.count({x, y}) || m_askedCells.count({x, y}))
                continue;
            m_askedCells.insert({x, y});
            ++m_asked;
            m_client.send(wire::msg::iflip(m_client.slot(), x, y));
        }
    }

    void layOrPass()
    {
        // The face-up cells column by column, each from the top.
        std::vector<wire::Origin> cells;
        for (const auto& [x, y] : seen.faceUp)
            cells.push_back({x, y});
        const std::vector<wire::Origin> best = longestWord(m_words, cells, seen.letters, seen.bar);
        if (best.empty())
            m_client.send(wire::msg::hepass(m_client.slot()));
        else
            m_client.send(wire::msg::idone(m_client.slot(), best));
    }

    TestClient& m_client;
    const std::vector<std::string>& m_words;
    std::size_t m_next = 0;
    int m_holdAfter = -1;
    bool m_holding = false;
    int m_asked = 0;
    std::set<SeenGame::Cell> m_askedCells;
};

} // namespace lexiflip::testing
