#include "host/host_session.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/clock.h"
#include "wire/connection.h"
#include "wire/messages.h"
#include "words/tdictn.h"

namespace lexiflip::host {

HostSession::HostSession(HostSessionServices services, HostSessionSettings settings)
    : m_transport(services.transport), m_timer1(services.timer1), m_computertimer(services.computertimer),
      m_botSpeedMs(settings.botSpeedMs), m_dictionary(services.dictionary),
      m_loginTimeout(std::chrono::milliseconds(settings.loginTimeoutMs)), m_random(settings.seed),
      m_game(std::make_unique<engine::Game>(
          engine::GameServices{m_sender, services.notices, services.timer1, services.computertimer, m_random,
                               services.dictionary, services.listboxWords, [this] { return m_botSpeedMs; }})),
      receivedlist(services.socktimer, std::chrono::milliseconds(settings.socktimerMs),
                   static_cast<std::size_t>(wire::kQueueLimitPerConnection)),
      m_sessionTimer(services.sessionTimer),
      m_seatHold(std::chrono::milliseconds(std::max(settings.seatHoldMs, 0))),
      m_firstSeatRemote(settings.firstSeatRemote)
{
    m_game->setFirstSeatRemote(settings.firstSeatRemote);
    // The winner ends every hold: a seat kept for the game just over is free
    // for the next.
    m_game->setGameOverHandler([this] { endAllHolds(); });
    setKlotStrength(settings.klotStrength);
    buildDispatch();
    receivedlist.setHandler([this](ConnectionId connection, std::string_view text) {
        guarded([&] { socktimerTimer(connection, text); });
    });
    m_sessionTimer.setFired([this] { guarded([this] { sessionTimerFired(); }); });
}

HostSession::~HostSession()
{
    // Closing down tells nobody anything.
    receivedlist.clear();
    m_sessionTimer.stop();
    m_sessionTimer.setFired({});
    m_timer1.stop();
    m_computertimer.stop();
}

void HostSession::setKlotStrength(engine::ComputerStrength strength)
{
    m_klotStrength = strength;
    m_game->setComputerStrength(strength);
    if (strength != engine::ComputerStrength::Classic && !m_indexBuild.valid()) {
        const words::TDictn& dictionary = m_dictionary;
        m_indexBuild = std::async(std::launch::async, [&dictionary] { dictionary.wordIndex(); });
    }
    stateChanged();
}

std::size_t HostSession::partialMessageBytes(int slot) const
{
    return holdsConnection(slot) && m_slots[slot].held ? m_slots[slot].accumulator.pendingBytes() : 0;
}

int HostSession::slotOf(ConnectionId connection) const
{
    for (int s = 1; s <= engine::kMaxConnections; ++s) {
        if (m_slots[s].held && m_slots[s].id == connection)
            return s;
    }
    return 0;
}

HostSession::SlotConnection* HostSession::find(ConnectionId connection)
{
    const int s = slotOf(connection);
    return s ? &m_slots[s] : nullptr;
}

int HostSession::chooseSlot(std::string_view address) const
{
    const engine::GameState& state = m_game->state();
    // A seat kept for this address, the one kept longest first; one whose
    // departure is still to be told is not free yet.
    int kept = 0;
    for (int s = 1; s <= engine::kMaxConnections; ++s) {
        const SeatHold& hold = m_holds[s];
        if (hold.active && hold.address == address && !m_slots[s].held && !state.players[s].connected &&
            (kept == 0 || hold.since < m_holds[kept].since))
            kept = s;
    }
    if (kept != 0)
        return kept;
    // Otherwise the lowest slot nobody holds or is kept for, then a new one.
    const int n = std::min(state.slotsused, engine::kMaxConnections);
    for (int s = 1; s <= n; ++s) {
        if (!state.players[s].connected && !m_holds[s].active)
            return s;
    }
    return n < engine::kMaxConnections ? n + 1 : 0;
}

int HostSession::accept(ConnectionId connection, std::string_view address)
{
    if (const int held = slotOf(connection))
        return held;
    const int chosen = chooseSlot(address);
    if (chosen == 0) {
        // Every slot is taken or kept: the newcomer hears why and is let go.
        m_transport.send(connection, wire::msg::full());
        return 0;
    }
    SlotConnection& slot = m_slots[chosen];
    slot.held = true;
    slot.id = connection;
    slot.accumulator.clear();
    slot.loggedIn = false;
    slot.loginDeadline = m_sessionTimer.now() + m_loginTimeout;
    slot.address = std::string(address);
    slot.removed = false;

    m_game->seatConnected(chosen);
    armSessionTimer();
    sendToSlot(chosen, wire::msg::sendlogininfo(chosen));
    stateChanged();
    return chosen;
}

void HostSession::receive(ConnectionId connection, std::string_view bytes)
{
    SlotConnection* const slot = find(connection);
    if (!slot)
        return;
    slot->accumulator.feed(bytes, [&](std::string_view message) {
        // The empty entry after a login's second terminator would be dropped
        // anyway; it takes no place in the queue. A connection that floods
        // the queue loses what it sends until its earlier messages are handled.
        if (!message.empty())
            receivedlist.push(connection, std::string(message));
    });
}

void HostSession::holdSeat(int s, std::string address, std::string name)
{
    if (s < 1 || s > wire::kSeatCount || m_slots[s].held)
        return;
    startHold(s, std::move(address));
    m_holds[s].told = true; // nobody is here to hear of it; late joiners are told
    m_game->seatKept(s, name);
    armSessionTimer();
}

bool HostSession::seatHeld(int slot) const
{
    return holdsConnection(slot) && m_holds[slot].active;
}

bool HostSession::keepsSeat(int s) const
{
    // The hosting window's own player cannot drop without the host going.
    return m_seatHold.count() > 0 && m_game->state().gamerunning && m_slots[s].loggedIn &&
           !m_slots[s].removed && s >= 1 && s <= wire::kSeatCount && (s != 1 || m_firstSeatRemote);
}

void HostSession::startHold(int s, std::string address)
{
    SeatHold& hold = m_holds[s];
    hold.active = true;
    hold.address = std::move(address);
    hold.since = m_sessionTimer.now();
    hold.deadline = hold.since + m_seatHold;
    hold.told = false;
}

void HostSession::endHold(int s)
{
    m_holds[s].active = false;
    const engine::GameState& state = m_game->state();
    // A seat whose departure is still to be told is freed by that telling.
    if (!m_slots[s].held && state.players[s].connected)
        return;
    const std::string freed = wire::msg::playerdisconnected(s, "");
    for (int t = 1; t <= engine::kMaxConnections; ++t) {
        if (t != s && state.players[t].connected)
            m_game->sendTo(t, freed);
    }
    m_game->seatHoldEnded(s);
}

void HostSession::endAllHolds()
{
    for (int s = 1; s <= engine::kMaxConnections; ++s) {
        if (m_holds[s].active)
            endHold(s);
    }
}

void HostSession::closed(ConnectionId connection)
{
    if (const int s = slotOf(connection))
        connectionClosed(s);
}

void HostSession::socktimerTimer(ConnectionId connection, std::string_view text)
{
    // A connection that has gone acts for nobody, least of all for whoever
    // holds its slot now.
    if (const int s = slotOf(connection); s && wire::admits(text, s))
        m_table.dispatch(text);
    stateChanged();
}

void HostSession::sendToSlot(int slot, std::string_view message)
{
    if (!holdsConnection(slot) || !m_slots[slot].held)
        return;
    // A connection that closes inside this send leaves after it.
    ++m_sendDepth;
    struct Sent {
        int& depth;
        ~Sent() { --depth; }
    } sent{m_sendDepth};
    m_transport.send(m_slots[slot].id, message);
}

void HostSession::closeLink(int slot)
{
    const ConnectionId id = m_slots[slot].id;
    m_transport.close(id);
    // The transport may have reported the close already.
    if (m_slots[slot].held && m_slots[slot].id == id)
        connectionClosed(slot);
}

void HostSession::connectionClosed(int s)
{
    SlotConnection& slot = m_slots[s];
    // A returning player's new connection that closes before its login keeps
    // the hold as it was; one the host removed keeps nothing.
    if (slot.removed)
        m_holds[s].active = false;
    else if (keepsSeat(s))
        startHold(s, slot.address);
    receivedlist.remove(slot.id);
    slot.held = false;
    slot.accumulator.clear();
    slot.loggedIn = false;
    m_departed.push_back(s);
    if (m_announcing)
        return; // the departures under way tell this one next
    if (m_sendDepth > 0)
        armSessionTimer();
    else
        announceDepartures();
}

// The others hear that a player left, his seat is cleared, and a turn he held
// moves on. The slot stays taken until then, so nobody new gets it before the
// old player's departure is told.
void HostSession::announceDepartures()
{
    m_announcing = true;
    // Whatever a step raises, the departures left are told later.
    struct Done {
        HostSession& session;
        ~Done()
        {
            session.m_announcing = false;
            session.armSessionTimer();
        }
    } done{*this};
    const engine::GameState& state = m_game->state();
    while (!m_departed.empty()) {
        const int s = m_departed.front();
        m_departed.pop_front();
        const engine::tplayer& player = state.players[s];
        SeatHold& hold = m_holds[s];
        if (player.connected && !(hold.active && hold.told)) {
            const std::string gone = wire::msg::playerdisconnected(s, player.name);
            for (int t = 1; t <= engine::kMaxConnections; ++t) {
                if (t != s && state.players[t].connected)
                    m_game->sendTo(t, gone);
            }
        }
        if (hold.active) {
            hold.told = true;
            m_game->seatHeldAway(s, player.name);
        } else {
            m_game->seatLeft(s);
        }
    }
    resumeWaitingTurn();
    stateChanged();
}

void HostSession::sessionTimerFired()
{
    if (!m_departed.empty() && !m_announcing)
        announceDepartures();
    // A connection that never logs in would hold its slot for ever; a
    // logged-in player may stay idle as long as he likes.
    const std::chrono::nanoseconds now = m_sessionTimer.now();
    for (int s = 1; s <= engine::kMaxConnections; ++s) {
        const SlotConnection& slot = m_slots[s];
        if (slot.held && !slot.loggedIn && slot.loginDeadline <= now)
            closeLink(s);
    }
    for (int s = 1; s <= engine::kMaxConnections; ++s) {
        if (m_holds[s].active && m_holds[s].deadline <= now)
            endHold(s);
    }
    resumeWaitingTurn();
    armSessionTimer();
    stateChanged();
}

void HostSession::armSessionTimer()
{
    const std::chrono::nanoseconds now = m_sessionTimer.now();
    std::optional<std::chrono::nanoseconds> due;
    if (!m_departed.empty())
        due = now;
    for (const SlotConnection& slot : m_slots) {
        if (slot.held && !slot.loggedIn)
            due = std::min(due.value_or(slot.loginDeadline), slot.loginDeadline);
    }
    for (const SeatHold& hold : m_holds) {
        if (hold.active)
            due = std::min(due.value_or(hold.deadline), hold.deadline);
    }
    if (!due) {
        m_sessionTimer.stop();
        return;
    }
    // Whole milliseconds, rounded up: a timer that counts them must not fire
    // before a deadline and find it not yet passed.
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(std::max(*due - now, std::chrono::nanoseconds(0)));
    m_sessionTimer.start(wait);
}

void HostSession::timer1Timer()
{
    m_game->timer1Timer();
    stateChanged();
}

void HostSession::computertimerTimer()
{
    m_game->computertimerTimer();
    stateChanged();
}

HostSnapshot HostSession::snapshot() const
{
    HostSnapshot snapshot;
    snapshot.game = m_game->snapshot();
    for (int s = 1; s <= engine::kMaxConnections; ++s) {
        if (m_slots[s].held)
            snapshot.addresses[s] = m_slots[s].address;
        else if (m_holds[s].active)
            snapshot.addresses[s] = m_holds[s].address;
    }
    snapshot.botSpeedMs = m_botSpeedMs;
    snapshot.klotStrength = m_klotStrength;
    return snapshot;
}

void HostSession::setStateListener(std::function<void(std::string)> listener)
{
    m_stateListener = std::move(listener);
    m_lastFacts.clear();
    stateChanged();
}

void HostSession::stateChanged()
{
    if (!m_stateListener)
        return;
    const HostSnapshot now = snapshot();
    std::string facts = stateFacts(now);
    if (facts == m_lastFacts)
        return;
    m_stateListener(stateFileText(now, facts));
    m_lastFacts = std::move(facts);
}

bool HostSession::resume(const HostSnapshot& kept)
{
    const engine::GameState& was = kept.game.state;
    core::RandomSource check(0);
    if (!was.gamerunning || !check.restore(kept.game.random) || !check.restore(kept.game.foresight))
        return false;
    const int current = was.currentplayer;
    // A person was building his word: the turn is his when he is back.
    const bool personOnTurn = engine::GameState::isSlot(current) && was.players[current].connected &&
                              !was.players[current].watching && !was.players[current].name.empty();
    // Every seat a player had (logged in, or kept for him already) is kept
    // for him at the address he came from; the seats are kept before the
    // game is back, so that keeping the seat on turn does not move the turn on.
    engine::GameSnapshot game = kept.game;
    for (int s = 1; s <= wire::kSeatCount; ++s) {
        engine::tplayer& player = game.state.players[s];
        if (!player.name.empty()) {
            holdSeat(s, kept.addresses[s], player.name);
            player.watching = 0;
        }
    }
    // Nobody is connected yet.
    for (engine::tplayer& player : game.state.players)
        player.connected = 0;
    m_botSpeedMs = kept.botSpeedMs;
    setKlotStrength(kept.klotStrength); // before the seats' own strengths
    m_game->restore(game);
    m_waitingTurn = personOnTurn && was.timer1phase != engine::Game::kPause ? current : 0;
    if (!m_waitingTurn)
        m_game->resumeTurnClock();
    stateChanged();
    return true;
}

void HostSession::resumeWaitingTurn()
{
    if (m_waitingTurn == 0)
        return;
    const engine::GameState& state = m_game->state();
    // It waits while its seat is kept for the player on turn.
    if (state.gamerunning && state.currentplayer == m_waitingTurn && seatHeld(m_waitingTurn))
        return;
    m_waitingTurn = 0;
    m_game->resumeTurnClock();
}

} // namespace lexiflip::host
