// The LZRW1/KH block format byte for byte, and the decoder's handling of
// blocks no encoder writes.

#include "compress/lzrw1kh.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "compress_test_support.h"

namespace lexiflip::compress {
namespace {

using testing::bytes;

std::string compressChunk(const std::string& chunk)
{
    Lzrw1kh engine;
    std::vector<std::uint8_t> out(kBufferSize);
    const std::size_t n =
        engine.compressChunk(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size(), out.data());
    return std::string(reinterpret_cast<const char*>(out.data()), n);
}

std::optional<std::string> decodeBlock(const std::string& block)
{
    std::vector<std::uint8_t> out(kBufferSize);
    // The block sits at the end of an exactly sized allocation, so that the
    // address sanitizer sees any read past it.
    std::vector<std::uint8_t> in(block.begin(), block.end());
    const auto n = Lzrw1kh::decompressBlock(in.data(), in.size(), out.data());
    if (!n)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(out.data()), *n);
}

std::string repeat(const std::string& unit, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += unit;
    return out;
}

// Expected blocks worked out by hand from the format: flag, control words
// (high byte first, first item in the top bit), items.
TEST(Lzrw1khBlock, EncodesHandWorkedChunksExactly)
{
    struct Case {
        const char* what;
        std::string chunk;
        std::string block;
    };
    const std::vector<Case> cases = {
        {"1000 equal bytes: one run of 1000 (984 = 0x03D8)", std::string(1000, 'x'),
         bytes({0x40, 0x80, 0x00, 0x00, 0x03, 0xD8, 'x'})},
        {"16 equal bytes: the shortest run", std::string(16, 'a'),
         bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 'a'})},
        {"15 equal bytes: a literal, then a copy at offset 1 of 14", std::string(15, 'a'),
         bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x1B})},
        {"5000 equal bytes: runs stop at 4095", std::string(5000, 'z'),
         bytes({0x40, 0xC0, 0x00, 0x00, 0x0F, 0xEF, 'z', 0x00, 0x03, 0x79, 'z'})},
        {"ten literals, a copy of 18 at offset 10, a copy of the last 12 at offset 20",
         repeat("abcdefghij", 4), bytes({0x40, 0x00, 0x30}) + "abcdefghij" + bytes({0x00, 0xAF, 0x01, 0x49})},
        {"sixteen items fill a control word; the next one is reserved before item 17",
         repeat("ABCDEFGHIJKLMNOPQRST", 2),
         bytes({0x40, 0x00, 0x00}) + "ABCDEFGHIJKLMNOP" + bytes({0x08, 0x00}) + "QRST" + bytes({0x01, 0x4F}) +
             "ST"},
        {"the empty chunk is stored", "", bytes({0x80})},
        {"a short chunk costs more compressed than stored", "abcabc", bytes({0x80}) + "abcabc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compressChunk(c.chunk), c.block) << c.what;
        EXPECT_EQ(decodeBlock(c.block), c.chunk) << c.what;
    }
}

TEST(Lzrw1khBlock, StoresAnIncompressibleChunkOneByteLonger)
{
    for (const std::size_t size : {std::size_t{1}, std::size_t{1000}, kChunkSize}) {
        const std::string chunk = testing::randomBytes(size, size);
        const std::string block = compressChunk(chunk);
        ASSERT_EQ(block.size(), size + 1);
        EXPECT_EQ(block[0], '\x80');
        EXPECT_EQ(block.substr(1), chunk);
    }
}

TEST(Lzrw1khBlock, TheSameChunkAlwaysGivesTheSameBlock)
{
    // One engine reused across chunks must not carry its table from one to the next.
    Lzrw1kh engine;
    const std::string a = testing::wordText().substr(0, kChunkSize);
    const std::string b = testing::wordText().substr(kChunkSize, kChunkSize);
    std::vector<std::uint8_t> out(kBufferSize);
    auto run = [&](const std::string& chunk) {
        const std::size_t n = engine.compressChunk(reinterpret_cast<const std::uint8_t*>(chunk.data()),
                                                   chunk.size(), out.data());
        return std::string(reinterpret_cast<const char*>(out.data()), n);
    };
    const std::string first = run(a);
    run(b);
    EXPECT_EQ(run(a), first);
    EXPECT_EQ(compressChunk(a), first);
    EXPECT_LT(first.size(), a.size());
}

TEST(Lzrw1khBlock, BlocksOfOneByteOrLessDecodeToNothing)
{
    EXPECT_EQ(decodeBlock(""), "");
    EXPECT_EQ(decodeBlock(bytes({0x80})), "");
    EXPECT_EQ(decodeBlock(bytes({0x40})), "");
}

TEST(Lzrw1khBlock, RejectsCorruptBlocks)
{
    const std::string run4096 = bytes({0x00, 0x0F, 0xF0, 'x'}); // fills an eighth of a chunk
    const std::string eightRuns = repeat(run4096, 8);
    struct Case {
        const char* what;
        std::string block;
    };
    const std::vector<Case> cases = {
        {"unknown flag", bytes({0x00, 0x00, 0x00, 'a'})},
        {"control word cut short", bytes({0x40, 0x00})},
        {"copy at the chunk start", bytes({0x40, 0x80, 0x00, 0x00, 0x10})},
        {"copy reaching before the chunk start", bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x20})},
        {"copy cut after its first byte", bytes({0x40, 0x40, 0x00, 'a', 0x00})},
        {"run cut after three bytes", bytes({0x40, 0x80, 0x00, 0x00, 0x03, 0xD8})},
        {"second control word cut short", bytes({0x40, 0x00, 0x00}) + std::string(16, 'a') + bytes({0x00})},
        {"runs past 32768 bytes", bytes({0x40, 0xFF, 0x80}) + repeat(bytes({0x00, 0x0F, 0xFF, 'x'}), 9)},
        {"a literal past 32768 bytes", bytes({0x40, 0xFF, 0x00}) + eightRuns + "y"},
        {"a copy past 32768 bytes", bytes({0x40, 0xFF, 0x80}) + eightRuns + bytes({0x00, 0x10})},
        {"a stored block longer than a chunk", bytes({0x80}) + std::string(kChunkSize + 1, 's')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeBlock(c.block), std::nullopt) << c.what;

    // The limits are exact: eight runs fill the chunk, and that is fine.
    EXPECT_EQ(decodeBlock(bytes({0x40, 0xFF, 0x00}) + eightRuns), std::string(kChunkSize, 'x'));
}

TEST(Lzrw1khBlock, EveryCutOfAValidBlockDecodesToAPrefixOrIsRejected)
{
    const std::string chunk = testing::wordText().substr(1000, 5000);
    const std::string block = compressChunk(chunk);
    ASSERT_EQ(block[0], '\x40');
    int prefixes = 0;
    int rejected = 0;
    for (std::size_t n = 2; n < block.size(); ++n) {
        const auto decoded = decodeBlock(block.substr(0, n));
        if (decoded) {
            ++prefixes;
            EXPECT_EQ(chunk.compare(0, decoded->size(), *decoded), 0) << "cut at " << n;
        } else {
            ++rejected;
        }
    }
    // Cuts between items decode; cuts inside a copy or a control word do not.
    EXPECT_GT(prefixes, 100);
    EXPECT_GT(rejected, 100);
}

TEST(Lzrw1khBlock, OverlappingCopiesRepeatTheirOwnOutput)
{
    // Offsets below the copy length, short and long, exercise both copy paths.
    for (const std::string unit : {"ab", "abcdefg", "abcdefgh", "abcdefghijk"}) {
        const std::string chunk = repeat(unit, 200) + "end";
        const std::string block = compressChunk(chunk);
        EXPECT_LT(block.size(), chunk.size() / 4) << unit;
        EXPECT_EQ(decodeBlock(block), chunk) << unit;
    }
}

} // namespace
} // namespace lexiflip::compress
