#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace lexiflip::client {

// The game's text is 8-bit on the wire and in the settings and tally files:
// each byte is the character of that code (ISO 8859-1), so 0xE9 is "é". These
// are the only conversions between such bytes and a QString.

// Bytes as text, one character per byte.
inline QString fromEightBit(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

// Text as bytes: a character beyond 8 bits stands as "?", one for one, so
// that positions in a widget's text and in the bytes agree.
inline std::string eightBit(const QString& text)
{
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (QChar c : text)
        bytes.push_back(c.unicode() < 256 ? char(c.unicode()) : '?');
    return bytes;
}

// A control byte (below 0x20, and 0x7F) has no place in shown text: a line
// break in a chat text or a name would start a line of the window's own.
inline bool isControlByte(char byte)
{
    const auto code = static_cast<unsigned char>(byte);
    return code < 0x20 || code == 0x7F;
}

// Text from the network as the window shows it: one character per byte, the
// control bytes left out.
inline QString shownText(std::string_view bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (char byte : bytes)
        if (!isControlByte(byte))
            text.append(QChar(static_cast<unsigned char>(byte)));
    return text;
}

} // namespace lexiflip::client
