#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "client/game/game_output.h"
#include "client/game/game_types.h"
#include "client/game/roster.h"
#include "client/game/turn.h"

namespace lexiflip::core {
class Clock;
class TallyCalls;
} // namespace lexiflip::core

namespace lexiflip::client {

class ClientScreen;
class ClientSender;
class GameRecorder;

// The main window's game in plain C++: the roster (who is at the table) and
// the turn (the game being played) behind one dispatcher that hands each host
// message to the part that owns it. Nothing here decides a rule; it shows what
// the host announces. Each handler reads its message with the wire library's
// reader, which range-checks every index that comes from the host and drops a
// message naming a cell, position or seat out of range, then applies what was
// read. The window reads the mirror back through roster() and turn(), and
// hands the player's moves to them.
class ClientGame {
public:
    // The owner calls turn().turntimeTimer() and turn().sneakerTimer() on the
    // clocks' ticks. The seed drives the bar's shuffle.
    ClientGame(ClientSender& sender, ClientScreen& screen, core::TallyCalls& tally, core::Clock& turntime,
               core::Clock& sneakerClock, std::uint64_t shuffleSeed = 1);

    // A new table: the roster and the turn as before the first message, for
    // a window that left its game and plays another. The clocks stop; the
    // options (setClearWord, ...) are to be handed over again. References
    // from roster() and turn() end here.
    void reset();

    // Whether this window plays for the host (also shows the start button).
    void setIshost(bool ishost);
    // Every handled message goes on to the recorder, which keeps the game's
    // record; a reset ends the record it keeps. Null: no record is kept.
    void setRecorder(GameRecorder* recorder) { m_recorder = recorder; }
    // Received chatter sounds go here (the chat part owns their option and captions).
    void setPlayasoundHandler(std::function<void(std::string_view payload)> handler);

    // One received entry, without its terminator: one step of the dispatch.
    void handle(std::string_view message);
    // Whether handle() has a handler for the entry's command: the others are
    // dropped unread, so the window need not keep them.
    static bool handles(std::string_view message);

    // The window closed the message box it was asked to show.
    void messageBoxClosed() { m_output.boxClosed(); }
    bool messageBoxOpen() const { return m_output.boxOpen(); }

    Roster& roster() { return *m_roster; }
    const Roster& roster() const { return *m_roster; }
    Turn& turn() { return *m_turn; }
    const Turn& turn() const { return *m_turn; }

private:
    struct Dispatch;

    // Chat lines and chatter sounds pass through to the window and the chat part.
    void chatrecieved(std::string_view data);
    void playasound(std::string_view data);

    ClientSender& m_sender;
    GameOutput m_output;
    core::TallyCalls& m_tally;
    core::Clock& m_turntime;
    core::Clock& m_sneakerClock;
    std::uint64_t m_shuffleSeed;
    std::unique_ptr<Roster> m_roster;
    std::unique_ptr<Turn> m_turn;
    std::function<void(std::string_view)> m_playasound;
    GameRecorder* m_recorder = nullptr;
};

} // namespace lexiflip::client
