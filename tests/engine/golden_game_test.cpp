#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "assets/embedded.h"
#include "engine/computer_match.h"
#include "engine/computer_words.h"
#include "support/engine_rig.h"
#include "words/tdictn.h"

// A whole game at a fixed seed, every message the engine sent, compared with a
// checked-in transcript. After an intended change to the game, re-record with
//   LEXIFLIP_RECORD_GOLDEN=1 ctest -R GoldenGame
// and read the diff of tests/engine/golden/ before committing it.

using namespace lexiflip;

namespace {

std::string transcriptOf(const lexiflip::testing::RecordingSender& sender)
{
    std::ostringstream text;
    for (const auto& sent : sender.sent) {
        std::string message = sent.message;
        if (!message.empty() && message.back() == '\xFF')
            message.pop_back();
        text << sent.slot << ' ' << message << '\n';
    }
    return text.str();
}

std::string goldenPath(const std::string& name)
{
    const char* source = std::getenv("LEXIFLIP_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/engine/golden/" + name;
}

void compareWithGolden(const std::string& name, const std::string& transcript)
{
    const std::string path = goldenPath(name);
    if (const char* record = std::getenv("LEXIFLIP_RECORD_GOLDEN"); record && std::string(record) == "1") {
        std::ofstream(path, std::ios::binary) << transcript;
        GTEST_SKIP() << "re-recorded " << path;
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << "missing " << path << " (record it with LEXIFLIP_RECORD_GOLDEN=1)";
    std::ostringstream golden;
    golden << file.rdbuf();
    // Compare line by line so that a failure names the first message that differs.
    std::istringstream expected(golden.str()), actual(transcript);
    std::string want, got;
    for (int line = 1;; ++line) {
        const bool moreWanted = static_cast<bool>(std::getline(expected, want));
        const bool moreGot = static_cast<bool>(std::getline(actual, got));
        if (!moreWanted && !moreGot)
            break;
        ASSERT_EQ(moreWanted, moreGot) << "transcripts differ in length at line " << line;
        ASSERT_EQ(want, got) << "first difference at line " << line;
    }
}

} // namespace

TEST(GoldenGame, KlotAgainstAWatchingSeatOneAtSeedOne)
{
    lexiflip::testing::RecordingNotices notices;
    const words::TDictn dictionary(assets::dictionaryRecords(), notices);
    const auto words = engine::loadComputerWords(assets::computerWords());
    lexiflip::testing::RecordingSender sender;
    const auto result = engine::playComputerMatch(dictionary, words, 1, sender);

    ASSERT_FALSE(result.winner.empty()) << "the game did not end";
    EXPECT_EQ(sender.withCommand("CMD_winner").size(), 1u);
    EXPECT_EQ(sender.sent.back().message.rfind("CMD_winner+", 0), 0u);
    EXPECT_TRUE(notices.notices.empty());
    compareWithGolden("klot_vs_watcher_seed1.txt", transcriptOf(sender));
}

TEST(GoldenGame, HelperModeWithViewableTilesAtSeedSeven)
{
    lexiflip::testing::RecordingNotices notices;
    const words::TDictn dictionary(assets::dictionaryRecords(), notices);
    const auto words = engine::loadComputerWords(assets::computerWords());
    lexiflip::testing::RecordingSender sender;
    const auto result = engine::playComputerMatch(dictionary, words, 7, sender, "You+60+45+t+2+0+", 250);
    ASSERT_FALSE(result.winner.empty());
    EXPECT_GE(sender.withCommand("CMD_sneaker").size(), 1u);
    compareWithGolden("helper_mode_seed7.txt", transcriptOf(sender));
}

// Seat 1's first turn: a late hand-over passes it on unplayed (as the golden
// games were played), a fair match has seat 1's computer play it.
TEST(ComputerMatch, AFairMatchGivesSeatOneItsFirstTurn)
{
    lexiflip::testing::RecordingNotices notices;
    const words::TDictn dictionary(assets::dictionaryRecords(), notices);
    const auto words = engine::loadComputerWords(assets::computerWords());
    for (const auto& [handOver, flips] : {std::pair{engine::SeatOneHandOver::Late, 0},
                                          std::pair{engine::SeatOneHandOver::FromFirstTurn, 5}}) {
        lexiflip::testing::RecordingSender sender;
        const auto result =
            engine::playComputerMatch(dictionary, words, 3, sender, "You+100+60+t+1+0+", 750, {}, handOver);
        ASSERT_FALSE(result.winner.empty());
        int seatOneFlips = 0;
        int turnsBegun = 0;
        for (const auto& sent : sender.sent) {
            if (sent.slot != 1)
                continue;
            if (sent.message.rfind("CMD_nextplayer+", 0) == 0 && ++turnsBegun == 2)
                break;
            if (sent.message.rfind("CMD_heflip+1+", 0) == 0)
                ++seatOneFlips;
        }
        EXPECT_EQ(turnsBegun, 2);
        EXPECT_EQ(seatOneFlips, flips) << (flips ? "fair" : "late");
    }
}
