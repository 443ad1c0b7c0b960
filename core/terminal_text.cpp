#include "core/terminal_text.h"

#include <cstddef>

namespace lexiflip::core {
namespace {

void appendEscaped(std::string& out, unsigned char byte)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at text[at] (a lead byte of
// 0x80 or above), 0 when there is none: overlong forms, surrogates and code
// points beyond U+10FFFF are not well-formed.
std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!isContinuation(byte(i)))
            return 0;
    return length;
}

} // namespace

std::string terminalSafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte == '\\') {
            out += "\\\\";
            ++at;
        } else if (byte < 0x20 || byte == 0x7F) {
            appendEscaped(out, byte);
            ++at;
        } else if (byte < 0x80) {
            out += char(byte);
            ++at;
        } else if (const std::size_t length = sequenceLength(text, at); length == 0) {
            appendEscaped(out, byte);
            ++at;
        } else {
            // U+0080..U+009F, the C1 controls, are 0xC2 0x80..0x9F.
            const bool control = byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
            for (std::size_t i = 0; i < length; ++i) {
                if (control)
                    appendEscaped(out, static_cast<unsigned char>(text[at + i]));
                else
                    out += text[at + i];
            }
            at += length;
        }
    }
    return out;
}

} // namespace lexiflip::core
