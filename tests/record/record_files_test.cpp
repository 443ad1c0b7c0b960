#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "record/record_files.h"

namespace lexiflip::record {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
    TempFolder()
    {
        path = fs::temp_directory_path() / ("lexiflip-records-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
    }
    ~TempFolder() { fs::remove_all(path); }
    fs::path path;
};

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

GameRecord header(std::string began)
{
    GameRecord game;
    game.began = std::move(began);
    game.seats = {{1, "Ann Lee"}, {2, "Kl/ot..\xE9"}};
    return game;
}

TEST(RecordFiles, EachEventIsInTheFileAsSoonAsItCame)
{
    TempFolder folder;
    std::vector<std::string> problems;
    RecordFiles files(folder.path / "lexiflip" / "games",
                      [&](const std::string& p) { problems.push_back(p); });
    const GameRecord game = header("2026-12-09T14:05:00Z");
    files.begin(game);
    EXPECT_EQ(files.path().filename(), "2026-12-09_140500Z_AnnLee_Klot.lexiflip.txt");
    struct stat info {};
    ASSERT_EQ(::stat((folder.path / "lexiflip" / "games").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    files.add(TurnStart{1});
    files.add(Flip{1, 2, 'E'});
    // A program ended here leaves a record of the game so far.
    auto read = readRecord(contents(files.path()));
    ASSERT_TRUE(std::holds_alternative<GameRecord>(read));
    EXPECT_EQ(std::get<GameRecord>(read).events, (std::vector<Event>{TurnStart{1}, Flip{1, 2, 'E'}}));
    files.add(Winner{"Ann Lee"});
    files.end();
    files.add(Pass{1}); // after the end nothing more is written
    read = readRecord(contents(files.path()));
    ASSERT_TRUE(std::holds_alternative<GameRecord>(read));
    EXPECT_EQ(std::get<GameRecord>(read).events.size(), 3u);

    // A second game begun in the same second gets a file of its own.
    files.begin(game);
    EXPECT_EQ(files.path().filename(), "2026-12-09_140500Z_AnnLee_Klot-2.lexiflip.txt");
    files.end();
    EXPECT_TRUE(problems.empty());
}

TEST(RecordFiles, TheNewest500AreKeptAndOtherFilesLeftAlone)
{
    TempFolder folder;
    fs::create_directories(folder.path);
    std::ofstream(folder.path / "notes.txt") << "mine";
    for (int i = 0; i < 500; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "2025-01-01_%06dZ_A.lexiflip.txt", i);
        std::ofstream(folder.path / name) << "x";
    }
    std::vector<std::string> problems;
    RecordFiles files(folder.path, [&](const std::string& p) { problems.push_back(p); });
    files.begin(header("2026-12-09T14:05:00Z"));
    files.end();
    const std::vector<fs::path> kept = listRecords(folder.path);
    ASSERT_EQ(kept.size(), kRecordsKept);
    EXPECT_EQ(kept.front().filename(), "2026-12-09_140500Z_AnnLee_Klot.lexiflip.txt");
    EXPECT_EQ(kept.back().filename(), "2025-01-01_000001Z_A.lexiflip.txt");
    EXPECT_FALSE(fs::exists(folder.path / "2025-01-01_000000Z_A.lexiflip.txt"));
    EXPECT_TRUE(fs::exists(folder.path / "notes.txt"));
    EXPECT_TRUE(problems.empty());
}

TEST(RecordFiles, AFolderThatCannotHoldRecordsIsSaidAndTheGameGoesOn)
{
    TempFolder folder;
    fs::create_directories(folder.path);
    std::ofstream(folder.path / "games") << "a file, not a folder";
    std::vector<std::string> problems;
    RecordFiles files(folder.path / "games", [&](const std::string& p) { problems.push_back(p); });
    files.begin(header("2026-12-09T14:05:00Z"));
    files.add(TurnStart{1});
    files.end();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("not a folder"), std::string::npos) << problems[0];
}

} // namespace
} // namespace lexiflip::record
