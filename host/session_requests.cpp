// The requests the session handles itself: logins with the catch-up of a late
// joiner, removals, "just watch" and the three relays. The game's requests go
// to the engine through the same dispatch table.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "host/game_requests.h"
#include "host/host_session.h"
#include "wire/field_reader.h"
#include "wire/messages.h"

namespace lexiflip::host {

void HostSession::buildDispatch()
{
    for (const wire::HostRequestRule& rule : wire::kHostRequests) {
        if (const GameRequestHandler handler = gameRequestHandler(rule.request))
            m_table.add(std::string(rule.command),
                        [this, handler](std::string_view p) { (*m_game.*handler)(p); });
        else
            m_table.add(std::string(rule.command), sessionHandler(rule.request));
    }
}

wire::DispatchTable<>::Handler HostSession::sessionHandler(wire::HostRequest request)
{
    using wire::HostRequest;
    switch (request) {
    case HostRequest::logininfo:
        return [this](std::string_view p) { receivedlogininfo(p); };
    case HostRequest::kickhim:
        return [this](std::string_view p) { kickhim(p); };
    case HostRequest::chat:
        return [this](std::string_view p) { chat(p); };
    case HostRequest::action:
        return [this](std::string_view p) { action(p); };
    case HostRequest::justwatch:
        return [this](std::string_view p) { justwatch(p); };
    case HostRequest::playasound:
        return [this](std::string_view p) { playasound(p); };
    case HostRequest::startgame:
    case HostRequest::iflip:
    case HostRequest::idone:
    case HostRequest::useboardletter:
    case HostRequest::usebarletter:
    case HostRequest::hepass:
    case HostRequest::clickclear:
    case HostRequest::clickbuy:
        break; // the game's
    }
    return {};
}

// Login: payload slot "+" version "+" name.
void HostSession::receivedlogininfo(std::string_view payload)
{
    wire::FieldReader fields(payload);
    const std::optional<int> s = fields.nextInt();
    if (!s || !holdsConnection(*s))
        return;
    // One login per connection: a repeat would announce the same player
    // again, and every announcement costs each window an entry and a line.
    // (Admitted means *s is the sender's own slot.)
    if (m_slots[*s].loggedIn)
        return;
    const std::string_view version = fields.next();
    const std::string_view name = fields.rest();

    m_slots[*s].loggedIn = true;
    // A player back in his kept seat: the hold is over.
    m_holds[*s].active = false;
    armSessionTimer(); // his deadlines no longer count
    const engine::GameState& state = m_game->state();
    m_game->seatLoggedIn(*s, name);
    m_game->sendToAll(wire::msg::newplayerinfo(*s, name));
    for (int t = 1; t <= engine::kMaxConnections; ++t) {
        if (t != *s && state.players[t].connected)
            m_game->sendTo(*s, wire::msg::existingplayers(t, state.players[t].name));
    }
    if (version != wire::msg::kVersion) {
        m_game->sendTo(1, wire::msg::havewrongversion(name));
        m_game->sendTo(*s, wire::msg::wrongversion());
    }
    if (state.gamerunning)
        catchUp(*s);
    // The seats kept for absent players are away, not free.
    for (int t = 1; t <= engine::kMaxConnections; ++t) {
        if (m_holds[t].active && t != *s)
            m_game->sendTo(*s, wire::msg::playerdisconnected(t, state.players[t].name));
    }
}

// A late joiner learns the game as it stands; if it is his turn, he passes.
void HostSession::catchUp(int s)
{
    const engine::GameState& state = m_game->state();
    std::array<int, 6> scores{};
    for (int seat = 1; seat <= 6; ++seat)
        scores[static_cast<std::size_t>(seat - 1)] = state.players[seat].score;
    m_game->sendTo(s, wire::msg::stats(s, state.playtoscore, state.creationtime, state.currentplayer,
                                       state.turnticks, state.gamemode, state.fourplayeroption, scores));
    if (s <= state.numseats) {
        std::vector<wire::msg::BarTile> bar;
        for (int k = 1; k <= engine::kBarTiles; ++k) {
            if (state.players[s].tiles[k].letter != 0)
                bar.push_back({k, state.players[s].tiles[k].letter});
        }
        if (!bar.empty())
            m_game->sendTo(s, wire::msg::mytiles(s, bar));
    }
    std::vector<wire::msg::Cell> cells;
    std::vector<wire::Origin> faceUp;
    for (int x = 1; x <= engine::kBoardColumns; ++x) {
        for (int y = 1; y <= engine::kBoardRows; ++y) {
            cells.push_back({x, y, state.cell(x, y).letter});
            if (state.cell(x, y).flipped)
                faceUp.push_back({x, y});
        }
    }
    m_game->sendTo(s, wire::msg::theboard(cells));
    if (!faceUp.empty())
        m_game->sendTo(s, wire::msg::isflipped(s, faceUp));
    // A resumed turn waited for him: it is still his, and its clock runs
    // again. His window learns that the turn is his, then which of its tiles
    // are turned already, as at any turn's start.
    if (s == m_waitingTurn) {
        m_game->sendTo(s, wire::msg::nextplayer(s));
        if (!faceUp.empty())
            m_game->sendTo(s, wire::msg::isflipped(s, faceUp));
        resumeWaitingTurn();
    } else if (s == state.currentplayer)
        m_game->hepass(wire::msg::payloadOf(wire::msg::hepass(s)));
}

// Removal: payload sender slot "+" target slot "+"; only the host's own
// player removes anybody.
void HostSession::kickhim(std::string_view payload)
{
    wire::FieldReader fields(payload);
    const std::optional<int> sender = fields.nextInt();
    if (!sender || *sender != 1)
        return;
    const std::optional<int> target = fields.nextInt();
    if (target)
        disconnectsock(*target);
}

void HostSession::disconnectsock(int slot)
{
    if (!holdsConnection(slot) || !m_game->state().players[slot].connected || !m_slots[slot].held)
        return;
    // Its own departure tells the removed player's window that it was
    // removed, not cut off, so it does not come back; nor is his seat kept.
    m_slots[slot].removed = true;
    m_game->sendTo(slot, wire::msg::playerdisconnected(slot, m_game->state().players[slot].name));
    if (m_slots[slot].held) // the send may have found it gone already
        closeLink(slot);
}

// Just watch: payload s "+" "1" (watch) or "2" (play again).
void HostSession::justwatch(std::string_view payload)
{
    wire::FieldReader fields(payload);
    const std::optional<int> s = fields.nextInt();
    const engine::GameState& state = m_game->state();
    if (!s || *s < 1 || *s > state.numseats)
        return;
    const std::string_view choice = fields.rest();
    if (choice == "2") {
        m_game->setWatching(*s, false);
        m_game->sendToAll(wire::msg::justwatching(*s, "2"));
    } else if (choice == "1" && state.players[*s].connected && state.gamerunning) {
        // Everybody hears of it before the turn it may hand on.
        m_game->sendToAll(wire::msg::justwatching(*s, "1"));
        m_game->setWatching(*s, true);
    }
}

// The three relays take the sender's slot and pass the rest on unchanged; a
// slot that is not a number sends nothing.
template <class Build> void HostSession::relay(std::string_view payload, Build&& build)
{
    wire::FieldReader fields(payload);
    const std::optional<int> s = fields.nextInt();
    if (!s || !holdsConnection(*s))
        return;
    m_game->sendToAll(build(*s, fields.rest()));
}

void HostSession::chat(std::string_view payload)
{
    relay(payload, [this](int s, std::string_view rest) {
        return wire::msg::chatRelay(m_game->state().players[s].name, rest);
    });
}

void HostSession::action(std::string_view payload)
{
    relay(payload, [this](int s, std::string_view rest) {
        return wire::msg::actionRelay(m_game->state().players[s].name, rest);
    });
}

void HostSession::playasound(std::string_view payload)
{
    relay(payload, [](int s, std::string_view rest) { return wire::msg::playasoundRelay(s, rest); });
}

} // namespace lexiflip::host
