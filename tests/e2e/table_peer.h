#pragma once

// A peer at the table of a game whose window is played by other means (the
// keyboard, a screen reader): it reads the board off the wire, passes its own
// turns at once, and plans the window's turns from the board's letters.

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "assets/embedded.h"
#include "core/letters.h"
#include "e2e/word_play.h"
#include "engine/computer_words.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/client_messages.h"
#include "wire/dispatch_table.h"
#include "wire/messages.h"

namespace lexiflip::testing {

using Cell = wire::Origin;

// Words a turn can lay: two to ten letters.
inline const std::vector<std::string>& turnWords()
{
    static const std::vector<std::string> words = [] {
        std::vector<std::string> all = engine::loadComputerWords(assets::computerWords());
        std::erase_if(all, [](const std::string& word) { return word.size() < 2 || word.size() > 10; });
        return all;
    }();
    return words;
}

// The window's turn: the word to type, and the five cells to flip first
// (the word's own cells, then face-down fillers).
struct KeyTurn {
    std::string word;
    std::vector<Cell> flips;
};

// The best-scoring word of turnWords() that the bar and the board's cells
// can lay, with at most five flips in all (flipped: the cells this turn has
// flipped already, which the word does not use). Board letters count double,
// so each letter takes a board cell while flips are left, else a bar tile.
inline KeyTurn planTurn(const BoardLetters& board, const std::vector<Cell>& flipped,
                        const BarLetters& bar = {})
{
    std::vector<Cell> everyCell;
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 10; ++x)
            if (std::find(flipped.begin(), flipped.end(), Cell{x, y}) == flipped.end())
                everyCell.push_back({x, y});
    KeyTurn turn;
    std::vector<Cell> bestCells;
    int bestScore = 0;
    for (const std::string& word : turnWords()) {
        std::vector<Cell> cells;
        std::vector<bool> cellTaken(everyCell.size());
        std::array<bool, 8> barTaken{};
        int score = 0;
        bool laid = true;
        for (const char letter : word) {
            const int code = letter - 'a' + 1;
            bool found = false;
            for (std::size_t c = 0; c < everyCell.size() && !found && cells.size() + flipped.size() < 5;
                 ++c) {
                const Cell& cell = everyCell[c];
                if (!cellTaken[c] &&
                    board[static_cast<std::size_t>(cell.x)][static_cast<std::size_t>(cell.y)] == code) {
                    cellTaken[c] = true;
                    cells.push_back(cell);
                    score += 2 * core::letterworth(code);
                    found = true;
                }
            }
            for (std::size_t k = 1; k <= 7 && !found; ++k) {
                if (!barTaken[k] && bar[k] == code) {
                    barTaken[k] = true;
                    score += core::letterworth(code);
                    found = true;
                }
            }
            if (!found) {
                laid = false;
                break;
            }
        }
        score += word.size() >= 5 ? static_cast<int>(word.size() - 4) * 5 : 0;
        if (laid && score > bestScore) {
            bestScore = score;
            turn.word = word;
            bestCells = cells;
        }
    }
    turn.flips = flipped;
    turn.flips.insert(turn.flips.end(), bestCells.begin(), bestCells.end());
    for (const Cell& cell : everyCell) {
        if (turn.flips.size() >= 5)
            break;
        if (std::find(turn.flips.begin(), turn.flips.end(), cell) == turn.flips.end())
            turn.flips.push_back(cell);
    }
    return turn;
}

inline std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The peer: it reads the board off the wire and passes its own turns at once.
class Peer {
public:
    explicit Peer(TestClient& client) : m_client(client) {}

    // Takes the messages that arrived, passing the peer's own turns.
    void step()
    {
        while (m_next < m_client.messages().size()) {
            const std::string& message = m_client.messages()[m_next++];
            const std::optional<wire::SplitEntry> entry = wire::splitEntry(message);
            if (!entry)
                continue;
            if (entry->command == "CMD_theboard")
                readBoard(entry->payload, board);
            if (entry->command == "CMD_theirtiles")
                if (const auto tiles = wire::readTheirtiles(entry->payload); tiles && tiles->slot == 1)
                    for (const wire::msg::BarTile& tile : tiles->tiles.items)
                        if (tile.position >= 1 && tile.position <= 7)
                            windowBar[static_cast<std::size_t>(tile.position)] = tile.code;
            if (message == "CMD_nextplayer+" + std::to_string(m_client.slot()) + "+")
                m_client.send(wire::msg::hepass(m_client.slot()));
        }
    }
    bool waitFor(std::string_view prefix, std::size_t from, int timeoutMs = 15000)
    {
        return waitUntil(
            [&] {
                step();
                return m_client.find(prefix, from).has_value();
            },
            timeoutMs);
    }
    std::size_t seen() const { return m_client.messages().size(); }
    // The cells slot 1 flipped and the words it scored, from message index from on.
    std::set<std::pair<int, int>> flipsSince(std::size_t from) const
    {
        std::set<std::pair<int, int>> flips;
        for (std::size_t i = from; i < m_client.messages().size(); ++i) {
            const auto entry = wire::splitEntry(m_client.messages()[i]);
            if (entry && entry->command == "CMD_heflip")
                if (const auto flip = wire::readHeflip(entry->payload); flip && flip->slot == 1)
                    flips.insert({flip->x, flip->y});
        }
        return flips;
    }

    BoardLetters board{};
    BarLetters windowBar{}; // seat 1's bar, as Tiles Viewable shows it to the table

private:
    TestClient& m_client;
    std::size_t m_next = 0;
};

} // namespace lexiflip::testing
