#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// Every call the game makes on its screen, in order, as "name args" (for
// example "seatChanged 3"), so that a test can assert on each notification;
// the events' data is also kept by kind. Tests read the state back from the
// game as the window does.
class RecordingScreen : public client::ClientScreen {
public:
    // A chat line: a peer's colour, or kOwnVoice for the client's own lines.
    struct Line {
        std::string text;
        std::optional<wire::Colour> colour;
        bool operator==(const Line&) const = default;
    };
    static constexpr std::optional<wire::Colour> kOwnVoice{};

    void boardCellChanged(int x, int y) override
    {
        record("boardCellChanged " + std::to_string(x) + " " + std::to_string(y));
        ++cellRepaints;
    }
    void boardChanged() override { record("boardChanged"); }
    void barTileChanged(int position) override { record("barTileChanged " + std::to_string(position)); }
    void barChanged() override { record("barChanged"); }
    void wordTileChanged(int position) override { record("wordTileChanged " + std::to_string(position)); }
    void wordChanged() override { record("wordChanged"); }
    void statusChanged() override { record("statusChanged"); }
    void buttonsChanged() override { record("buttonsChanged"); }
    void timerChanged() override { record("timerChanged"); }
    void theirTilesChanged() override { record("theirTilesChanged"); }
    void sneakerChanged() override { record("sneakerChanged"); }
    void turnFrameChanged() override { record("turnFrameChanged"); }
    void winnerChanged() override { record("winnerChanged"); }
    void gameOptionsChanged() override { record("gameOptionsChanged"); }
    void seatChanged(int seat) override { record("seatChanged " + std::to_string(seat)); }
    void justWatchChanged() override { record("justWatchChanged"); }
    void playsounds(client::Sound sound) override
    {
        const std::string name(client::soundName(sound));
        record("playsounds " + name);
        sounds.push_back(name);
    }
    void addlinetochat(std::string_view line, wire::Colour colour) override
    {
        record("addlinetochat " + std::string(line));
        chat.push_back({std::string(line), colour});
    }
    void systemLine(std::string_view line) override
    {
        record("systemLine " + std::string(line));
        chat.push_back({std::string(line), kOwnVoice});
    }
    void messageBox(std::string_view text) override
    {
        record("messageBox " + std::string(text));
        boxes.emplace_back(text);
    }
    void watchersChanged() override { record("watchersChanged"); }
    void becameHostsPlayer() override { record("becameHostsPlayer"); }
    void closeWindow() override
    {
        record("closeWindow");
        ++closes;
    }
    void openGameOptions() override
    {
        record("openGameOptions");
        ++optionsOpened;
    }
    void loadinifile() override
    {
        record("loadinifile");
        ++settingsRead;
    }

    std::vector<std::string> chatTexts() const
    {
        std::vector<std::string> texts;
        for (const Line& line : chat)
            texts.push_back(line.text);
        return texts;
    }
    // How many calls were exactly `call` ("seatChanged 3", "watchersChanged").
    int count(std::string_view call) const
    {
        int n = 0;
        for (const std::string& made : calls)
            n += made == call ? 1 : 0;
        return n;
    }

    std::vector<std::string> calls;
    std::vector<std::string> sounds;
    std::vector<Line> chat;
    std::vector<std::string> boxes;
    int closes = 0;
    int optionsOpened = 0;
    int settingsRead = 0;
    int cellRepaints = 0;

private:
    void record(std::string call) { calls.push_back(std::move(call)); }
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
        game.roster().setLoginname(name);
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
