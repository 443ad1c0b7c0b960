#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "client/game/game_types.h"

namespace lexiflip::client {

class ClientSender;
class GameOutput;

// Who is at the table, as the host announces it: this client's login and
// slot, the six seats' names and "just watching" eyes, the watchers, the
// seat menu, and who plays for the host (slot 1). The turn writes the
// seats' scores and bonuses; everything else of a seat is the roster's.
class Roster {
public:
    Roster(ClientSender& sender, GameOutput& output);

    void setIshost(bool ishost) { m_ishost = ishost; }
    void setLoginname(std::string_view name) { m_loginname = name; } // without the terminator
    const std::string& loginname() const { return m_loginname; }

    // The host's messages about the table.
    void sendloginfo(std::string_view data);
    void newplayerinfo(std::string_view data);
    void havewrongversion(std::string_view data);
    void wrongversion(std::string_view data);
    // gameRunning: a departure from a seat then leaves the seat away, not free.
    void playerdisconnected(std::string_view data, bool gameRunning);
    void full(std::string_view data);
    void justwatching(std::string_view data);

    // The client in slot 1 plays for the host, also when this copy did not
    // start the host (a host without a window). True when this call made it
    // the host's player.
    bool takeHostRoleOfSlotOne();

    // The player's moves on the table.
    void JustWatch1Click();
    // Asks the host again to let the computer play this client's seat: a
    // host forgets it when the connection closes.
    void askJustWatchAgain();
    // The seat menu: opening it on a seat's name label gives the items' states.
    SeatMenu label_playername1ContextPopup(int seat);
    void kicking(); // "Remove From Game"
    // The watcher list's "Remove From Game": the slot its entry names.
    void kickWatcher(int slot);
    void popupSetJustWatch();   // "Set to Just Watch"
    void popupUnsetJustWatch(); // "Unset Just Watch"

    int myplayer() const { return m_myplayer; }
    bool loggedin() const { return m_loggedin; }
    bool ishost() const { return m_ishost; }
    // Whether a seat's number is this client's own seat.
    bool isMe(int slot) const { return m_loggedin && slot == m_myplayer; }
    bool justWatchChecked() const { return m_justWatch; }
    // The host turned this client away (the game is full), or said that it
    // runs another version: what a window that joins from a dialog reports.
    bool turnedAway() const { return m_turnedAway; }
    bool versionDiffers() const { return m_versionDiffers; }
    // The host announced this client's own departure: it removed him, and
    // the connection that follows is not to be made again.
    bool removed() const { return m_removed; }
    // Out-of-range seats give an empty default.
    const Seat& seat(int number) const;
    const std::vector<std::string>& watchers() const { return m_watchers; } // one per slot
    // Whether anybody but this client is at the table, as the host told it: a
    // seat held by a player (neither waiting for one nor Klot, the host's
    // computer player in seat 2) or a watcher in another slot.
    bool othersAtTable() const;

    // For the turn: a seat to write its score, bonus or turn mark into (in
    // range), the notification after, the Just Watch mark a new game clears,
    // and the sender that lets nothing leave before the login.
    Seat& seatAt(int number) { return m_seats[static_cast<std::size_t>(number - 1)]; }
    void seatChanged(int seat);
    void clearJustWatch();
    // A new game: seats still away are free (a host that keeps no seats
    // never says that their players are gone for good).
    void freeAwaySeats();
    void send(const std::string& message);

private:
    void freeSeat(int number);

    ClientSender& m_sender;
    GameOutput& m_output;

    bool m_ishost = false;
    std::string m_loginname;
    int m_myplayer = 0;
    bool m_loggedin = false;
    int m_popupseat = 0;
    bool m_justWatch = false;
    bool m_turnedAway = false;
    bool m_versionDiffers = false;
    bool m_removed = false;
    std::array<Seat, kSeats> m_seats{};
    std::vector<std::string> m_watchers;
};

} // namespace lexiflip::client
