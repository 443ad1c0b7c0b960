// Arbitrary bytes as the shared settings file (the lobby writes it too): the
// file model must give them back unchanged, our section must read and write
// back to a fixed point, writing our section must not change what another
// section holds, and setting one of our keys must change no byte outside that
// key's line.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "client/settings/ini_file.h"
#include "client/settings/lexiflip_settings.h"

using namespace lexiflip::settings;

namespace {

// Stops at a broken promise, saying which one.
void check(bool condition, const char* promise)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

// Every key of our section, and values of every awkward kind.
constexpr std::array<std::string_view, 28> kKeys = {
    "Textsize",    "Top",         "Left",      "Width",         "Height",   "Textcolor", "Actioncolor",
    "Playtoscore", "Timeperturn", "Viewable",  "4Player",       "Gamemode", "Botspeed",  "Playsounds",
    "Clearword",   "Seetheirs",   "Turnsound", "ChatterSounds", "Phrase1",  "Phrase2",   "Phrase3",
    "Phrase4",     "Phrase5",     "Phrase6",   "Phrase7",       "Phrase8",  "Phrase9",   "NotifyMyTurn"};
constexpr std::array<std::string_view, 8> kValues = {
    "14", "", " padded ", "two\r\nlines", "gg + wp | \xFF", std::string_view("nul\0byte", 8), "=", "[Lobby]"};

// Sets one key chosen by the input's size and checks that only it changed:
// either one line's value was replaced, or whole lines were inserted.
void checkOneKeyChange(const std::string& bytes)
{
    const std::string_view key = kKeys[bytes.size() % kKeys.size()];
    const std::string_view value = kValues[bytes.size() / kKeys.size() % kValues.size()];
    IniFile file = IniFile::parse(bytes);
    const bool existed = file.value(kSection, key).has_value();
    std::array<std::optional<std::string>, kKeys.size()> others;
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        others[i] = file.value(kSection, kKeys[i]);
    const auto lobbyNick = file.value("Lobby", "Nick");

    file.setValue(kSection, key, value);
    const std::string after = file.bytes();

    // What is left between the common beginning and the common end.
    std::size_t prefix = 0;
    while (prefix < bytes.size() && prefix < after.size() && bytes[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < bytes.size() - prefix && suffix < after.size() - prefix &&
           bytes[bytes.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string_view removed = std::string_view(bytes).substr(prefix, bytes.size() - prefix - suffix);
    const std::string_view inserted = std::string_view(after).substr(prefix, after.size() - prefix - suffix);
    if (existed && !(removed.empty() && inserted.empty())) {
        // Within the key's own line, after its "=".
        check(removed.find('\n') == std::string_view::npos && inserted.find('\n') == std::string_view::npos,
              "only the key's line changed");
        const std::size_t newline = prefix == 0 ? std::string::npos : after.rfind('\n', prefix - 1);
        const std::size_t lineStart = newline == std::string::npos ? 0 : newline + 1;
        const std::size_t equals = after.find('=', lineStart);
        check(equals < prefix, "the change is after the key's '='");
        check(sameName(trimmed(std::string_view(after).substr(lineStart, equals - lineStart)), key),
              "the changed line is the key's");
    } else if (!existed) {
        // Where exactly is ambiguous when the new lines repeat their
        // neighbours, so only that nothing was taken away.
        check(removed.empty() && !inserted.empty(), "a new key only adds lines");
    }

    // Read back: the new value (on one line, blanks trimmed), every other key
    // as it was.
    const IniFile again = IniFile::parse(after);
    std::string oneLine(value);
    for (char& c : oneLine)
        c = (c == '\r' || c == '\n') ? ' ' : c;
    check(again.value(kSection, key) == std::string(trimmed(oneLine)), "the new value reads back");
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (!sameName(kKeys[i], key))
            check(again.value(kSection, kKeys[i]) == others[i], "every other key keeps its value");
    }
    check(again.value("Lobby", "Nick") == lobbyNick, "the lobby's key keeps its value");
}

} // namespace

extern "C" const char* const* lexiflipFuzzSeeds()
{
    static const char* const seeds[] = {
        "[Lobby]\r\nNick=Ann\r\n\r\n[Lexiflip]\r\nTextsize=10\r\nBotspeed=250\r\nPhrase1=gg\r\n",
        "[lexiflip]\nTEXTCOLOR=$00FF0000\nGamemode=3\nViewable=yes\n; note\n[lobby]\nnick = Bob \n",
        "Left=-5\nTop=abc\n[LEXIFLIP]\nWidth=1e3\nHeight=\n4Player=0\nClearword=true",
        nullptr,
    };
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Read and written with no change: the same bytes.
    IniFile file = IniFile::parse(bytes);
    check(file.bytes() == bytes, "unchanged bytes come back");
    const auto lobbyNick = file.value("Lobby", "Nick");

    Preferences first;
    readPreferences(file, first);
    writePreferences(file, first);
    const std::string written = file.bytes();
    check(file.value("Lobby", "Nick") == lobbyNick, "our section leaves the lobby's alone");

    IniFile again = IniFile::parse(written);
    Preferences second;
    readPreferences(again, second);
    check(second == first, "preferences read back as written");
    writePreferences(again, second);
    check(again.bytes() == written, "a second write changes nothing");

    checkOneKeyChange(bytes);
    return 0;
}
