// The Tlzrw1 container over files and byte buffers: exact bytes, round trips
// in both methods, Advise, failures and what they leave behind.

#include "compress/tlzrw1.h"

#include <sys/stat.h>

#include <ostream>
#include <regex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "compress_test_support.h"

namespace lexiflip::compress {

// Parameterized test names show the method by name.
void PrintTo(TCompressMode mode, std::ostream* out)
{
    *out << (mode == TCompressMode::Fast ? "Fast" : mode == TCompressMode::Good ? "Good" : "Auto");
}

namespace {

using testing::bytes;
using testing::readFile;
using testing::writeFile;

std::string header(const char* identifier, std::uint32_t size)
{
    return std::string(identifier, 4) +
           bytes({static_cast<int>(size & 0xFF), static_cast<int>((size >> 8) & 0xFF),
                  static_cast<int>((size >> 16) & 0xFF), static_cast<int>(size >> 24)});
}

std::string compressWith(TCompressMode mode, std::string_view input)
{
    Tlzrw1 lzrw1;
    lzrw1.setCompressMode(mode);
    return lzrw1.compressBytes(input);
}

std::string decompress(std::string_view container)
{
    Tlzrw1 lzrw1;
    return lzrw1.decompressBytes(container);
}

// The message of the ELzrw1Exception that f throws, or a note that it threw none.
template <class F> std::string failure(F&& f)
{
    try {
        f();
    } catch (const ELzrw1Exception& e) {
        return e.what();
    }
    return "(no ELzrw1Exception)";
}

class Tlzrw1Files : public testing::TempDirTest {
protected:
    // Compresses `content` from a file and returns the container file's bytes.
    std::string compressFile(TCompressMode mode, std::string_view content)
    {
        writeFile(path("in"), content);
        Tlzrw1 lzrw1;
        lzrw1.setInputFile(path("in"));
        lzrw1.setOutputFile(path("out"));
        lzrw1.setCompressMode(mode);
        const std::uint64_t written = lzrw1.Compress();
        const std::string container = readFile(path("out"));
        EXPECT_EQ(written, container.size());
        return container;
    }

    std::string decompressFile(std::string_view container)
    {
        writeFile(path("packed"), container);
        Tlzrw1 lzrw1;
        lzrw1.setInputFile(path("packed"));
        lzrw1.setOutputFile(path("plain"));
        const std::uint64_t written = lzrw1.Decompress();
        const std::string plain = readFile(path("plain"));
        EXPECT_EQ(written, plain.size());
        return plain;
    }

    std::string decompressFailure(std::string_view container)
    {
        writeFile(path("packed"), container);
        Tlzrw1 lzrw1;
        lzrw1.setInputFile(path("packed"));
        lzrw1.setOutputFile(path("plain"));
        return failure([&] { lzrw1.Decompress(); });
    }
};

// ---- exact bytes ----

TEST_F(Tlzrw1Files, EmptyInputGivesTheElevenByteContainer)
{
    const std::string container = compressFile(TCompressMode::Fast, "");
    EXPECT_EQ(container, header("WRZL", 0) + bytes({0x01, 0x00, 0x80}));
    EXPECT_EQ(decompressFile(container), "");
    EXPECT_TRUE(testing::fs::exists(path("plain")));
}

TEST_F(Tlzrw1Files, AFullChunkIsFollowedByTheOneByteEmptyBlock)
{
    // Random bytes are stored: 32769 is 01 80 little-endian.
    const std::string random = testing::randomBytes(kChunkSize, 1);
    EXPECT_EQ(compressFile(TCompressMode::Fast, random),
              header("WRZL", kChunkSize) + bytes({0x01, 0x80, 0x80}) + random + bytes({0x01, 0x00, 0x80}));

    const std::string text = testing::wordText().substr(0, kChunkSize);
    const std::string container = compressFile(TCompressMode::Fast, text);
    const std::size_t first =
        static_cast<unsigned char>(container[8]) | static_cast<unsigned char>(container[9]) << 8;
    ASSERT_EQ(container.size(), 8 + 2 + first + 3);
    EXPECT_EQ(container.substr(8 + 2 + first), bytes({0x01, 0x00, 0x80}));
    EXPECT_EQ(decompressFile(container), text);
}

TEST(Tlzrw1Bytes, ThousandEqualBytesMakeOneRunItem)
{
    EXPECT_EQ(compressWith(TCompressMode::Fast, std::string(1000, 'q')),
              header("WRZL", 1000) + bytes({0x07, 0x00, 0x40, 0x80, 0x00, 0x00, 0x03, 0xD8, 'q'}));
}

TEST(Tlzrw1Bytes, GoodContainersCarryTheirOwnIdentifier)
{
    const std::string container = compressWith(TCompressMode::Good, "tile tile tile tile");
    EXPECT_EQ(container.substr(0, 8), header("!HZL", 19));
    EXPECT_EQ(compressWith(TCompressMode::Good, ""), header("!HZL", 0));
}

// ---- round trips ----

struct RoundTrip {
    const char* kind;
    std::size_t size;
};

void PrintTo(const RoundTrip& r, std::ostream* out)
{
    *out << r.kind << " " << r.size;
}

class Tlzrw1RoundTrip : public ::testing::TestWithParam<std::tuple<TCompressMode, RoundTrip>> {};

std::string sample(const RoundTrip& r)
{
    const std::string kind = r.kind;
    if (kind == "random")
        return testing::randomBytes(r.size, r.size + 11);
    if (kind == "text") {
        std::string text;
        while (text.size() < r.size)
            text += testing::wordText();
        return text.substr(0, r.size);
    }
    if (kind == "program") {
        std::string program = testing::programBytes();
        while (program.size() < r.size)
            program += program;
        return program.substr(0, r.size);
    }
    // Mixed: runs, near repeats and noise, to cross run, copy and literal paths.
    std::string mixed;
    std::mt19937_64 engine(r.size);
    while (mixed.size() < r.size) {
        switch (engine() % 3) {
        case 0:
            mixed += std::string(1 + engine() % 5000, static_cast<char>(engine()));
            break;
        case 1:
            mixed += testing::wordText().substr(engine() % 1000, 1 + engine() % 300);
            break;
        default:
            mixed += testing::randomBytes(1 + engine() % 100, engine());
            break;
        }
    }
    return mixed.substr(0, r.size);
}

TEST_P(Tlzrw1RoundTrip, DecodesToTheInput)
{
    const auto& [mode, r] = GetParam();
    const std::string input = sample(r);
    const std::string container = compressWith(mode, input);
    EXPECT_EQ(decompress(container), input);
    if (std::string_view(r.kind) != "random" && r.size > 4096) {
        EXPECT_LT(container.size(), input.size());
    }
}

std::vector<RoundTrip> roundTripCases()
{
    std::vector<RoundTrip> cases;
    for (const char* kind : {"random", "text", "program", "mixed"})
        for (const std::size_t size :
             {0, 1, 2, 3, 15, 16, 17, 18, 19, 4095, 4096, 4097, 32767, 32768, 32769, 65536, 3 * 32768 + 1234})
            cases.push_back({kind, size});
    cases.push_back({"text", 10 * 32768 + 77});
    return cases;
}

std::string roundTripName(const ::testing::TestParamInfo<Tlzrw1RoundTrip::ParamType>& info)
{
    const RoundTrip& r = std::get<1>(info.param);
    return std::string(std::get<0>(info.param) == TCompressMode::Fast ? "Fast_" : "Good_") + r.kind + "_" +
           std::to_string(r.size);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Tlzrw1RoundTrip,
                         ::testing::Combine(::testing::Values(TCompressMode::Fast, TCompressMode::Good),
                                            ::testing::ValuesIn(roundTripCases())),
                         roundTripName);

TEST_F(Tlzrw1Files, FilesAndBuffersGiveTheSameContainers)
{
    const std::string input = testing::wordText().substr(0, 3 * kChunkSize + 99);
    for (const TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        const std::string container = compressFile(mode, input);
        EXPECT_EQ(container, compressWith(mode, input));
        EXPECT_EQ(decompressFile(container), input);
    }
}

TEST(Tlzrw1Bytes, GoodBeatsFastOnText)
{
    const std::string text = testing::wordText().substr(0, 200000);
    const std::size_t fast = compressWith(TCompressMode::Fast, text).size();
    const std::size_t good = compressWith(TCompressMode::Good, text).size();
    EXPECT_LT(good * 10, fast * 9);
}

// ---- Advise and Auto ----

TEST_F(Tlzrw1Files, AdviseSendsSmallFilesToGood)
{
    writeFile(path("in"), std::string(Tlzrw1::kSmallInput, 'a'));
    Tlzrw1 lzrw1;
    lzrw1.setInputFile(path("in"));
    lzrw1.setCompressMode(TCompressMode::Fast);
    std::vector<std::string> texts;
    lzrw1.setTextCallback([&](const std::string& t) { texts.push_back(t); });
    EXPECT_EQ(lzrw1.Advise(), TCompressMode::Good);
    EXPECT_EQ(lzrw1.CompressMode(), TCompressMode::Good);
    EXPECT_EQ(texts, (std::vector<std::string>{"Guessing the best compression mode for : " + path("in"),
                                               "Lzrw1 recommends GOOD compression :  small file !!"}));
}

TEST(Tlzrw1Bytes, AdviseSamplesLargeInputsAgainstTheThreshold)
{
    Tlzrw1 lzrw1;
    // One byte over the small limit: every run of equal bytes compresses to almost nothing.
    EXPECT_EQ(lzrw1.adviseBytes(std::string(Tlzrw1::kSmallInput + 1, 'a')), TCompressMode::Fast);
    EXPECT_TRUE(std::regex_match(lzrw1.text(), std::regex("Lzrw1 recommends FAST compression : [0-9]%\\.")))
        << lzrw1.text();

    // Stored samples are one byte longer than their chunks: 65538 * 100 / 65536.
    EXPECT_EQ(lzrw1.adviseBytes(testing::randomBytes(500000, 3)), TCompressMode::Good);
    EXPECT_EQ(lzrw1.text(), "Lzrw1 recommends GOOD compression : 100%.");
    EXPECT_EQ(lzrw1.CompressMode(), TCompressMode::Good); // the default, untouched by this branch

    // The word list lands between the two thresholds below.
    const std::string text = testing::wordText().substr(0, 400000);
    const std::size_t sampled =
        compressWith(TCompressMode::Fast, text.substr(131072, kChunkSize)).size() - 8 - 2 - 3 +
        compressWith(TCompressMode::Fast, text.substr(262144, kChunkSize)).size() - 8 - 2 - 3;
    const auto percent = static_cast<int>(sampled * 100 / (2 * kChunkSize));
    ASSERT_GT(percent, 20);
    ASSERT_LT(percent, 90);
    lzrw1.setThreshold(percent);
    EXPECT_EQ(lzrw1.adviseBytes(text), TCompressMode::Good);
    EXPECT_EQ(lzrw1.text(), "Lzrw1 recommends GOOD compression : " + std::to_string(percent) + "%.");
    lzrw1.setThreshold(percent + 2);
    EXPECT_EQ(lzrw1.adviseBytes(text), TCompressMode::Fast);
    EXPECT_EQ(lzrw1.text(), "Lzrw1 recommends FAST compression : " + std::to_string(percent) + "%.");
}

TEST_F(Tlzrw1Files, AutoPicksPerFileAndStaysAuto)
{
    Tlzrw1 lzrw1;
    lzrw1.setCompressMode(TCompressMode::Auto);
    std::vector<std::string> texts;
    lzrw1.setTextCallback([&](const std::string& t) { texts.push_back(t); });
    lzrw1.setInputFile(path("in"));
    lzrw1.setOutputFile(path("out"));

    writeFile(path("in"), "a small tally");
    lzrw1.Compress();
    EXPECT_EQ(readFile(path("out")).substr(0, 4), "!HZL");
    EXPECT_EQ(lzrw1.CompressMode(), TCompressMode::Auto);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2].rfind(path("in") + " : Lzrw1 : successfully compressed at ", 0), 0u) << texts[2];

    // A small file before must not turn the next, compressible one into Good.
    writeFile(path("in"), std::string(200000, 'z'));
    lzrw1.Compress();
    EXPECT_EQ(readFile(path("out")).substr(0, 4), "WRZL");
    EXPECT_EQ(decompressFile(readFile(path("out"))), std::string(200000, 'z'));
}

TEST_F(Tlzrw1Files, CompressReportsItsRatio)
{
    writeFile(path("in"), std::string(1000, 'q'));
    Tlzrw1 lzrw1;
    lzrw1.setInputFile(path("in"));
    lzrw1.setOutputFile(path("out"));
    lzrw1.setCompressMode(TCompressMode::Fast);
    EXPECT_EQ(lzrw1.Compress(), 17u);
    EXPECT_EQ(lzrw1.text(), path("in") + " : Lzrw1 : successfully compressed at 1%");

    writeFile(path("in"), "");
    EXPECT_EQ(lzrw1.Compress(), 11u);
    EXPECT_EQ(lzrw1.text(), path("in") + " : Lzrw1 : successfully compressed at 0%");
}

// ---- progress ----

TEST(Tlzrw1Bytes, ReportsProgressAfterEveryChunk)
{
    const std::string input = testing::wordText().substr(0, 3 * kChunkSize + 5);
    Tlzrw1 lzrw1;
    std::vector<Lzrw1Progress> seen;
    lzrw1.setProgressCallback([&](const Lzrw1Progress& p) { seen.push_back(p); });

    lzrw1.setCompressMode(TCompressMode::Fast);
    const std::string fast = lzrw1.compressBytes(input);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].bytesIn, kChunkSize);
    EXPECT_EQ(seen[3].bytesIn, input.size());
    EXPECT_EQ(seen[3].bytesOut, fast.size());
    EXPECT_EQ(seen[3].method, TCompressMode::Fast);

    seen.clear();
    lzrw1.decompressBytes(fast);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[3].bytesIn, fast.size());
    EXPECT_EQ(seen[3].bytesOut, input.size());

    seen.clear();
    lzrw1.setCompressMode(TCompressMode::Good);
    const std::string good = lzrw1.compressBytes(input);
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen.back().method, TCompressMode::Good);
    EXPECT_EQ(seen.back().bytesIn, input.size());
    EXPECT_EQ(seen.back().bytesOut, good.size());

    EXPECT_EQ(progressText({TCompressMode::Fast, 12, 5}), "(LZRW1/KH) Bytes in : 12 Bytes out : 5");
    EXPECT_EQ(progressText({TCompressMode::Good, 7, 30}), "(LZH) Bytes in : 7 Bytes out : 30");
}

// ---- damaged containers ----

TEST_F(Tlzrw1Files, RejectsAnUnknownIdentifierAndLeavesNoFile)
{
    EXPECT_EQ(decompressFailure("WRZX" + std::string(20, '\0')),
              path("packed") + " : Lzrw1 decompression : this file has no valid header !");
    EXPECT_FALSE(testing::fs::exists(path("plain")));
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(failure([] { decompress("PK\x03\x04...."); }),
              "Lzrw1 decompression : input stream contains no valid header !");
}

TEST_F(Tlzrw1Files, AWrongSizeFieldFailsAfterDecodingAndDeletesTheOutput)
{
    const std::string input = testing::wordText().substr(0, 100000);
    for (const TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        const std::string message =
            mode == TCompressMode::Fast
                ? "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"
                : "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
        for (const int delta : {-1, 1, 40000}) {
            std::string container = compressWith(mode, input);
            container.replace(4, 4,
                              header("    ", static_cast<std::uint32_t>(input.size() + delta)).substr(4));
            EXPECT_EQ(decompressFailure(container), message) << delta;
            EXPECT_FALSE(testing::fs::exists(path("plain")));
            EXPECT_EQ(failure([&] { decompress(container); }), message);
        }
    }
    EXPECT_EQ(entries(), 1u);
}

TEST_F(Tlzrw1Files, ACutContainerIsAReadError)
{
    const std::string readError = "Lzrw1 : Error reading from input file : " + path("packed");
    const std::string container = compressWith(TCompressMode::Fast, testing::wordText().substr(0, 70000));
    for (const std::size_t cut :
         {std::size_t{2}, std::size_t{6}, std::size_t{9}, std::size_t{500}, container.size() - 1}) {
        EXPECT_EQ(decompressFailure(container.substr(0, cut)), readError) << cut;
        EXPECT_EQ(failure([&] { decompress(container.substr(0, cut)); }),
                  "Lzrw1 : Error reading from input stream !");
    }
    // A cut LZH stream runs out before the promised size.
    const std::string good = compressWith(TCompressMode::Good, testing::wordText().substr(0, 70000));
    EXPECT_EQ(decompressFailure(good.substr(0, good.size() / 2)),
              "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(Tlzrw1Files, ACorruptBlockIsAnErrorNotACrash)
{
    const std::string corrupt =
        "Lzrw1 (decompression LZRW1/KH) : corrupt block in input file : " + path("packed");
    // A copy before the chunk start; a block length no chunk can have.
    EXPECT_EQ(decompressFailure(header("WRZL", 3) + bytes({0x05, 0x00, 0x40, 0x80, 0x00, 0x00, 0x10})),
              corrupt);
    EXPECT_EQ(decompressFailure(header("WRZL", 3) + bytes({0xFF, 0xFF}) + std::string(65535, 'x')), corrupt);
    // A valid first block, then a damaged second one.
    std::string container = compressWith(TCompressMode::Fast, testing::wordText().substr(0, 40000));
    container[8 + 2 +
              (static_cast<unsigned char>(container[8]) | static_cast<unsigned char>(container[9]) << 8) +
              2] = 0x11;
    EXPECT_EQ(decompressFailure(container), corrupt);
    EXPECT_FALSE(testing::fs::exists(path("plain")));
    EXPECT_EQ(failure([&] { decompress(container); }),
              "Lzrw1 (decompression LZRW1/KH) : corrupt block in input stream !");
}

TEST(Tlzrw1Bytes, RandomDamageIsCaughtOrDecodesWithinBounds)
{
    // Flipped bytes (the header left whole) either fail with a component
    // message or decode to exactly the size the header promises; they never
    // escape as another exception, a crash or a longer output. Both outcomes
    // occur, so neither path goes untried.
    const std::string input = testing::wordText().substr(5000, 80000);
    std::mt19937_64 engine(99);
    for (const TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        const std::string clean = compressWith(mode, input);
        int caught = 0;
        int decoded = 0;
        for (int i = 0; i < 200; ++i) {
            std::string damaged = clean;
            for (int k = 0; k < 3; ++k)
                damaged[8 + engine() % (damaged.size() - 8)] ^= static_cast<char>(1 + engine() % 255);
            try {
                EXPECT_EQ(decompress(damaged).size(), input.size());
                ++decoded;
            } catch (const ELzrw1Exception&) {
                ++caught;
            }
        }
        EXPECT_GT(caught, 0);
        EXPECT_GT(decoded, 0);
    }
}

// ---- files: failures, and what is kept ----

TEST_F(Tlzrw1Files, NamesTheFileThatCouldNotBeUsed)
{
    Tlzrw1 lzrw1;
    lzrw1.setInputFile(path("missing"));
    lzrw1.setOutputFile(path("out"));
    lzrw1.setCompressMode(TCompressMode::Fast);
    EXPECT_EQ(failure([&] { lzrw1.Compress(); }),
              "Lzrw1 compression : Failed to obtain the size of : " + path("missing"));
    EXPECT_EQ(failure([&] { lzrw1.Decompress(); }),
              "Lzrw1 (de)compression : Failed to open input file : " + path("missing"));
    EXPECT_EQ(failure([&] { lzrw1.Advise(); }), "Lzrw1 advise : can open input file : " + path("missing"));
    lzrw1.setCompressMode(TCompressMode::Auto);
    EXPECT_EQ(failure([&] { lzrw1.Compress(); }), "Lzrw1 advise : can open input file : " + path("missing"));

    writeFile(path("in"), "abc");
    lzrw1.setInputFile(path("in"));
    lzrw1.setOutputFile(path("no-such-dir/out"));
    lzrw1.setCompressMode(TCompressMode::Fast);
    EXPECT_EQ(failure([&] { lzrw1.Compress(); }),
              "Lzrw1 (de)compression : Failed to open output file : " + path("no-such-dir/out"));
    lzrw1.setOutputFile(m_dir.string());
    EXPECT_EQ(failure([&] { lzrw1.Compress(); }),
              "Lzrw1 (de)compression : Failed to open output file : " + m_dir.string());
    EXPECT_EQ(entries(), 1u);
}

TEST_F(Tlzrw1Files, AFailureKeepsAnEarlierFileOfTheOutputName)
{
    writeFile(path("plain"), "last session's tally");
    EXPECT_NE(decompressFailure("not a container"), "(no ELzrw1Exception)");
    EXPECT_EQ(readFile(path("plain")), "last session's tally");
    EXPECT_EQ(entries(), 2u); // no temporary file either
}

TEST_F(Tlzrw1Files, InputAndOutputMayBeTheSameFile)
{
    const std::string input = testing::wordText().substr(0, 100000);
    writeFile(path("tally"), input);
    Tlzrw1 lzrw1;
    lzrw1.setInputFile(path("tally"));
    lzrw1.setOutputFile(path("tally"));
    lzrw1.setCompressMode(TCompressMode::Fast);
    lzrw1.Compress();
    EXPECT_EQ(readFile(path("tally")).substr(0, 4), "WRZL");
    lzrw1.Decompress();
    EXPECT_EQ(readFile(path("tally")), input);
}

TEST_F(Tlzrw1Files, RefusesInputsTheSizeFieldCannotHold)
{
    // A sparse file: nothing is read, the size alone decides.
    {
        std::ofstream create(path("huge"));
    }
    std::error_code ec;
    testing::fs::resize_file(path("huge"), std::uint64_t{1} << 32, ec);
    if (ec)
        GTEST_SKIP() << "no sparse 4 GiB file here: " << ec.message();
    Tlzrw1 lzrw1;
    lzrw1.setInputFile(path("huge"));
    lzrw1.setOutputFile(path("out"));
    lzrw1.setCompressMode(TCompressMode::Fast);
    EXPECT_EQ(failure([&] { lzrw1.Compress(); }),
              "Lzrw1 compression : input file is 4 GiB or larger : " + path("huge"));
    EXPECT_FALSE(testing::fs::exists(path("out")));
}

TEST_F(Tlzrw1Files, WritesIntoAPipeInPlace)
{
    // A pipe cannot be replaced by renaming; it is written directly.
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    const std::string input = testing::wordText().substr(0, 50000);
    const std::string container = compressWith(TCompressMode::Fast, input);
    writeFile(path("packed"), container);
    std::string received;
    std::thread reader([&] { received = readFile(path("pipe")); });
    Tlzrw1 lzrw1;
    lzrw1.setInputFile(path("packed"));
    lzrw1.setOutputFile(path("pipe"));
    lzrw1.Decompress();
    reader.join();
    EXPECT_EQ(received, input);
    EXPECT_TRUE(testing::fs::is_fifo(path("pipe")));
}

} // namespace
} // namespace lexiflip::compress
