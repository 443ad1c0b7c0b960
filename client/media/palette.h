#pragma once

// The one home of the game's colours and fonts: the painted pictures, the game
// window's texts, the chat view and the side windows all take theirs from here.
// Only the phrase icons keep colours of their own (phrase_icons.cpp): each is
// one small drawing whose colours belong to it alone. The painter derives its
// bevels and shades from the colours below (lighter(), darker()). Every text
// the game draws is in the one family below, made by gameFont(): the game
// window's labels through the named fonts, the painted artwork and the side
// windows' few larger texts at the pixel size their place needs. The menus and
// the side windows' plain labels keep Qt's default font.

#include <QColor>
#include <QFont>
#include <QRgb>

#include <array>
#include <cstddef>

#include "wire/colour_text.h"

namespace lexiflip::client::palette {

// The dark game area: board, word row, bar, header and status line.
inline constexpr QRgb kTableTop = qRgb(24, 58, 74);
inline constexpr QRgb kTableBottom = qRgb(14, 36, 50);
inline constexpr QRgb kTableWell = qRgb(9, 25, 36);      // recessed slots under tiles
inline constexpr QRgb kTableLine = qRgb(58, 98, 118);    // thin bevels on the dark area
inline constexpr QRgb kHeaderText = qRgb(255, 255, 255); // header and status texts

// The light seat panel on the right, with the seat texts in their fixed blue
// and the player on turn in red.
inline constexpr QRgb kSeatPanel = qRgb(233, 240, 246);
inline constexpr QRgb kSeatPanelEdge = qRgb(160, 182, 202);
inline constexpr QRgb kSeatText = qRgb(0, 64, 128);
inline constexpr QRgb kSeatTextOnTurn = qRgb(255, 0, 0);

// The turn clock: its text is pale yellow from 20 seconds up, red below.
inline constexpr QRgb kTimerText = qRgb(224, 227, 157);
inline constexpr QRgb kTimerTextLow = qRgb(255, 0, 0);
inline constexpr QRgb kTimerBarTop = qRgb(60, 132, 196);
inline constexpr QRgb kTimerBarBottom = qRgb(26, 78, 140);
inline constexpr QRgb kTimerTrack = qRgb(6, 18, 27);

// Tiles: ivory faces with dark ink, a blue patterned back, a grey used look.
inline constexpr QRgb kTileFace = qRgb(250, 240, 212);
inline constexpr QRgb kTileFaceShade = qRgb(226, 208, 166);
inline constexpr QRgb kTileInk = qRgb(52, 36, 22);
inline constexpr QRgb kTileBack = qRgb(44, 92, 160);
inline constexpr QRgb kTileBackDark = qRgb(24, 56, 110);
inline constexpr QRgb kTileBackPattern = qRgb(80, 130, 198);
inline constexpr QRgb kTileUsed = qRgb(178, 178, 178);
inline constexpr QRgb kTileUsedShade = qRgb(138, 138, 138);
inline constexpr QRgb kTileUsedInk = qRgb(92, 92, 92);
// The board's keyboard cursor: a bright ring with a dark rim, seen on every tile look.
inline constexpr QRgb kCursorRing = qRgb(255, 214, 0);
inline constexpr QRgb kCursorRim = qRgb(0, 0, 0);

// Buttons of the game area.
inline constexpr QRgb kButtonTop = qRgb(255, 196, 64);
inline constexpr QRgb kButtonBottom = qRgb(222, 130, 20);
inline constexpr QRgb kButtonEdge = qRgb(120, 64, 6);
inline constexpr QRgb kButtonInk = qRgb(70, 32, 0);
inline constexpr QRgb kButtonDisabled = qRgb(150, 150, 150);

// Banners and markers.
inline constexpr QRgb kWinnerText = qRgb(255, 255, 255);
inline constexpr QRgb kWinnerShadow = qRgb(128, 128, 128);
inline constexpr QRgb kBannerTop = qRgb(132, 36, 96);
inline constexpr QRgb kBannerBottom = qRgb(84, 16, 62);
inline constexpr QRgb kMarkerRed = qRgb(206, 28, 36);
inline constexpr QRgb kStartTop = qRgb(92, 196, 92);
inline constexpr QRgb kStartBottom = qRgb(30, 128, 48);
inline constexpr QRgb kStartEdge = qRgb(12, 70, 24);

// The chat view: white paper; the client's own lines in pure blue.
inline constexpr QRgb kChatPaper = qRgb(255, 255, 255);
inline constexpr wire::Colour kSystemColour = 0x00FF0000; // 00BBGGRR: pure blue

// A chat colour 00BBGGRR as a QColor.
inline QColor fromColour(wire::Colour colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// The one family for every text the game paints (fonts-dejavu-core).
inline constexpr const char* kFontFamily = "DejaVu Sans";

// A font of the game window at a pixel size, so that painted text matches the
// specified pixel layout whatever the screen's dots per inch.
QFont gameFont(int pixelSize, bool bold = true);

// The texts of the game window as its labels show them, each sized to fit its
// label's specified width.
inline QFont headerFont()
{
    return gameFont(10);
} // label_timeperturn, label_gm, label_playtoscore
inline QFont statusFont()
{
    return gameFont(12);
} // label_status
inline QFont timerFont()
{
    return gameFont(12);
} // label_timer
inline QFont seatFont()
{
    return gameFont(12);
} // seat names, scores and bonus texts
inline QFont theirTilesFont()
{
    return gameFont(12);
} // label_theirtiles
inline QFont winnerFont()
{
    return gameFont(15);
} // label_winner1, label_winner2

// --- The painted pictures' own colours -----------------------------------------

// Button captions: a light shadow under the amber buttons' ink, white ink with
// a dark green shadow on the green start buttons, grey for a button that cannot
// be pressed, and the gloss over a button's upper half.
inline constexpr QColor kButtonInkShadow{255, 236, 170, 170};
inline constexpr QRgb kStartInk = qRgb(255, 255, 255);
inline constexpr QColor kStartInkShadow{0, 60, 10, 200};
inline constexpr QRgb kButtonDisabledEdge = qRgb(96, 96, 96);
inline constexpr QRgb kButtonDisabledInk = qRgb(112, 112, 112);
inline constexpr QColor kButtonDisabledInkShadow{230, 230, 230, 140};
inline constexpr QColor kGlossTop{255, 255, 255, 110};
inline constexpr QColor kGlossTopDisabled{255, 255, 255, 60};
inline constexpr QColor kGlossBottom{255, 255, 255, 10};

// The x2 marker's edge and text.
inline constexpr QRgb kMarkerEdge = qRgb(120, 0, 8);
inline constexpr QRgb kMarkerInk = qRgb(255, 255, 255);

// The eyes of a watcher and the sneaker, and the sneaker's mask.
inline constexpr QRgb kEyeInk = qRgb(30, 30, 30);
inline constexpr QRgb kEyeWhite = qRgb(255, 255, 255);
inline constexpr QRgb kPupil = qRgb(20, 20, 40);
inline constexpr QRgb kEyelid = qRgb(214, 170, 140);
inline constexpr QRgb kSneakerMask = qRgb(70, 20, 90);

// The winner banner's gold rims and stars.
inline constexpr QRgb kBannerEdge = qRgb(240, 196, 72);
inline constexpr QColor kBannerInnerEdge{240, 196, 72, 120};
inline constexpr QRgb kBannerStar = qRgb(255, 214, 80);

// NOT PLAYING: a grey plate with light text.
inline constexpr QRgb kNotPlayingTop = qRgb(120, 124, 132);
inline constexpr QRgb kNotPlayingBottom = qRgb(84, 88, 96);
inline constexpr QRgb kNotPlayingEdge = qRgb(52, 54, 60);
inline constexpr QRgb kNotPlayingInk = qRgb(238, 238, 238);

// Light and shadow laid over other colours.
inline constexpr QColor kTimerBarShine{255, 255, 255, 60};
inline constexpr QColor kTurnFrameFill{255, 236, 160, 70};
inline constexpr QColor kTableLight{255, 255, 255, 18}; // the soft light over the game area
inline constexpr QColor kTableLightEnd{255, 255, 255, 0};
inline constexpr QColor kSeatPanelShadow{0, 0, 0, 70};
inline constexpr QColor kTileShadow{0, 0, 0, 90};
inline constexpr QColor kTileInkHighlight{255, 255, 255, 150}; // under a face-up tile's letter

// The options dialog's tick box.
inline constexpr QRgb kTickBoxTop = qRgb(236, 242, 248);
inline constexpr QRgb kTickBoxBottom = qRgb(255, 255, 255);
inline constexpr QRgb kTick = qRgb(24, 140, 52);

// --- The side windows ----------------------------------------------------------

// The heading in a side window's header band.
inline QFont sideHeadingFont()
{
    return gameFont(17);
}

// The game summary's score chart: the seats' lines, each seat its own colour,
// bright on the dark game area and told apart without colour vision too (their
// markers differ too), and the target's line.
inline constexpr std::array<QRgb, 6> kSeatLines{qRgb(255, 196, 64),  qRgb(92, 196, 92),   qRgb(96, 170, 255),
                                                qRgb(255, 112, 128), qRgb(204, 148, 255), qRgb(236, 236, 236)};
inline QColor seatColour(int seat)
{
    return QColor(kSeatLines[static_cast<std::size_t>((seat - 1 + 6) % 6)]);
}
inline constexpr QRgb kChartTarget = qRgb(224, 227, 157);
inline constexpr QRgb kChartGrid = kTableLine;
inline constexpr QRgb kChartText = kHeaderText;

// Paper and ink of entries, lists and the chat view's text.
inline constexpr QRgb kPaper = qRgb(255, 255, 255);
inline constexpr QRgb kInk = qRgb(0, 0, 0);
// A side window's push button that cannot be pressed now: grey ink and edge on
// a grey gradient.
inline constexpr QRgb kSideButtonDisabledInk = qRgb(110, 110, 110);
inline constexpr QRgb kSideButtonDisabledEdge = qRgb(154, 154, 154);
inline constexpr QRgb kSideButtonDisabledTop = qRgb(226, 226, 226);
inline constexpr QRgb kSideButtonDisabledBottom = qRgb(189, 189, 189);
// A web link's text.
inline constexpr QRgb kLinkText = qRgb(26, 85, 176);
// The lobby window's warnings: the "IS CLOSED" sign in bright red on nearly
// opaque white, and the firewall note in dark red.
inline constexpr QRgb kClosedSign = qRgb(224, 16, 16);
inline constexpr QColor kClosedSignPaper{255, 255, 255, 215};
inline constexpr QRgb kWarningText = qRgb(138, 16, 16);

// A colour as a style sheet writes it: #rrggbb, or rgba() when it is see-through.
QString styleColour(const QColor& colour);

} // namespace lexiflip::client::palette
