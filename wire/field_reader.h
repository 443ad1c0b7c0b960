#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace lexiflip::wire {

// Decimal integer with an optional leading "-". Anything else (blanks, signs
// in the middle, trailing junk, an empty text, a value outside int) gives
// nothing. Never throws.
std::optional<int> parseInt(std::string_view text);

// An origin: where a word letter came from. x 1..10 and y 1..8 for a board
// cell; x 0 and y 1..7 for a bar tile.
struct Origin {
    int x = 0;
    int y = 0;
    bool operator==(const Origin&) const = default;
};

// Splits "x,y" at its comma. An origin that does not parse counts as 0,0.
Origin parseOrigin(std::string_view text);

// Reads the fields of one payload from the front.
class FieldReader {
public:
    explicit FieldReader(std::string_view payload) : m_rest(payload) {}

    // The text before the first "+" of the remaining payload, which is then
    // removed together with that "+". When no "+" is left the field is empty
    // and the remaining payload stays as it was (it is the message's last,
    // free-text field: read it with rest()).
    std::string_view next();

    // The next field as an integer; nothing when it does not parse, which ends
    // the handling of the message for every caller.
    std::optional<int> nextInt();

    // The next field, or, when no "+" is left, the whole remaining payload, which
    // is then used up: reads the last field of a message alike whether or not a
    // trailing "+" ends it.
    std::string_view take();

    // take() as an integer; nothing when it does not parse.
    std::optional<int> takeInt() { return parseInt(take()); }

    // The whole remaining payload: a name or chat text that may hold "+".
    std::string_view rest() const { return m_rest; }

    // The list that makes up the remaining payload, item by item: the payload
    // split at every "+". An empty payload is one empty item, and a trailing
    // "+" gives a last empty item, so a reader that needs numbers stops there.
    std::vector<std::string_view> list() const;

private:
    std::string_view m_rest;
};

} // namespace lexiflip::wire
