#include "record/replay_steps.h"

namespace lexiflip::record {

namespace {

bool onBoard(int x, int y)
{
    return x >= 1 && x <= wire::kBoardColumns && y >= 1 && y <= wire::kBoardRows;
}

bool validSeat(int seat)
{
    return seat >= 1 && seat <= kSeats;
}

ReplayCell& cellAt(ReplayStep& step, int x, int y)
{
    return step.cells[static_cast<std::size_t>((x - 1) * wire::kBoardRows + (y - 1))];
}

// Applies one event to the running step; true when it makes a step of its own.
struct Stepper {
    ReplayStep& now;
    int& lastTurnSeat;

    bool operator()(const TurnStart& e)
    {
        // Each turn starts with the whole board face down: the taken tiles
        // were replaced by fresh ones nobody has seen.
        now.cells.fill(ReplayCell{});
        if (now.round == 0 || e.seat <= lastTurnSeat)
            ++now.round;
        lastTurnSeat = e.seat;
        now.seat = e.seat;
        return true;
    }
    bool operator()(const Flip& e)
    {
        if (onBoard(e.x, e.y))
            cellAt(now, e.x, e.y) = ReplayCell{ReplayCell::Face::up, e.letter};
        return true;
    }
    bool operator()(const Word& e)
    {
        for (std::size_t i = 0; i < e.from.size(); ++i) {
            const Source& source = e.from[i];
            if (source.kind != Source::Kind::board || !onBoard(source.x, source.y))
                continue;
            ReplayCell& cell = cellAt(now, source.x, source.y);
            cell.face = ReplayCell::Face::taken;
            if (i < e.letters.size())
                cell.letter = e.letters[i];
        }
        if (validSeat(e.seat))
            now.scores[static_cast<std::size_t>(e.seat - 1)] = e.total;
        now.word = e;
        return true;
    }
    bool operator()(const Buy& e)
    {
        if (validSeat(e.seat))
            now.scores[static_cast<std::size_t>(e.seat - 1)] = e.total;
        return true;
    }
    bool operator()(const Pass&) { return true; }
    bool operator()(const TimeOut&) { return true; }
    bool operator()(const Winner&)
    {
        now.finished = true;
        now.seat = 0;
        return true;
    }
    bool operator()(const FinalScores& e)
    {
        // The host's last word on the scores; it follows the winner, so it
        // corrects the winner's step rather than making one.
        now.scores = e.scores;
        return false;
    }
    bool operator()(const Join&) { return false; }
    bool operator()(const Leave&) { return false; }
    bool operator()(const JustWatch&) { return false; }
    bool operator()(const OwnBar&) { return false; }
    bool operator()(const Tie&) { return false; }
};

} // namespace

std::vector<ReplayStep> replaySteps(const GameRecord& record)
{
    std::vector<ReplayStep> steps;
    ReplayStep now;
    if (record.catchUp) {
        now.scores = record.catchUp->scores;
        now.seat = validSeat(record.catchUp->currentSeat) ? record.catchUp->currentSeat : 0;
    }
    steps.push_back(now);
    int lastTurnSeat = now.seat;
    if (now.seat != 0)
        now.round = 1;
    for (std::size_t index = 0; index < record.events.size(); ++index) {
        now.word.reset();
        now.event = index;
        const bool isStep = std::visit(Stepper{now, lastTurnSeat}, record.events[index]);
        if (isStep) {
            steps.push_back(now);
        } else if (std::holds_alternative<FinalScores>(record.events[index])) {
            steps.back().scores = now.scores;
        }
    }
    return steps;
}

std::vector<std::array<int, kSeats>> roundScores(const std::vector<ReplayStep>& steps)
{
    std::vector<std::array<int, kSeats>> rounds;
    for (const ReplayStep& step : steps) {
        if (step.round == 0)
            continue;
        if (static_cast<std::size_t>(step.round) > rounds.size())
            rounds.push_back(step.scores);
        else
            rounds.back() = step.scores;
    }
    return rounds;
}

} // namespace lexiflip::record
