#pragma once

#include "client/game/tile_pictures.h"

// The game window's pictures, painted by our own code instead of loaded from
// image files. Each picture is painted once per device pixel ratio and zoom
// into a QPixmap that carries that ratio, and kept for the rest of the run;
// widgets only blit them, asking with the ratio and zoom of their own window.
// Sizes below are in device-independent pixels at 100 %, the units of the
// window layout; at another zoom a picture is painted afresh at its size
// scaled like the layout's (Zoom::scaled), never enlarged from a copy.

#include <QPixmap>
#include <QSize>
#include <QString>

#include "client/widgets/screen_layout.h"

class QPainter;
class QRect;

namespace lexiflip::client {

// imagelist_little: 27 tiles of layout::kLittleTile square. 0 draws nothing;
// 1..26 are A..Z. imagelist_letters' tiles (see tile_pictures.h for what each
// index shows) are layout::kTile square.
inline constexpr int kLittlePictureCount = 27;

// imagelist_box: 0 the empty tick box, 1 the ticked box, 32 x 19.
inline constexpr QSize kBoxSize{32, 19};
inline constexpr int kBoxPictureCount = 2;

// The single pictures of the game window and the options dialog.
enum class Picture {
    Background,      // the window's panel: dark game area, light seat panel
    ButtonClear,     // button_clear, "CLEAR"
    ButtonBuy,       // button_buy, "BUY"
    ButtonPass,      // button_pass, "PASS"
    ButtonDone,      // button_done, "DONE"
    ButtonStartGame, // button_start, "START GAME"
    ButtonStart,     // the options dialog's BUTTON_START, "START"
    ButtonShuffle,   // button_shuffle
    Logo,            // Image6, under the start button
    BoardMarker,     // image_bonus1..10, "x2"
    Eyes,            // image_eyes1..6
    Sneaker,         // image_sneaker, kSneakerFrames frames
    WinnerBanner,    // panel_winner's background, without its text
    NotPlaying,      // image_canplay5, image_canplay6, "NOT PLAYING"
    TimerBar,        // image_timer at its full width; shown clipped to the time left
    TimerFrame,      // Image2, the frame around the timer bar
    TurnFrame,       // image_Turn, the thin frame around the seat row on turn
    BoardWell,       // the board's recessed well with its 80 empty slots, as the background has it
};
inline constexpr int kPictureCount = int(Picture::BoardWell) + 1;

// How a button picture looks: at rest, held down, or not available.
enum class Look { Normal, Pressed, Disabled };

// The device-independent size of a picture.
QSize pictureSize(Picture picture);

// The tile pictures by their index; an index outside the set gives a null pixmap.
QPixmap letterPicture(int index, qreal devicePixelRatio, Zoom zoom = {});
QPixmap littlePicture(int index, qreal devicePixelRatio, Zoom zoom = {});
QPixmap boxPicture(int index, qreal devicePixelRatio);

// A single picture. look applies to the buttons, frame (0..kSneakerFrames - 1)
// to the sneaker; both are ignored elsewhere.
QPixmap picture(Picture picture, qreal devicePixelRatio, Look look = Look::Normal, int frame = 0,
                Zoom zoom = {});

// The winner banner's text: white over a grey copy one pixel to the right and
// up, centred in rect, in the banner's font.
void paintShadowText(QPainter& painter, const QRect& rect, const QString& text);

// A ratio rounded to what the pictures are painted for (quarter steps, 1..4),
// so that windows on screens of 1.25 or 1.5 share a handful of cached copies.
qreal snappedRatio(qreal devicePixelRatio);

// Forgets every cached picture (tests; a change of fonts).
void clearPictureCache();

} // namespace lexiflip::client
