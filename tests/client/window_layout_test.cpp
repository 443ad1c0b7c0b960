// Where the window's controls sit, and which board cell a pixel belongs to.

#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "client/widgets/screen_layout.h"
#include "client/window/tchat.h"
#include "client/widgets/turn_timer_view.h"

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

TEST(WindowLayout, ControlsSitWhereThePlayerExpectsThem)
{
    Tchat window;
    window.show();
    const QWidget* panel = window.findChild<QWidget*>("Image1");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(2, 1, 709, 507));
    // Positions on the background panel.
    const std::vector<std::pair<const char*, QRect>> expected = {
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
        {"panel_theirletters", {10, 94, 419, 34}},
        {"label_bonus1", {602, 54, 90, 16}},
    };
    for (const auto& [name, rect] : expected) {
        const QWidget* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        const QPoint onPanel = control->mapTo(panel, QPoint(0, 0));
        EXPECT_EQ(QRect(onPanel, control->size()), rect) << name;
    }
}

} // namespace
} // namespace lexiflip::client
