// The game options dialog: what its controls send with Start.

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "windows/side/tgamestart.h"
#include "windows/side/tick_box.h"

namespace lexiflip::windows {
namespace {

void click(Tgamestart& dialog, const char* name)
{
    QWidget* control = dialog.findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(control, nullptr) << name;
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

void clickTimes(Tgamestart& dialog, const char* name, int times)
{
    for (int i = 0; i < times; ++i)
        click(dialog, name);
}

struct StartCase {
    const char* what;
    std::function<void(Tgamestart&)> clicks;
    std::string sent;
};

TEST(Tgamestart, StartSendsTheOptionsAsShownAndHides)
{
    const std::vector<StartCase> cases = {
        {"defaults before the settings", [](Tgamestart&) {}, "CMD_startgame+You+250+60+f+0+1+\xFF"},
        {"Helper then Sneak Peek leaves only Sneak Peek",
         [](Tgamestart& d) {
             click(d, "game_2");
             click(d, "game_3");
             EXPECT_FALSE(d.findChild<TickBox*>("game_2")->ticked());
             EXPECT_TRUE(d.findChild<TickBox*>("game_3")->ticked());
         },
         "CMD_startgame+You+250+60+f+3+1+\xFF"},
        {"a stored time outside the range shows as the host runs it",
         [](Tgamestart& d) { d.setCreationTime(30); }, "CMD_startgame+You+250+45+f+0+1+\xFF"},
        {"clicking the ticked mode keeps it", [](Tgamestart& d) { clickTimes(d, "game_1", 2); },
         "CMD_startgame+You+250+60+f+1+1+\xFF"},
        {"Tiles Viewable once, 4 Player Max off",
         [](Tgamestart& d) {
             click(d, "box_viewable");
             click(d, "box_4player");
         },
         "CMD_startgame+You+250+60+t+0+0+\xFF"},
        {"Tiles Viewable twice is off again", [](Tgamestart& d) { clickTimes(d, "box_viewable", 2); },
         "CMD_startgame+You+250+60+f+0+1+\xFF"},
        {"score arrows stop at 500, time arrows at 45",
         [](Tgamestart& d) {
             clickTimes(d, "UpDown1_up", 60);
             clickTimes(d, "UpDown2_down", 10);
         },
         "CMD_startgame+You+500+45+f+0+1+\xFF"},
        {"score stops at 100, time at 120",
         [](Tgamestart& d) {
             clickTimes(d, "UpDown1_down", 40);
             clickTimes(d, "UpDown2_up", 20);
             click(d, "UpDown1_up");
         },
         "CMD_startgame+You+105+120+f+0+1+\xFF"},
    };
    for (const StartCase& c : cases) {
        Tgamestart dialog;
        std::vector<std::string> sent;
        dialog.setSender([&sent](std::string_view message) { sent.emplace_back(message); });
        dialog.show();
        c.clicks(dialog);
        click(dialog, "BUTTON_START");
        ASSERT_EQ(sent.size(), 1u) << c.what;
        EXPECT_EQ(sent[0], c.sent) << c.what;
        EXPECT_FALSE(dialog.isVisible()) << c.what;
    }
}

// The whole dialog from the keyboard: Tab through the numbers and boxes in
// their order on screen, Up and Down step, Space ticks, Enter starts, Escape
// closes without sending.
TEST(Tgamestart, TheKeyboardReachesEveryOptionAndStartsOrCloses)
{
    Tgamestart dialog;
    std::vector<std::string> sent;
    dialog.setSender([&sent](std::string_view message) { sent.emplace_back(message); });
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.findChild<QWidget*>("edit_playtoscore")->setFocus();
    auto press = [&](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    auto focused = [] { return QApplication::focusWidget()->objectName(); };

    for (int i = 0; i < 40; ++i)
        press(Qt::Key_Down);
    press(Qt::Key_Up);
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), "edit_creationtime") << "the arrows take no focus";
    press(Qt::Key_Up);
    press(Qt::Key_Up);
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), "box_viewable");
    press(Qt::Key_Space);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), "game_2");
    press(Qt::Key_Space);
    press(Qt::Key_Return);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "CMD_startgame+You+105+70+t+2+1+\xFF");
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(sent.size(), 1u);
}

TEST(Tgamestart, TickBoxesKeepTheirStateInTheTagAndCheckboxFlipsIt)
{
    Tgamestart dialog;
    TickBox& viewable = dialog.box_viewable();
    EXPECT_EQ(viewable.tag(), 0);
    dialog.checkbox(viewable, 0); // the settings reader passes 0 to tick
    EXPECT_EQ(viewable.tag(), 1);
    dialog.checkbox(viewable, 1);
    EXPECT_EQ(viewable.tag(), 0);
    // The name the dialog sends is the player's.
    std::string sent;
    dialog.setSender([&sent](std::string_view message) { sent = message; });
    dialog.setPlayerName("Ann");
    dialog.setPlayToScore(15);
    dialog.button_startClick();
    EXPECT_EQ(sent, "CMD_startgame+Ann+15+60+f+0+1+\xFF");
}

} // namespace
} // namespace lexiflip::windows
