#pragma once

// The letters a scripted client reads off the wire, and the words it lays
// from them: shared by every client that plays turns over TCP.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/test_client.h"
#include "wire/client_messages.h"
#include "wire/messages.h"

namespace lexiflip::testing {

using BoardLetters = std::array<std::array<int, 9>, 11>; // [x][y], 0 where unknown
using BarLetters = std::array<int, 8>;                   // [position], 0 where empty

// CMD_theboard's cells into board, as far as the list reads.
inline void readBoard(std::string_view payload, BoardLetters& board)
{
    for (const wire::msg::Cell& cell : wire::readTheboard(payload).items)
        board[static_cast<std::size_t>(cell.x)][static_cast<std::size_t>(cell.y)] = cell.code;
}

// CMD_mytiles's tiles into bar when they are mySlot's, as far as the list reads.
inline void readBar(std::string_view payload, int mySlot, BarLetters& bar)
{
    const std::optional<wire::PlayerTiles> tiles = wire::readMytiles(payload);
    if (!tiles || tiles->slot != mySlot)
        return;
    for (const wire::msg::BarTile& tile : tiles->tiles.items)
        bar[static_cast<std::size_t>(tile.position)] = tile.code;
}

// The tiles that lay word, in its order: for each letter the first unused
// board cell of cells that shows it, else the first unused bar position
// holding it (x 0, y the position). Empty when some letter is found nowhere.
inline std::vector<wire::Origin> layWord(std::string_view word, const std::vector<wire::Origin>& cells,
                                         const BoardLetters& board, const BarLetters& bar)
{
    std::vector<wire::Origin> origins;
    std::vector<bool> cellTaken(cells.size());
    std::array<bool, 8> barTaken{};
    for (const char letter : word) {
        const int code = letter - 'a' + 1;
        bool found = false;
        for (std::size_t c = 0; c < cells.size() && !found; ++c) {
            const wire::Origin& cell = cells[c];
            if (!cellTaken[c] &&
                board[static_cast<std::size_t>(cell.x)][static_cast<std::size_t>(cell.y)] == code) {
                cellTaken[c] = true;
                origins.push_back(cell);
                found = true;
            }
        }
        for (std::size_t k = 1; k <= 7 && !found; ++k) {
            if (!barTaken[k] && bar[k] == code) {
                barTaken[k] = true;
                origins.push_back({0, static_cast<int>(k)});
                found = true;
            }
        }
        if (!found)
            return {};
    }
    return origins;
}

// The tiles of the longest word of words (the first of its length) that
// layWord can lay; empty when none of two letters or more can be laid.
inline std::vector<wire::Origin> longestWord(const std::vector<std::string>& words,
                                             const std::vector<wire::Origin>& cells,
                                             const BoardLetters& board, const BarLetters& bar)
{
    std::vector<wire::Origin> best;
    for (const std::string& word : words) {
        if (word.size() < 2 || word.size() <= best.size())
            continue;
        std::vector<wire::Origin> origins = layWord(word, cells, board, bar);
        if (!origins.empty())
            best = std::move(origins);
    }
    return best;
}

// Puts tiles into slot's word one by one, as a player's clicks do, then
// submits it.
inline void sendWord(TestClient& client, int slot, const std::vector<wire::Origin>& tiles)
{
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const wire::Origin& tile = tiles[i];
        const int position = static_cast<int>(i) + 1;
        client.send(tile.x == 0 ? wire::msg::usebarletter(slot, tile.y, position)
                                : wire::msg::useboardletter(slot, tile.x, tile.y, position));
    }
    client.send(wire::msg::idone(slot, tiles));
}

} // namespace lexiflip::testing
