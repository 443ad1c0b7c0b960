#include "wire/colour_text.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <limits>
#include <utility>

namespace lexiflip::wire {
namespace {

constexpr std::array<std::pair<std::string_view, Colour>, 16> kNames{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

std::string colourToText(Colour colour)
{
    for (const auto& [name, value] : kNames) {
        if (value == colour)
            return std::string(name);
    }
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(colour));
    return text;
}

std::optional<Colour> readColourText(std::string_view text)
{
    // Colour names are read without regard to case, as the original colour
    // parser did; senders always write them as listed.
    for (const auto& [name, value] : kNames) {
        if (sameIgnoringAsciiCase(name, text))
            return value;
    }
    if (text.empty())
        return std::nullopt;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.front() == '$') {
        ++first;
        if (first == last || last - first > 8)
            return std::nullopt;
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(first, last, value, 16);
        if (error != std::errc() || end != last)
            return std::nullopt;
        return value;
    }
    // Decimal: the colour is a signed 32-bit number on the wire, so negative
    // values are taken as their two's complement bit pattern.
    long long value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 10);
    if (error != std::errc() || end != last || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<Colour>(value);
}

Colour colourFromText(std::string_view text)
{
    return readColourText(text).value_or(kUnreadableColour);
}

ChatText splitChatText(std::string_view textAndColour)
{
    const std::size_t bar = textAndColour.find('|');
    if (bar == std::string_view::npos)
        return {textAndColour, kUnreadableColour};
    return {textAndColour.substr(0, bar), colourFromText(textAndColour.substr(bar + 1))};
}

std::string joinChatText(std::string_view text, Colour colour)
{
    std::string joined(text);
    joined += '|';
    joined += colourToText(colour);
    return joined;
}

} // namespace lexiflip::wire
