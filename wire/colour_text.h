#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexiflip::wire {

// A chat colour as the value 00BBGGRR.
using Colour = std::uint32_t;

// What a colour that cannot be read turns into: pure red.
inline constexpr Colour kUnreadableColour = 255;

// One of the sixteen colour names when the value has one, otherwise "$" and
// eight upper-case hexadecimal digits.
std::string colourToText(Colour colour);

// A colour name, a decimal integer or "$" and hexadecimal digits back into the
// value; anything else, an empty text included, is kUnreadableColour.
Colour colourFromText(std::string_view text);

// The same reading, but a text that is no colour gives nothing, so that a
// reader with another fallback (the settings file falls back to black) can
// tell it from a real "clRed".
std::optional<Colour> readColourText(std::string_view text);

// A chat payload after its leading fields: the text up to the first "|" and
// the colour after it. Because the colour is everything after the first "|", a
// text that itself holds "|" comes out cut there and in kUnreadableColour.
struct ChatText {
    std::string_view text;
    Colour colour = kUnreadableColour;
};
ChatText splitChatText(std::string_view textAndColour);

// The inverse: text, "|", colour text.
std::string joinChatText(std::string_view text, Colour colour);

} // namespace lexiflip::wire
