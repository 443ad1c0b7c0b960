#include "client/game/turn.h"

#include <algorithm>

#include "client/game/client_screen.h"
#include "client/game/game_output.h"
#include "client/game/roster.h"
#include "core/clock.h"
#include "wire/client_messages.h"

namespace lexiflip::client {

// ---------------------------------------------------------------------------
// Catching up, their tiles, peeks

void Turn::stats(std::string_view data)
{
    const std::optional<wire::Stats> read = wire::readStats(data);
    if (!read || !m_roster.isMe(read->slot))
        return;
    m_gameTexts.playToScore = "Play to Score: " + std::string(read->playToScore);
    setTurnSeconds(read->turnSeconds);
    // The host passes a turn that is the newcomer's own: it never starts here.
    m_turnowner = read->currentPlayer == m_roster.myplayer() ? 0 : read->currentPlayer;
    m_secondsleft = std::clamp(read->turnTicks, 0, read->turnSeconds);
    if (read->mode)
        m_gameTexts.gameMode = wire::gameModeHeader(*read->mode);
    m_gameTexts.notPlaying = read->maxFour != "0";
    m_output.screen().gameOptionsChanged();
    // Only a window that came in while a game runs is caught up: a slot 1
    // given to it starts the next game, not this one.
    m_awaitingWinner = true;
    m_startShown = false;
    m_output.screen().buttonsChanged();
    for (const wire::SeatScore& score : read->scores.items) {
        m_roster.seatAt(score.seat).score = std::to_string(score.score);
        m_roster.seatChanged(score.seat);
    }
    // The game's start, which names the computer's seat, came before this
    // window did.
    nameComputerSeat();
}

void Turn::theirtiles(std::string_view data)
{
    const std::optional<wire::PlayerTiles> read = wire::readTheirtiles(data);
    if (!read)
        return;
    m_theirTiles.label = m_roster.seatAt(read->slot).name + " Tiles:";
    for (const wire::msg::BarTile& tile : read->tiles.items)
        m_theirTiles.pictures[static_cast<std::size_t>(tile.position - 1)] = letterPicture(tile.code);
    if (!m_roster.isMe(read->slot) && m_seeTheirs)
        m_theirTiles.shown = true;
    m_output.screen().theirTilesChanged();
}

void Turn::getsneak(std::string_view data)
{
    const std::optional<int> player = wire::readSneak(data);
    if (!player || !m_roster.isMe(*player))
        return;
    setStatus("Here is your Sneak Peek");
    m_turnowner = 0;
    // The whole board shows its letters greyed; the cells are face up but not
    // used, so the next turn's start turns them all down again.
    for (int x = 1; x <= kColumns; ++x) {
        for (int y = 1; y <= kRows; ++y) {
            cell(x, y).faceup = true;
            cell(x, y).picture = usedPicture(cell(x, y).letter);
        }
    }
    m_output.screen().boardChanged();
    if (!m_sneaker.shown && isSeat(m_roster.myplayer()))
        showSneakerAt(m_roster.myplayer());
}

void Turn::sneaker(std::string_view data)
{
    const std::optional<int> number = wire::readSneaker(data);
    if (!number)
        return;
    if (*number == 0)
        hideSneaker();
    else if (isSeat(*number))
        showSneakerAt(*number);
}

void Turn::showSneakerAt(int seat)
{
    m_sneaker.seat = seat;
    m_sneaker.shown = true;
    if (!m_sneakerClock.running())
        m_sneakerClock.start(kSneakerFrameMs);
    m_output.screen().sneakerChanged();
}

void Turn::hideSneaker()
{
    m_sneaker.shown = false;
    m_sneakerClock.stop();
    m_output.screen().sneakerChanged();
}

void Turn::sneakerTimer()
{
    if (!m_sneaker.shown) {
        m_sneakerClock.stop();
        return;
    }
    m_sneaker.frame = (m_sneaker.frame + 1) % kSneakerFrames;
    m_output.screen().sneakerChanged();
}

} // namespace lexiflip::client
