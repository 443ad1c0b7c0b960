#include "engine/letter_draw.h"

#include <array>

#include "core/random_source.h"

namespace lexiflip::engine {
namespace {

// The draw table: consecutive runs of r in 1..98, in the table's order.
struct Run {
    char letter;
    int weight;
};
constexpr std::array<Run, 26> kRuns{{
    {'a', 9}, {'e', 12}, {'i', 9}, {'o', 8}, {'u', 3}, {'d', 5}, {'g', 3}, {'h', 2}, {'l', 4},
    {'m', 2}, {'n', 6},  {'p', 2}, {'r', 6}, {'s', 4}, {'t', 6}, {'y', 2}, {'b', 2}, {'c', 2},
    {'f', 2}, {'j', 1},  {'k', 1}, {'w', 2}, {'q', 1}, {'v', 2}, {'x', 1}, {'z', 1},
}};

constexpr std::array<int, 99> makeDrawTable()
{
    std::array<int, 99> table{};
    int r = 1;
    for (const Run& run : kRuns) {
        for (int i = 0; i < run.weight; ++i)
            table[r++] = run.letter - 'a' + 1;
    }
    return table;
}

constexpr std::array<int, 99> kDrawTable = makeDrawTable();
static_assert(kDrawTable[98] == 26 && kDrawTable[1] == 1 && kDrawTable[10] == 5,
              "the draw table must cover r = 1..98 exactly");

} // namespace

int getletter(core::RandomSource& random)
{
    const int r = static_cast<int>(random.below(98)) + 1;
    return kDrawTable[r];
}

int letterWeight(int code)
{
    for (const Run& run : kRuns) {
        if (run.letter - 'a' + 1 == code)
            return run.weight;
    }
    return 0;
}

} // namespace lexiflip::engine
