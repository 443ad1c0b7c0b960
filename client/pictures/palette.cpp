#include "client/pictures/palette.h"

namespace lexiflip::client::palette {

QFont gameFont(int pixelSize, bool bold)
{
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace lexiflip::client::palette
