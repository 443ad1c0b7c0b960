#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "client/game/client_game.h"
#include "client/game/client_screen.h"
#include "client/game/client_sender.h"
#include "core/tally_calls.h"
#include "support/recording.h"

namespace lexiflip::testing {

class RecordingClientSender : public client::ClientSender {
public:
    void send(std::string_view message) override { sent.emplace_back(message); }
    std::vector<std::string> sent;
};

// The screen's events in order; the "changed" calls only count, since tests
// read the state back from the game as the window does.
class RecordingScreen : public client::ClientScreen {
public:
    struct Line {
        std::string text;
        wire::Colour colour;
        bool operator==(const Line&) const = default;
    };

    void playsounds(std::string_view name) override { sounds.emplace_back(name); }
    void addlinetochat(std::string_view line, wire::Colour colour) override
    {
        chat.push_back({std::string(line), colour});
    }
    void messageBox(std::string_view text) override { boxes.emplace_back(text); }
    void watcherAdded(std::string_view entry) override { watchersAdded.emplace_back(entry); }
    void watcherRemoved(std::string_view entry) override { watchersRemoved.emplace_back(entry); }
    void closeWindow() override { ++closes; }
    void openGameOptions() override { ++optionsOpened; }
    void loadinifile() override { ++settingsRead; }
    void boardCellChanged(int, int) override { ++cellRepaints; }

    std::vector<std::string> chatTexts() const
    {
        std::vector<std::string> texts;
        for (const Line& line : chat)
            texts.push_back(line.text);
        return texts;
    }

    std::vector<std::string> sounds;
    std::vector<Line> chat;
    std::vector<std::string> boxes;
    std::vector<std::string> watchersAdded;
    std::vector<std::string> watchersRemoved;
    int closes = 0;
    int optionsOpened = 0;
    int settingsRead = 0;
    int cellRepaints = 0;
};

class RecordingTally : public core::TallyCalls {
public:
    void addgame(std::string_view winner) override { calls.push_back("addgame " + std::string(winner)); }
    void addtomineincrease(int column) override { calls.push_back("increase " + std::to_string(column)); }
    void addtomineset(int column, int points, std::string_view word) override
    {
        calls.push_back("set " + std::to_string(column) + " " + std::to_string(points) + " " +
                        std::string(word));
    }
    std::vector<std::string> calls;
};

// A ClientGame with everything it talks to recorded and its clocks stepped by hand.
struct ClientRig {
    RecordingClientSender sender;
    RecordingScreen screen;
    RecordingTally tally;
    SteppedClock turntime;
    SteppedClock sneakerClock;
    client::ClientGame game{sender, screen, tally, turntime, sneakerClock, 7};

    void feed(std::initializer_list<std::string_view> messages)
    {
        for (std::string_view message : messages)
            game.handle(message);
    }

    // Logs in as the given number and forgets the login reply.
    void login(int number, std::string_view name = "You")
    {
        game.setLoginname(name);
        game.handle("CMD_sendlogininfo+" + std::to_string(number));
        sender.sent.clear();
    }
};

// The letter the board tests deal to cell (x, y): every letter comes up.
inline int boardLetter(int x, int y)
{
    return (x * 8 + y) % 26 + 1;
}

inline std::string fullBoard()
{
    std::string message = "CMD_theboard";
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 8; ++y)
            message +=
                "+" + std::to_string(x) + "+" + std::to_string(y) + "+" + std::to_string(boardLetter(x, y));
    return message;
}

} // namespace lexiflip::testing
