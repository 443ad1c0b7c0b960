#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/letters.h"
#include "core/random_source.h"
#include "core/terminal_text.h"

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

// What a terminal could take for a command shows escaped; printable text,
// UTF-8 included, stays as it is.
TEST(TerminalSafe, EscapesControlsAndBrokenUtf8AndKeepsPrintableText)
{
    const struct {
        std::string in;
        std::string out;
    } rows[] = {
        {"lexiflip://host:7772", "lexiflip://host:7772"},
        {"lexiflip://<h1>big</h1>", "lexiflip://<h1>big</h1>"},
        {"a\x1b[2Jb\nc\rd\te", "a\\x1b[2Jb\\x0ac\\x0dd\\x09e"},
        {std::string("\x1b[31mred\x07\x00z", 11), "\\x1b[31mred\\x07\\x00z"},
        {"del\x7f", "del\\x7f"},
        {"back\\slash", "back\\\\slash"},
        {"B\xc3\xbcro \xe2\x82\xac \xf0\x9f\x8e\xb2", "B\xc3\xbcro \xe2\x82\xac \xf0\x9f\x8e\xb2"},
        // C1 controls: raw (CSI 0x9B) and as UTF-8 (U+009B).
        {"\x9b[31m", "\\x9b[31m"},
        {"\xc2\x9b[31m", "\\xc2\\x9b[31m"},
        {"\xc2\xa0", "\xc2\xa0"},
        // Not UTF-8: a cut sequence, an overlong one, a surrogate, beyond U+10FFFF.
        {"cut\xe2\x82", "cut\\xe2\\x82"},
        {"\xc0\xaf", "\\xc0\\xaf"},
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(core::terminalSafe(row.in), row.out) << row.out;
}
