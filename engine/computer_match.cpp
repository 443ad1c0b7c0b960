#include "engine/computer_match.h"

#include <chrono>
#include <ctime>

#include "core/random_source.h"
#include "engine/game.h"
#include "engine/sender.h"
#include "engine/virtual_timeline.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"
#include "wire/field_reader.h"
#include "wire/messages.h"
#include "words/notice_sink.h"

namespace lexiflip::engine {
namespace {

// A game without a host's screen: notices have nowhere to go.
class DroppedNotices : public words::NoticeSink {
public:
    void notice(std::string_view) override {}
};

// Passes every message on and keeps the name the winner message announces.
class WinnerWatch : public Sender {
public:
    explicit WinnerWatch(Sender& next) : m_next(next) {}
    void send(int slot, std::string_view message) override
    {
        const auto split = wire::splitEntry(message);
        if (split && split->command == wire::cmd::winner)
            winner = wire::FieldReader(wire::msg::payloadOf(message)).next();
        m_next.send(slot, message);
    }
    std::string winner;

private:
    Sender& m_next;
};

// Far more than any game needs: at 100 points and 60 s a game lasts minutes,
// about one tick a second per clock.
constexpr int kMaxTicks = 2'000'000;

} // namespace

MatchResult playComputerMatch(const words::TDictn& dictionary, const std::vector<std::string>& words,
                              std::uint64_t seed, Sender& sender, std::string_view startRequest,
                              int botSpeedMs, const SeatStrengths& strengths, SeatOneHandOver handOver)
{
    DroppedNotices notices;
    WinnerWatch watch(sender);
    core::RandomSource random(seed);
    VirtualTimeline timeline;
    VirtualTimeline::VirtualClock& timer1 = timeline.addClock();
    VirtualTimeline::VirtualClock& computertimer = timeline.addClock();
    Game game(GameServices{watch, notices, timer1, computertimer, random, dictionary, words,
                           [botSpeedMs] { return botSpeedMs; }});
    timeline.setOnTick(timer1, [&game] { game.timer1Timer(); });
    const GameState& state = game.state();
    MatchResult result;
    std::int64_t flipNs = 0;
    std::int64_t flipCpuNs = 0;
    timeline.setOnTick(computertimer, [&] {
        const int phase = state.botphase;
        const bool acts = state.botticks == 1;
        const int slot = state.currentplayer;
        const auto begin = std::chrono::steady_clock::now();
        const std::clock_t cpuBegin = std::clock();
        game.computertimerTimer();
        if (!acts || slot < 1 || slot > 6)
            return;
        const std::int64_t ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - begin)
                .count();
        const auto cpuNs = static_cast<std::int64_t>(double(std::clock() - cpuBegin) * 1e9 / CLOCKS_PER_SEC);
        if (phase == Game::kBotFlip) {
            flipNs = ns;
            flipCpuNs = cpuNs;
        } else if (phase == Game::kBotWord) {
            result.thinkNs[static_cast<std::size_t>(slot)].push_back(flipNs + ns);
            result.thinkCpuNs[static_cast<std::size_t>(slot)].push_back(flipCpuNs + cpuNs);
        }
    });
    for (int slot = 1; slot <= 6; ++slot)
        game.setComputerStrength(slot, strengths[static_cast<std::size_t>(slot)]);

    game.seatConnected(1);
    game.seatLoggedIn(1, "You");

    int lastPlayer = 0;
    auto countTurn = [&] {
        if (state.currentplayer != lastPlayer && state.currentplayer != 0) {
            lastPlayer = state.currentplayer;
            ++result.turns;
            result.rounds += lastPlayer == 1 ? 1 : 0;
        }
    };

    game.startgame(startRequest);
    countTurn();
    // Seat 1 hands its seat to the computer, as a player choosing Just Watch.
    if (handOver == SeatOneHandOver::FromFirstTurn)
        game.handTurnToComputer(1);
    else
        game.setWatching(1, true);
    countTurn();

    for (int tick = 0; tick < kMaxTicks && state.gamerunning; ++tick) {
        if (!timeline.step())
            break;
        countTurn();
    }
    result.winner = watch.winner;
    for (int slot = 1; slot <= 6; ++slot)
        result.scores[slot] = state.players[slot].score;
    result.virtualMs = timeline.now();
    return result;
}

} // namespace lexiflip::engine
