// lexiflip-driven: the game window played through its named controls, as a
// person plays it, against scripted clients and against another window.

#include <QFile>

#include <gtest/gtest.h>

#include <string>

#include "e2e/driven_window.h"

namespace lexiflip::testing {
namespace {

bool loggedInHost(const DrivenState& s)
{
    return s.flag("loggedin") && s.number("slot") == 1 && s.flag("start");
}

// The driver itself: it refuses what a player could not do, and its clicks
// reach the game as a player's would.
TEST(DrivenWindow, RefusesMalformedCommandsAndPlaysASoloTurnThroughTheControls)
{
    Home home;
    DrivenWindow window({}, freePort(), home.path());
    ASSERT_TRUE(window.waitFor(loggedInHost)) << window.errors();

    for (const char* bad :
         {"", "bogus", "state now", "board 0 1", "board 11 1", "board 1", "board 1 1 middle", "bar 8",
          "bar x", "word 0", "click", "click nosuch", "menu nosuch", "options score 100", "closebox", "chat"})
        EXPECT_EQ(window.send(bad).rfind("err ", 0), 0u) << bad;
    ASSERT_TRUE(window.running()) << "a bad command must not end the program";

    ASSERT_TRUE(window.command("click button_start"));
    ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("options"); }));
    // The arrows step by 5 within 100..500: 103 and 95 cannot be shown.
    EXPECT_TRUE(window.command("options score 100"));
    EXPECT_FALSE(window.command("options score 103"));
    EXPECT_FALSE(window.command("options score 95"));
    EXPECT_TRUE(window.command("options time 45"));
    EXPECT_TRUE(window.command("options mode 1"));
    EXPECT_TRUE(window.command("options viewable 1"));
    ASSERT_TRUE(window.command("options start"));
    ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return !s.flag("options") && s.flag("running"); }));
    EXPECT_TRUE(window.waitFor([](const DrivenState& s) { return s.number("turn") == 1; }, 20000));
    EXPECT_EQ(window.last().list("names").at(1), "Klot") << "seat 2 shows the computer player";

    // Five flips, then a sixth that the window ignores.
    for (int x = 1; x <= 6; ++x)
        ASSERT_TRUE(window.command("board " + std::to_string(x) + " 2"));
    ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("canbuild"); }));
    const DrivenState built = window.last();
    EXPECT_EQ(built.number("flips"), 5);
    EXPECT_EQ(built.list("board").size(), 5u);
    EXPECT_TRUE(built.flag("buttons"));

    // A bar tile and a face-up board tile go into the word; the bar shows the
    // gap.
    const std::string bar = built.text("bar");
    ASSERT_TRUE(window.command("bar 1"));
    ASSERT_TRUE(window.command("board 1 2"));
    const DrivenState word = window.state();
    EXPECT_EQ(word.number("wordlen"), 2);
    EXPECT_EQ(word.text("bar")[0], '.');
    EXPECT_EQ(word.text("word")[0], bar[0]);
    EXPECT_EQ(word.text("word")[1], built.list("board").front().back());

    ASSERT_TRUE(window.command("click button_pass"));
    EXPECT_TRUE(window.waitFor([](const DrivenState& s) { return s.number("turn") == 2; }));
    EXPECT_FALSE(window.command("click button_done")) << "the word buttons hide after a pass";

    EXPECT_EQ(window.quit(), 0) << window.errors();
    EXPECT_TRUE(QFile::exists(home.file(QStringLiteral("Lexifliptally.tld"))));
}

} // namespace
} // namespace lexiflip::testing
