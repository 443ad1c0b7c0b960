#include "client/game/chat_rules.h"

#include <algorithm>

namespace lexiflip::client::chat {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool isPieceEdge(char c)
{
    return c == ' ' || c == '\r' || c == '\n';
}

// What a link may end with.
bool endsLink(char c)
{
    const char l = lower(c);
    return (l >= 'a' && l <= 'z') || (c >= '0' && c <= '9') || c == '/';
}

// The link prefixes in the order they are looked for, each with whether its
// link waits for the player's confirmation.
struct LinkKind {
    std::string_view prefix;
    bool confirmed;
};
constexpr LinkKind kLinkKinds[] = {
    {"http://", false},  {"ftp://", false}, {"file://", true},  {"gopher://", true},
    {"telnet://", true}, {"news:", false},  {"mailto:", false}, {"www.", false},
    // An invite joins another game: the player leaves his own only when he says so.
    {"lexiflip://", true},
};

} // namespace

Typed readTyped(std::string_view text)
{
    if (text.empty())
        return {};
    if (text.front() != '/')
        return {TypedKind::Chat, text};
    if (text.starts_with("/me"))
        return {TypedKind::Action, text.substr(std::min<std::size_t>(4, text.size()))};
    return {};
}

std::string phraseAction(std::string_view phrase)
{
    if (phrase.starts_with("/me "))
        return std::string(phrase.substr(4));
    return "says: " + std::string(phrase);
}

const Phrases& builtInPhrases()
{
    static const Phrases phrases = {"Way To Go!", "Good One!",         "Nice Try!",
                                    "Excellent!", "Brilliant!",        "Wow, WTG!",
                                    "Thanks!",    "Way To Go Teamie!", "Good Game Everyone!"};
    return phrases;
}

std::optional<std::string_view> chatterCaption(std::string_view soundName)
{
    if (soundName.size() < 5 || !std::equal(soundName.begin(), soundName.begin() + 4, "wave",
                                            [](char a, char b) { return lower(a) == b; }))
        return std::nullopt;
    const std::string_view number = soundName.substr(4);
    for (const ChatterSound& sound : kChatterSounds) {
        if (sound.tag > 0 && number == std::to_string(sound.tag))
            return sound.caption;
    }
    return std::nullopt;
}

std::string chatterLine(std::string_view senderName, std::string_view caption)
{
    return std::string(senderName) + ": <Chatter Sound> " + std::string(caption);
}

std::optional<LinkSpan> findLink(std::string_view text, std::size_t position)
{
    position = std::min(position, text.size());
    std::size_t left = position;
    while (left > 0 && !isPieceEdge(text[left - 1]))
        --left;
    std::size_t right = position;
    while (right < text.size() && !isPieceEdge(text[right]))
        ++right;
    std::string piece(text.substr(left, right - left));
    std::transform(piece.begin(), piece.end(), piece.begin(), lower);

    for (const auto& [prefix, confirmed] : kLinkKinds) {
        const std::size_t at = piece.find(prefix);
        if (at == std::string::npos)
            continue;
        std::size_t end = piece.size();
        while (end > at && !endsLink(piece[end - 1]))
            --end;
        // An invite's bracketed IPv6 host keeps its closing bracket.
        if (prefix == "lexiflip://" && end < piece.size() && piece[end] == ']' &&
            piece.find('[', at) < end)
            ++end;
        if (end - at <= prefix.size())
            return std::nullopt;
        return LinkSpan{left + at, end - at};
    }
    return std::nullopt;
}

bool linkNeedsConfirmation(std::string_view link)
{
    std::string start(link.substr(0, 16));
    std::transform(start.begin(), start.end(), start.begin(), lower);
    for (const auto& [prefix, confirmed] : kLinkKinds) {
        if (start.starts_with(prefix))
            return confirmed;
    }
    // Not a link the chat finds: asked about rather than opened blind.
    return true;
}

} // namespace lexiflip::client::chat
