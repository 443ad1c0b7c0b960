#include "windows/replay/replay_model.h"

#include <algorithm>

#include "client/game/tile_pictures.h"
#include "core/letters.h"
#include "record/replay_steps.h"

namespace lexiflip::windows {

namespace {

using SeatNames = std::array<std::string, wire::kSeatCount>;

int letterCodeOf(char letter)
{
    return letter >= 'A' && letter <= 'Z' ? letter - 'A' + core::kFirstLetter : 0;
}

// A cell as the game's board shows it: a taken cell keeps its letter in the
// used look, as a tile in the word being made does in the game.
int pictureOf(const record::ReplayCell& cell)
{
    switch (cell.face) {
    case record::ReplayCell::Face::down:
        return client::kTileBack;
    case record::ReplayCell::Face::up:
        return client::faceUpPicture(letterCodeOf(cell.letter));
    case record::ReplayCell::Face::taken:
        return client::usedPicture(letterCodeOf(cell.letter));
    }
    return 0;
}

std::string pointsText(int points)
{
    return std::to_string(points) + (points == 1 ? " point" : " points");
}

class EventWords {
public:
    // seatOnTurn: whose turn the step is in, for the events that do not say.
    EventWords(const SeatNames& names, int seatOnTurn) : m_names(names), m_seatOnTurn(seatOnTurn) {}

    std::string operator()(const record::TurnStart& turn) const { return name(turn.seat) + " to play"; }
    std::string operator()(const record::Flip& flip) const
    {
        return name(m_seatOnTurn) + " turned " + std::string(1, flip.letter) + " at column " +
               std::to_string(flip.x) + ", row " + std::to_string(flip.y);
    }
    std::string operator()(const record::Word& word) const
    {
        std::string text = name(word.seat) + " made " + word.letters + " for " + pointsText(word.score);
        if (word.bonus && *word.bonus > 0)
            text += " (" + std::to_string(*word.bonus) + " of them bonuses)";
        return text + ", " + std::to_string(word.total) + " in all";
    }
    std::string operator()(const record::Pass& pass) const { return name(pass.seat) + " passed"; }
    std::string operator()(const record::Buy& buy) const
    {
        return name(buy.seat) + " bought a fresh bar, " + pointsText(buy.total) + " left";
    }
    std::string operator()(const record::TimeOut& out) const { return name(out.seat) + " ran out of time"; }
    std::string operator()(const record::Winner& won) const { return won.name + " won the game"; }
    // Events that are no steps of their own.
    template <typename Other> std::string operator()(const Other&) const { return {}; }

private:
    std::string name(int seat) const
    {
        const bool named = seat >= 1 && seat <= wire::kSeatCount && !m_names[std::size_t(seat - 1)].empty();
        return named ? m_names[std::size_t(seat - 1)] : "Seat " + std::to_string(seat);
    }

    const SeatNames& m_names;
    int m_seatOnTurn;
};

std::string eventText(const record::GameRecord& record, const SeatNames& names,
                      const record::ReplayStep& step, bool first)
{
    if (first)
        return record.catchUp ? "The record begins in a game under way" : "The game begins";
    if (step.event >= record.events.size())
        return {};
    return std::visit(EventWords(names, step.seat), record.events[step.event]);
}

std::string summaryOf(const record::GameRecord& record, const ReplayFrame& last)
{
    std::string text;
    for (const ReplaySeat& seat : last.seats)
        text += (text.empty() ? "" : ", ") + seat.name + " " + std::to_string(seat.score);
    if (const auto winner = record.winner())
        text += ". " + *winner + " won";
    else
        text += ". The game was not finished";
    if (!record.began.empty())
        text += "; it began " + record.began.substr(0, 10) + " " + record.began.substr(11, 5) + " UTC";
    return text + ".";
}

} // namespace

ReplayModel::ReplayModel(record::GameRecord record)
    : m_record(std::move(record)), m_steps(record::replaySteps(m_record))
{
    // Each seat's name once: a name is looked up through the whole record.
    for (int seat = 1; seat <= wire::kSeatCount; ++seat) {
        m_names[static_cast<std::size_t>(seat - 1)] = m_record.seatName(seat);
        if (!m_names[static_cast<std::size_t>(seat - 1)].empty())
            m_seats.push_back(seat);
    }
    if (m_steps.empty())
        m_steps.emplace_back();
    m_summary = summaryOf(m_record, frame(stepCount() - 1));
}

ReplayFrame ReplayModel::frame(int step) const
{
    const auto n = static_cast<std::size_t>(std::clamp(step, 0, stepCount() - 1));
    const record::ReplayStep& at = m_steps[n];
    ReplayFrame frame;
    for (int row = 1; row <= wire::kBoardRows; ++row) {
        for (int column = 1; column <= wire::kBoardColumns; ++column)
            frame.pictures[static_cast<std::size_t>(replayCellIndex(column, row))] =
                pictureOf(at.cell(column, row));
    }
    for (const int seat : m_seats) {
        const auto index = static_cast<std::size_t>(seat - 1);
        frame.seats.push_back({seat, m_names[index], at.scores[index], seat == at.seat});
    }
    frame.event = eventText(m_record, m_names, at, n == 0);
    return frame;
}

} // namespace lexiflip::windows
