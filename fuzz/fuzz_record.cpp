// Arbitrary bytes as a game record (a file anybody may edit, or one cut short
// by a crash): the reader refuses or reads, never fails otherwise; what it
// reads writes back to a text that reads the same, and steps through from the
// first step to the last with every score and cell where it belongs.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "record/game_record.h"
#include "record/replay_steps.h"

using namespace lexiflip::record;

namespace {

void check(bool condition, const char* promise)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

} // namespace

extern "C" const char* const* lexiflipFuzzSeeds()
{
    static const char* const seeds[] = {
        "lexiflip-record 1\nbegan 2026-12-09T14:05:00Z\noptions 200 60 sneak 0\nstarter Ann%25\nself 1\n"
        "seat 1 Ann\nseat 2 Klot\nwatcher 7 Wat\nturn 1\nbar STOPQRE\nflip 1 1 C\nflip 2 1 D\n"
        "word 1 SDT 4 0 4 bar 2,1 bar\nturn 2\nword 2 EFY 30 ? 30 4,1 ? bar\njoin 8 Late\nwatch 1 on\n"
        "buy 1 0\npass 1\nleave 8 Late\ntimeout 2\ntie\nwinner Klot\nfinal 0 30 0 0 0 0\n",
        "lexiflip-record 1\r\nbegan ?\r\noptions 100 45 help 1\r\ncatchup 3 5 17 0 0 0 0\r\nturn 4\r\n"
        "flip 10 8 ?\r\nword 4 AB 8 0 8 bar bar\r\nturn 1\r\nbuy 1 -20\r\nfinal 1 2 3",
        nullptr,
    };
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto read = readRecord(text);
    if (const auto* error = std::get_if<RecordError>(&read)) {
        check(error->line >= 1 && !error->reason.empty(), "a refusal names its line and a reason");
        return 0;
    }
    const GameRecord& game = std::get<GameRecord>(read);
    const std::string written = writeRecord(game);
    const auto again = readRecord(written);
    check(std::holds_alternative<GameRecord>(again), "a record read writes back readable");
    check(std::get<GameRecord>(again) == game, "a record written reads back the same");
    check(writeRecord(std::get<GameRecord>(again)) == written, "writing is a fixed point");

    const std::vector<ReplayStep> steps = replaySteps(game);
    check(!steps.empty() && steps.front().event == 0, "the replay begins with the game's start");
    for (const ReplayStep& step : steps) {
        check(step.event <= game.events.size(), "each step names an event of the record");
        check(step.seat >= 0 && step.seat <= kSeats, "the seat on turn is a seat or none");
        for (const ReplayCell& cell : step.cells)
            check(cell.face == ReplayCell::Face::down || (cell.letter >= 'A' && cell.letter <= 'Z') ||
                      cell.letter == kNoLetter,
                  "a shown cell holds a letter");
    }
    check(roundScores(steps).size() <= steps.size(), "no more rounds than steps");
    return 0;
}
