#pragma once

#include <QRect>

// Where the main window's controls sit, in pixels from the top left of the
// background panel, for the window and its tests. The board's cells have their
// own home (board_geometry.h); the client game keeps no pixel of its own.
namespace lexiflip::client::layout {

// The window's client area below the menu bar, and the background panel in it.
inline constexpr int kClientWidth = 712;
inline constexpr int kClientHeight = 509;
inline constexpr QRect kBackground{2, 1, 709, 507};
// The client area never gets smaller than the panel plus this margin.
inline constexpr int kMinClientWidth = 709 + 5;
inline constexpr int kMinClientHeight = 507 + 4;

// Header texts.
inline constexpr QRect kTimePerTurn{8, 0, 153, 16};
inline constexpr QRect kGameMode{160, 0, 153, 16};
inline constexpr QRect kPlayToScore{312, 0, 119, 16};

// Word position i (1..10) and its x2 marker.
inline constexpr QRect wordRect(int i)
{
    return {11 + 42 * (i - 1), 15, 41, 41};
}
inline constexpr QRect bonusRect(int i)
{
    return {34 + 42 * (i - 1), 15, 16, 13};
}

inline constexpr QRect kStatus{10, 57, 416, 16};
// The timer's frame holds the bar; the bar's width shows the time left.
inline constexpr QRect kTimerFrame{113, 73, 225, 19};
inline constexpr QRect kTimerText{117, 73, 87, 19};
inline constexpr int kTimerBarMaxWidth = 224;

inline constexpr QRect kButtonClear{11, 99, 91, 25};
inline constexpr QRect kButtonBuy{118, 99, 91, 25};
inline constexpr QRect kButtonPass{231, 99, 91, 25};
inline constexpr QRect kButtonDone{338, 99, 91, 25};

// The their-tiles strip and the winner banner cover the button row.
inline constexpr QRect kTheirStrip{10, 94, 419, 34};
inline constexpr QRect kTheirLabel{5, 8, 180, 16};
inline constexpr QRect theirTileRect(int i)
{
    return {189 + 29 * (i - 1), 5, 26, 26};
}
inline constexpr QRect kWinnerBanner{10, 94, 419, 35};
inline constexpr QRect kWinnerText{1, 8, 413, 19};
inline constexpr QRect kWinnerShadow{2, 7, 413, 19};

inline constexpr QRect kBoardPanel{10, 128, 418, 336};
inline constexpr QRect kBoardSurface{4, 4, 410, 328};

// Bar position i (1..7) at rest; a tile chosen for a swap sits 3 pixels higher.
inline constexpr int kBarTop = 464;
inline constexpr int kBarLiftedTop = 461;
inline constexpr int kBarLefts[7] = {63, 108, 154, 199, 244, 290, 335};
inline constexpr QRect kShuffle{400, 472, 27, 28};

inline constexpr QRect kLogo{500, 18, 154, 30};
inline constexpr QRect kStart{502, 19, 150, 28};

// Seat rows: seat s (1..6).
inline constexpr int kSeatTops[6] = {54, 75, 96, 117, 138, 159};
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
