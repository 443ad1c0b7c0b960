#include "engine/game.h"

#include "core/clock.h"
#include "words/notice_sink.h"

#include <string>
#include <vector>

namespace lexiflip::engine {

Game::Game(GameServices services) : m_services(std::move(services))
{
    // The computer draws from every entry but the last ten, redrawing words
    // under four letters; with none to draw it would redraw for ever.
    const std::vector<std::string>& words = m_services.listbox_words;
    if (words.size() > 10) {
        for (std::size_t i = 0; i + 10 < words.size(); ++i)
            m_playableWords += words[i].size() >= 4 ? 1 : 0;
    }
}

void Game::notice(std::string_view text)
{
    m_services.notices.notice(text);
}

void Game::startTimer1Phase(int phase, int ticks)
{
    m_services.timer1.stop();
    m_turnClockWaits = false;
    m_state.timer1phase = phase;
    m_state.turnticks = ticks;
    m_services.timer1.start(1000);
}

void Game::startBotPhase(int phase, int ticks)
{
    m_services.computertimer.stop();
    m_state.botphase = phase;
    m_state.botticks = ticks;
    m_services.computertimer.start(m_services.botSpeedMs ? m_services.botSpeedMs() : 750);
}

bool Game::computerPlays(int slot) const
{
    if (!GameState::isSlot(slot))
        return false;
    if (m_heldSeats[slot])
        return false;
    const tplayer& player = m_state.players[slot];
    return !player.connected || player.watching;
}

bool Game::turnGuard(int slot) const
{
    return m_state.timer1phase == kBuilding && slot != 0 && slot == m_state.currentplayer;
}

} // namespace lexiflip::engine
