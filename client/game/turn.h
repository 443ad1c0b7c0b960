#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "client/game/game_types.h"
#include "client/game/sounds.h"
#include "client/settings/lexiflip_settings.h"
#include "core/random_source.h"

namespace lexiflip::core {
class Clock;
class TallyCalls;
} // namespace lexiflip::core

namespace lexiflip::client {

class GameOutput;
class Roster;

enum class MouseButton { Left, Right, Middle };

inline constexpr int kTurnTimeMs = 1000;
inline constexpr int kSneakerFrameMs = 300;

// A game as this client sees it: the board, the own bar, the word row, the
// turn timer, the sneaker, their tiles, the winner, and the player's moves on
// them. It shows what the host announces and lets the player act only when
// the host would expect it; who sits where is the roster's.
class Turn {
public:
    // turntime ticks every second while the turn timer runs, sneakerClock every
    // 300 ms while the sneaker marker shows. The seed drives the bar's shuffle.
    Turn(Roster& roster, GameOutput& output, core::TallyCalls& tally, core::Clock& turntime,
         core::Clock& sneakerClock, std::uint64_t shuffleSeed);

    // Options, set by the window from the settings and its menus.
    void setClearWord(bool on) { m_clearWord = on; }
    void setTurnSoundNew(bool on) { m_turnSoundNew = on; }
    void setSeeTheirs(bool on) { m_seeTheirs = on; }
    // The roster's host role changed: the start button follows it.
    void hostRoleChanged();

    // The host's messages about the game.
    void startthegame(std::string_view data);
    void getnextplayer(std::string_view data);
    void winner(std::string_view data);
    void theboard(std::string_view data);
    void mytiles(std::string_view data);
    void heflip(std::string_view data);
    void invalid(std::string_view data);
    void hisword(std::string_view data);
    void timeup(std::string_view data);
    void heuseboardletter(std::string_view data);
    void heusebarletter(std::string_view data);
    void hepasses(std::string_view data);
    void heclickclear(std::string_view data);
    void tie(std::string_view data);
    void buytiles(std::string_view data);
    void notenough(std::string_view data);
    void stats(std::string_view data);
    void isflipped(std::string_view data);
    void theirtiles(std::string_view data);
    void getsneak(std::string_view data);
    void sneaker(std::string_view data);

    // Clock ticks.
    void turntimeTimer();
    void sneakerTimer();

    // The player's moves. Board clicks come as a column and row (the window
    // turns pixels into cells), bar clicks as the clicked picture's position
    // number 1..7 wherever it stands, word clicks as the word position 1..10.
    void paintbox_boardMouseUp(int column, int row, MouseButton button);
    void letters_1MouseUp(int position, MouseButton button);
    void word_1MouseUp(int position);
    void button_clearClick();
    void clickdone(); // DONE and a right click on the board
    void button_passClick();
    void button_buyClick();
    void button_shuffleClick();
    void button_startClick();

    // The mirror. Out-of-range indexes give an empty default.
    int turnowner() const { return m_turnowner; }
    // The player's own turn is on: his seat was given it, he plays it himself
    // (he is not just watching), and neither a winner nor a new game came
    // since.
    bool ownTurn() const;
    bool canbuild() const { return m_canbuild; }
    int flipsdone() const { return m_flipsdone; }
    int wordlength() const { return m_wordlength; }
    const BoardCell& board(int x, int y) const;
    const BarTile& bar(int position) const;
    const WordTile& wordTile(int position) const;
    const std::string& status() const { return m_status; }
    bool wordButtonsShown() const { return m_wordButtons; } // CLEAR, BUY, PASS, DONE
    bool startShown() const { return m_startShown; }
    // The main menu's "Start Game": the host's player's, except while a game
    // that was already running when this window came in has not ended.
    bool startEnabled() const;
    const TimerView& timer() const { return m_timer; }
    const TheirTiles& theirTiles() const { return m_theirTiles; }
    const Sneaker& sneaker() const { return m_sneaker; }
    int turnFrameSeat() const { return m_turnFrameSeat; } // 0: no frame yet
    // Whether a game runs at this table: a turn was announced, or the
    // catch-up said one runs, and no winner since.
    bool running() const { return (m_turnFrameSeat != 0 || m_awaitingWinner) && !m_winner.shown; }
    const Winner& winnerBanner() const { return m_winner; }
    const GameTexts& gameTexts() const { return m_gameTexts; }

private:
    void nameComputerSeat();
    // Shared steps.
    void clearall();
    void clickclear();
    void returnLetter(int position); // puttoboard / puttoletters
    void drawCell(int x, int y, int picture);
    void setStatus(std::string text);
    void setWordButtons(bool shown);
    void resetBarTops();
    void showSneakerAt(int seat);
    void hideSneaker();
    void setTurnSeconds(int seconds);
    bool refusedWhileWatching(); // the Just Watch box; true when the move must stop
    bool onTurn() const;
    // The own turn's status line for the flips left; none left: the word may be built.
    void showFlipsLeft(int remaining);
    void playsounds(Sound sound);

    BoardCell& cell(int x, int y) { return m_board[static_cast<std::size_t>((x - 1) * kRows + (y - 1))]; }
    BarTile& barAt(int position) { return m_bar[static_cast<std::size_t>(position - 1)]; }
    WordTile& wordAt(int position) { return m_word[static_cast<std::size_t>(position - 1)]; }

    Roster& m_roster;
    GameOutput& m_output;
    core::TallyCalls& m_tally;
    core::Clock& m_turntime;
    core::Clock& m_sneakerClock;
    core::RandomSource m_random;

    // Options. Until the window hands them over, the options are the
    // preferences' own built-in states.
    bool m_clearWord = settings::Preferences{}.clearword;
    bool m_turnSoundNew = settings::Preferences{}.turnsound == settings::TurnSound::New;
    bool m_seeTheirs = settings::Preferences{}.seetheirs;

    // The mirror.
    int m_turnowner = 0;
    // A turn was given and is not over by a winner or a new game; the turn
    // owner stays in the mirror after either.
    bool m_turnGiven = false;
    int m_secondsleft = 0;
    int m_turnseconds = 60;
    bool m_canbuild = false;
    int m_flipsdone = 0;
    int m_wordlength = 0;
    int m_selectedpos = 0;
    std::array<BoardCell, kColumns * kRows> m_board{};
    std::array<BarTile, kBarSize> m_bar{};
    std::array<WordTile, kWordSize> m_word{};

    // What the window shows beyond the mirror.
    std::string m_status = "Welcome to Lexiflip";
    bool m_wordButtons = false;
    bool m_startShown = false;
    // The own catch-up said a game runs: it is not this window's to restart,
    // even from slot 1, until its winner is announced.
    bool m_awaitingWinner = false;
    TimerView m_timer;
    TheirTiles m_theirTiles;
    Sneaker m_sneaker;
    int m_turnFrameSeat = 0;
    Winner m_winner;
    GameTexts m_gameTexts;
};

} // namespace lexiflip::client
