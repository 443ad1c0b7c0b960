// TDictn: keys, the binary search and where the list comes from.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "support/dictionary_records.h"
#include "support/recording.h"
#include "words/tdictn.h"

namespace lexiflip::words {
namespace {

using testing::RecordingNotices;

// A working directory of its own for each test, so that no "English" file of
// the developer's or another test's is ever picked up.
class Directory {
public:
    Directory()
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() /
                 ("lexiflip-dictn-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~Directory() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& path() const { return m_path; }

    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(m_path / name, std::ios::binary);
        out << bytes;
    }

private:
    std::filesystem::path m_path;
};

const std::string& smallList()
{
    static const std::string records = testing::dictionaryRecords(
        {"ab", "cat", "cats", "dog", "zebra", "abcdefghijklmnopqrstuvwxyz", "overcommercialisation", "quiz"});
    return records;
}

class DictnTest : public ::testing::Test {
protected:
    Directory dir;
    RecordingNotices notices;
};

TEST_F(DictnTest, QuestionKeyIgnoresCaseAndSurroundingBlanks)
{
    TDictn spell(smallList(), notices, dir.path());
    ASSERT_TRUE(spell.isOpen());
    EXPECT_EQ(spell.lastIndex(), 7);
    for (const char* question : {"cat", "CAT", "CaT", " cat", "cat ", "   cat   "})
        EXPECT_TRUE(spell.checkWord(question)) << '"' << question << '"';
    // NULs count as blanks around the word, and as a space inside it.
    EXPECT_TRUE(spell.checkWord(std::string_view("\0cat\0", 5)));
    EXPECT_FALSE(spell.checkWord(std::string_view("ca\0t", 4)));
    EXPECT_FALSE(spell.checkWord("c at"));
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(DictnTest, OnlyWholeWordsMatch)
{
    TDictn spell(smallList(), notices, dir.path());
    EXPECT_TRUE(spell.checkWord("cats"));
    EXPECT_FALSE(spell.checkWord("ca"));    // a prefix of a record
    EXPECT_FALSE(spell.checkWord("catss")); // a record is a prefix of it
    EXPECT_FALSE(spell.checkWord("cow"));
    EXPECT_FALSE(spell.checkWord("aa")); // before the first record
    EXPECT_FALSE(spell.checkWord("zz")); // after the last record
    EXPECT_FALSE(spell.checkWord(""));
    EXPECT_FALSE(spell.checkWord("      "));
    EXPECT_FALSE(spell.checkWord(std::string_view("\0\0", 2)));
}

TEST_F(DictnTest, FirstAndLastRecordsAreFound)
{
    TDictn spell(smallList(), notices, dir.path());
    EXPECT_TRUE(spell.checkWord("ab"));    // record 0
    EXPECT_TRUE(spell.checkWord("zebra")); // last record
}

TEST_F(DictnTest, LongWordsMatchOnlyAsTheirCutForm)
{
    TDictn spell(smallList(), notices, dir.path());
    EXPECT_TRUE(spell.checkWord("abcdefghijklmn"));
    EXPECT_TRUE(spell.checkWord("OVERCOMMERCIAL"));
    // 15 letters or more never match, even when they begin like a record.
    EXPECT_FALSE(spell.checkWord("abcdefghijklmno"));
    EXPECT_FALSE(spell.checkWord("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_FALSE(spell.checkWord("overcommercialisation"));
}

TEST_F(DictnTest, FifteenLetterQuestionNeverMatchesEvenAFullRecord)
{
    // A hand-made record whose 14 characters are all letters: its key ends in
    // the space after them, which a 15-letter question never has.
    const std::string records = testing::dictionaryRecords({"aaaaaaaaaaaaaa"});
    TDictn spell(records, notices, dir.path());
    EXPECT_TRUE(spell.checkWord("aaaaaaaaaaaaaa"));
    EXPECT_FALSE(spell.checkWord("aaaaaaaaaaaaaaa"));
    EXPECT_FALSE(spell.checkWord("aaaaaaaaaaaaaa a"));
}

TEST_F(DictnTest, EveryRecordOfAListIsFoundAndNothingBetweenThem)
{
    // Lists of every size up to 40 records, so that the search's ends and
    // middles land on every position.
    std::vector<std::string> words;
    for (char first = 'b'; first <= 'z' && words.size() < 40; ++first)
        for (char second : {'b', 'm'})
            words.push_back(std::string{first, second});
    for (std::size_t size = 1; size <= words.size(); ++size) {
        const std::vector<std::string> some(words.begin(), words.begin() + static_cast<long>(size));
        const std::string records = testing::dictionaryRecords(some);
        TDictn spell(records, notices, dir.path());
        for (const std::string& word : some) {
            EXPECT_TRUE(spell.checkWord(word)) << word << " in a list of " << size;
            EXPECT_FALSE(spell.checkWord(word.substr(0, 1) + "a")) << size;
            EXPECT_FALSE(spell.checkWord(word.substr(0, 1) + "c")) << size;
            EXPECT_FALSE(spell.checkWord(word + "a")) << size;
        }
    }
}

TEST_F(DictnTest, RepeatedRecordsAreFound)
{
    const std::string records = testing::dictionaryRecords(
        {"interconnectedness", "interconnectedly", "interconnected", "intercom", "zoo"});
    TDictn spell(records, notices, dir.path());
    // Three records read INTERCONNECTED; the search must still land on one.
    EXPECT_TRUE(spell.checkWord("interconnected"));
    EXPECT_TRUE(spell.checkWord("intercom"));
    EXPECT_TRUE(spell.checkWord("zoo"));
    EXPECT_FALSE(spell.checkWord("interconnecte"));
    EXPECT_FALSE(spell.checkWord("interconnectedly"));
}

TEST_F(DictnTest, NoListAtAllGivesOneNoticeAndRejectsEverything)
{
    TDictn spell(std::string_view(), notices, dir.path());
    EXPECT_FALSE(spell.isOpen());
    for (const char* question : {"cat", "a", "", "zebra", "abcdefghijklmn"})
        EXPECT_FALSE(spell.checkWord(question));
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(notices.notices[0], "English.dic dictionary not found!");
}

TEST_F(DictnTest, EnglishFileInTheWorkingDirectoryWinsAndIsKept)
{
    dir.write("English", testing::dictionaryRecords({"gnu", "yak"}));
    {
        TDictn spell(smallList(), notices, dir.path());
        ASSERT_TRUE(spell.isOpen());
        EXPECT_TRUE(spell.checkWord("gnu"));
        EXPECT_TRUE(spell.checkWord("yak"));
        EXPECT_FALSE(spell.checkWord("cat")); // only in the embedded list
        EXPECT_EQ(spell.lastIndex(), 1);
    }
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "English"));
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "English"), 2 * TDictn::kRecordSize);
    EXPECT_TRUE(notices.notices.empty());
}

// The list is read once: its owner shortening the file while the host runs
// changes no answer (a mapping of it would end the host with SIGBUS).
TEST_F(DictnTest, EnglishIsReadOnceSoShorteningItLaterChangesNothing)
{
    std::vector<std::string> words;
    for (int i = 0; i < 3000; ++i) // 45 KB: many pages
        words.push_back("w" + std::to_string(100000 + i));
    dir.write("English", testing::dictionaryRecords(words));
    TDictn spell(smallList(), notices, dir.path());
    std::filesystem::resize_file(dir.path() / "English", 0);
    EXPECT_TRUE(spell.checkWord("w102999"));
    EXPECT_TRUE(spell.checkWord("w100000"));
    EXPECT_FALSE(spell.checkWord("cat"));
}

// An "English" that is not the user's own regular file is not used: the
// embedded list is, and one line on standard error says why.
TEST_F(DictnTest, AnEnglishThatIsNotTheUsersRegularFileGivesWayToTheEmbeddedList)
{
    struct Case {
        const char* what;
        std::function<bool(const std::filesystem::path&)> plant; // false: cannot here
        const char* why;
    };
    const std::string theirs = testing::dictionaryRecords({"gnu"});
    const Case cases[] = {
        {"another user's file",
         [&](const std::filesystem::path& path) {
             std::ofstream(path, std::ios::binary) << theirs;
             return ::geteuid() == 0 && ::chown(path.c_str(), 65534, 65534) == 0;
         },
         "belongs to another user"},
        {"a pipe", [](const std::filesystem::path& path) { return ::mkfifo(path.c_str(), 0600) == 0; },
         "not a regular file"},
        {"a folder",
         [](const std::filesystem::path& path) { return std::filesystem::create_directory(path); }, "folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Directory own;
        if (!c.plant(own.path() / "English"))
            continue; // another user's file needs the superuser
        ::testing::internal::CaptureStderr();
        TDictn spell(smallList(), notices, own.path());
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(spell.checkWord("cat"));
        EXPECT_FALSE(spell.checkWord("gnu"));
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find(c.why), std::string::npos) << said;
        EXPECT_NE(said.find((own.path() / "English").string()), std::string::npos) << said;
    }
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(DictnTest, EnglishFileNameMatchesWithoutRegardToCase)
{
    dir.write("ENGLISH", testing::dictionaryRecords({"gnu"}));
    TDictn spell(smallList(), notices, dir.path());
    EXPECT_TRUE(spell.checkWord("gnu"));
    EXPECT_FALSE(spell.checkWord("cat"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "ENGLISH"));
}

TEST_F(DictnTest, EmptyEnglishFileIsAnEmptyList)
{
    // The file exists and opens; it merely holds no records. Every word is
    // rejected, and nothing says the dictionary is missing.
    dir.write("English", "");
    TDictn spell(smallList(), notices, dir.path());
    EXPECT_FALSE(spell.checkWord("cat"));
    EXPECT_EQ(spell.lastIndex(), -1);
    EXPECT_TRUE(notices.notices.empty());
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "English"));
}

TEST_F(DictnTest, TrailingPartialRecordIsIgnored)
{
    std::string records = testing::dictionaryRecords({"cat", "dog"});
    records += "\x1E"
               "ZZZ";
    TDictn spell(records, notices, dir.path());
    EXPECT_EQ(spell.lastIndex(), 1);
    EXPECT_TRUE(spell.checkWord("dog"));
    EXPECT_FALSE(spell.checkWord("zzz"));
}

TEST_F(DictnTest, ShippedListAnswersAsTheWordListSays)
{
    TDictn spell(assets::dictionaryRecords(), notices, dir.path());
    ASSERT_TRUE(spell.isOpen());
    EXPECT_EQ(spell.lastIndex(), 172845);
    for (const char* word : {"cat", "dog", "quiz", "aah", "zzz", "zymurgy", "extraordinary", "jukebox"})
        EXPECT_TRUE(spell.checkWord(word)) << word;
    for (const char* word : {"qzx", "catz", "a", "i", "xyzzyq", "london"})
        EXPECT_FALSE(spell.checkWord(word)) << word;
    EXPECT_TRUE(notices.notices.empty());
}

} // namespace
} // namespace lexiflip::words
