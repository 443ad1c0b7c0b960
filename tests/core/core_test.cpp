#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/letters.h"
#include "core/random_source.h"

using namespace lexiflip;

TEST(Letters, WorthAndTextOfEveryCode)
{
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    const std::array<int, 26> worth{1, 3, 3, 1,  1, 5, 3, 3, 1, 5, 5,  1, 3,
                                    1, 1, 3, 10, 1, 1, 1, 1, 7, 5, 10, 3, 10};
    for (int code = 1; code <= 26; ++code) {
        EXPECT_EQ(core::letterworth(code), worth[code - 1]) << code;
        std::string text = "?";
        core::converttoletter(code, text);
        EXPECT_EQ(text, std::string(1, letters[code - 1]));
        EXPECT_EQ(core::letterCode(letters[code - 1]), code);
    }
    for (int code : {0, -1, 27, 1000}) {
        EXPECT_EQ(core::letterworth(code), 1);
        std::string text = "keep";
        core::converttoletter(code, text);
        EXPECT_EQ(text, "keep");
    }
}

// Host and window replay a game from its seed only while the mapping of a draw
// to a range stays the same, so its results are pinned: another mapping (a
// plain modulo, a standard distribution, a rejection without the redraw)
// changes some of these rows. n = 2^31 + 1 rejects about half of the draws.
TEST(RandomSource, OneSeedMapsToTheSameNumbers)
{
    struct Row {
        std::uint64_t seed;
        std::vector<std::uint32_t> n;
        std::vector<std::uint32_t> expected;
    };
    const std::vector<Row> rows{
        {1, {1, 2, 7, 10, 98, 1000, 4294967295u}, {0, 0, 3, 0, 34, 911, 2021865012}},
        {3,
         {2147483649u, 2147483649u, 2147483649u, 2147483649u, 2147483649u, 2147483649u},
         {1267533479, 743821568, 356773527, 1960810927, 560649408, 43887205}},
    };
    for (const Row& row : rows) {
        core::RandomSource random(row.seed);
        core::RandomSource reseeded(row.seed + 1);
        reseeded.reseed(row.seed);
        EXPECT_EQ(reseeded.below(0), 0u); // an empty range takes no draw
        for (std::size_t i = 0; i < row.n.size(); ++i) {
            EXPECT_EQ(random.below(row.n[i]), row.expected[i]) << "seed " << row.seed << " draw " << i;
            EXPECT_EQ(reseeded.below(row.n[i]), row.expected[i]) << "reseeded " << row.seed << " draw " << i;
        }
    }

    core::RandomSource shuffle(20261208);
    const std::array<int, 8> bar{4, 7, 6, 5, 4, 1, 5, 3};
    for (std::size_t i = 0; i < bar.size(); ++i)
        EXPECT_EQ(shuffle.between(1, 7), bar[i]) << "draw " << i;
}
