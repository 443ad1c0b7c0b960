#pragma once

#include <QString>

#include <string>

namespace lexiflip::client {

// The game's text is 8-bit on the wire and in the settings file: a character
// beyond it stands as "?", one for one, so that positions in a widget's text
// and in the bytes agree.
inline std::string eightBit(const QString& text)
{
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (QChar c : text)
        bytes.push_back(c.unicode() < 256 ? char(c.unicode()) : '?');
    return bytes;
}

} // namespace lexiflip::client
