// The shipped word lists, the record generator that builds the dictionary,
// and the loader of the computer's list.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "engine/computer_words.h"
#include "support/recording.h"
#include "words/tdictn.h"

namespace lexiflip::engine {
namespace {

constexpr std::size_t kRecord = words::TDictn::kRecordSize;

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The build tree: named by the test environment, or else found from this
// executable's place in it (tests/engine/engine_tests).
std::filesystem::path binaryDir()
{
    if (const char* dir = std::getenv("LEXIFLIP_BINARY_DIR"))
        return dir;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const std::filesystem::path dir = self.parent_path().parent_path().parent_path();
    return std::filesystem::exists(dir / "CMakeCache.txt") ? dir : std::filesystem::path();
}

// Why the record at offset is malformed, or empty when it is whole.
std::string recordFault(std::string_view records, std::size_t offset)
{
    if (records[offset] != '\x1E')
        return "no 0x1E mark";
    std::size_t letters = 0;
    while (letters < 14 && records[offset + 1 + letters] >= 'A' && records[offset + 1 + letters] <= 'Z')
        ++letters;
    if (letters < 2)
        return "fewer than 2 letters";
    for (std::size_t i = letters; i < 14; ++i) {
        if (records[offset + 1 + i] != ' ')
            return "a byte other than A..Z or the padding space";
    }
    return {};
}

TEST(WordListTest, ShippedDictionaryIsWholeSortedRecords)
{
    const std::string_view records = assets::dictionaryRecords();
    ASSERT_EQ(records.size() % kRecord, 0u);
    const std::size_t count = records.size() / kRecord;
    EXPECT_GT(count, 165000u);
    EXPECT_LT(count, 180000u);

    std::size_t faults = 0;
    std::size_t disorder = 0;
    std::map<std::size_t, std::size_t> byLength;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t offset = i * kRecord;
        const std::string fault = recordFault(records, offset);
        if (!fault.empty()) {
            if (++faults <= 5)
                ADD_FAILURE() << "record " << i << ": " << fault;
            continue;
        }
        const std::string_view word = records.substr(offset + 1, 14);
        ++byLength[word.find(' ') == std::string_view::npos ? 14 : word.find(' ')];
        if (i > 0 && records.substr(offset - kRecord + 1, 14) > word && ++disorder <= 5)
            ADD_FAILURE() << "record " << i << " sorts before the one ahead of it";
    }
    EXPECT_EQ(faults, 0u);
    EXPECT_EQ(disorder, 0u);
    // Every length of the game has words, the long cut forms included.
    for (std::size_t length = 2; length <= 14; ++length)
        EXPECT_GT(byLength[length], 50u) << length << " letters";
}

TEST(WordListTest, EmbeddedDictionaryIsTheGeneratedFile)
{
    if (binaryDir().empty())
        GTEST_SKIP() << "build tree not found (set LEXIFLIP_BINARY_DIR)";
    const std::string generated = readFile(binaryDir() / "assets" / "TEXT_DEMO");
    EXPECT_EQ(generated.size(), assets::dictionaryRecords().size());
    EXPECT_TRUE(generated == assets::dictionaryRecords()) << "a stale copy is embedded";
}

TEST(WordListTest, ComputerListHasItsShapeAndPlaysOnlyDictionaryWords)
{
    const std::vector<std::string> words = loadComputerWords(assets::computerWords());
    ASSERT_FALSE(words.empty());

    std::map<std::size_t, std::size_t> byLength;
    for (const std::string& word : words) {
        ASSERT_FALSE(word.empty());
        for (char c : word)
            ASSERT_TRUE(c >= 'a' && c <= 'z') << '"' << word << '"';
        ++byLength[word.size()];
    }
    const std::map<std::size_t, std::size_t> expected{{1, 6},    {2, 56},   {3, 395}, {4, 1439},
                                                      {5, 1655}, {6, 2009}, {7, 2127}};
    EXPECT_EQ(byLength, expected);
    EXPECT_EQ(words.size(), 7687u);
    EXPECT_TRUE(std::is_sorted(words.begin(), words.end()));
    EXPECT_EQ(std::set<std::string>(words.begin(), words.end()).size(), words.size() - 10)
        << "ten doubled entries";

    // The computer never plays the last ten entries nor short ones; everything
    // else it may play must pass the host's own word check.
    for (std::size_t i = words.size() - 10; i < words.size(); ++i)
        EXPECT_GE(words[i].size(), 4u) << words[i];
    testing::RecordingNotices notices;
    words::TDictn spell(assets::dictionaryRecords(), notices,
                        std::filesystem::temp_directory_path() / "lexiflip-no-such-dir");
    std::vector<std::string> unknown;
    std::size_t playable = 0;
    for (std::size_t i = 0; i + 10 < words.size(); ++i) {
        if (words[i].size() < 4)
            continue;
        ++playable;
        if (!spell.checkWord(words[i]))
            unknown.push_back(words[i]);
    }
    EXPECT_EQ(playable, 7220u);
    EXPECT_LE(unknown.size(), 3u) << "first unknown: " << (unknown.empty() ? "" : unknown[0]);
}

TEST(WordListTest, ComputerWordsLoaderSplitsLinesInOrder)
{
    using Words = std::vector<std::string>;
    EXPECT_EQ(loadComputerWords(""), Words{});
    EXPECT_EQ(loadComputerWords("\n\n"), Words{});
    EXPECT_EQ(loadComputerWords("ab\nzoo\nable\n"), (Words{"ab", "zoo", "able"}));
    EXPECT_EQ(loadComputerWords("ab\n\nab\ncat"), (Words{"ab", "ab", "cat"}));
    EXPECT_EQ(loadComputerWords("ab\r\ncat\r\n"), (Words{"ab", "cat"}));
}

// The record generator, run as the build runs it.
class DictionaryToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (binaryDir().empty())
            GTEST_SKIP() << "build tree not found (set LEXIFLIP_BINARY_DIR)";
        m_tool = binaryDir() / "tools" / "make_dictionary";
        std::random_device seed;
        m_dir = std::filesystem::temp_directory_path() / ("lexiflip-mkdict-" + std::to_string(seed()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override
    {
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir);
    }

    // Runs the tool on text; gives its exit status, its messages and its output.
    int run(const std::string& text)
    {
        std::ofstream(m_dir / "words.txt", std::ios::binary) << text;
        const std::string command = "'" + m_tool.string() + "' '" + (m_dir / "words.txt").string() + "' '" +
                                    (m_dir / "TEXT_DEMO").string() + "' 2>'" + (m_dir / "errors").string() +
                                    "'";
        const int status = std::system(command.c_str());
        messages = readFile(m_dir / "errors");
        output = std::filesystem::exists(m_dir / "TEXT_DEMO") ? readFile(m_dir / "TEXT_DEMO") : std::string();
        std::filesystem::remove(m_dir / "TEXT_DEMO");
        return status;
    }

    std::string messages;
    std::string output;

private:
    std::filesystem::path m_tool;
    std::filesystem::path m_dir;
};

TEST_F(DictionaryToolTest, WritesSortedUpperCaseRecords)
{
    ASSERT_EQ(run("zoo\nCat\nab\nabc\ninterconnected\ncat\n"), 0) << messages;
    const std::string expected = std::string("\x1E") + "AB            " + "\x1E" + "ABC           " + "\x1E" +
                                 "CAT           " + "\x1E" + "CAT           " + "\x1E" + "INTERCONNECTED" +
                                 "\x1E" + "ZOO           ";
    EXPECT_EQ(output, expected);
    // The same list in another order gives the same bytes.
    ASSERT_EQ(run("cat\ninterconnected\nabc\nab\nCat\nzoo"), 0) << messages;
    EXPECT_EQ(output, expected);
}

TEST_F(DictionaryToolTest, RefusesWhatIsNotAWordOfTheList)
{
    const std::array<std::pair<const char*, const char*>, 7> bad{{
        {"cat\ndon't\n", ":2:"},
        {"cat\n\ndog\n", ":2: empty line"},
        {"caf\xC3\xA9\n", ":1:"},
        {"r2d2\n", ":1:"},
        {"cat \n", ":1:"},
        {"abcdefghijklmno\n", "15 letters"},
        {"a\n", "shorter than 2"},
    }};
    for (const auto& [text, message] : bad) {
        EXPECT_NE(run(text), 0) << text;
        EXPECT_NE(messages.find(message), std::string::npos) << text << " gave: " << messages;
        EXPECT_TRUE(output.empty()) << text;
    }
    EXPECT_NE(run(""), 0);
    EXPECT_NE(messages.find("no words"), std::string::npos) << messages;
}

} // namespace
} // namespace lexiflip::engine
