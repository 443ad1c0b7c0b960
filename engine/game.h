#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/random_source.h"
#include "engine/computer_strength.h"
#include "engine/game_snapshot.h"
#include "engine/game_state.h"

namespace lexiflip::core {
class Clock;
} // namespace lexiflip::core

namespace lexiflip::words {
class NoticeSink;
class TDictn;
struct SearchTile;
} // namespace lexiflip::words

namespace lexiflip::engine {

class Sender;

// What the engine needs from the world. Everything is borrowed and must outlive
// the game.
struct GameServices {
    Sender& sender;
    words::NoticeSink& notices;
    core::Clock& timer1;        // the turn clock, 1000 ms ticks
    core::Clock& computertimer; // the computer player's clock
    core::RandomSource& random;
    const words::TDictn& dictionary;
    // The computer's word list (listbox_words): lower case, sorted ascending.
    const std::vector<std::string>& listbox_words;
    // The bot speed in milliseconds (1000, 750 or 250), read each time a phase
    // of the computer's clock starts, so a change takes effect at the next phase.
    std::function<int()> botSpeedMs;
};

// The host's game: state, tiles, the turn handlers, turn order and the
// computer player. Every request handler takes the payload that follows the
// command word, exactly as a client sends it; the computer player calls the
// same handlers with the same texts.
class Game {
public:
    explicit Game(GameServices services);

    GameState& state() { return m_state; }
    const GameState& state() const { return m_state; }

    // Tiles (game_tiles.cpp).
    int getletter();
    void makeboard();
    void dealtiles();
    void flipthem();
    void refillBar(int slot);
    void flipthemover(int slot);

    // Sending: one Send per connected slot 1..slotsused, ascending.
    void sendToAll(std::string_view message);
    // To one slot, only when it is connected.
    void sendTo(int slot, std::string_view message);

    // Turn actions (turn_actions.cpp). Each applies the turn guard first.
    void iflip(std::string_view request);
    void usebarletter(std::string_view request);
    void useboardletter(std::string_view request);
    void clickclear(std::string_view request);
    void idone(std::string_view request);
    void hepass(std::string_view request);
    void clickbuy(std::string_view request);

    // Turn order (turn_order.cpp).
    void startgame(std::string_view request);
    void findplayer();
    void finishfindplayer();
    void timer1Timer();
    void timeup();
    bool checkforwin();
    // Helper mode: the lowest non-zero score, ties to the lowest slot; 0 = nobody.
    int chooseSneaker() const;

    // The seats, as the host session sees their connections (seats.cpp).
    // Only these write a slot's connected, name and watching, apart from a new
    // game, which clears watching. Slots outside 1..13 are ignored.
    // A connection took the slot; slotsused grows to cover it.
    void seatConnected(int slot);
    void seatLoggedIn(int slot, std::string_view name);
    // The slot's connection closed: the seat is empty again, and if it was on
    // turn the turn moves on at once; not for slot 1, the hosting window's own
    // player, unless slot 1 is a remote player like the others.
    void seatLeft(int slot);
    // The slot's connection closed during a game, but the seat is kept for
    // its player: name (as given), score and bar stay, nobody else is seated
    // there, the turn order passes over it and the computer never plays it
    // (seat 2 included). A turn it held moves on as at a departure. A new
    // connection in the slot (seatConnected) ends the keeping.
    void seatHeldAway(int slot, std::string_view name);
    // The same keeping without a departure (a game restored with its players
    // still to come back): a turn the seat holds stays where it is.
    void seatKept(int slot, std::string_view name);
    // Nobody came back for a kept seat: it is empty again, as after seatLeft.
    // A connection already in the slot keeps it, with no name until it logs in.
    void seatHoldEnded(int slot);
    bool seatIsHeld(int slot) const { return GameState::isSlot(slot) && m_heldSeats[slot]; }
    // Called once a game has its winner, after the winner is announced.
    void setGameOverHandler(std::function<void()> handler) { m_gameOver = std::move(handler); }
    // Slot 1 is a remote player (a host without a window of its own): his
    // departure on turn moves the turn on like anybody's.
    void setFirstSeatRemote(bool remote) { m_firstSeatRemote = remote; }
    // A seat that begins just watching while on turn hands the turn on at once;
    // the computer plays it from then on.
    void setWatching(int slot, bool watching);
    // The seat's player watches from now on, and the computer plays the turn
    // under way too, as it plays the seat's later turns: no turn is lost to the
    // hand-over (the simulator's seat 1, handed over as the first turn begins).
    void handTurnToComputer(int slot);

    // Computer player (computer_player.cpp).
    void computertimerTimer();
    void computerplay(int slot);
    void computerword(int slot);
    void computerdone(int slot);

    // How well the computer plays a seat (Classic until told otherwise): one
    // strength for every seat, as the host's option sets it, or one seat's.
    void setComputerStrength(ComputerStrength strength);
    void setComputerStrength(int slot, ComputerStrength strength);
    ComputerStrength computerStrength(int slot) const;

    // The game as it stands, to go on with elsewhere (game_snapshot.cpp).
    GameSnapshot snapshot() const;
    // Goes on with a snapshot's game: its state, strengths and random
    // sources become this game's, and the computer's clock, if it ran, runs
    // again in its phase with its ticks left. The turn clock stays stopped
    // until resumeTurnClock: the player on turn may not be back yet. False,
    // and nothing changed, when a random source's state is unreadable.
    bool restore(const GameSnapshot& snapshot);
    // Starts the turn clock in its phase with the ticks it had left, when a
    // restored game's turn clock ran.
    void resumeTurnClock();

    // Starting a phase stops the clock, sets phase and count, then starts it.
    void startTimer1Phase(int phase, int ticks);
    void startBotPhase(int phase, int ticks);

    // Whether the computer plays the slot now: nobody is connected there, or
    // its user is just watching; never a seat kept for an absent player.
    bool computerPlays(int slot) const;

    // The clock phases.
    static constexpr int kPause = 1;
    static constexpr int kBuilding = 2;
    static constexpr int kSneakPeek = 4;
    static constexpr int kBotFlip = 1;
    static constexpr int kBotWord = 2;
    static constexpr int kBotSubmit = 3;

private:
    // The turn guard: the building phase, and the request's slot on turn.
    bool turnGuard(int slot) const;
    void notice(std::string_view text);
    // Relays of a word being built go to every connected slot but the mover,
    // and to the mover too while the computer plays for him.
    bool relayRecipient(int slot, int actor) const;
    void sendRelay(int actor, std::string_view message);
    // The slot on turn left or began just watching: the turn moves on.
    void currentPlayerLeft(int slot);
    void currentPlayerWatching(int slot);

    // The computer's turn beyond Classic (computer_strong.cpp).
    // A face-down tile at random; with avoidKnown, one whose letter nobody
    // has seen while there is such a tile.
    void randomFaceDown(bool avoidKnown, int& x, int& y);
    // The known face-down tile Expert turns next, if any (flip_plan.h).
    std::optional<words::SearchTile> wantedFlip(int slot) const;
    // Strong's and Expert's word: the best the dictionary allows from the bar
    // and the face-up tiles, after a new bar when one is worth more.
    void bestWordTurn(int slot);
    // What a new bar is worth on average with these face-up tiles, less its price.
    int newBarWorth(const std::vector<words::SearchTile>& faceUp);
    // Lays the word out letter by letter through the relays, keeps it in
    // botword for the submission and enters the submit phase.
    void layOutWord(int slot, const std::vector<std::pair<int, int>>& tiles);

    GameServices m_services;
    GameState m_state;
    // How many entries of listbox_words the computer may choose from (4 letters
    // or more, outside the unplayed tail); 0 means it can only pass.
    std::size_t m_playableWords = 0;
    bool m_firstSeatRemote = false;
    // Seats kept for a player whose connection dropped (seatHeldAway).
    std::array<bool, kSlotCount + 1> m_heldSeats{};
    std::function<void()> m_gameOver;
    std::array<ComputerStrength, kSlotCount + 1> m_strengths{};
    // The strong players' guesses at a new bar come from here, apart from the
    // game's draws, so that thinking never changes what the game deals.
    core::RandomSource m_foresight{0x4b6c6f74};
    // A restored game's turn clock ran when it was saved and waits for resumeTurnClock.
    bool m_turnClockWaits = false;
};

} // namespace lexiflip::engine
