#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "engine/game.h"
#include "wire/field_reader.h"
#include "wire/game_mode.h"
#include "wire/messages.h"
#include "wire/turn_time.h"

namespace lexiflip::engine {
namespace {

constexpr int kDefaultPlaytoscore = 100;
constexpr int kDefaultCreationtime = 60;
constexpr int kBuildingGraceTicks = 4; // the building phase runs creationtime + 4 ticks
constexpr int kPauseTicks = 4;
constexpr int kSneakPeekTicks = 5;

} // namespace

void Game::startgame(std::string_view request)
{
    m_state.gamerunning = 1;
    m_services.computertimer.stop();

    wire::FieldReader fields(request);
    const std::string_view starter = fields.next();
    const std::string_view playto = fields.next();
    const std::string_view creation = fields.next();
    const std::string_view viewable = fields.next();
    const std::string_view mode = fields.next();
    const std::string_view maxfour = fields.next();

    // A mode that is no digit leaves the last game's mode in place.
    if (const std::optional<wire::GameMode> chosen = wire::gameModeFromDigit(mode))
        m_state.gamemode = wire::gameModeWord(*chosen);
    m_state.playtoscore = wire::parseInt(playto).value_or(kDefaultPlaytoscore);
    // Every window counts the turn down from this time and the host's clock
    // runs it: a time no options dialog offers (none, a negative one, one of
    // years) is held to the dialog's range before it is relayed.
    m_state.creationtime =
        wire::turnSecondsWithinRange(wire::parseInt(creation).value_or(kDefaultCreationtime));
    m_state.viewable = viewable == "f" ? 0 : 1;

    sendToAll(wire::msg::startgameRelay(starter, m_state.playtoscore, m_state.creationtime, mode, maxfour));

    for (int slot = 1; slot <= m_state.numseats; ++slot) {
        tplayer& player = m_state.players[slot];
        player.score = 0;
        player.watching = 0;
        player.inplay = 1;
        for (int k = 1; k <= kBarTiles; ++k) {
            player.tiles[k].letter = 0;
            player.tiles[k].used = 0;
            player.tiles[k].coord = "0," + std::to_string(k);
        }
    }
    m_state.fourplayeroption = std::string(maxfour);
    if (m_state.fourplayeroption == "1") {
        m_state.players[5].inplay = 0;
        m_state.players[6].inplay = 0;
    }
    m_state.sneaker = 0;
    m_state.currentplayer = 0;

    makeboard();
    dealtiles();
    findplayer();
}

void Game::findplayer()
{
    m_state.flipcount = 0;
    flipthem();
    if (m_state.currentplayer != 0)
        refillBar(m_state.currentplayer);

    // Slot 2 takes its turn unless it is kept for an absent player, so the
    // walk ends within one lap.
    auto takesTurn = [this](int slot) {
        const tplayer& player = m_state.players[slot];
        return !m_heldSeats[slot] && (slot == 2 || (player.connected && player.inplay));
    };
    int& current = m_state.currentplayer;
    int steps = 0;
    do {
        ++current;
        if (current > m_state.numseats)
            current = 1;
        ++steps;
    } while (!takesTurn(current) && steps < m_state.numseats);
    if (!takesTurn(current)) {
        // Every seat that could play is kept for an absent player: the turn
        // waits a pause and is tried again, so a player back in time plays on.
        startTimer1Phase(kPause, kPauseTicks);
        return;
    }

    if (current == 1 && checkforwin())
        return;

    if (m_state.gamemode == wire::gameModeWord(wire::GameMode::help)) {
        if (current == 1) {
            m_state.sneaker = chooseSneaker();
            sendToAll(wire::msg::sneaker(m_state.sneaker));
        }
        if (current == m_state.sneaker) {
            sendTo(current, wire::msg::sneak(current));
            startTimer1Phase(kSneakPeek, kSneakPeekTicks);
        } else {
            finishfindplayer();
        }
    } else if (m_state.gamemode == wire::gameModeWord(wire::GameMode::sneak)) {
        sendTo(current, wire::msg::sneak(current));
        startTimer1Phase(kSneakPeek, kSneakPeekTicks);
    } else {
        finishfindplayer();
    }
}

int Game::chooseSneaker() const
{
    int candidate = 1;
    for (int slot = 2; slot <= 6; ++slot) {
        const tplayer& player = m_state.players[slot];
        if (player.score < m_state.players[candidate].score && player.score != 0 &&
            (player.connected || slot == 2) && !m_heldSeats[slot])
            candidate = slot;
    }
    return m_state.players[candidate].score != 0 ? candidate : 0;
}

void Game::finishfindplayer()
{
    const int current = m_state.currentplayer;
    sendToAll(wire::msg::nextplayer(current));

    if (m_state.viewable) {
        std::vector<wire::msg::BarTile> bar;
        for (int k = 1; k <= kBarTiles; ++k)
            bar.push_back({k, m_state.players[current].tiles[k].letter});
        const std::string message = wire::msg::theirtiles(current, bar);
        for (int slot = 1; slot <= std::min(m_state.slotsused, kSlotCount); ++slot) {
            if (slot != current)
                sendTo(slot, message);
        }
    }

    if (computerPlays(current)) {
        m_state.botword.clear();
        startBotPhase(kBotFlip, 1);
    }
    startTimer1Phase(kBuilding, m_state.creationtime + kBuildingGraceTicks);
}

void Game::timer1Timer()
{
    --m_state.turnticks;
    if (m_state.turnticks >= 1)
        return;
    m_services.timer1.stop();
    switch (m_state.timer1phase) {
    case kPause:
        findplayer();
        break;
    case kBuilding:
        timeup();
        break;
    case kSneakPeek:
        finishfindplayer();
        break;
    default:
        break;
    }
}

void Game::timeup()
{
    sendToAll(wire::msg::timeup(m_state.currentplayer));
    startTimer1Phase(kPause, kPauseTicks);
}

bool Game::checkforwin()
{
    // A seat kept for an absent player keeps its score in the reckoning.
    auto counts = [this](int slot) {
        return slot == 2 || m_state.players[slot].connected || m_heldSeats[slot];
    };

    bool reached = false;
    for (int slot = 1; slot <= 6; ++slot) {
        if (counts(slot) && m_state.players[slot].score >= m_state.playtoscore)
            reached = true;
    }
    if (!reached)
        return false;

    int leader = 1;
    for (int slot = 2; slot <= 6; ++slot) {
        if (counts(slot) && m_state.players[slot].score > m_state.players[leader].score)
            leader = slot;
    }
    const int top = m_state.players[leader].score;
    for (int slot = 1; slot <= m_state.numseats; ++slot) {
        if (slot != leader && counts(slot) && m_state.players[slot].score == top) {
            sendToAll(wire::msg::tie());
            return false;
        }
    }

    m_state.gamerunning = 0;
    // The game is over: nothing may tick on into a turn of a finished game
    // (the check can run while a turn abandoned by a leaving player still
    // has its clocks running).
    m_services.timer1.stop();
    m_services.computertimer.stop();
    m_turnClockWaits = false;
    m_state.timer1phase = 0;
    m_state.botphase = 0;
    const tplayer& winner = m_state.players[leader];
    sendToAll(wire::msg::winner(winner.name.empty() ? winner.botname : winner.name));
    if (m_gameOver)
        m_gameOver();
    return true;
}

void Game::currentPlayerLeft(int slot)
{
    // A hosting window's own client holds slot 1 and cannot leave without
    // the host going, so there the turn it held runs out on its clock.
    if (m_state.gamerunning && slot == m_state.currentplayer && (slot != 1 || m_firstSeatRemote))
        findplayer();
}

void Game::currentPlayerWatching(int slot)
{
    if (m_state.gamerunning && slot == m_state.currentplayer)
        findplayer();
}

} // namespace lexiflip::engine
