// The host's state file: a game written at many moments and read into a fresh
// engine plays on exactly as the original; damaged files are refused whole;
// the file on disk and the writer; a session that resumes a kept game.
#include "host/state_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "engine/computer_words.h"
#include "host/state_writer.h"
#include "support/engine_rig.h"

namespace lexiflip::host {
namespace {

namespace fs = std::filesystem;
using engine::ComputerStrength;

const std::vector<std::string>& computerWords()
{
    static const std::vector<std::string> words = engine::loadComputerWords(assets::computerWords());
    return words;
}

// A computer-only game as the simulator plays it: slot 1 connected and just
// watching, Klot in seat 2, both clocks in virtual time.
struct ComputerGame {
    ComputerGame(std::uint64_t seed, ComputerStrength seatOne, ComputerStrength seatTwo)
        : rig(computerWords(), computerWords(), seed)
    {
        rig.game.setComputerStrength(1, seatOne);
        rig.game.setComputerStrength(2, seatTwo);
        rig.connect({1});
        rig.game.startgame("You+100+60+t+1+0+");
        rig.game.setWatching(1, true);
    }
    // Steps the clocks; the messages sent meanwhile, one a line.
    std::string play(int steps)
    {
        rig.sender.clear();
        for (int i = 0; i < steps && rig.game.state().gamerunning && rig.timeline.step(); ++i) {
        }
        std::string transcript;
        for (const auto& sent : rig.sender.sent)
            transcript += std::to_string(sent.slot) + " " + sent.message + "\n";
        return transcript;
    }
    HostSnapshot snapshot() const
    {
        HostSnapshot snapshot;
        snapshot.game = rig.game.snapshot();
        snapshot.addresses[1] = "192.0.2.7";
        return snapshot;
    }
    testing::EngineRig rig;
};

TEST(StateFile, AGameWrittenAtAnyMomentPlaysOnTheSameFromItsFile)
{
    struct Case {
        std::uint64_t seed;
        ComputerStrength one, two;
    };
    for (const Case& c : {Case{1, ComputerStrength::Classic, ComputerStrength::Classic},
                          Case{2, ComputerStrength::Strong, ComputerStrength::Expert}}) {
        // The moments spread over the whole game, its last steps among them.
        ComputerGame whole(c.seed, c.one, c.two);
        int steps = 0;
        while (whole.rig.game.state().gamerunning && whole.rig.timeline.step())
            ++steps;
        ASSERT_FALSE(whole.rig.game.state().gamerunning);
        for (const int moment :
             {0, 1, 2, 3, 5, 8, steps / 7, steps / 3, steps / 2, steps * 4 / 5, steps - 2}) {
            SCOPED_TRACE("seed " + std::to_string(c.seed) + ", step " + std::to_string(moment));
            ComputerGame original(c.seed, c.one, c.two);
            original.play(moment);
            const std::string text = stateFileText(original.snapshot());

            const StateRead read = readStateText(text);
            ASSERT_TRUE(read.snapshot) << read.problem;
            EXPECT_EQ(read.snapshot->addresses[1], "192.0.2.7");
            // Another seed, another strength: everything must come from the file.
            ComputerGame resumed(99, ComputerStrength::Classic, ComputerStrength::Classic);
            ASSERT_TRUE(resumed.rig.game.restore(read.snapshot->game));
            resumed.rig.game.resumeTurnClock();
            EXPECT_EQ(stateFileText(resumed.snapshot()), text);

            const std::string after = original.play(4000);
            EXPECT_FALSE(after.empty());
            EXPECT_EQ(resumed.play(4000), after);
        }
    }
}

TEST(StateFile, TextsFromPeersComeBackByteForByte)
{
    ComputerGame game(5, ComputerStrength::Classic, ComputerStrength::Classic);
    HostSnapshot snapshot = game.snapshot();
    const std::string awkward = std::string("Bo b\\x41\n\r+|\x01\x7f\xe9") + " ";
    snapshot.game.state.players[3].name = awkward;
    snapshot.game.state.players[4].name = "";
    snapshot.addresses[9] = "2001:db8::1";
    const std::string text = stateFileText(snapshot);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    const StateRead read = readStateText(text);
    ASSERT_TRUE(read.snapshot) << read.problem;
    EXPECT_EQ(read.snapshot->game.state.players[3].name, awkward);
    EXPECT_EQ(read.snapshot->addresses[9], "2001:db8::1");
}

// A text with one line changed: key is the line's start up to its first
// space (and its slot or row), replacement the whole new line ("" drops it).
std::string withLine(const std::string& text, const std::string& key, const std::string& replacement)
{
    std::istringstream in(text);
    std::string out, line;
    while (std::getline(in, line)) {
        if (line.rfind(key + " ", 0) == 0 || line == key) {
            if (!replacement.empty())
                out += replacement + "\n";
        } else {
            out += line + "\n";
        }
    }
    return out;
}

TEST(StateFile, ADamagedTextIsRefusedWhole)
{
    ComputerGame game(3, ComputerStrength::Classic, ComputerStrength::Expert);
    game.play(200);
    const std::string good = stateFileText(game.snapshot());
    ASSERT_TRUE(readStateText(good).snapshot);
    const std::string zeros = [] {
        std::string state;
        for (int i = 0; i < 312; ++i)
            state += "0 ";
        return state + "312";
    }();
    const std::string row1 = "row 1 1:0:0:0 1:0:0:0 1:0:0:0 1:0:0:0 1:0:0:0 1:0:0:0 1:0:0:0 1:0:0:0 1:0:0:0";

    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"empty", ""},
        {"another version", "lexiflip-state 2" + good.substr(good.find('\n'))},
        {"cut in a line", good.substr(0, good.size() / 2)},
        {"cut before its end line", good.substr(0, good.rfind("end\n"))},
        {"without its last newline", good.substr(0, good.size() - 1)},
        {"something after the end", good + "running 1\n"},
        {"a line missing", withLine(good, "botticks", "")},
        {"a seat missing", withLine(good, "tiles 13", "")},
        {"a line twice", withLine(good, "running", "running 1\nrunning 1")},
        {"an unknown fact", withLine(good, "running", "running 1\nweather fine")},
        {"a CR line end", withLine(good, "running", "running 1\r")},
        {"a slot past the table", withLine(good, "name 13", "name 14 Zed")},
        {"slot zero", withLine(good, "seat 1", "seat 0 1 0 1 5")},
        {"an address past the connections", withLine(good, "address 9", "address 10 ::1")},
        {"a row past the board", withLine(good, "row 8", "row 9" + row1.substr(5))},
        {"a row of nine cells", withLine(good, "row 1", row1)},
        {"a row of eleven cells", withLine(good, "row 1", row1 + " 1:0:0:0 1:0:0:0")},
        {"a letter past Z", withLine(good, "row 2", "row 2 27" + row1.substr(6) + " 1:0:0:0")},
        {"a flag of 2", withLine(good, "row 2", "row 2 1:2:0:0" + row1.substr(13) + " 1:0:0:0")},
        {"a player on turn past the seats", withLine(good, "currentplayer", "currentplayer 7")},
        {"a negative count", withLine(good, "slotsused", "slotsused -1")},
        {"a number with junk", withLine(good, "flipcount", "flipcount 3x")},
        {"too many flips", withLine(good, "flipcount", "flipcount 6")},
        {"a turn time no dialog offers", withLine(good, "turnseconds", "turnseconds 30")},
        {"a turn clock phase that does not exist", withLine(good, "turnclock", "turnclock 3 1")},
        {"too many ticks", withLine(good, "turnticks", "turnticks 1000000")},
        {"an unknown mode", withLine(good, "mode", "mode chess")},
        {"an unknown strength", withLine(good, "klot", "klot godlike")},
        {"a score of billions", withLine(good, "seat 2", "seat 2 0 0 1 2000000000")},
        {"a bar tile's place off the bar",
         withLine(good, "tiles 2",
                  "tiles 2 1:0:0,8" + std::string(" 1:0:0,2 1:0:0,3 1:0:0,4 1:0:0,5 1:0:0,6 "
                                                  "1:0:0,7 0:0:- 0:0:- 0:0:- 0:0:- 0:0:-"))},
        {"a tile place with a sign",
         withLine(good, "tiles 2",
                  "tiles 2 1:0:0,+1" + std::string(" 1:0:0,2 1:0:0,3 1:0:0,4 1:0:0,5 1:0:0,6 "
                                                   "1:0:0,7 0:0:- 0:0:- 0:0:- 0:0:- 0:0:-"))},
        {"a computer's word off the board", withLine(good, "botword", "botword +11,1+0,2")},
        {"a computer's word of junk", withLine(good, "botword", "botword hello")},
        {"a half escape", withLine(good, "name 3", "name 3 Bob\\x4")},
        {"a bare control byte", withLine(good, "name 3", "name 3 Bob\x01")},
        {"a name with the terminator", withLine(good, "name 3", "name 3 Bob\\xff")},
        {"a random state of zeros", withLine(good, "random", "random " + zeros)},
        {"a random state cut short", withLine(good, "foresight", "foresight 1 2 3")},
        {"four-player option with a field separator", withLine(good, "fourplayer", "fourplayer 1+2")},
    };
    for (const auto& [what, text] : damaged) {
        SCOPED_TRACE(what);
        ASSERT_NE(text, good);
        const StateRead read = readStateText(text);
        EXPECT_FALSE(read.snapshot);
        EXPECT_FALSE(read.problem.empty());
        EXPECT_EQ(read.problem.find('\n'), std::string::npos);
    }
}

class StateFolder : public ::testing::Test {
protected:
    StateFolder()
    {
        folder =
            fs::temp_directory_path() / ("lexiflip-state-test-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    ~StateFolder() override { fs::remove_all(folder); }
    static std::string contents(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    fs::path folder;
};

TEST_F(StateFolder, AFileThatCannotBeReadIsMovedAsideWithOneLine)
{
    const fs::path file = folder / "game.state";
    EXPECT_FALSE(readStateFile(file).snapshot);
    EXPECT_TRUE(readStateFile(file).problem.empty());

    ComputerGame game(4, ComputerStrength::Classic, ComputerStrength::Classic);
    std::ofstream(file, std::ios::binary) << stateFileText(game.snapshot());
    const StateFileRead whole = readStateFile(file);
    EXPECT_TRUE(whole.snapshot) << whole.problem;
    EXPECT_TRUE(fs::exists(file));

    std::ofstream(file, std::ios::binary) << "lexiflip-state 1\nrunning 1\n";
    const StateFileRead cut = readStateFile(file);
    EXPECT_FALSE(cut.snapshot);
    EXPECT_NE(cut.problem.find(file.string()), std::string::npos);
    EXPECT_EQ(cut.problem.find('\n'), std::string::npos);
    EXPECT_EQ(cut.keptAs, fs::path(file.string() + ".bad"));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(contents(cut.keptAs), "lexiflip-state 1\nrunning 1\n");

    // A pipe under the name is refused without waiting on it.
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    const StateFileRead pipe = readStateFile(file);
    EXPECT_FALSE(pipe.snapshot);
    EXPECT_EQ(pipe.keptAs, fs::path(file.string() + ".2.bad"));
}

TEST_F(StateFolder, TheWriterKeepsTheNewestStateAndRemovesAFinishedGame)
{
    const fs::path file = folder / "game.state";
    std::vector<std::string> problems;
    {
        StateWriter writer(file, [&](std::string_view problem) { problems.emplace_back(problem); });
        for (int i = 0; i < 50; ++i)
            writer.save("state " + std::to_string(i) + "\n");
        writer.flush();
        EXPECT_EQ(contents(file), "state 49\n");
        writer.remove();
        writer.flush();
        EXPECT_FALSE(fs::exists(file));
        writer.save("last\n");
    }
    EXPECT_EQ(contents(file), "last\n"); // what waited was written before it stopped
    EXPECT_TRUE(problems.empty());

    // A failure is told once, not at every action.
    StateWriter lost(folder / "missing-folder" / "game.state",
                     [&](std::string_view problem) { problems.emplace_back(problem); });
    for (int i = 0; i < 3; ++i) {
        lost.save("state\n");
        lost.flush();
    }
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("missing-folder"), std::string::npos);
}

} // namespace
} // namespace lexiflip::host
