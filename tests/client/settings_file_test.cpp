#include "client/settings/ini_file.h"
#include "client/settings/lexiflip_settings.h"
#include "client/settings/window_bounds.h"

#include <gtest/gtest.h>

#include "support/child_process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace lexiflip::settings {
namespace {

namespace fs = std::filesystem;

// Read then write back with no change of preference in between.
std::string roundTrip(const std::string& bytes)
{
    IniFile file = IniFile::parse(bytes);
    Preferences prefs;
    readPreferences(file, prefs);
    writePreferences(file, prefs);
    return file.bytes();
}

// Our keys as a fresh save writes them, for a file that had none.
const std::string kDefaultSection = "[Lexiflip]\n"
                                    "Textsize=8\n"
                                    "Top=3\n"
                                    "Left=3\n"
                                    "Width=720\n"
                                    "Height=535\n"
                                    "Textcolor=clBlack\n"
                                    "Actioncolor=clBlack\n"
                                    "Playtoscore=250\n"
                                    "Timeperturn=60\n"
                                    "Viewable=0\n"
                                    "4Player=0\n"
                                    "Gamemode=1\n"
                                    "Botspeed=750\n"
                                    "Playsounds=true\n"
                                    "Clearword=false\n"
                                    "Seetheirs=true\n"
                                    "Turnsound=0\n"
                                    "ChatterSounds=true\n"
                                    "NotifyMyTurn=true\n";

TEST(IniFileTest, NamesMatchWithoutCaseAndTheFirstOfANameCounts)
{
    const IniFile file = IniFile::parse("[lobby]\nA=1\n[ LEXIFLIP ]\n textSIZE = 12 \n;Botspeed=250\n"
                                        "Textsize=14\n[Lexiflip]\nTurnsound=1\n");
    EXPECT_EQ(file.value("Lexiflip", "Textsize"), "12");
    EXPECT_EQ(file.value("Lexiflip", "Botspeed"), std::nullopt);  // commented out
    EXPECT_EQ(file.value("Lexiflip", "Turnsound"), std::nullopt); // in a later duplicate section
    EXPECT_EQ(file.value("Lexiflip", "A"), std::nullopt);         // another section's key
}

TEST(IniFileTest, SettingAValueTouchesOnlyItsLine)
{
    struct Case {
        const char* name;
        std::string before;
        const char* key;
        const char* value;
        std::string after;
    };
    const Case cases[] = {
        {"same value keeps odd spacing", "[Lexiflip]\nTextsize = 8 \n", "Textsize", "8",
         "[Lexiflip]\nTextsize = 8 \n"},
        {"new value keeps the key's spelling", "[lexiflip]\r\nTEXTSIZE=8\r\n", "Textsize", "10",
         "[lexiflip]\r\nTEXTSIZE=10\r\n"},
        {"new key goes after the last key, before the gap", "[Lexiflip]\nA=1\n\n; lobby\n[Lobby]\nB=2\n", "C",
         "3", "[Lexiflip]\nA=1\nC=3\n\n; lobby\n[Lobby]\nB=2\n"},
        {"new section at the end, line ending as the file's", "[Lobby]\r\nB=2", "C", "3",
         "[Lobby]\r\nB=2\r\n[Lexiflip]\r\nC=3\r\n"},
        {"line breaks in a value cannot split the line", "", "Phrase1", "gg\r\n[Evil]",
         "[Lexiflip]\nPhrase1=gg  [Evil]\n"},
        // The CR of a last line without LF stays out of its value, before and
        // after a line follows it.
        {"a last line's CR completed as CR LF", "[Lexiflip]\nTop=40\r", "Phrase4", "x",
         "[Lexiflip]\nTop=40\r\nPhrase4=x\n"},
        {"a lone CR ending never ends a new line", "[Lexiflip]\r", "Top", "40", "[Lexiflip]\r\nTop=40\n"},
        {"a last line's CR outlives its value's change", "[Lexiflip]\r\nTop=40\r", "Top", "7",
         "[Lexiflip]\r\nTop=7\r"},
    };
    for (const Case& c : cases) {
        IniFile file = IniFile::parse(c.before);
        file.setValue("Lexiflip", c.key, c.value);
        EXPECT_EQ(file.bytes(), c.after) << c.name;
    }
    // Nor is it part of the value before.
    EXPECT_EQ(IniFile::parse("[Lexiflip]\nTop=40\r").value("Lexiflip", "Top"), "40");
}

TEST(PreferencesTest, RoundTripKeepsEverythingElseByteForByte)
{
    const std::string before = "; shared by the lobby\r\n"
                               "[Lobby]\r\n"
                               "Textsize=99\r\n"
                               "Nick = Ann \r\n"
                               "\r\n"
                               "[LEXIFLIP]\r\n"
                               "textsize=10\r\n"
                               "Unknown=kept\r\n"
                               "BOTSPEED=500\r\n"
                               "Phrase1=gg all\r\n"
                               "\r\n"
                               "[zz]\r\n"
                               "q=1";
    const std::string after = "; shared by the lobby\r\n"
                              "[Lobby]\r\n"
                              "Textsize=99\r\n"
                              "Nick = Ann \r\n"
                              "\r\n"
                              "[LEXIFLIP]\r\n"
                              "textsize=10\r\n"
                              "Unknown=kept\r\n"
                              "BOTSPEED=750\r\n"
                              "Phrase1=gg all\r\n"
                              "Top=3\r\nLeft=3\r\nWidth=720\r\nHeight=535\r\n"
                              "Textcolor=clBlack\r\nActioncolor=clBlack\r\n"
                              "Playtoscore=250\r\nTimeperturn=60\r\nViewable=0\r\n4Player=0\r\n"
                              "Gamemode=1\r\nPlaysounds=true\r\nClearword=false\r\n"
                              "Seetheirs=true\r\nTurnsound=0\r\nChatterSounds=true\r\nNotifyMyTurn=true\r\n"
                              "\r\n"
                              "[zz]\r\n"
                              "q=1";
    EXPECT_EQ(roundTrip(before), after);
    EXPECT_EQ(roundTrip(after), after);
    EXPECT_EQ(roundTrip(""), kDefaultSection);
}

// Each stored value is read by its key's rule and written back normalised.
TEST(PreferencesTest, EachKeyIsReadByItsRuleAndWrittenBackNormalised)
{
    struct Case {
        const char* key;
        const char* stored; // nullptr: the key is missing
        const char* written; // nullptr: the key is not written
    };
    const Case cases[] = {
        {"Textsize", "11", "11"}, // no menu entry, still kept
        {"Textsize", "abc", "8"},
        {"Textsize", "", "8"},
        {"Left", "-1200", "-1200"},
        {"Height", "5x", "535"},
        {"Textcolor", "clred", "clRed"},
        {"Textcolor", "$00FF0000", "clBlue"},
        {"Textcolor", "255", "clRed"},
        {"Textcolor", "purple-ish", "clBlack"}, // unreadable is black, not red
        {"Actioncolor", "16711935", "clFuchsia"},
        {"Playtoscore", "500", "500"},
        {"Playtoscore", "lots", "250"},
        {"Viewable", "yes", "1"},
        {"Viewable", "0", "0"},
        {"Viewable", nullptr, "0"},
        {"4Player", "", "1"},
        {"Gamemode", "7", "1"},
        {"Gamemode", "3", "3"},
        {"Gamemode", " 2 ", "2"},
        {"Botspeed", "500", "750"},
        {"Botspeed", "1000", "1000"},
        {"Botspeed", "250", "250"},
        {"Playsounds", "FALSE", "true"},
        {"Playsounds", "false", "false"},
        {"Clearword", "True", "false"},
        {"Clearword", "true", "true"},
        {"Seetheirs", "false", "false"},
        {"Turnsound", "1", "1"},
        {"Turnsound", "2", "0"},
        {"ChatterSounds", "no", "true"},
        {"Zoom", "150", "150"},
        {"Zoom", "100", "100"}, // a stored key stays, even at 100
        {"Zoom", "big", "100"},
        {"NotifyMyTurn", nullptr, "true"},
        {"NotifyMyTurn", "false", "false"},
        {"NotifyMyTurn", "0", "true"},
        {"KlotStrength", "expert", "expert"},
        {"KlotStrength", "strong", "strong"},
        {"KlotStrength", "Expert", "classic"},
        {"KlotStrength", "classic", "classic"}, // a stored key stays, even at the default
        {"OpenRouterPort", nullptr, nullptr},   // on, and older files keep their bytes
        {"OpenRouterPort", "false", "false"},
        {"OpenRouterPort", "no", "true"},
    };
    for (const Case& c : cases) {
        IniFile file;
        if (c.stored)
            file.setValue("Lexiflip", c.key, c.stored);
        Preferences prefs;
        readPreferences(file, prefs);
        writePreferences(file, prefs);
        if (c.written)
            EXPECT_EQ(file.value("Lexiflip", c.key), c.written)
                << c.key << "=" << (c.stored ? c.stored : "(missing)");
        else
            EXPECT_FALSE(file.value("Lexiflip", c.key)) << c.key << " was written";
    }
}

TEST(PreferencesTest, MalformedGameOptionsKeepTheControlsAndEmptyPhrasesKeepTheButtons)
{
    const IniFile file =
        IniFile::parse("[Lexiflip]\nPlaytoscore=\nTimeperturn=1.5\nPhrase1=\nPhrase2=hi\nPhrase9= bye \n");
    Preferences prefs;
    prefs.playtoscore = 400;
    prefs.timeperturn = 90;
    prefs.phrases[0] = "on the button";
    readPreferences(file, prefs);
    EXPECT_EQ(prefs.playtoscore, 400);
    EXPECT_EQ(prefs.timeperturn, 90);
    EXPECT_EQ(prefs.phrases[0], "on the button");
    EXPECT_EQ(prefs.phrases[1], "hi");
    EXPECT_EQ(prefs.phrases[8], "bye");
    EXPECT_EQ(prefs.bounds, kResetBounds);
}

TEST(WindowBoundsTest, CloseRuleStoresOnlyMovedWindowsAndShrinksOversizedOnes)
{
    const WindowBounds stored{3, 3, 720, 535};
    const WindowSize workArea{1920, 1050};
    struct Case {
        const char* name;
        WindowBounds window;
        bool maximised;
        std::optional<WindowBounds> store;
    };
    const Case cases[] = {
        {"not moved", stored, false, std::nullopt},
        {"moved", {40, 3, 720, 535}, false, WindowBounds{40, 3, 720, 535}},
        {"resized", {3, 3, 800, 535}, false, WindowBounds{3, 3, 800, 535}},
        {"maximised", {0, 0, 1920, 1050}, true, WindowBounds{0, 0, 1905, 1035}},
        {"wider only", {-8, 0, 1936, 600}, false, WindowBounds{-8, 0, 1921, 600}},
        {"taller only", {0, -8, 700, 1066}, false, WindowBounds{0, -8, 700, 1051}},
        {"as wide as the work area is not wider", {0, 0, 1920, 1050}, false, WindowBounds{0, 0, 1920, 1050}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(boundsToStoreAtClose(c.window, stored, workArea, c.maximised), c.store) << c.name;
}

// Stored bounds open the window where they say when they meet a screen's
// available area at all; bounds that meet none open it at the reset bounds.
TEST(WindowBoundsTest, BoundsOffEveryScreenOpenAtTheResetBounds)
{
    // Two screens side by side, each less a panel at its top.
    const std::vector<ScreenArea> twoScreens{{0, 27, 1920, 1053}, {1920, 27, 1280, 997}};
    struct Case {
        const char* name;
        WindowBounds stored;
        bool kept;
    };
    const Case cases[] = {
        {"on the first screen", {40, 50, 760, 560}, true},
        {"on the second screen", {2000, 100, 720, 535}, true},
        {"across both screens", {1800, 100, 720, 535}, true},
        {"partly above the first screen", {100, -500, 720, 535}, true},
        {"one pixel on the second screen's corner", {3199, 1023, 720, 535}, true},
        {"no size, its corner on a screen", {100, 100, 0, -5}, true},
        {"touching the first screen's left edge from outside", {-720, 100, 720, 535}, false},
        {"just above the panel", {100, -508, 720, 535}, false},
        {"right of the second screen", {3200, 100, 720, 535}, false},
        {"below the second screen, beside the first", {2000, 1024, 720, 535}, false},
        {"far off", {-32767, 32767, 32767, 535}, false},
        {"far left, ending at the first screen's edge", {-32767, 100, 32767, 535}, false},
        {"int limits", {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, false},
        {"most negative corner", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, false},
        {"most negative size", {100, 100, INT_MIN, INT_MIN}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(boundsToOpenAt(c.stored, twoScreens), c.kept ? c.stored : kResetBounds) << c.name;

    // A screen of no size holds nothing; with no screen known at all nothing
    // can be judged, and the stored bounds stand.
    const WindowBounds offScreen{-32767, 32767, 32767, 535};
    const std::vector<ScreenArea> noSize{{0, 0, 0, 0}};
    EXPECT_EQ(boundsToOpenAt({10, 10, 720, 535}, noSize), kResetBounds);
    EXPECT_EQ(boundsToOpenAt(offScreen, {}), offScreen);
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("lexiflip-settings-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
        m_path = m_dir / kFileName;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }
    std::string contents() const
    {
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void store(const std::string& bytes) const { std::ofstream(m_path, std::ios::binary) << bytes; }

    fs::path m_dir;
    fs::path m_path;
};

TEST_F(SettingsFileTest, NothingIsWrittenBeforeTheFileWasReadInThisRun)
{
    const std::string lobbyOwned = "[Lexiflip]\nBotspeed=250\nSeetheirs=false\n";
    store(lobbyOwned);
    SettingsFile settings(m_path);
    settings.preferences().playsounds = false;
    EXPECT_FALSE(settings.save());
    EXPECT_FALSE(settings.saveBoundsAtClose({0, 0, 100, 100}, {1920, 1050}, false));
    EXPECT_EQ(contents(), lobbyOwned);

    settings.load();
    EXPECT_EQ(settings.preferences().botspeed, BotSpeed::Fast);
    EXPECT_TRUE(settings.save());
    EXPECT_NE(contents().find("Botspeed=250\nSeetheirs=false\nTextsize=8\n"), std::string::npos);
}

TEST_F(SettingsFileTest, CloseWritesOnlyWhenTheWindowMovedAndStoresMaximisedSmaller)
{
    store("[Lexiflip]\nLeft=10\nTop=20\nWidth=800\nHeight=600\n");
    SettingsFile settings(m_path);
    settings.load();
    fs::remove(m_path); // any write now shows as a new file
    EXPECT_FALSE(settings.saveBoundsAtClose({10, 20, 800, 600}, {1920, 1050}, false));
    EXPECT_FALSE(fs::exists(m_path));

    EXPECT_TRUE(settings.saveBoundsAtClose({0, 0, 1920, 1050}, {1920, 1050}, true));
    const IniFile written = IniFile::parse(contents());
    EXPECT_EQ(written.value(kSection, "Width"), "1905");
    EXPECT_EQ(written.value(kSection, "Height"), "1035");
    EXPECT_EQ(settings.preferences().bounds, (WindowBounds{0, 0, 1905, 1035}));
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadGivesDefaultsAndIsNeverOverwritten)
{
    Preferences defaults;
    readPreferences(IniFile(), defaults);

    // Missing: defaults, and a save creates the file.
    {
        SettingsFile settings(m_path);
        settings.load();
        EXPECT_EQ(settings.preferences(), defaults);
        EXPECT_TRUE(settings.save());
        EXPECT_EQ(contents(), kDefaultSection);
    }
    // Junk bytes: defaults, and the junk survives the save.
    {
        const std::string junk("\x7f\x45\x4c\x46\x00\x01[\xff]\n", 10);
        store(junk);
        SettingsFile settings(m_path);
        settings.load();
        EXPECT_EQ(settings.preferences(), defaults);
        EXPECT_TRUE(settings.save());
        EXPECT_EQ(contents(), junk + kDefaultSection);
    }
    // A directory where the file should be: defaults, and no write succeeds.
    {
        fs::remove(m_path);
        fs::create_directory(m_path);
        SettingsFile settings(m_path);
        settings.load();
        EXPECT_EQ(settings.preferences(), defaults);
        EXPECT_FALSE(settings.save());
        EXPECT_FALSE(settings.savePhrases({}));
        EXPECT_TRUE(fs::is_directory(m_path));
        fs::remove(m_path);
    }
}

// A file this user may not read, in a folder anyone may write: the rule, not
// the folder's rights, must keep the lobby's sections. The superuser reads
// anything, so the check runs as the user nobody then.
TEST_F(SettingsFileTest, AFileThatMayNotBeReadIsNeverOverwritten)
{
    const std::string lobbyOwned = "[Lobby]\nNick=Ann\n[Lexiflip]\nTextsize=14\n";
    store(lobbyOwned);
    fs::permissions(m_path, fs::perms::none);
    fs::permissions(m_dir, fs::perms::all);
    const testing::ChildReport report = testing::runInChild([&]() -> testing::ChildReport {
        if (const std::string problem = testing::dropSuperuser(); !problem.empty())
            return {{}, problem};
        if (::access(m_path.c_str(), R_OK) == 0)
            return {{}, "this user may read a file without read permission"};
        Preferences defaults;
        readPreferences(IniFile(), defaults);
        SettingsFile settings(m_path);
        settings.load();
        if (!(settings.preferences() == defaults))
            return {"an unreadable file did not give the defaults", {}};
        if (settings.save() || settings.savePhrases({"gg"}))
            return {"a save over an unreadable file reported success", {}};
        return {};
    });
    if (!report.skipped.empty())
        GTEST_SKIP() << report.skipped;
    EXPECT_EQ(report.failure, "");
    fs::permissions(m_path, fs::perms::owner_all);
    EXPECT_EQ(contents(), lobbyOwned);
}

// A full disk (a file-size limit in a child process): the save fails, the
// previous file stays whole and no temporary is left behind.
TEST_F(SettingsFileTest, AFullDiskKeepsThePreviousFile)
{
    const std::string lobbyOwned = "[Lobby]\nNick=Ann\n[Lexiflip]\nTextsize=14\n";
    store(lobbyOwned);
    const fs::path fresh = m_dir / "fresh.ini";
    const testing::ChildReport report = testing::runInChild([&]() -> testing::ChildReport {
        testing::limitFileSize(lobbyOwned.size() + 8);
        SettingsFile settings(m_path);
        settings.load();
        settings.preferences().textsize = 10;
        if (settings.save())
            return {"a save to a full disk reported success", {}};
        if (settings.savePhrases({"gg", "nice one"}))
            return {"the phrases' save to a full disk reported success", {}};
        SettingsFile first(fresh);
        first.load();
        if (first.save())
            return {"a first save to a full disk reported success", {}};
        return {};
    });
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(contents(), lobbyOwned);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), {}), 1); // no temporary, no half file
}

// What another user can put under the file's name: his link to the player's
// file is neither read nor written through (the superuser makes it, and the
// check runs as nobody, whose folder it is), a pipe does not hang the read; both
// give the defaults, are never written, and the reason names the file. The
// player's own link to his own file is followed.
TEST_F(SettingsFileTest, OnlyTheUsersOwnLinkIsFollowedAndAPipeIsRefused)
{
    const std::string secret = "[Lexiflip]\nTextsize=14\n";
    std::ofstream(m_dir / "secret", std::ios::binary) << secret;
    ASSERT_EQ(::mkfifo((m_dir / "pipe.ini").c_str(), 0600), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        fs::create_symlink(m_dir / "secret", m_path); // root's link: another user's
        ASSERT_EQ(::chown(m_dir.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown((m_dir / "secret").c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown((m_dir / "pipe.ini").c_str(), 65534, 65534), 0);
    }
    const testing::ChildReport report = testing::runInChild([&]() -> testing::ChildReport {
        ::alarm(10); // a read that waits on the pipe ends the child, not the test
        if (const std::string problem = testing::dropSuperuser(); !problem.empty())
            return {{}, problem};
        Preferences defaults;
        readPreferences(IniFile(), defaults);
        std::vector<fs::path> refused{m_dir / "pipe.ini"};
        if (root)
            refused.push_back(m_path);
        for (const fs::path& path : refused) {
            SettingsFile settings(path);
            settings.load();
            if (!(settings.preferences() == defaults))
                return {path.string() + " did not give the defaults", {}};
            if (settings.problem().find(path.string()) == std::string::npos)
                return {"the reason does not name the file: " + settings.problem(), {}};
            if (settings.save() || settings.savePhrases({"gg"}))
                return {path.string() + " was written", {}};
            // A close that has nothing to write does not repeat the old reason.
            if (settings.saveBoundsAtClose(settings.preferences().bounds, {1920, 1050}, false) ||
                !settings.problem().empty())
                return {"an unchanged close said: " + settings.problem(), {}};
        }
        std::error_code ec;
        fs::create_symlink(m_dir / "secret", m_dir / "mine.ini", ec);
        SettingsFile own(m_dir / "mine.ini");
        own.load();
        if (own.preferences().textsize != 14)
            return {"the player's own link was not read through: " + own.problem(), {}};
        own.preferences().textsize = 10;
        if (!own.save())
            return {"the player's own link was not written through: " + own.problem(), {}};
        return {};
    });
    if (!report.skipped.empty())
        GTEST_SKIP() << report.skipped;
    EXPECT_EQ(report.failure, "");
    std::ifstream in(m_dir / "secret", std::ios::binary);
    const std::string after{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(after.find("Textsize=10"), std::string::npos) << after; // only through the own link
    EXPECT_TRUE(fs::is_fifo(m_dir / "pipe.ini"));
}

TEST_F(SettingsFileTest, PhraseEditorWritesOnlyThePhrases)
{
    store("[Lobby]\nA=1\n");
    SettingsFile settings(m_path);
    std::array<std::string, 9> phrases{"gg", "", "nice one"};
    EXPECT_TRUE(settings.savePhrases(phrases));
    EXPECT_EQ(contents(), "[Lobby]\nA=1\n[Lexiflip]\nPhrase1=gg\nPhrase2=\nPhrase3=nice one\nPhrase4=\n"
                          "Phrase5=\nPhrase6=\nPhrase7=\nPhrase8=\nPhrase9=\n");
    EXPECT_EQ(settings.preferences().phrases[2], "nice one");
}

// The join dialog's name and hosts go after our section's other keys and
// touch nothing else; the recent list keeps ten, the latest first, no repeats.
TEST_F(SettingsFileTest, TheJoinHistoryKeepsTenRecentHostsAfterTheOtherKeys)
{
    store("[Lobby]\r\nA=1\r\n[Lexiflip]\r\nBotspeed=250\r\n");
    SettingsFile settings(m_path);
    JoinHistory history = settings.joinHistory();
    EXPECT_EQ(history, JoinHistory{});
    history.playerName = "Ann";
    for (int i = 1; i <= 12; ++i)
        history.joined("host" + std::to_string(i) + ":7772");
    history.joined("host5:7772");
    ASSERT_TRUE(settings.saveJoinHistory(history));
    const std::string text = contents();
    EXPECT_EQ(text.rfind("[Lobby]\r\nA=1\r\n[Lexiflip]\r\nBotspeed=250\r\nPlayerName=Ann\r\n"
                         "RecentHost1=host5:7772\r\nRecentHost2=host12:7772\r\n",
                         0),
              0u)
        << text;
    const JoinHistory read = SettingsFile(m_path).joinHistory();
    EXPECT_EQ(read, history);
    ASSERT_EQ(read.recentHosts.size(), 10u);
    EXPECT_EQ(read.recentHosts.back(), "host3:7772");
}

} // namespace
} // namespace lexiflip::settings
