#include <algorithm>
#include <string>

#include "engine/game.h"

namespace lexiflip::engine {

void Game::seatConnected(int slot)
{
    if (!GameState::isSlot(slot))
        return;
    m_state.players[slot].connected = 1;
    m_state.slotsused = std::max(m_state.slotsused, slot);
    m_heldSeats[slot] = false;
}

void Game::seatLoggedIn(int slot, std::string_view name)
{
    if (!GameState::isSlot(slot))
        return;
    tplayer& player = m_state.players[slot];
    player.name = std::string(name);
    player.connected = 1;
}

void Game::seatLeft(int slot)
{
    if (!GameState::isSlot(slot))
        return;
    tplayer& player = m_state.players[slot];
    player.connected = 0;
    player.name.clear();
    player.watching = 0;
    currentPlayerLeft(slot);
}

void Game::seatHeldAway(int slot, std::string_view name)
{
    if (!GameState::isSlot(slot))
        return;
    tplayer& player = m_state.players[slot];
    player.connected = 0;
    player.name = std::string(name);
    // The computer played a watcher's seat for him; an absent player's seat
    // is played by nobody.
    player.watching = 0;
    m_heldSeats[slot] = true;
    m_state.slotsused = std::max(m_state.slotsused, slot);
    currentPlayerLeft(slot);
}

void Game::seatHoldEnded(int slot)
{
    if (!GameState::isSlot(slot))
        return;
    m_heldSeats[slot] = false;
    if (m_state.players[slot].connected)
        m_state.players[slot].name.clear();
    else
        seatLeft(slot);
}

void Game::setWatching(int slot, bool watching)
{
    if (!GameState::isSlot(slot))
        return;
    m_state.players[slot].watching = watching ? 1 : 0;
    if (watching)
        currentPlayerWatching(slot);
}

} // namespace lexiflip::engine
