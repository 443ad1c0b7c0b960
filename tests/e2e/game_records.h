#pragma once

// The game records a window under test keeps in its folder of files, read
// back and checked against what the host said on the wire.

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "record/record_files.h"
#include "record/replay_steps.h"
#include "wire/client_messages.h"
#include "wire/dispatch_table.h"

namespace lexiflip::testing {

// The one record in the folder of files at home once it holds its game's end;
// nothing while it does not (yet).
inline std::optional<record::GameRecord> finishedRecord(const QString& home)
{
    const auto files = record::listRecords(QFile::encodeName(home + QStringLiteral("/games")).toStdString());
    if (files.size() != 1)
        return std::nullopt;
    QFile file(QString::fromStdString(files.front().string()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto read = record::readRecord(file.readAll().toStdString());
    const auto* game = std::get_if<record::GameRecord>(&read);
    if (!game || !game->finalScores())
        return std::nullopt;
    return *game;
}

// The record less what is its own window's alone: its bars, its slot and the
// second its record began.
inline record::GameRecord asEveryWindowSeesIt(record::GameRecord game)
{
    std::erase_if(game.events,
                  [](const record::Event& e) { return std::holds_alternative<record::OwnBar>(e); });
    game.self = 0;
    game.began.clear();
    return game;
}

inline bool holdsOwnBars(const record::GameRecord& game)
{
    return std::any_of(game.events.begin(), game.events.end(),
                       [](const record::Event& e) { return std::holds_alternative<record::OwnBar>(e); });
}

// Replays the record's moves (without its final line) and checks them against
// the host's messages: every seat's score at the end, and the last turn's
// board, its flips face up or taken by the word.
inline void expectReplaysTo(const record::GameRecord& kept, const std::vector<std::string>& messages)
{
    std::array<int, record::kSeats> totals{};
    std::set<std::pair<int, int>> lastFlips;
    for (const std::string& message : messages) {
        const auto entry = wire::splitEntry(message);
        if (!entry)
            continue;
        if (entry->command == "CMD_nextplayer")
            lastFlips.clear();
        if (entry->command == "CMD_heflip")
            if (const auto flip = wire::readHeflip(entry->payload))
                lastFlips.insert({flip->x, flip->y});
        if (entry->command == "CMD_hisword")
            if (const auto word = wire::readHisword(entry->payload))
                totals[static_cast<std::size_t>(word->seat - 1)] = word->totalScore;
        if (entry->command == "CMD_buytiles")
            if (const auto buy = wire::readBuytiles(entry->payload))
                totals[static_cast<std::size_t>(buy->seat - 1)] = buy->newScore;
    }
    record::GameRecord moves = kept;
    std::erase_if(moves.events,
                  [](const record::Event& e) { return std::holds_alternative<record::FinalScores>(e); });
    const std::vector<record::ReplayStep> steps = record::replaySteps(moves);
    EXPECT_EQ(steps.back().scores, totals) << record::writeRecord(kept);
    EXPECT_EQ(kept.finalScores(), totals);
    std::set<std::pair<int, int>> shown;
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 8; ++y)
            if (steps.back().cell(x, y).face != record::ReplayCell::Face::down)
                shown.insert({x, y});
    EXPECT_EQ(shown, lastFlips);
}

} // namespace lexiflip::testing
