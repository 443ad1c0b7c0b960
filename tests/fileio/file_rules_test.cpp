// Which folders and files the program trusts: what another user of the machine
// can put under our files' names (a link, a pipe) or make of our folder must
// not redirect a write, leak a read or hang the start. Another user's files can
// only be made by the superuser, so those cases run as root and check in a
// child that has become the user nobody, for whom root is the other user.
#include "fileio/atomic_file.h"
#include "fileio/file_rules.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "support/child_process.h"

namespace lexiflip::fileio {
namespace {

namespace fs = std::filesystem;
using lexiflip::testing::ChildReport;

constexpr uid_t kNobody = 65534;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writePlain(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class FileRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("lexiflip-rules-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    fs::path m_dir;
};

TEST_F(FileRules, AFolderIsTrustedOnlyWhenItIsTheUsersAndClosedToOthersWrites)
{
    struct Case {
        const char* name;
        mode_t mode; // 0: not a folder of its own (see make)
        bool ownFiles;
        bool isPrivate;
    };
    const Case cases[] = {
        {"private", 0700, true, true},      {"readable", 0755, true, false},
        {"group-writable", 0770, false, false}, {"world-writable", 0777, false, false},
        {"sticky-shared", 01777, false, false},
    };
    for (const Case& c : cases) {
        const fs::path folder = m_dir / c.name;
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.mode), 0);
        EXPECT_EQ(folderProblem(folder, FolderUse::OwnFiles).empty(), c.ownFiles) << c.name;
        EXPECT_EQ(folderProblem(folder, FolderUse::Private).empty(), c.isPrivate) << c.name;
    }
    // A link to a good folder, a file and nothing at all are no folders of ours.
    fs::create_directory_symlink(m_dir / "private", m_dir / "link");
    writePlain(m_dir / "file", "x");
    for (const char* name : {"link", "file", "missing"})
        EXPECT_NE(folderProblem(m_dir / name, FolderUse::OwnFiles), "") << name;
    // A missing folder is made private; an existing one keeps its mode.
    EXPECT_EQ(makeFolder(m_dir / "made", FolderUse::Private), "");
    EXPECT_EQ(fs::status(m_dir / "made").permissions(), fs::perms::owner_all);
    EXPECT_NE(makeFolder(m_dir / "world-writable", FolderUse::Private), "");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((m_dir / "readable").c_str(), kNobody, kNobody), 0);
        EXPECT_EQ(folderProblem(m_dir / "readable", FolderUse::OwnFiles), "it belongs to another user");
    }
}

TEST_F(FileRules, APipeOrAFolderUnderTheNameIsRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    fs::create_directory(m_dir / "folder");
    // In a child with an alarm: a reader that waited for the pipe's writer
    // would be killed, not hang the test.
    const ChildReport report = lexiflip::testing::runInChild([&]() -> ChildReport {
        ::alarm(10);
        for (const char* name : {"pipe", "folder"}) {
            const FileRead read = readRegularFile(m_dir / name);
            if (read.kind != FileRead::Kind::Refused)
                return {std::string(name) + " was not refused", {}};
            try {
                writeFileAtomically(m_dir / name, "new");
                return {std::string(name) + " was written", {}};
            } catch (const FileError& error) {
                if (std::string(error.what()).find((m_dir / name).string()) == std::string::npos)
                    return {std::string("the message does not name the file: ") + error.what(), {}};
            }
        }
        return {};
    });
    EXPECT_EQ(report.failure, "");
    EXPECT_TRUE(fs::is_fifo(m_dir / "pipe"));
    EXPECT_TRUE(fs::is_directory(m_dir / "folder"));
    // The word list's reader asks for the user's own file as well.
    writePlain(m_dir / "list", "records");
    EXPECT_EQ(readRegularFile(m_dir / "list", Owner::User).bytes, "records");
    EXPECT_EQ(readRegularFile(m_dir / "none").kind, FileRead::Kind::Missing);
}

// The folder is the player's (nobody's); root plays the other user. His link
// to the player's secret is neither read nor written through; the player's
// own link to his own file is, and his link to root's file is not.
TEST_F(FileRules, OnlyALinkOfTheUsersOwnToHisOwnFileIsFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "another user's link can only be made by the superuser";
    ASSERT_EQ(::chown(m_dir.c_str(), kNobody, kNobody), 0);
    writePlain(m_dir / "secret", "the player's secret");
    ASSERT_EQ(::chown((m_dir / "secret").c_str(), kNobody, kNobody), 0);
    writePlain(m_dir / "roots", "root's file");
    fs::create_symlink(m_dir / "secret", m_dir / "halvolobby.ini");
    fs::create_symlink(m_dir / "secret", m_dir / "Lexifliptally.tld");

    const ChildReport report = lexiflip::testing::runInChild([&]() -> ChildReport {
        if (const std::string problem = lexiflip::testing::dropSuperuser(); !problem.empty())
            return {{}, problem};
        std::error_code ec;
        fs::create_symlink(m_dir / "roots", m_dir / "towards-root.ini", ec);
        fs::create_symlink(m_dir / "secret", m_dir / "mine.ini", ec);
        if (ec)
            return {{}, "cannot make the player's links: " + ec.message()};
        for (const char* name : {"halvolobby.ini", "Lexifliptally.tld", "towards-root.ini"}) {
            if (readRegularFile(m_dir / name).kind != FileRead::Kind::Refused)
                return {std::string(name) + " was read through", {}};
            try {
                writeFileAtomically(m_dir / name, "redirected");
                return {std::string(name) + " was written through", {}};
            } catch (const FileError&) {
            }
        }
        const FileRead own = readRegularFile(m_dir / "mine.ini");
        if (own.bytes != "the player's secret")
            return {"the player's own link was not followed: " + own.problem, {}};
        writeFileAtomically(m_dir / "mine.ini", "rewritten");
        if (!fs::is_symlink(m_dir / "mine.ini"))
            return {"the player's own link was replaced by a file", {}};
        return {};
    });
    if (!report.skipped.empty())
        GTEST_SKIP() << report.skipped;
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(readFile(m_dir / "secret"), "rewritten"); // through the own link only
    EXPECT_EQ(readFile(m_dir / "roots"), "root's file");
    EXPECT_TRUE(fs::is_symlink(m_dir / "halvolobby.ini"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "Lexifliptally.tld"));
}

} // namespace
} // namespace lexiflip::fileio
