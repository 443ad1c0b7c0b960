// The tally file: the text in a Fast container, damaged files reported and
// kept aside, saves that replace the file whole or not at all.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "compress/compress_test_support.h"
#include "compress/tlzrw1.h"
#include "fileio/atomic_file.h"
#include "support/child_process.h"
#include "windows/tally/tally_file.h"
#include "windows/tally/tally_model.h"

namespace lexiflip::windows {
namespace {

using compress::testing::readFile;
using compress::testing::writeFile;
namespace fs = std::filesystem;

std::vector<TallyRow> klotTally()
{
    TallyRow own = {"0", "4", "2", "17", "quiz", "21", "0", "0", "0"};
    TallyRow klot = {"Klot", "3", "1", "2", "0", "3", "1", "2", "0"};
    return {own, klot};
}

class TallyFile : public compress::testing::TempDirTest {
protected:
    fs::path tally() const { return m_dir / std::string(kTallyFileName); }
};

TEST_F(TallyFile, noFileIsAnEmptyTallyAndASavedOneReadsBack)
{
    const TallyFileRead none = readTallyFile(tally());
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(none.problem, "");

    writeTallyFile(tally(), klotTally());
    EXPECT_TRUE(readFile(tally()).starts_with("WRZL"));
    const TallyFileRead read = readTallyFile(tally());
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.rows, klotTally());
    EXPECT_EQ(entries(), 1u); // no scratch text, no temporary
}

// The application's tally: saved only to the file it was read from, and its
// window is told after each change, the lists only when they may have changed.
TEST_F(TallyFile, theModelSavesWhereItReadAndSaysWhatChanged)
{
    TallyModel model;
    EXPECT_EQ(model.save(), "No tally file was loaded");
    EXPECT_EQ(entries(), 0u);

    std::vector<bool> changes;
    model.setChanged([&changes](bool listsChanged) { changes.push_back(listsChanged); });
    model.setPlayerList([] { return PlayerList{1, {"You", "Klot"}}; });
    writeTallyFile(tally(), klotTally());
    EXPECT_EQ(model.load(tally()).problem, "");
    model.select(0);
    model.addgame("Klot");
    model.addtomineincrease(3);
    model.addtomineset(4, 30, "jazz");
    EXPECT_EQ(changes, (std::vector<bool>{true, false, true, true, true}));
    EXPECT_EQ(model.tally().cell(1, 1), "4") << "the game counted against the followed Klot";

    EXPECT_EQ(model.save(), "");
    EXPECT_EQ(readTallyFile(tally()).rows, model.tally().rows());
}

TEST_F(TallyFile, theToolShowsTheSavedText)
{
    writeTallyFile(tally(), klotTally());
    const std::string out = path("tally.txt");
    const std::string command =
        std::string("'") + LEXIFLIP_LZRW1_TOOL + "' decompress '" + tally().string() + "' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readFile(out), "9\r\n2\r\n0\r\nKlot\r\n4\r\n3\r\n2\r\n1\r\n17\r\n2\r\nquiz\r\n0\r\n21\r\n3\r\n"
                             "0\r\n1\r\n0\r\n2\r\n0\r\n0\r\n");
}

TEST_F(TallyFile, aDamagedFileIsReportedAndKeptAside)
{
    const std::string good = tallyFileBytes(klotTally());
    struct Case {
        const char* what;
        std::string bytes;
        std::string problem;
        std::size_t rows;
    };
    const std::string text = tallyText(klotTally());
    const std::vector<Case> cases = {
        {"truncated", good.substr(0, good.size() - 5), "Lzrw1 : Error reading from input stream !", 0},
        {"junk after the header", good.substr(0, 8) + std::string(40, '\xA5'),
         "Lzrw1 (decompression LZRW1/KH) : corrupt block in input stream !", 0},
        {"a wrong identifier", "WRZM" + good.substr(4),
         "Lzrw1 decompression : input stream contains no valid header !", 0},
        {"a text cut short inside",
         [&] {
             compress::Tlzrw1 doit;
             doit.setCompressMode(compress::TCompressMode::Fast);
             return doit.compressBytes(text.substr(0, 20));
         }(),
         "The tally text ends after 4 of its 18 cells", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(tally(), c.bytes);
        const TallyFileRead read = readTallyFile(tally());
        EXPECT_EQ(read.problem, c.problem);
        EXPECT_EQ(read.rows.size(), c.rows);
        EXPECT_FALSE(fs::exists(tally()));
        ASSERT_FALSE(read.keptAs.empty());
        EXPECT_EQ(readFile(read.keptAs), c.bytes);
        EXPECT_EQ(read.keptAs.filename().string().ends_with(".bad"), true);
    }
    // Each damaged file got its own name.
    EXPECT_TRUE(fs::exists(tally().string() + ".bad"));
    EXPECT_TRUE(fs::exists(tally().string() + ".4.bad"));
}

// What another user can put under the tally's name is refused like a damaged
// file: a pipe is not waited on, his link to the player's file is neither read
// nor written through (root makes it; the player, nobody, checks). Each is
// moved aside, so the save at exit writes a fresh tally of the player's own.
TEST_F(TallyFile, aPipeOrAnotherUsersLinkIsRefusedAndMovedAside)
{
    const fs::path secret = m_dir / "secret";
    writeFile(secret.string(), "the player's own file");
    ASSERT_EQ(::mkfifo(path("pipe.tld").c_str(), 0600), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        fs::create_symlink(secret, tally());
        for (const fs::path& owned : {m_dir, secret, m_dir / "pipe.tld"})
            ASSERT_EQ(::chown(owned.c_str(), 65534, 65534), 0);
    }
    const lexiflip::testing::ChildReport report = lexiflip::testing::runInChild([&] {
        ::alarm(10); // a reader waiting on the pipe ends the child, not the test
        if (const std::string problem = lexiflip::testing::dropSuperuser(); !problem.empty())
            return lexiflip::testing::ChildReport{{}, problem};
        std::vector<fs::path> refused{m_dir / "pipe.tld"};
        if (root)
            refused.push_back(tally());
        for (const fs::path& file : refused) {
            const TallyFileRead read = readTallyFile(file);
            if (read.problem.find(file.string()) == std::string::npos || read.keptAs.empty())
                return lexiflip::testing::ChildReport{file.string() + " was not refused: " + read.problem, {}};
            writeTallyFile(file, klotTally());
            if (!fs::is_regular_file(fs::symlink_status(file)))
                return lexiflip::testing::ChildReport{file.string() + " was not written fresh", {}};
        }
        return lexiflip::testing::ChildReport{};
    });
    if (!report.skipped.empty())
        GTEST_SKIP() << report.skipped;
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(readFile(secret.string()), "the player's own file");
    EXPECT_TRUE(fs::is_fifo(path("pipe.tld.bad")));
}

TEST_F(TallyFile, aSaveInterruptedBeforeTheRenameLeavesTheOldTally)
{
    writeTallyFile(tally(), klotTally());
    // A child writes a new tally and dies before renaming it, as a crash would.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        fileio::AtomicFile file(tally());
        file.write(tallyFileBytes({}));
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(entries(), 2u); // the old tally and the dead save's temporary

    const TallyFileRead read = readTallyFile(tally());
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.rows, klotTally());
}

TEST_F(TallyFile, aFullDiskKeepsTheOldTallyAndSaysWhy)
{
    writeTallyFile(tally(), klotTally());
    const std::size_t saved = readFile(tally()).size();
    // A child whose files may not grow past the saved tally, as on a full disk,
    // saves a longer one.
    const lexiflip::testing::ChildReport report = lexiflip::testing::runInChild([&] {
        lexiflip::testing::limitFileSize(saved);
        std::vector<TallyRow> longer = klotTally();
        for (int i = 0; i < 20; ++i)
            longer.push_back({"Opponent " + std::to_string(i), "1", "0", "1", "0", "1", "0", "1", "0"});
        try {
            writeTallyFile(tally(), longer);
        } catch (const fileio::FileError& error) {
            const std::string message = error.what();
            if (message.find("File too large") == std::string::npos ||
                message.find(std::string(kTallyFileName)) == std::string::npos)
                return lexiflip::testing::ChildReport{"an unclear message: " + message, {}};
            return lexiflip::testing::ChildReport{};
        }
        return lexiflip::testing::ChildReport{"a save to a full disk reported success", {}};
    });
    EXPECT_EQ(report.failure, "");
    const TallyFileRead read = readTallyFile(tally());
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.rows, klotTally());
    EXPECT_EQ(entries(), 1u); // no temporary left
}

} // namespace
} // namespace lexiflip::windows
