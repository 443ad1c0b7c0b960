#pragma once

// The letters a scripted client reads off the wire, and the words it lays
// from them: shared by every client that plays turns over TCP.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/test_client.h"
#include "net/wire/field_reader.h"
#include "net/wire/messages.h"

namespace lexiflip::testing {

using BoardLetters = std::array<std::array<int, 9>, 11>; // [x][y], 0 where unknown
using BarLetters = std::array<int, 8>;                   // [position], 0 where empty

// CMD_theboard's cells (x, y, letter code triples) into board; cells off the
// board are passed over.
inline void readBoard(wire::FieldReader& fields, BoardLetters& board)
{
    const std::vector<std::string_view> items = fields.list();
    for (std::size_t i = 0; i + 2 < items.size(); i += 3) {
        const int x = wire::parseInt(items[i]).value_or(0);
        const int y = wire::parseInt(items[i + 1]).value_or(0);
        if (x >= 1 && x <= 10 && y >= 1 && y <= 8)
            board[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)] =
                wire::parseInt(items[i + 2]).value_or(0);
    }
}

// CMD_mytiles's tiles (position, letter code pairs, read after its slot) into
// bar; positions off the bar are passed over.
inline void readBar(wire::FieldReader& fields, BarLetters& bar)
{
    const std::vector<std::string_view> items = fields.list();
    for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
        const int k = wire::parseInt(items[i]).value_or(0);
        if (k >= 1 && k <= 7)
            bar[static_cast<std::size_t>(k)] = wire::parseInt(items[i + 1]).value_or(0);
    }
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
