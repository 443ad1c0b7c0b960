#pragma once

#include "client/settings/join_history.h"
#include "client/settings/window_bounds.h"
#include "wire/colour_text.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lexiflip::settings {

class IniFile;

// The section of the shared settings file that is ours; also the stem of the
// tally file's name.
inline constexpr const char* kSection = "Lexiflip";
inline constexpr const char* kFileName = "halvolobby.ini";

enum class BotSpeed { Slow = 1000, Normal = 750, Fast = 250 };
enum class TurnSound { Classic = 0, New = 1 };
// How well the host's computer plays; the numbers are the engine's.
enum class KlotStrength { Classic = 0, Strong = 1, Expert = 2 };

// The player's preferences as the menus and controls hold them. The initial
// values are the built-in states the window shows before the file is read;
// they differ from the values a missing key gives (ChatterSounds, Seetheirs,
// 4Player), which is one reason nothing may be saved before the file was read.
struct Preferences {
    int textsize = 8;
    WindowBounds bounds; // all zero until read
    wire::Colour textcolor = 0;
    wire::Colour actioncolor = 0;
    int playtoscore = 250;
    int timeperturn = 60;
    bool viewable = false;
    bool fourPlayer = true;
    int gamemode = 0; // 1..3 once read; 0 is "no mode marked"
    BotSpeed botspeed = BotSpeed::Normal;
    std::array<std::string, 9> phrases; // empty: the button keeps its text
    bool playsounds = true;
    bool clearword = false;
    bool seetheirs = false;
    TurnSound turnsound = TurnSound::Classic;
    bool chatterSounds = false;
    // Keys of our own that the lobby never wrote, after the ones above.
    // The game window's zoom in percent; the window takes a number that is
    // none of its steps as 100.
    int zoom = 100;
    // A desktop notification besides the window's call when the own turn
    // starts in a window that is not active.
    bool notifyMyTurn = true;
    // How well the host's computer plays.
    KlotStrength klotStrength = KlotStrength::Classic;
    // Whether hosting for the network asks the home router to open its port.
    bool openRouterPort = true;

    bool operator==(const Preferences&) const = default;
};

// Applies every key of our section to prefs, each by its own read rule: a
// missing key gives its default, a malformed value its fallback, and the
// play-to score and time per turn keep their current value unless the file
// holds a valid integer. A phrase is taken only when not empty.
void readPreferences(const IniFile& file, Preferences& prefs);

// Writes Textsize through ChatterSounds, in that order, in their normalised
// form, then our own keys (Zoom, NotifyMyTurn, KlotStrength); the phrases are
// left as they are. Zoom and KlotStrength are written only when they are not
// the default or the file holds them already, so that the file of a player
// who never changes them stays as it was.
void writePreferences(IniFile& file, const Preferences& prefs);

// Writes Phrase1..Phrase9 only.
void writePhrases(IniFile& file, const std::array<std::string, 9>& phrases);

// The text size's menu entry (8, 10, 12 or 14), or nothing for a size the
// menu lacks, which still sets the font but checks no entry.
std::optional<int> textsizeMenuEntry(int textsize);

// Our section of the settings file, read and written as the window needs it.
//
// Every write reads the file afresh and replaces it atomically, so the lobby's
// sections and any change it made meanwhile survive. A file that cannot be read
// (missing, a directory, no permission) gives the defaults; a file that exists
// but cannot be read is never written, since writing it would lose the other
// sections. Like every file of ours, it is read and replaced through a link only
// when the link and its file belong to the user, and only when it is a regular
// file (fileio/file_rules.h). What went wrong is kept for the window to say.
class SettingsFile {
public:
    explicit SettingsFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return m_path; }

    Preferences& preferences() { return m_prefs; }
    const Preferences& preferences() const { return m_prefs; }

    // loadinifile: reads and applies every key; from now on saves may write.
    void load();
    bool wasRead() const { return m_wasRead; }

    // saveinifile: writes the preferences (not the phrases). Until load() ran
    // in this run it writes nothing and returns false: the preferences are
    // then the built-in states, and writing them would overwrite the stored
    // ones. Returns whether the file was written.
    bool save();

    // For the phrase editor: writes Phrase1..Phrase9 and nothing else, and
    // takes them as the current phrases. Allowed before load(), since it
    // writes only what the player just typed.
    bool savePhrases(const std::array<std::string, 9>& phrases);

    // The close path (Tchat's FormClose): stores the window's bounds and saves
    // when they differ from the stored ones. Nothing is written before load().
    bool saveBoundsAtClose(const WindowBounds& window, const WindowSize& workArea, bool maximised);

    // The join dialog's name and recent hosts as the file holds them now, and
    // writing them (and nothing else); allowed before load(), since they are
    // what the player just used.
    JoinHistory joinHistory() const;
    bool saveJoinHistory(const JoinHistory& history);

    // Another key of our section as the file holds it now (the lobby
    // download's LobbyServer); nothing when the file or the key is missing.
    std::optional<std::string> value(std::string_view key) const;

    // Why the last load() found the file unusable or the last save did not
    // write it, naming the file and the system's reason ("cannot write
    // /x/halvolobby.ini: Permission denied"); empty when it went well or when
    // nothing was to be written.
    const std::string& problem() const { return m_problem; }

private:
    enum class Existing { Missing, Read, Unreadable };
    Existing readExisting(IniFile& file, std::string* problem = nullptr) const;
    template <class Change> bool rewrite(Change&& change);

    std::filesystem::path m_path;
    Preferences m_prefs;
    bool m_wasRead = false;
    std::string m_problem;
};

} // namespace lexiflip::settings
