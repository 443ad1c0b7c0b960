#include "windows/summary/game_figures.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "record/replay_steps.h"

namespace lexiflip::summary {
namespace {

using record::kSeats;

bool isSeat(int seat)
{
    return seat >= 1 && seat <= kSeats;
}

// Seats that took part: at the start, by joining later, or by taking a turn.
std::array<bool, kSeats + 1> seatsInGame(const record::GameRecord& game)
{
    std::array<bool, kSeats + 1> inGame{};
    for (const record::Person& person : game.seats) {
        if (isSeat(person.slot))
            inGame[person.slot] = true;
    }
    for (const record::Event& event : game.events) {
        int seat = 0;
        if (const auto* join = std::get_if<record::Join>(&event))
            seat = join->who.slot;
        else if (const auto* turn = std::get_if<record::TurnStart>(&event))
            seat = turn->seat;
        else if (const auto* word = std::get_if<record::Word>(&event))
            seat = word->seat;
        if (isSeat(seat))
            inGame[seat] = true;
    }
    return inGame;
}

} // namespace

int SeatFigures::wordPoints() const
{
    int points = 0;
    for (const PlayedWord& word : words)
        points += word.score;
    return points;
}

GameFigures gameFigures(const record::GameRecord& game)
{
    GameFigures figures;
    figures.target = game.options.target;
    figures.winner = game.winner().value_or(std::string());

    // The rounds are counted where the replay counts them.
    const std::vector<record::ReplayStep> steps = record::replaySteps(game);
    std::vector<std::array<int, kSeats>> afterRound{steps.front().scores};
    for (const auto& round : record::roundScores(steps))
        afterRound.push_back(round);
    figures.rounds = static_cast<int>(afterRound.size()) - 1;

    std::vector<PlayedWord> played;
    for (const record::Event& event : game.events) {
        if (const auto* word = std::get_if<record::Word>(&event)) {
            if (isSeat(word->seat))
                played.push_back({word->seat, word->letters, word->score});
        }
    }

    const std::array<bool, kSeats + 1> inGame = seatsInGame(game);
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (!inGame[seat])
            continue;
        SeatFigures figure;
        figure.seat = seat;
        figure.name = game.seatName(seat);
        for (const auto& round : afterRound)
            figure.scores.push_back(round[seat - 1]);
        for (const PlayedWord& word : played) {
            if (word.seat == seat)
                figure.words.push_back(word);
        }
        figures.seats.push_back(std::move(figure));
    }
    for (const PlayedWord& word : played) {
        if (!figures.bestWord || word.score > figures.bestWord->score)
            figures.bestWord = word;
        if (!figures.longestWord || word.letters.size() > figures.longestWord->letters.size())
            figures.longestWord = word;
    }
    return figures;
}

} // namespace lexiflip::summary
