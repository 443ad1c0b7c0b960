#pragma once

// The icons of the chat's phrase buttons b_phrase1 .. b_phrase9 and of the
// chatter sounds button b_phrase10: small light keys with a coloured sign each,
// painted once per device pixel ratio and zoom like the window's other pictures.

#include <QPixmap>
#include <QSize>

#include "client/media/pictures.h"

namespace lexiflip::client {

inline constexpr QSize kPhraseIconSize{23, 23};
inline constexpr int kPhraseIconCount = 10;

// The icon of button 1..10; a null pixmap for any other number.
QPixmap phraseIcon(int button, qreal devicePixelRatio, Look look = Look::Normal, Zoom zoom = {});

} // namespace lexiflip::client
