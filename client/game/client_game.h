#pragma once

#include "client/game/tile_pictures.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/settings/lexiflip_settings.h"
#include "engine/random_source.h"
#include "net/wire/colour_text.h"
#include "net/wire/field_reader.h"

namespace lexiflip::engine {
class Clock;
}

namespace lexiflip::client {

class ClientScreen;
class ClientSender;
class TallyCalls;

inline constexpr int kColumns = 10;
inline constexpr int kRows = 8;
inline constexpr int kBarSize = 7;
inline constexpr int kWordSize = 10;
inline constexpr int kSeats = 6;
inline constexpr int kLastSlot = 9;

inline constexpr int kTurnTimeMs = 1000;
inline constexpr int kSneakerFrameMs = 300;

enum class MouseButton { Left, Right, Middle };

struct BoardCell {
    int letter = kTileBack; // as the host sent it; the tile back until the first board
    bool used = false;
    bool faceup = false;
    bool picked = false;
    int picture = kTileBack; // what the cell shows now: 0..53
};

struct BarTile {
    int letter = 0;    // barletters: as the host dealt it (may be outside 1..26)
    int shown = 0;     // barshown: 0 while the tile sits in the word row
    int place = 0;       // the bar's place 1..7 its picture stands at; moves with swaps and shuffles
    bool raised = false; // chosen for a swap
    int picture() const { return shown >= 1 && shown <= 26 ? shown : 0; } // the letter tile set, 0..26
};

struct WordTile {
    int picture = 0; // the letter tile set, 0..26
    bool fromboard = false;
    bool bonusShown = false; // the x2 marker
    wire::Origin source;     // wordsource: 0,0 when empty; 0,k for bar position k
};

struct Seat {
    std::string name = "<Waiting>";
    std::string score = "0";
    std::string bonus;
    bool nameShown = true;
    bool scoreShown = true;
    bool eyes = false;
    bool onTurn = false; // its three texts in the on-turn look
};

// The turn timer as last shown: the seconds left of the turn's seconds (the
// bar's share of its frame), the text, and whether the time runs low.
struct TimerView {
    int secondsLeft = 0;
    int turnSeconds = 60;
    std::string text = "Time: 0:00";
    bool low = false;
};

struct TheirTiles {
    std::string label = "THEIR Tiles";
    std::array<int, kBarSize> pictures{}; // the little tile set, 0..26
    bool shown = false;
};

struct Sneaker {
    int seat = 0;  // the row it sits on, 1..6, or 0 before it was placed
    int frame = 0; // 0..4
    bool shown = false;
};

struct Winner {
    std::string text = "Winner!";
    bool shown = false;
};

struct GameTexts {
    std::string timePerTurn = "Time Per Turn: 60 secs";
    std::string gameMode = "Game Mode: Sneak Peak";
    std::string playToScore = "Play to Score: 200";
    bool notPlaying = false; // the NOT PLAYING banners of seats 5 and 6
};

struct SeatMenu {
    bool removeEnabled = false;
    bool setJustWatchEnabled = false;
    bool unsetJustWatchEnabled = false;
};

// The main window's game in plain C++: the mirror of the host's game, the
// handlers of every host message and every move of the player. Nothing here
// decides a rule; it shows what the host announces and lets the player act only
// when the host would expect it. Each handler reads its message with the wire
// library's reader, which range-checks every index that comes from the host
// and drops a message naming a cell, position or seat out of range, then
// applies what was read.
class ClientGame {
public:
    // turntime ticks every second while the turn timer runs, sneakerClock every
    // 300 ms while the sneaker marker shows; the owner calls turntimeTimer() and
    // sneakerTimer() on each tick. The seed drives the bar's shuffle.
    ClientGame(ClientSender& sender, ClientScreen& screen, TallyCalls& tally, engine::Clock& turntime,
               engine::Clock& sneakerClock, std::uint64_t shuffleSeed = 1);

    // Options, set by the window from the settings and its menus.
    void setIshost(bool ishost);              // also shows the start button (see startEnabled)
    void setLoginname(std::string_view name); // without the terminator
    void setClearWord(bool on) { m_clearWord = on; }
    void setTurnSoundNew(bool on) { m_turnSoundNew = on; }
    void setSeeTheirs(bool on) { m_seeTheirs = on; }
    // Received chatter sounds go here (the chat part owns their option and captions).
    void setPlayasoundHandler(std::function<void(std::string_view payload)> handler);

    // One received entry, without its terminator: one step of the dispatch.
    void handle(std::string_view message);
    // Whether handle() has a handler for the entry's command: the others are
    // dropped unread, so the window need not keep them.
    static bool handles(std::string_view message);

    // Clock ticks.
    void turntimeTimer();
    void sneakerTimer();

    // The window closed the message box it was asked to show.
    void messageBoxClosed() { m_boxOpen = false; }

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
    void JustWatch1Click();
    void button_startClick();
    // The seat menu: opening it on a seat's name label gives the items' states.
    SeatMenu label_playername1ContextPopup(int seat);
    void kicking(); // "Remove From Game"
    // The watcher list's "Remove From Game": the slot its entry names.
    void kickWatcher(int slot);
    void popupSetJustWatch();   // "Set to Just Watch"
    void popupUnsetJustWatch(); // "Unset Just Watch"

    // The mirror. Out-of-range indexes give an empty default.
    int myplayer() const { return m_myplayer; }
    bool loggedin() const { return m_loggedin; }
    bool ishost() const { return m_ishost; }
    int turnowner() const { return m_turnowner; }
    bool canbuild() const { return m_canbuild; }
    int flipsdone() const { return m_flipsdone; }
    int wordlength() const { return m_wordlength; }
    int secondsleft() const { return m_secondsleft; }
    int turnseconds() const { return m_turnseconds; }
    int popupseat() const { return m_popupseat; }
    std::string selectedpos() const { return std::to_string(m_selectedpos); }
    bool justWatchChecked() const { return m_justWatch; }
    const BoardCell& board(int x, int y) const;
    const BarTile& bar(int position) const;
    int barletters(int position) const { return bar(position).letter; }
    int barshown(int position) const { return bar(position).shown; }
    const WordTile& wordTile(int position) const;
    std::string wordsource(int position) const;
    bool fromboard(int position) const { return wordTile(position).fromboard; }
    const Seat& seat(int number) const;
    const std::string& status() const { return m_status; }
    bool wordButtonsShown() const { return m_wordButtons; } // CLEAR, BUY, PASS, DONE
    bool startShown() const { return m_startShown; }
    // The main menu's "Start Game": the host's player's, except while a game
    // that was already running when this window came in has not ended.
    bool startEnabled() const { return m_ishost && !m_awaitingWinner; }
    bool shuffleShown() const { return true; }
    const TimerView& timer() const { return m_timer; }
    bool timerRunning() const;
    const TheirTiles& theirTiles() const { return m_theirTiles; }
    const Sneaker& sneaker() const { return m_sneaker; }
    int turnFrameSeat() const { return m_turnFrameSeat; } // 0: no frame yet
    const Winner& winnerBanner() const { return m_winner; }
    const GameTexts& gameTexts() const { return m_gameTexts; }
    const std::vector<std::string>& watchers() const { return m_watchers; } // one per slot
    bool messageBoxOpen() const { return m_boxOpen; }

private:
    struct Dispatch;

    // Part of the session.
    void sendloginfo(std::string_view data);
    void chatrecieved(std::string_view data);
    void newplayerinfo(std::string_view data);
    void havewrongversion(std::string_view data);
    void wrongversion(std::string_view data);
    void playerdisconnected(std::string_view data);
    void full(std::string_view data);
    void justwatching(std::string_view data);
    void playasound(std::string_view data);

    // The game's messages.
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
    void setTimerScale(int seconds);
    void chatLine(std::string_view line);
    void box(std::string_view text);
    bool refusedWhileWatching(); // the Just Watch box; true when the move must stop
    bool onTurn() const { return m_turnowner != 0 && m_turnowner == m_myplayer; }
    void send(const std::string& message);
    void seatChanged(int seat);

    BoardCell& cell(int x, int y) { return m_board[static_cast<std::size_t>((x - 1) * kRows + (y - 1))]; }
    BarTile& barAt(int position) { return m_bar[static_cast<std::size_t>(position - 1)]; }
    WordTile& wordAt(int position) { return m_word[static_cast<std::size_t>(position - 1)]; }
    Seat& seatAt(int number) { return m_seats[static_cast<std::size_t>(number - 1)]; }

    ClientSender& m_sender;
    ClientScreen& m_screen;
    TallyCalls& m_tally;
    engine::Clock& m_turntime;
    engine::Clock& m_sneakerClock;
    engine::RandomSource m_random;
    std::function<void(std::string_view)> m_playasound;

    // Options.
    bool m_ishost = false;
    std::string m_loginname;
    // Until the window hands them over, the options are the preferences' own
    // built-in states.
    bool m_clearWord = settings::Preferences{}.clearword;
    bool m_turnSoundNew = settings::Preferences{}.turnsound == settings::TurnSound::New;
    bool m_seeTheirs = settings::Preferences{}.seetheirs;

    // The mirror.
    int m_myplayer = 0;
    bool m_loggedin = false;
    int m_turnowner = 0;
    int m_secondsleft = 0;
    int m_turnseconds = 60;
    bool m_canbuild = false;
    int m_flipsdone = 0;
    int m_wordlength = 0;
    int m_selectedpos = 0;
    int m_popupseat = 0;
    bool m_justWatch = false;
    std::array<BoardCell, kColumns * kRows> m_board{};
    std::array<BarTile, kBarSize> m_bar{};
    std::array<WordTile, kWordSize> m_word{};
    std::array<Seat, kSeats> m_seats{};
    std::vector<std::string> m_watchers;

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
    bool m_boxOpen = false;
};

// The default computer names of seats 1..6: empty for seat 1.
std::string_view defaultComputerName(int seat);

} // namespace lexiflip::client
