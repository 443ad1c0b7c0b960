#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <cmath>
#include <optional>

#include "wire/client_messages.h"

// Where the main window's controls sit, in pixels from the top left of the
// background panel: the one home of the window's geometry, used by the
// widgets, the painter that draws the background under them, the pixel-to-cell
// functions and the picture sheet tool. The client game keeps no pixel of its
// own.
namespace lexiflip::client::layout {

// The window's client area below the menu bar, and the background panel in it.
inline constexpr int kClientWidth = 712;
inline constexpr int kClientHeight = 509;
inline constexpr QRect kBackground{2, 1, 709, 507};
// The painted background is one pixel narrower and shorter than its panel: the
// panel's last column and row show the window's quiet colour, as they always
// have (the screenshot references hold that), and nothing lies there.
inline constexpr QSize kBackgroundPicture{kBackground.width() - 1, kBackground.height() - 1};
// The client area never gets smaller than the panel plus this margin. The size
// "Reset Screen Location" restores is the settings file's default
// (settings::kResetBounds), kept there because the plain settings reader needs it.
inline constexpr QSize kMinClientSize{kBackground.width() + 5, kBackground.height() + 4};

// Every tile of the word row, the bar and the board is a 41-pixel square; the
// their-tiles strip shows 26-pixel ones.
inline constexpr int kTile = 41;
inline constexpr int kLittleTile = 26;

// Header texts.
inline constexpr QRect kTimePerTurn{8, 0, 153, 16};
inline constexpr QRect kGameMode{160, 0, 153, 16};
inline constexpr QRect kPlayToScore{312, 0, 119, 16};

// Word position i (1..10) and its x2 marker.
inline constexpr int kWordPositions = 10;
inline constexpr int kWordLeft = 11;
inline constexpr int kWordTop = 15;
inline constexpr int kWordPitch = kTile + 1;
inline constexpr QRect wordRect(int i)
{
    return {kWordLeft + kWordPitch * (i - 1), kWordTop, kTile, kTile};
}
inline constexpr QRect bonusRect(int i)
{
    return {34 + kWordPitch * (i - 1), kWordTop, 16, 13};
}

inline constexpr QRect kStatus{10, 57, 416, 16};
// The timer's frame holds the bar; the bar's width shows the time left.
inline constexpr QRect kTimerFrame{113, 73, 225, 19};
inline constexpr QRect kTimerText{117, 73, 87, 19};
inline constexpr int kTimerBarMaxWidth = kTimerFrame.width() - 1;

// The buttons of the game area (and the options dialog's START) share a size.
inline constexpr QSize kButtonSize{91, 25};
inline constexpr QRect kButtonClear{{11, 99}, kButtonSize};
inline constexpr QRect kButtonBuy{{118, 99}, kButtonSize};
inline constexpr QRect kButtonPass{{231, 99}, kButtonSize};
inline constexpr QRect kButtonDone{{338, 99}, kButtonSize};

// The their-tiles strip and the winner banner cover the button row.
inline constexpr QRect kTheirStrip{10, 94, 419, 34};
inline constexpr QRect kTheirLabel{5, 8, 180, 16};
inline constexpr QRect theirTileRect(int i)
{
    return {189 + (kLittleTile + 3) * (i - 1), 5, kLittleTile, kLittleTile};
}
inline constexpr QRect kWinnerBanner{10, 94, 419, 35};
// The winner's text runs between the banner's star and the button that opens
// the game's summary.
inline constexpr QRect kWinnerText{22, 8, 306, 19};
inline constexpr QRect kWinnerShadow{23, 7, 306, 19};
inline constexpr QRect kWinnerSummary{333, 6, 80, 23};

// The board: a panel holding the surface of 10 columns by 8 rows of cells.
inline constexpr int kBoardColumns = wire::kBoardColumns;
inline constexpr int kBoardRows = wire::kBoardRows;
inline constexpr QRect kBoardPanel{10, 128, 418, 336};
inline constexpr QRect kBoardSurface{4, 4, kBoardColumns* kTile, kBoardRows* kTile};

// Bar position i (1..7) at rest; a tile chosen for a swap sits 3 pixels higher.
inline constexpr int kBarPositions = 7;
inline constexpr int kBarTop = 464;
inline constexpr int kBarLiftedTop = 461;
inline constexpr int kBarLefts[kBarPositions] = {63, 108, 154, 199, 244, 290, 335};
inline constexpr QRect kShuffle{400, 472, 27, 28};

inline constexpr QRect kLogo{500, 18, 154, 30};
inline constexpr QRect kStart{502, 19, 150, 28};

// The game area on the left ends here; the seat panel and chat sit to its right.
inline constexpr int kGameAreaRight = 437;

// Seat rows: seat s (1..6), on the light seat panel.
inline constexpr QRect kSeatPanel{447, 47, 250, 141};
inline constexpr int kSeatPitch = 21;
inline constexpr int kSeatTops[6] = {
    54, 54 + kSeatPitch, 54 + 2 * kSeatPitch, 54 + 3 * kSeatPitch, 54 + 4 * kSeatPitch, 54 + 5 * kSeatPitch};
inline constexpr QRect seatNameRect(int s)
{
    return {475, kSeatTops[s - 1], 92, 16};
}
inline constexpr QRect seatScoreRect(int s)
{
    return {571, kSeatTops[s - 1], 30, 16};
}
inline constexpr QRect seatBonusRect(int s)
{
    return {602, kSeatTops[s - 1], 90, 16};
}
inline constexpr QRect seatEyesRect(int s)
{
    return {457, kSeatTops[s - 1], 16, 13};
}
inline constexpr QRect turnFrameRect(int s)
{
    return {455, kSeatTops[s - 1] - 3, 234, 22};
}
inline constexpr QRect sneakerRect(int s)
{
    return {456, kSeatTops[s - 1], 18, 15};
}
inline constexpr QRect kNotPlaying5{570, 136, 99, 19};
inline constexpr QRect kNotPlaying6{570, 158, 99, 19};

// The chat column below the seat rows: the view, the row of phrase buttons
// (b_phrase1 .. b_phrase10) and the entry box.
inline constexpr QRect kChatView{447, 194, 250, 258};
inline constexpr QRect kPhraseRow{447, 455, 250, 23};
inline constexpr QRect phraseButtonRect(int i)
{
    return {448 + 25 * (i - 1), 455, 23, 23};
}
inline constexpr QRect kChatEntry{447, 482, 250, 22};

} // namespace lexiflip::client::layout

namespace lexiflip::client {

// How large the game area and the chat column are drawn: one of a few steps,
// 100 % being the layout above pixel for pixel. Every position and size of the
// window is the layout's one times the zoom, rounded to whole pixels by the
// functions below, so that what is drawn and what a click means come from
// the same numbers at every step.
class Zoom {
public:
    static constexpr int kPercents[] = {100, 125, 150, 175, 200, 250, 300};
    static constexpr int kSteps = int(std::size(kPercents));

    constexpr Zoom() = default;
    // A step 0..kSteps - 1; others are taken as the nearest one.
    static constexpr Zoom atStep(int step) { return Zoom(std::clamp(step, 0, kSteps - 1)); }
    // The step of exactly that percentage; nothing for any other number.
    static constexpr std::optional<Zoom> fromPercent(int percent)
    {
        for (int step = 0; step < kSteps; ++step)
            if (kPercents[step] == percent)
                return Zoom(step);
        return std::nullopt;
    }

    constexpr int step() const { return m_step; }
    constexpr int percent() const { return kPercents[m_step]; }
    constexpr qreal factor() const { return percent() / 100.0; }
    constexpr bool isActualSize() const { return m_step == 0; }
    constexpr Zoom larger() const { return atStep(m_step + 1); }
    constexpr Zoom smaller() const { return atStep(m_step - 1); }

    // A length, position or size of the layout at this zoom, to the nearest
    // pixel (halves away from the origin).
    int scaled(int pixels) const { return int(std::lround(pixels * qreal(percent()) / 100)); }
    QPoint scaled(QPoint point) const { return {scaled(point.x()), scaled(point.y())}; }
    QSize scaled(QSize size) const { return {scaled(size.width()), scaled(size.height())}; }
    // A control's place: its corner and its size each scaled, so that every
    // control of one size is drawn at one size (the pictures are).
    QRect scaled(QRect rect) const { return {scaled(rect.topLeft()), scaled(rect.size())}; }
    // A stretch of a surface cut into parts: its two edges scaled, so that
    // neighbouring parts share their edge with no gap and no overlap.
    QRect spanning(QRect rect) const
    {
        const QPoint topLeft = scaled(rect.topLeft());
        const QPoint end = scaled(rect.topLeft() + QPoint(rect.width(), rect.height()));
        return {topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y())};
    }

    friend constexpr bool operator==(Zoom, Zoom) = default;

private:
    constexpr explicit Zoom(int step) : m_step(step) {}
    int m_step = 0;
};

// The client area the game needs at a zoom, and the largest zoom whose game
// fits a client area (100 % when none does: the window never gets smaller).
inline QSize clientSizeAt(Zoom zoom)
{
    return zoom.scaled(layout::kMinClientSize);
}
inline Zoom largestZoomFitting(QSize clientArea)
{
    Zoom fitting;
    for (int step = 1; step < Zoom::kSteps; ++step) {
        const QSize needed = clientSizeAt(Zoom::atStep(step));
        if (needed.width() <= clientArea.width() && needed.height() <= clientArea.height())
            fitting = Zoom::atStep(step);
    }
    return fitting;
}

// A cell of the board surface: column 1..10 from the left, row 1..8 from the
// top. The click and the paint code both use the two functions below, so what
// is drawn in a cell is what a click there means.
struct CellAddress {
    int column = 0;
    int row = 0;
    friend bool operator==(const CellAddress&, const CellAddress&) = default;
};

// The surface rectangle of a cell (column 1..10, row 1..8) at a zoom. The
// cells share their edges: together they cover the surface exactly.
inline QRect cellRect(CellAddress cell, Zoom zoom = {})
{
    return zoom.spanning(
        {(cell.column - 1) * layout::kTile, (cell.row - 1) * layout::kTile, layout::kTile, layout::kTile});
}

// The cell under a point of the surface at a zoom; none outside the 80 cells.
inline std::optional<CellAddress> cellAt(QPoint point, Zoom zoom = {})
{
    // The cell whose scaled edges hold the point, found on each axis apart.
    const auto line = [&zoom](int pixel, int cells) {
        for (int n = 1; n <= cells; ++n) {
            if (pixel >= zoom.scaled((n - 1) * layout::kTile) && pixel < zoom.scaled(n * layout::kTile))
                return n;
        }
        return 0;
    };
    const int column = line(point.x(), layout::kBoardColumns);
    const int row = line(point.y(), layout::kBoardRows);
    if (column == 0 || row == 0)
        return std::nullopt;
    return CellAddress{column, row};
}

} // namespace lexiflip::client
