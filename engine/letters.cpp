#include "engine/letters.h"

#include <array>

#include "engine/random_source.h"

namespace lexiflip::engine {
namespace {

//                                        a  b  c  d  e  f  g  h  i  j  k  l  m
constexpr std::array<int, 27> kWorth{0, 1, 3, 3, 1, 1, 5, 3, 3, 1, 5, 5, 1, 3,
                                     //  n  o  p  q   r  s  t  u  v  w  x   y  z
                                     1, 1, 3, 10, 1, 1, 1, 1, 7, 5, 10, 3, 10};

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

int letterworth(int code)
{
    if (code < kFirstLetter || code > kLastLetter)
        return 1;
    return kWorth[code];
}

void converttoletter(int code, std::string& target)
{
    if (code < kFirstLetter || code > kLastLetter)
        return;
    target.assign(1, static_cast<char>('a' + code - 1));
}

int letterCode(char letter)
{
    if (letter < 'a' || letter > 'z')
        return 0;
    return letter - 'a' + 1;
}

int getletter(RandomSource& random)
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
