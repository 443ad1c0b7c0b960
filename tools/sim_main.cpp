// lexiflip-sim: plays whole engine games with the computer in every seat, in
// virtual time, and prints how each went. The same seed prints the same games.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "assets/embedded.h"
#include "engine/computer_match.h"
#include "engine/computer_strength.h"
#include "engine/computer_words.h"
#include "engine/sender.h"
#include "words/notice_sink.h"
#include "words/tdictn.h"
#include "words/word_index.h"

namespace {

class CountingSender : public lexiflip::engine::Sender {
public:
    void send(int, std::string_view message) override
    {
        ++messages;
        bytes += message.size();
    }
    std::uint64_t messages = 0;
    std::uint64_t bytes = 0;
};

class StderrNotices : public lexiflip::words::NoticeSink {
public:
    void notice(std::string_view text) override
    {
        std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
    }
};

int usage(int status)
{
    std::fprintf(status ? stderr : stdout,
                 "usage: lexiflip-sim [--games N] [--seed S] [--score P] [--time T] [--strengths A,B]\n"
                 "                    [--quiet]\n"
                 "Plays N complete games (default 10) with the computer in every seat, seat 1 just\n"
                 "watching and Klot in seat 2, game k seeded with S + k (default S = 1), to P points\n"
                 "(default 100) with T seconds per turn (default 60). --strengths gives the computer's\n"
                 "strength in seats 1 and 2, in that order: classic (the default), strong or expert,\n"
                 "and makes the matches fair: seat 1's computer plays from the first turn (without\n"
                 "it, seat 1 is handed over after the first turn began, which passes that turn).\n"
                 "Prints one line per game, then each seat's wins and thinking time per turn, the\n"
                 "balance and the speed; --quiet prints only the summary.\n");
    return status;
}

// "strong,classic": the strengths of seats 1, 2, ... in order.
bool readStrengths(const char* text, lexiflip::engine::SeatStrengths& strengths)
{
    std::string_view rest = text;
    for (int seat = 1; seat <= 6 && !rest.empty(); ++seat) {
        const std::size_t comma = rest.find(',');
        const auto strength = lexiflip::engine::parseStrength(rest.substr(0, comma));
        if (!strength)
            return false;
        strengths[static_cast<std::size_t>(seat)] = *strength;
        rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
    }
    return rest.empty();
}

// The value at fraction q of the sorted times, in milliseconds.
double quantileMs(std::vector<std::int64_t>& ns, double q)
{
    if (ns.empty())
        return 0.0;
    const std::size_t at = std::min(ns.size() - 1, static_cast<std::size_t>(q * double(ns.size())));
    std::nth_element(ns.begin(), ns.begin() + static_cast<std::ptrdiff_t>(at), ns.end());
    return double(ns[at]) / 1e6;
}

// What one seat did over all the games.
struct SeatTally {
    long long wins = 0;
    long long points = 0;
    std::vector<std::int64_t> thinkNs;
    std::vector<std::int64_t> thinkCpuNs;

    void add(const lexiflip::engine::MatchResult& result, int seat, const std::string& name)
    {
        const auto at = static_cast<std::size_t>(seat);
        wins += result.winner == name ? 1 : 0;
        points += result.scores[at];
        thinkNs.insert(thinkNs.end(), result.thinkNs[at].begin(), result.thinkNs[at].end());
        thinkCpuNs.insert(thinkCpuNs.end(), result.thinkCpuNs[at].begin(), result.thinkCpuNs[at].end());
    }

    void print(int seat, lexiflip::engine::ComputerStrength strength, long long games)
    {
        const std::string_view name = lexiflip::engine::strengthName(strength);
        const std::size_t turns = thinkNs.size();
        std::printf("seat %d (%.*s): wins %lld of %lld (%.1f%%), %.1f points per turn; thinking per turn "
                    "over %zu turns: median %.3f ms, 99th percentile %.3f ms, most %.3f ms (CPU: median %.3f "
                    "ms, 99th percentile %.3f ms)\n",
                    seat, int(name.size()), name.data(), wins, games, 100.0 * double(wins) / double(games),
                    turns ? double(points) / double(turns) : 0.0, turns, quantileMs(thinkNs, 0.5),
                    quantileMs(thinkNs, 0.99), quantileMs(thinkNs, 1.0), quantileMs(thinkCpuNs, 0.5),
                    quantileMs(thinkCpuNs, 0.99));
    }
};

// The stronger players' word index is built once, before the games, as the
// host builds it when the strength is chosen; its time and size are told
// apart from the turns'.
void buildIndexFirst(const lexiflip::words::TDictn& dictionary,
                     const lexiflip::engine::SeatStrengths& strengths)
{
    if (std::all_of(strengths.begin(), strengths.end(),
                    [](auto s) { return s == lexiflip::engine::ComputerStrength::Classic; }))
        return;
    const auto building = std::chrono::steady_clock::now();
    const lexiflip::words::WordIndex& index = dictionary.wordIndex();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - building).count();
    std::printf("word index: %zu entries, %.1f MiB, built in %.1f ms\n", index.entries().size(),
                double(index.memoryBytes()) / (1024.0 * 1024.0), ms);
}

bool readNumber(const char* text, long long& value)
{
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end && *end == '\0' && end != text;
}

} // namespace

int main(int argc, char** argv)
{
    long long games = 10;
    long long seed = 1;
    long long score = 100;
    long long seconds = 60;
    bool quiet = false;
    // Matches between strengths are fair: seat 1's computer plays from the
    // first turn. Without them seat 1 is handed over late, as always, so that
    // the same seed prints the same games as before.
    bool fair = false;
    lexiflip::engine::SeatStrengths strengths{};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&](long long& value) { return i + 1 < argc && readNumber(argv[++i], value); };
        if (arg == "--help" || arg == "-h")
            return usage(0);
        if (arg == "--quiet")
            quiet = true;
        else if (arg == "--strengths") {
            if (i + 1 >= argc || !readStrengths(argv[++i], strengths))
                return usage(2);
            fair = true;
        } else if (!((arg == "--games" && number(games)) || (arg == "--seed" && number(seed)) ||
                     (arg == "--score" && number(score)) || (arg == "--time" && number(seconds))))
            return usage(2);
    }
    if (games < 1)
        return usage(2);

    StderrNotices notices;
    const lexiflip::words::TDictn dictionary(lexiflip::assets::dictionaryRecords(), notices);
    const std::vector<std::string> words =
        lexiflip::engine::loadComputerWords(lexiflip::assets::computerWords());
    const std::string start = "You+" + std::to_string(score) + "+" + std::to_string(seconds) + "+t+1+0+";

    buildIndexFirst(dictionary, strengths);

    CountingSender sender;
    std::array<SeatTally, 3> seats;
    long long seat1Wins = 0, unfinished = 0, winningScores = 0, rounds = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (long long game = 0; game < games; ++game) {
        const auto result = lexiflip::engine::playComputerMatch(
            dictionary, words, static_cast<std::uint64_t>(seed + game), sender, start, 750, strengths,
            fair ? lexiflip::engine::SeatOneHandOver::FromFirstTurn
                 : lexiflip::engine::SeatOneHandOver::Late);
        seats[1].add(result, 1, "You");
        seats[2].add(result, 2, "Klot");
        const bool finished = !result.winner.empty();
        unfinished += finished ? 0 : 1;
        seat1Wins += result.winner == "You" ? 1 : 0;
        winningScores += finished ? std::max(result.scores[1], result.scores[2]) : 0;
        rounds += result.rounds;
        if (!quiet)
            std::printf("game %lld: winner %s, scores %d-%d, %d rounds\n", game + 1,
                        finished ? result.winner.c_str() : "(none)", result.scores[1], result.scores[2],
                        result.rounds);
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const long long finishedGames = games - unfinished;
    for (int seat = 1; seat <= 2; ++seat)
        seats[static_cast<std::size_t>(seat)].print(seat, strengths[static_cast<std::size_t>(seat)], games);
    std::printf("balance: average winning score %.1f, %.2f rounds per game, seat 1 wins %.1f%%, %lld "
                "unfinished, %llu messages\n",
                finishedGames ? double(winningScores) / finishedGames : 0.0, double(rounds) / games,
                100.0 * seat1Wins / games, unfinished, static_cast<unsigned long long>(sender.messages));
    std::printf("%lld games in %.3f s (%.0f games/s)\n", games, elapsed, elapsed > 0 ? games / elapsed : 0.0);
    return 0;
}
