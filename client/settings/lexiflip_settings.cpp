#include "client/settings/lexiflip_settings.h"

#include "client/settings/ini_file.h"
#include "fileio/atomic_file.h"
#include "fileio/file_rules.h"

#include <charconv>
#include <string_view>
#include <system_error>

namespace lexiflip::settings {
namespace {

std::optional<int> integerValue(const std::optional<std::string>& text)
{
    if (!text || text->empty())
        return std::nullopt;
    const char* first = text->data();
    const char* last = first + text->size();
    if (*first == '+')
        ++first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

// The rules for the true/false keys: some are on unless exactly "false",
// one only when exactly "true".
bool onUnlessFalse(const std::optional<std::string>& text)
{
    return !text || *text != "false";
}

bool onOnlyIfTrue(const std::optional<std::string>& text)
{
    return text && *text == "true";
}

// "0"/"1" keys that default to "0": exactly "0" is off, any other value on.
bool onUnlessZero(const std::optional<std::string>& text)
{
    return text && *text != "0";
}

const char* trueFalse(bool on)
{
    return on ? "true" : "false";
}

const char* oneZero(bool on)
{
    return on ? "1" : "0";
}

std::string phraseKey(std::size_t index)
{
    return "Phrase" + std::to_string(index + 1);
}

} // namespace

void readPreferences(const IniFile& file, Preferences& prefs)
{
    const auto get = [&](std::string_view key) { return file.value(kSection, key); };

    prefs.textsize = integerValue(get("Textsize")).value_or(8);
    // The four bounds are applied together, once all are read.
    prefs.bounds = WindowBounds{
        integerValue(get("Left")).value_or(kResetBounds.left),
        integerValue(get("Top")).value_or(kResetBounds.top),
        integerValue(get("Width")).value_or(kResetBounds.width),
        integerValue(get("Height")).value_or(kResetBounds.height),
    };
    const auto colour = [&](std::string_view key) {
        return wire::readColourText(get(key).value_or("clblack")).value_or(0);
    };
    prefs.textcolor = colour("Textcolor");
    prefs.actioncolor = colour("Actioncolor");
    if (const auto score = integerValue(get("Playtoscore")))
        prefs.playtoscore = *score;
    if (const auto seconds = integerValue(get("Timeperturn")))
        prefs.timeperturn = *seconds;
    prefs.viewable = onUnlessZero(get("Viewable"));
    prefs.fourPlayer = onUnlessZero(get("4Player"));
    const auto mode = get("Gamemode");
    prefs.gamemode = (mode == "2") ? 2 : (mode == "3") ? 3 : 1;
    const auto speed = get("Botspeed");
    prefs.botspeed = (speed == "1000")  ? BotSpeed::Slow
                     : (speed == "250") ? BotSpeed::Fast
                                        : BotSpeed::Normal;
    for (std::size_t i = 0; i < prefs.phrases.size(); ++i) {
        const auto phrase = get(phraseKey(i));
        if (phrase && !phrase->empty())
            prefs.phrases[i] = *phrase;
    }
    prefs.playsounds = onUnlessFalse(get("Playsounds"));
    prefs.clearword = onOnlyIfTrue(get("Clearword"));
    prefs.seetheirs = onUnlessFalse(get("Seetheirs"));
    prefs.turnsound = (get("Turnsound") == "1") ? TurnSound::New : TurnSound::Classic;
    prefs.chatterSounds = onUnlessFalse(get("ChatterSounds"));
    prefs.zoom = integerValue(get("Zoom")).value_or(100);
    prefs.notifyMyTurn = onUnlessFalse(get("NotifyMyTurn"));
    prefs.openRouterPort = onUnlessFalse(get("OpenRouterPort"));
    const auto strength = get("KlotStrength");
    prefs.klotStrength = (strength == "strong")   ? KlotStrength::Strong
                         : (strength == "expert") ? KlotStrength::Expert
                                                  : KlotStrength::Classic;
}

void writePreferences(IniFile& file, const Preferences& prefs)
{
    const auto set = [&](std::string_view key, std::string_view value) {
        file.setValue(kSection, key, value);
    };
    const auto number = [](int value) { return std::to_string(value); };

    set("Textsize", number(prefs.textsize));
    set("Top", number(prefs.bounds.top));
    set("Left", number(prefs.bounds.left));
    set("Width", number(prefs.bounds.width));
    set("Height", number(prefs.bounds.height));
    set("Textcolor", wire::colourToText(prefs.textcolor));
    set("Actioncolor", wire::colourToText(prefs.actioncolor));
    set("Playtoscore", number(prefs.playtoscore));
    set("Timeperturn", number(prefs.timeperturn));
    set("Viewable", oneZero(prefs.viewable));
    set("4Player", oneZero(prefs.fourPlayer));
    set("Gamemode", number(prefs.gamemode >= 1 && prefs.gamemode <= 3 ? prefs.gamemode : 1));
    set("Botspeed", number(static_cast<int>(prefs.botspeed)));
    set("Playsounds", trueFalse(prefs.playsounds));
    set("Clearword", trueFalse(prefs.clearword));
    set("Seetheirs", trueFalse(prefs.seetheirs));
    set("Turnsound", number(static_cast<int>(prefs.turnsound)));
    set("ChatterSounds", trueFalse(prefs.chatterSounds));
    if (prefs.zoom != 100 || file.value(kSection, "Zoom"))
        set("Zoom", number(prefs.zoom));
    set("NotifyMyTurn", trueFalse(prefs.notifyMyTurn));
    // Written once it was switched off, so that files written before it
    // existed keep their bytes.
    if (!prefs.openRouterPort || file.value(kSection, "OpenRouterPort"))
        set("OpenRouterPort", trueFalse(prefs.openRouterPort));
    if (prefs.klotStrength != KlotStrength::Classic || file.value(kSection, "KlotStrength"))
        set("KlotStrength", prefs.klotStrength == KlotStrength::Strong   ? "strong"
                            : prefs.klotStrength == KlotStrength::Expert ? "expert"
                                                                         : "classic");
}

void writePhrases(IniFile& file, const std::array<std::string, 9>& phrases)
{
    for (std::size_t i = 0; i < phrases.size(); ++i)
        file.setValue(kSection, phraseKey(i), phrases[i]);
}

std::optional<int> textsizeMenuEntry(int textsize)
{
    switch (textsize) {
    case 8:
    case 10:
    case 12:
    case 14:
        return textsize;
    default:
        return std::nullopt;
    }
}

SettingsFile::SettingsFile(std::filesystem::path path) : m_path(std::move(path)) {}

SettingsFile::Existing SettingsFile::readExisting(IniFile& file, std::string* problem) const
{
    fileio::FileRead read = fileio::readRegularFile(m_path);
    switch (read.kind) {
    case fileio::FileRead::Kind::Missing:
        return Existing::Missing;
    case fileio::FileRead::Kind::Refused:
        if (problem)
            *problem = "cannot read " + m_path.string() + ": " + read.problem;
        return Existing::Unreadable;
    case fileio::FileRead::Kind::Read:
        break;
    }
    file = IniFile::parse(read.bytes);
    return Existing::Read;
}

void SettingsFile::load()
{
    IniFile file;
    m_problem.clear();
    readExisting(file, &m_problem); // an unreadable file reads as an empty one: the defaults
    readPreferences(file, m_prefs);
    m_wasRead = true;
}

template <class Change> bool SettingsFile::rewrite(Change&& change)
{
    IniFile file;
    m_problem.clear();
    if (readExisting(file, &m_problem) == Existing::Unreadable) {
        m_problem += " (so it is not written: the other programs' sections would be lost)";
        return false;
    }
    const std::string before = file.bytes();
    change(file);
    const std::string after = file.bytes();
    if (after == before && std::filesystem::exists(m_path))
        return true;
    try {
        fileio::writeFileAtomically(m_path, after);
    } catch (const fileio::FileError& error) {
        m_problem = error.what(); // the previous file stays as it was
        return false;
    }
    return true;
}

bool SettingsFile::save()
{
    m_problem.clear(); // a save that writes nothing has nothing to say either
    if (!m_wasRead)
        return false;
    return rewrite([&](IniFile& file) { writePreferences(file, m_prefs); });
}

bool SettingsFile::savePhrases(const std::array<std::string, 9>& phrases)
{
    m_prefs.phrases = phrases;
    return rewrite([&](IniFile& file) { writePhrases(file, phrases); });
}

bool SettingsFile::saveBoundsAtClose(const WindowBounds& window, const WindowSize& workArea, bool maximised)
{
    m_problem.clear();
    if (!m_wasRead)
        return false;
    const auto store = boundsToStoreAtClose(window, m_prefs.bounds, workArea, maximised);
    if (!store)
        return false;
    m_prefs.bounds = *store;
    return save();
}

JoinHistory SettingsFile::joinHistory() const
{
    IniFile file;
    readExisting(file);
    return readJoinHistory(file);
}

bool SettingsFile::saveJoinHistory(const JoinHistory& history)
{
    return rewrite([&](IniFile& file) { writeJoinHistory(file, history); });
}

std::optional<std::string> SettingsFile::value(std::string_view key) const
{
    IniFile file;
    if (readExisting(file) != Existing::Read)
        return std::nullopt;
    return file.value(kSection, key);
}

} // namespace lexiflip::settings
