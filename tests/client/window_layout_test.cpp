// Where the window's controls sit, and which board cell a pixel belongs to.

#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "client/media/palette.h"
#include "client/widgets/board_view.h"
#include "client/widgets/screen_layout.h"
#include "client/window/tchat.h"
#include "client/widgets/turn_timer_view.h"
#include "client/widgets/zoomed_place.h"
#include "client/window/main_menu.h"
#include "client/window/zoom_control.h"
#include "net/net_wait.h"

namespace lexiflip::client {
namespace {

TEST(BoardGeometry, APixelBelongsToOneCellAndEachCellsRectangleHoldsOnlyItsPixels)
{
    struct Case {
        QPoint pixel;
        std::optional<CellAddress> cell;
    };
    const std::vector<Case> cases = {
        {{0, 0}, CellAddress{1, 1}},  {{40, 40}, CellAddress{1, 1}},  {{41, 0}, CellAddress{2, 1}},
        {{0, 41}, CellAddress{1, 2}}, {{143, 61}, CellAddress{4, 2}}, {{409, 327}, CellAddress{10, 8}},
        {{410, 100}, std::nullopt},   {{100, 328}, std::nullopt},     {{-1, 5}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cellAt(c.pixel), c.cell) << c.pixel.x() << "," << c.pixel.y();
    for (int column = 1; column <= layout::kBoardColumns; ++column) {
        for (int row = 1; row <= layout::kBoardRows; ++row) {
            const QRect rect = cellRect({column, row});
            EXPECT_EQ(cellAt(rect.topLeft()), (CellAddress{column, row}));
            EXPECT_EQ(cellAt(rect.bottomRight()), (CellAddress{column, row}));
        }
    }
}

// At every zoom the cells cover the zoomed surface edge to edge, each cell's
// rectangle holds only its own pixels, and nothing outside is a cell.
TEST(BoardGeometry, AtEveryZoomTheCellsTileTheSurfaceAndEachPixelMapsBackToItsCell)
{
    for (int step = 0; step < Zoom::kSteps; ++step) {
        const Zoom zoom = Zoom::atStep(step);
        SCOPED_TRACE(zoom.percent());
        const QSize surface = zoom.scaled(layout::kBoardSurface.size());
        for (int column = 1; column <= layout::kBoardColumns; ++column) {
            for (int row = 1; row <= layout::kBoardRows; ++row) {
                const CellAddress cell{column, row};
                const QRect rect = cellRect(cell, zoom);
                for (QPoint p : {rect.topLeft(), rect.center(), rect.bottomRight(), rect.topRight()})
                    EXPECT_EQ(cellAt(p, zoom), cell) << column << "," << row;
                // Tiles drawn in the cell are the zoomed tile, give or take
                // the pixel that rounding moves between neighbours.
                EXPECT_LE(std::abs(rect.width() - zoom.scaled(layout::kTile)), 1);
                if (column < layout::kBoardColumns) {
                    EXPECT_EQ(cellRect({column + 1, row}, zoom).left(), rect.right() + 1);
                }
                if (row < layout::kBoardRows) {
                    EXPECT_EQ(cellRect({column, row + 1}, zoom).top(), rect.bottom() + 1);
                }
            }
        }
        EXPECT_EQ(cellRect({layout::kBoardColumns, layout::kBoardRows}, zoom).bottomRight(),
                  QPoint(surface.width() - 1, surface.height() - 1));
        for (QPoint outside :
             {QPoint(-1, 0), QPoint(0, -1), QPoint(surface.width(), 5), QPoint(5, surface.height())})
            EXPECT_EQ(cellAt(outside, zoom), std::nullopt) << outside.x() << "," << outside.y();
    }
}

TEST(ZoomSteps, AClientAreaTakesTheLargestStepItHoldsWhole)
{
    struct Case {
        QSize area;
        int percent;
    };
    const std::vector<Case> cases = {
        {{714, 511}, 100},   {{300, 200}, 100},   {{893, 639}, 125},   {{892, 2000}, 100},
        {{2000, 638}, 100},  {{1071, 767}, 150},  {{1920, 1000}, 175}, {{1920, 1080}, 200},
        {{2560, 1400}, 250}, {{3840, 2100}, 300}, {{9999, 9999}, 300},
    };
    for (const Case& c : cases)
        EXPECT_EQ(largestZoomFitting(c.area).percent(), c.percent)
            << c.area.width() << "x" << c.area.height();
    EXPECT_EQ(clientSizeAt(*Zoom::fromPercent(100)), layout::kMinClientSize);
    EXPECT_EQ(Zoom::fromPercent(137), std::nullopt);
    EXPECT_EQ(Zoom::atStep(Zoom::kSteps).percent(), 300);
    EXPECT_EQ(Zoom().smaller().percent(), 100);
}

// Every key of the menus does one thing: the zoom's keys clash with no entry.
TEST(MainMenu, NoTwoEntriesShareAKeyAndTheZoomHasItsOwn)
{
    Tchat window;
    QHash<QKeySequence, QString> owner;
    for (QAction* action : window.menuBar()->findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            EXPECT_FALSE(owner.contains(key))
                << key.toString().toStdString() << " of " << action->objectName().toStdString() << " and "
                << owner.value(key).toStdString();
            owner.insert(key, action->objectName());
        }
    }
    const std::pair<const char*, const char*> zoomKeys[] = {
        {"Ctrl++", "ZoomIn1"}, {"Ctrl+=", "ZoomIn1"}, {"Ctrl+-", "ZoomOut1"}, {"Ctrl+0", "ActualSize1"}};
    for (const auto& [key, name] : zoomKeys)
        EXPECT_EQ(owner.value(QKeySequence(QString::fromLatin1(key))), QString::fromLatin1(name)) << key;
}

TEST(TurnTimerView, TheBarShowsWholePixelsPerSecondAndStaysInItsFrame)
{
    struct Case {
        int secondsLeft;
        int turnSeconds;
        int width;
    };
    const std::vector<Case> cases = {
        {59, 60, 177}, {60, 120, 60}, {30, 45, 120}, {1, 60, 3}, {0, 60, 0},
        {100, 45, 224}, // a catch-up may report more than a turn holds
        {5, 300, 0},    // 224 / 300 is no whole pixel per second
        {10, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TurnTimerView::barWidthFor(c.secondsLeft, c.turnSeconds), c.width)
            << c.secondsLeft << " of " << c.turnSeconds;
}

// Positions on the background panel at 100 %.
const std::vector<std::pair<const char*, QRect>>& places()
{
    static const std::vector<std::pair<const char*, QRect>> expected = {
        {"word_1", {11, 15, 41, 41}},
        {"word_10", {389, 15, 41, 41}},
        {"image_bonus3", {118, 15, 16, 13}},
        {"label_status", {10, 57, 416, 16}},
        {"button_clear", {11, 99, 91, 25}},
        {"button_buy", {118, 99, 91, 25}},
        {"button_pass", {231, 99, 91, 25}},
        {"button_done", {338, 99, 91, 25}},
        {"paintbox_board", {14, 132, 410, 328}},
        {"letters_1", {63, 464, 41, 41}},
        {"letters_7", {335, 464, 41, 41}},
        {"button_shuffle", {400, 472, 27, 28}},
        {"button_start", {502, 19, 150, 28}},
        {"label_playername1", {475, 54, 92, 16}},
        {"label_playername6", {475, 159, 92, 16}},
        {"label_score4", {571, 117, 30, 16}},
        {"image_eyes2", {457, 75, 16, 13}},
        {"image_canplay5", {570, 136, 99, 19}},
        {"panel_winner", {10, 94, 419, 35}},
        {"button_summary", {343, 100, 80, 23}},
        {"panel_theirletters", {10, 94, 419, 34}},
        {"label_bonus1", {602, 54, 90, 16}},
        {"mychat", {447, 482, 250, 22}},
        {"b_phrase10", {673, 455, 23, 23}},
        {"Image2", {113, 73, 225, 19}},
    };
    return expected;
}

QRect onPanel(const QWidget& panel, const QWidget& control)
{
    return {control.mapTo(&panel, QPoint(0, 0)), control.size()};
}

TEST(WindowLayout, ControlsSitWhereThePlayerExpectsThem)
{
    Tchat window;
    window.show();
    const QWidget* panel = window.findChild<QWidget*>("Image1");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(2, 1, 709, 507));
    for (const auto& [name, rect] : places()) {
        const QWidget* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(onPanel(*panel, *control), rect) << name;
    }
}

// The winner's text and the summary's button share the banner: a long name is
// drawn smaller, never cut off or under the button, at every zoom.
TEST(WindowLayout, TheWinnersTextFitsBesideTheSummaryButtonAtEveryZoom)
{
    Tchat window;
    window.show();
    const QString text = QStringLiteral("Bartholomew Longname has Won the Game!");
    window.setWinner(text, true);
    const auto* label = window.findChild<QLabel*>("label_winner1");
    const auto* button = window.findChild<QWidget*>("button_summary");
    ASSERT_TRUE(label && button);
    for (int step = 0; step < Zoom::kSteps; ++step) {
        applyZoom(window, Zoom::atStep(step));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(text), label->width()) << "step " << step;
        EXPECT_LE(label->geometry().right(), button->geometry().left()) << "step " << step;
        EXPECT_TRUE(button->isVisible());
    }
    window.setWinner(QStringLiteral("You have Won the Game!"), true);
    const Zoom largest = Zoom::atStep(Zoom::kSteps - 1);
    EXPECT_EQ(label->font().pixelSize(), zoomedFont(palette::winnerFont(), largest).pixelSize())
        << "a short text keeps the banner's size";
}

// A player's resize takes the largest zoom that fits; every control is then at
// its place times the zoom (a control inside another may be a pixel off, as
// each level rounds), its text and pictures sized alike; the menu's entries
// step the zoom and size the window to it, and Actual Size is today's window.
TEST(WindowLayout, AResizedWindowZoomsEveryControlAndActualSizeRestoresThem)
{
    Tchat window;
    window.show();
    QWidget* panel = window.findChild<QWidget*>("Image1");
    ASSERT_NE(panel, nullptr);
    const QSize frame = window.size() - window.centralWidget()->size();
    const Zoom zoom = *Zoom::fromPercent(150);
    window.resize(clientSizeAt(zoom) + QSize(40, 3) + frame);
    ASSERT_TRUE(testing::waitUntil([&] { return window.zoom().zoom() == zoom; }));
    EXPECT_EQ(panel->geometry(), zoom.scaled(layout::kBackground));
    for (const auto& [name, rect] : places()) {
        const QWidget* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        const QRect shown = onPanel(*panel, *control);
        const QRect wanted = zoom.scaled(rect);
        EXPECT_EQ(shown.size(), wanted.size()) << name;
        EXPECT_LE((shown.topLeft() - wanted.topLeft()).manhattanLength(), 2) << name;
    }
    EXPECT_EQ(window.findChild<QWidget*>("label_status")->font().pixelSize(), 18);
    EXPECT_EQ(window.board().cellRect({10, 8}).bottomRight(), QPoint(614, 491));

    window.menu().action(MenuCommand::ZoomOut)->trigger();
    EXPECT_EQ(window.zoom().zoom().percent(), 125);
    ASSERT_TRUE(testing::waitUntil(
        [&] { return window.centralWidget()->size() == clientSizeAt(window.zoom().zoom()); }));
    EXPECT_EQ(window.zoom().zoom().percent(), 125) << "the window's own resize keeps the step";
    // The offscreen screen (800 x 600) holds no larger step.
    window.menu().action(MenuCommand::ZoomIn)->trigger();
    EXPECT_EQ(window.zoom().zoom().percent(), 125);

    window.menu().action(MenuCommand::ActualSize)->trigger();
    EXPECT_TRUE(window.zoom().zoom().isActualSize());
    EXPECT_EQ(panel->geometry(), layout::kBackground);
    for (const auto& [name, rect] : places())
        EXPECT_EQ(onPanel(*panel, *window.findChild<QWidget*>(name)), rect) << name;
    EXPECT_EQ(window.findChild<QWidget*>("label_status")->font().pixelSize(), 12);
}

} // namespace
} // namespace lexiflip::client
