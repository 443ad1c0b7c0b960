#pragma once

#include <QPixmap>

// The tile pictures the game area blits, by their index in imagelist_letters
// (41 pixels: 1..26 letters, 27 the back, 28..53 the used look) and
// imagelist_little (26 pixels: 1..26 letters), at a device pixel ratio.
namespace lexiflip::client {

inline constexpr int kLetterPixels = 41;
inline constexpr int kLittlePixels = 26;

const QPixmap& letterPicture(int index, qreal ratio);
const QPixmap& littlePicture(int index, qreal ratio);

} // namespace lexiflip::client
