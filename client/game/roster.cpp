#include "client/game/roster.h"

#include <algorithm>

#include "client/game/client_screen.h"
#include "client/game/client_sender.h"
#include "client/game/game_output.h"
#include "wire/client_messages.h"
#include "wire/messages.h"

namespace lexiflip::client {

std::string_view defaultComputerName(int seat)
{
    static constexpr std::array<std::string_view, kSeats> names = {"",      "Klot",  "Klick",
                                                                   "Kling", "Klick", "Krazy"};
    return isSeat(seat) ? names[static_cast<std::size_t>(seat - 1)] : std::string_view{};
}

Roster::Roster(ClientSender& sender, GameOutput& output) : m_sender(sender), m_output(output) {}

// ---------------------------------------------------------------------------
// Login, joins and leaves, watching

void Roster::sendloginfo(std::string_view data)
{
    const std::optional<int> slot = wire::readSendlogininfo(data);
    if (!slot)
        return;
    m_myplayer = *slot;
    m_loggedin = true;
    send(wire::msg::logininfo(m_myplayer, wire::msg::kVersion, m_loginname));
}

bool Roster::takeHostRoleOfSlotOne()
{
    if (m_myplayer != 1 || m_ishost)
        return false;
    m_ishost = true;
    return true;
}

void Roster::newplayerinfo(std::string_view data)
{
    const std::optional<wire::PlayerInfo> info = wire::readPlayerinfo(data);
    if (!info)
        return;
    const std::string name(info->name);
    const bool me = isMe(info->slot);
    if (me) {
        m_output.chatLine("You are Connected.");
        m_output.screen().loadinifile();
    } else {
        m_output.chatLine(name + " is Connected.");
    }
    if (isSeat(info->slot)) {
        Seat& seat = seatAt(info->slot);
        seat.name = name;
        seat.away = false;
        seat.nameShown = true;
        seat.scoreShown = true;
        seatChanged(info->slot);
    } else {
        // A slot holds one watcher: an arrival there replaces the entry it had,
        // so a peer logging in again and again cannot make the list grow.
        const std::string prefix = std::to_string(info->slot) + ": ";
        const std::string entry = prefix + name;
        const auto same =
            std::find_if(m_watchers.begin(), m_watchers.end(),
                         [&prefix](const std::string& kept) { return kept.starts_with(prefix); });
        if (same == m_watchers.end())
            m_watchers.push_back(entry);
        else
            *same = entry;
        m_output.screen().watchersChanged();
        m_output.chatLine(me ? std::string("You are spying.") : name + " is spying.");
    }
    m_output.screen().playsounds(Sound::Entered);
}

void Roster::havewrongversion(std::string_view data)
{
    m_output.chatLine(std::string(data) + " has a different version of the game than you.");
}

void Roster::wrongversion(std::string_view)
{
    m_versionDiffers = true;
    m_output.chatLine("You have a differnt version of the game than the host.");
}

void Roster::playerdisconnected(std::string_view data, bool gameRunning)
{
    const std::optional<wire::PlayerInfo> info = wire::readPlayerinfo(data);
    if (!info)
        return;
    if (isMe(info->slot)) {
        // Only a host that removes this client names its own slot before
        // closing the connection.
        if (!m_removed)
            m_output.chatLine("You were removed from the game.");
        m_removed = true;
    }
    if (isSeat(info->slot)) {
        Seat& seat = seatAt(info->slot);
        const bool player = seat.name != kWaiting && seat.name != defaultComputerName(info->slot);
        if (!info->name.empty() && gameRunning && player && !isMe(info->slot)) {
            // The host may keep the seat for him: it stays as it is, away.
            if (!seat.away)
                m_output.chatLine(seat.name + " disconnected.");
            seat.name = std::string(info->name);
            seat.away = true;
            seatChanged(info->slot);
            return;
        }
        // An empty name ends a seat kept for a player who did not come back:
        // that was said when he left.
        if (player && !info->name.empty() && !seat.away && !isMe(info->slot))
            m_output.chatLine(seat.name + " disconnected.");
        freeSeat(info->slot);
        return;
    }
    const std::string entry = std::to_string(info->slot) + ": " + std::string(info->name);
    const auto found = std::find(m_watchers.begin(), m_watchers.end(), entry);
    if (found == m_watchers.end())
        return;
    m_output.chatLine(std::string(info->name) + " has left.");
    m_watchers.erase(found);
    m_output.screen().watchersChanged();
}

void Roster::freeSeat(int number)
{
    Seat& seat = seatAt(number);
    // The computer takes seat 2 over; other seats wait for a player.
    seat.name = number == 2 ? std::string(defaultComputerName(2)) : std::string(kWaiting);
    seat.eyes = false;
    seat.away = false;
    seatChanged(number);
}

void Roster::freeAwaySeats()
{
    for (int number = 1; number <= kSeats; ++number) {
        if (seatAt(number).away)
            freeSeat(number);
    }
}

bool Roster::othersAtTable() const
{
    for (int number = 1; number <= kSeats; ++number) {
        const std::string& name = seat(number).name;
        const bool computer = number == 2 && name == defaultComputerName(2);
        if (!isMe(number) && name != kWaiting && !computer)
            return true;
    }
    const std::string own = std::to_string(m_myplayer) + ": ";
    return std::any_of(m_watchers.begin(), m_watchers.end(),
                       [&](const std::string& entry) { return !m_loggedin || !entry.starts_with(own); });
}

void Roster::full(std::string_view)
{
    m_turnedAway = true;
    m_output.box("Game is full");
    m_output.screen().closeWindow();
}

void Roster::justwatching(std::string_view data)
{
    const std::optional<wire::JustWatching> read = wire::readJustwatching(data);
    if (!read)
        return;
    Seat& seat = seatAt(read->seat);
    if (isMe(read->seat)) {
        m_justWatch = read->watching;
        m_output.screen().justWatchChanged();
    }
    m_output.chatLine(seat.name + (read->watching ? " is just watching" : " is now playing again"));
    seat.eyes = read->watching;
    seatChanged(read->seat);
}

void Roster::clearJustWatch()
{
    if (!m_justWatch)
        return;
    m_justWatch = false;
    m_output.screen().justWatchChanged();
}

// ---------------------------------------------------------------------------
// The player's moves on the table

void Roster::JustWatch1Click()
{
    if (!m_loggedin || !isSeat(m_myplayer))
        return;
    send(wire::msg::justwatch(m_myplayer, m_justWatch ? "2" : "1"));
}

void Roster::askJustWatchAgain()
{
    if (m_loggedin && isSeat(m_myplayer))
        send(wire::msg::justwatch(m_myplayer, "1"));
}

SeatMenu Roster::label_playername1ContextPopup(int seat)
{
    if (!isSeat(seat)) {
        m_popupseat = 0;
        return {};
    }
    m_popupseat = seat;
    return {m_ishost && seatAt(seat).name != kWaiting, m_ishost, m_ishost};
}

void Roster::kicking()
{
    if (m_loggedin && m_ishost && isSeat(m_popupseat))
        send(wire::msg::kickhim(m_myplayer, m_popupseat));
}

void Roster::kickWatcher(int slot)
{
    if (m_loggedin && m_ishost && inRange(slot, 1, kLastSlot))
        send(wire::msg::kickhim(m_myplayer, slot));
}

void Roster::popupSetJustWatch()
{
    if (m_loggedin && m_ishost && isSeat(m_popupseat))
        send(wire::msg::justwatch(m_popupseat, "1"));
}

void Roster::popupUnsetJustWatch()
{
    if (m_loggedin && m_ishost && isSeat(m_popupseat))
        send(wire::msg::justwatch(m_popupseat, "2"));
}

// ---------------------------------------------------------------------------
// Shared with the turn

void Roster::send(const std::string& message)
{
    // Nothing leaves before the host gave this client its number.
    if (m_loggedin)
        m_sender.send(message);
}

void Roster::seatChanged(int seat)
{
    m_output.screen().seatChanged(seat);
}

const Seat& Roster::seat(int number) const
{
    static const Seat none{};
    return isSeat(number) ? m_seats[static_cast<std::size_t>(number - 1)] : none;
}

} // namespace lexiflip::client
