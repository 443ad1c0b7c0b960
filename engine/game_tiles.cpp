#include <algorithm>
#include <vector>

#include "engine/game.h"
#include "engine/letter_draw.h"
#include "engine/sender.h"
#include "wire/messages.h"

namespace lexiflip::engine {

int Game::getletter()
{
    return engine::getletter(m_services.random);
}

void Game::makeboard()
{
    std::vector<wire::msg::Cell> cells;
    cells.reserve(kBoardColumns * kBoardRows);
    for (int x = 1; x <= kBoardColumns; ++x) {
        for (int y = 1; y <= kBoardRows; ++y) {
            tboardtile& tile = m_state.cell(x, y);
            tile.letter = getletter();
            tile.flipped = 0;
            tile.used = 0;
            tile.seen = 0;
            cells.push_back({x, y, tile.letter});
        }
    }
    sendToAll(wire::msg::theboard(cells));
}

void Game::dealtiles()
{
    // Every seat gets a bar, taken or not, so that a player who joins later
    // finds one waiting.
    for (int slot = 1; slot <= m_state.numseats; ++slot) {
        tplayer& player = m_state.players[slot];
        std::vector<wire::msg::BarTile> bar;
        for (int k = 1; k <= kBarTiles; ++k) {
            player.tiles[k].letter = getletter();
            player.tiles[k].used = 0;
            bar.push_back({k, player.tiles[k].letter});
        }
        sendTo(slot, wire::msg::mytiles(slot, bar));
    }
}

void Game::flipthem()
{
    std::vector<wire::msg::Cell> changed;
    for (int x = 1; x <= kBoardColumns; ++x) {
        for (int y = 1; y <= kBoardRows; ++y) {
            tboardtile& tile = m_state.cell(x, y);
            tile.flipped = 0;
            if (tile.used) {
                tile.letter = getletter();
                tile.used = 0;
                tile.seen = 0;
                changed.push_back({x, y, tile.letter});
            }
        }
    }
    if (!changed.empty())
        sendToAll(wire::msg::theboard(changed));
}

void Game::refillBar(int slot)
{
    if (slot < 1 || slot > m_state.numseats)
        return;
    tplayer& player = m_state.players[slot];
    std::vector<wire::msg::BarTile> changed;
    for (int k = 1; k <= kBarTiles; ++k) {
        if (player.tiles[k].used) {
            player.tiles[k].letter = getletter();
            player.tiles[k].used = 0;
            changed.push_back({k, player.tiles[k].letter});
        }
    }
    if (!changed.empty())
        sendTo(slot, wire::msg::mytiles(slot, changed));
}

void Game::flipthemover(int slot)
{
    for (int x = 1; x <= kBoardColumns; ++x) {
        for (int y = 1; y <= kBoardRows; ++y)
            m_state.cell(x, y).used = 0;
    }
    if (slot < 1 || slot > kSlotCount)
        return;
    for (int k = 1; k <= kBarTiles; ++k)
        m_state.players[slot].tiles[k].used = 0;
}

void Game::sendToAll(std::string_view message)
{
    const int last = std::min(m_state.slotsused, kSlotCount);
    for (int slot = 1; slot <= last; ++slot) {
        if (m_state.players[slot].connected)
            m_services.sender.send(slot, message);
    }
}

void Game::sendTo(int slot, std::string_view message)
{
    if (GameState::isSlot(slot) && m_state.players[slot].connected)
        m_services.sender.send(slot, message);
}

} // namespace lexiflip::engine
