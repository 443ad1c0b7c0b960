#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <map>
#include <vector>

#include "client/settings/menu_options.h"

class QAction;
class QMenuBar;

namespace lexiflip::client {

// The menu entries that are commands (or, for Scroll Chat Off and Just Watch,
// check marks that are no preference), reached by what they do.
enum class MenuCommand {
    StartGame,
    NewSoloGame,
    HostGame,
    JoinGame,
    LeaveGame,
    OpenGameRecord,
    Exit,
    TextColor,
    ActionColor,
    ScrollChatOff,
    ClearMainChat,
    ResetScreenLocation,
    JustWatch,
    ViewTally,
    SpyList,
    PhraseList,
    GameSummary,
    ZoomIn,
    ZoomOut,
    ActualSize,
    Help,
    About,
    CopyInviteLink,
};

// The main window's menu bar, built from one table: every entry carries its
// component name as objectName, so that tests find it by name. Every entry is
// built and enabled but "Start Game", which the window enables when its player
// may start a game, and "Copy Invite Link", enabled while this copy hosts.
//
// The options' check marks follow the preferences one way: a choice in the
// menu is reported to the owner of the preferences, who changes them and hands
// them back to reflect().
class MainMenu {
public:
    using OptionChosen = std::function<void(settings::MenuOption option, int tag, bool checked)>;

    explicit MainMenu(QMenuBar& bar);

    QAction* action(MenuCommand command) const { return m_commands.at(command); }

    // Sets every option's check marks from prefs.
    void reflect(const settings::Preferences& prefs);
    // Where the player's choices of an option entry go.
    void setOptionChosen(OptionChosen chosen) { m_chosen = std::move(chosen); }

    // The entry named name ("JustWatch1", "N10", ...); null for an unknown
    // name. For tests and the test driver, which find controls by name.
    QAction* entry(const QString& name) const { return m_entries.value(name, nullptr); }

private:
    struct OptionEntry {
        QAction* action;
        settings::MenuOption option;
        int tag;
    };

    void addOption(QAction* action, settings::MenuOption option, int tag);

    QHash<QString, QAction*> m_entries;
    std::map<MenuCommand, QAction*> m_commands;
    std::vector<OptionEntry> m_options;
    OptionChosen m_chosen;
};

} // namespace lexiflip::client
