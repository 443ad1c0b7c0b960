#include "fileio/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <random>
#include <set>
#include <string>

namespace lexiflip::fileio {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writePlain(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("lexiflip-fileio-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }

    std::set<std::string> names() const
    {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(m_dir))
            found.insert(entry.path().filename().string());
        return found;
    }

    fs::path m_dir;
};

TEST_F(AtomicFileTest, WritesANewFileOrReplacesTheOldOneAndLeavesNothingElse)
{
    const fs::path target = m_dir / "tally.tld";
    writeFileAtomically(target, "first");
    EXPECT_EQ(readFile(target), "first");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    AtomicFile file(target);
    file.write("sec");
    file.write(std::string("ond\0!", 5));
    EXPECT_EQ(readFile(target), "first"); // untouched until committed
    EXPECT_EQ(file.writingTo().parent_path(), m_dir);
    file.commit();
    EXPECT_EQ(readFile(target), std::string("second\0!", 8));
    EXPECT_EQ(names(), std::set<std::string>{"tally.tld"});
    // The replacement keeps the old file's permissions, not the temporary's.
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_THROW(file.commit(), FileError);
}

TEST_F(AtomicFileTest, ASymbolicLinkHasItsFileReplacedAndStaysALink)
{
    writePlain(m_dir / "real", "old");
    fs::create_symlink(m_dir / "real", m_dir / "link");
    writeFileAtomically(m_dir / "link", "new");
    EXPECT_TRUE(fs::is_symlink(m_dir / "link"));
    EXPECT_EQ(readFile(m_dir / "real"), "new");
    EXPECT_EQ(names(), (std::set<std::string>{"link", "real"}));
}

// Each way of failing keeps the previous file (when there is one), leaves no
// temporary, and says what went wrong and where.
struct Failure {
    const char* name;
    // Prepares the directory and returns the target; may skip.
    std::function<fs::path(const fs::path& dir)> prepare;
    // Runs the writer up to the failure.
    std::function<void(const fs::path& target)> write;
    const char* mentions;
};

void PrintTo(const Failure& failure, std::ostream* out)
{
    *out << failure.name;
}

void writeAndCommit(const fs::path& target)
{
    writeFileAtomically(target, "new content");
}

const Failure kFailures[] = {
    {"MissingDirectory", [](const fs::path& dir) { return dir / "no-such-dir" / "tally.tld"; },
     writeAndCommit, "no-such-dir"},
    {"ParentIsAFile",
     [](const fs::path& dir) {
         writePlain(dir / "plain", "x");
         return dir / "plain" / "tally.tld";
     },
     writeAndCommit, "plain"},
    {"TargetIsADirectory",
     [](const fs::path& dir) {
         fs::create_directory(dir / "tally.tld");
         return dir / "tally.tld";
     },
     writeAndCommit, "directory"},
    {"ReadOnlyDirectory",
     [](const fs::path& dir) {
         writePlain(dir / "tally.tld", "old content");
         fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
         return dir / "tally.tld";
     },
     writeAndCommit, "tally.tld"},
    {"AbandonedBeforeCommit",
     [](const fs::path& dir) {
         writePlain(dir / "tally.tld", "old content");
         return dir / "tally.tld";
     },
     [](const fs::path& target) {
         AtomicFile file(target);
         file.write("half of it");
         throw FileError("the caller gave up");
     },
     "gave up"},
    {"RenameRefused", [](const fs::path& dir) { return dir / "tally.tld"; },
     [](const fs::path& target) {
         AtomicFile file(target);
         file.write("new content");
         // Something takes the name meanwhile that no file may replace.
         fs::create_directory(target);
         writePlain(target / "keep", "old content");
         file.commit();
     },
     "cannot replace"},
};

class AtomicFileFailure : public AtomicFileTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(AtomicFileFailure, KeepsTheOldFileAndLeavesNoTemporary)
{
    const Failure& failure = GetParam();
    const fs::path target = failure.prepare(m_dir);
    if (std::string(failure.name) == "ReadOnlyDirectory" && ::access(m_dir.c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user may write into a read-only directory";
    const std::set<std::string> before = names();
    const bool hadFile = fs::is_regular_file(target);
    std::string message = "(nothing thrown)";
    try {
        failure.write(target);
    } catch (const FileError& error) {
        message = error.what();
    }
    EXPECT_NE(message.find(failure.mentions), std::string::npos) << message;
    // The player is told about his file, never about the hidden temporary.
    EXPECT_EQ(message.find(".tmp"), std::string::npos) << message;
    if (hadFile) {
        EXPECT_EQ(readFile(target), "old content");
    }
    std::set<std::string> after = names();
    after.erase("tally.tld"); // RenameRefused adds it on purpose
    std::set<std::string> expected = before;
    expected.erase("tally.tld");
    EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(Ways, AtomicFileFailure, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<Failure>& info) {
                             return std::string(info.param.name);
                         });

TEST(AtomicFile, ADirectoryNobodyMayWriteInFailsEvenForTheSuperuser)
{
    std::string message;
    try {
        writeFileAtomically("/sys/lexiflip-tally.tld", "x");
    } catch (const FileError& error) {
        message = error.what();
    }
    EXPECT_NE(message.find("cannot create a temporary file beside /sys/lexiflip-tally.tld: "),
              std::string::npos)
        << message;
    EXPECT_FALSE(fs::exists("/sys/lexiflip-tally.tld"));
}

} // namespace
} // namespace lexiflip::fileio
