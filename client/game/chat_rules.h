#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The rules of the chat column in plain C++: what typed text and the phrase
// buttons send, which chatter sounds exist, and where a link lies in the chat
// view's text. Text is 8-bit throughout.
namespace lexiflip::client::chat {

// What Enter in the entry box sends.
enum class TypedKind {
    Nothing, // empty, or a "/" command other than /me: dropped
    Chat,    // CMD_chat with the text as typed
    Action,  // CMD_action with text
};

struct Typed {
    TypedKind kind = TypedKind::Nothing;
    std::string_view text;
    bool operator==(const Typed&) const = default;
};

// Any text beginning with "/me" is an action whose text is what follows the
// first four characters, whatever they are ("/mewaves" acts "aves").
Typed readTyped(std::string_view text);

// The action text a phrase button sends: a phrase beginning "/me " without
// those four characters, any other phrase after "says: ".
std::string phraseAction(std::string_view phrase);

inline constexpr int kPhraseCount = 9;
using Phrases = std::array<std::string, kPhraseCount>;

// b_phrase1 .. b_phrase9 until the settings supply their own.
const Phrases& builtInPhrases();

// How long a sent phrase keeps the buttons from sending another.
inline constexpr int kPhraseCooldownMs = 2000;

// One entry of the chatter sounds menu: its tag selects the sound "wave" tag.
struct ChatterSound {
    int tag;
    std::string_view caption;
};

// In menu order; tag 0 is "<Cancel>", which sends nothing.
inline constexpr std::array<ChatterSound, 15> kChatterSounds = {{
    {0, "<Cancel>"},
    {1, "Doh"},
    {2, "Cough"},
    {3, "Hello"},
    {4, "Thank You"},
    {5, "Where have you been?"},
    {6, "Snoring"},
    {7, "Sneezing"},
    {8, "Sorry"},
    {9, "Welcome"},
    {10, "Yeehaa"},
    {11, "Yippee"},
    {12, "Oh No"},
    {13, "Applause"},
    {14, "Honk"},
}};

// The caption of a sound named "wave1" .. "wave14" (in any letter case, as
// sounds are looked up); nothing for any other name.
std::optional<std::string_view> chatterCaption(std::string_view soundName);

// The line a copy with chatter sounds switched off shows instead of playing one.
std::string chatterLine(std::string_view senderName, std::string_view caption);

// A link in the chat view's plain text (lines joined by "\n").
struct LinkSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const LinkSpan&) const = default;
};

// The link that the piece of text around a character position holds, if any.
// The piece runs from the nearest blank, CR or LF on the left of position to
// the nearest on its right. The first of the prefixes "http://", "ftp://",
// "file://", "gopher://", "telnet://", "news:", "mailto:", "www.",
// "lexiflip://" (in that order, without regard to case) found in the piece
// starts the link, which runs to the piece's end; trailing characters other
// than digits, "/" and letters are dropped, so that a full stop or bracket
// ending a sentence is not opened (an invite's "]" after "[" stays). A prefix
// alone is no link.
std::optional<LinkSpan> findLink(std::string_view text, std::size_t position);

// Whether a link found in the chat is opened only after the player confirmed
// it: any player writes the chat, and the handlers of "file://", "gopher://"
// and "telnet://" can start programs on some desktops. The web, mail and news
// links open at once.
bool linkNeedsConfirmation(std::string_view link);

} // namespace lexiflip::client::chat
