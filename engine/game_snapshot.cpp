#include "engine/game_snapshot.h"

#include "core/clock.h"
#include "engine/game.h"

namespace lexiflip::engine {

GameSnapshot Game::snapshot() const
{
    GameSnapshot snapshot;
    snapshot.state = m_state;
    snapshot.strengths = m_strengths;
    snapshot.random = m_services.random.state();
    snapshot.foresight = m_foresight.state();
    snapshot.turnClockRunning = m_services.timer1.running() || m_turnClockWaits;
    snapshot.computerClockRunning = m_services.computertimer.running();
    return snapshot;
}

bool Game::restore(const GameSnapshot& snapshot)
{
    core::RandomSource random = m_services.random;
    core::RandomSource foresight = m_foresight;
    if (!random.restore(snapshot.random) || !foresight.restore(snapshot.foresight))
        return false;
    m_services.timer1.stop();
    m_services.computertimer.stop();
    m_services.random = random;
    m_foresight = foresight;
    m_state = snapshot.state;
    m_strengths = snapshot.strengths;
    m_turnClockWaits = snapshot.turnClockRunning;
    if (snapshot.computerClockRunning)
        startBotPhase(m_state.botphase, m_state.botticks);
    return true;
}

void Game::resumeTurnClock()
{
    if (m_turnClockWaits)
        startTimer1Phase(m_state.timer1phase, m_state.turnticks);
}

} // namespace lexiflip::engine
