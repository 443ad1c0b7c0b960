#include "client/window/main_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <variant>
#include <vector>

namespace lexiflip::client {

namespace {

enum class Kind { Plain, Check, Radio, Separator, SubmenuStart, SubmenuEnd };

using settings::MenuOption;
using Meaning = std::variant<std::monostate, MenuCommand, MenuOption>;

struct Entry {
    Kind kind;
    const char* name = "";
    const char* caption = "";
    // What the entry does, or which preference it shows.
    Meaning meaning = {};
    // Tag of a radio entry (turn sound, bot speed, Klot's strength, text size).
    int tag = 0;
    bool enabled = true;
    const char* shortcut = "";
};

struct MenuTable {
    const char* title;
    std::vector<Entry> entries;
};

// Every entry is enabled here but "Start Game" and "Copy Invite Link", which
// the host role enables.
// No entry starts checked: the options' marks come from the preferences.
const std::vector<MenuTable>& menuTable()
{
    using C = MenuCommand;
    static const std::vector<MenuTable> table = {
        {"&File",
         {
             {Kind::Plain, "StartGame1", "Start Game", C::StartGame, 0, false},
             {Kind::Separator},
             {Kind::Plain, "NewSoloGame1", "New Solo Game", C::NewSoloGame},
             {Kind::Plain, "HostGame1", "Host a Network Game...", C::HostGame},
             {Kind::Plain, "JoinGame1", "Join a Network Game...", C::JoinGame},
             {Kind::Plain, "LeaveGame1", "Leave Game", C::LeaveGame},
             {Kind::Separator},
             {Kind::Plain, "OpenGameRecord1", "Open Game Record...", C::OpenGameRecord},
             {Kind::Plain, "CopyInviteLink1", "Copy Invite Link", C::CopyInviteLink, 0, false},
             {Kind::Separator},
             {Kind::Plain, "Exit1", "Exit", C::Exit},
         }},
        {"&Options",
         {
             {Kind::Check, "PlaySounds1", "Play Sounds", MenuOption::PlaySounds},
             {Kind::Check, "PlayChatterSounds1", "Play Chatter Sounds", MenuOption::ChatterSounds},
             {Kind::SubmenuStart, "TurnSound1", "Turn Sound"},
             {Kind::Radio, "Classic1", "Classic", MenuOption::TurnSound, 0},
             {Kind::Radio, "New1", "New", MenuOption::TurnSound, 1},
             {Kind::SubmenuEnd},
             {Kind::Check, "NotifyMyTurn1", "Notify When It Is My Turn", MenuOption::NotifyMyTurn},
             {Kind::Check, "OpenRouterPort1", "Open the Port on My Router", MenuOption::OpenRouterPort},
             {Kind::SubmenuStart, "BotSpeed1", "Bot Speed"},
             {Kind::Radio, "Slow1", "Slow", MenuOption::BotSpeed, 1000},
             {Kind::Radio, "Normal1", "Normal", MenuOption::BotSpeed, 750},
             {Kind::Radio, "Fast1", "Fast", MenuOption::BotSpeed, 250},
             {Kind::SubmenuEnd},
             {Kind::SubmenuStart, "KlotStrength1", "Klot's Strength"},
             {Kind::Radio, "StrengthClassic1", "Classic", MenuOption::KlotStrength, 0},
             {Kind::Radio, "StrengthStrong1", "Strong", MenuOption::KlotStrength, 1},
             {Kind::Radio, "StrengthExpert1", "Expert", MenuOption::KlotStrength, 2},
             {Kind::SubmenuEnd},
             {Kind::Check, "seetheirs", "See Other Player's Tiles", MenuOption::SeeTheirs},
             {Kind::Separator},
             {Kind::Check, "ClearWord", "Clear Word", MenuOption::ClearWord},
             {Kind::Separator},
             {Kind::Plain, "TextColor1", "Text Color", C::TextColor},
             {Kind::Plain, "ActionColor1", "Action Color", C::ActionColor},
             {Kind::SubmenuStart, "TextSize1", "Text Size"},
             {Kind::Radio, "N8", "8", MenuOption::TextSize, 8},
             {Kind::Radio, "N10", "10", MenuOption::TextSize, 10},
             {Kind::Radio, "N12", "12", MenuOption::TextSize, 12},
             {Kind::Radio, "N14", "14", MenuOption::TextSize, 14},
             {Kind::SubmenuEnd},
             {Kind::Check, "ScrollChatOff2", "Scroll Chat Off", C::ScrollChatOff, 0, true, "Ctrl+S"},
             {Kind::Plain, "ClearMainChat1", "Clear Main Chat", C::ClearMainChat},
             {Kind::Plain, "ResetScreenLocation1", "Reset Screen Location", C::ResetScreenLocation},
             {Kind::Separator},
             {Kind::Check, "JustWatch1", "Just Watch", C::JustWatch},
         }},
        {"&View",
         {
             {Kind::Plain, "ViewTally1", "View Tally", C::ViewTally},
             {Kind::Plain, "SpyList1", "Spy List", C::SpyList},
             {Kind::Plain, "PrhaseList1", "Phrase List", C::PhraseList},
             {Kind::Plain, "GameSummary1", "Game Summary", C::GameSummary, 0, true, "Ctrl+G"},
             {Kind::Separator},
             {Kind::Plain, "ZoomIn1", "Zoom In", C::ZoomIn, 0, true, "Ctrl++"},
             {Kind::Plain, "ZoomOut1", "Zoom Out", C::ZoomOut, 0, true, "Ctrl+-"},
             {Kind::Plain, "ActualSize1", "Actual Size", C::ActualSize, 0, true, "Ctrl+0"},
         }},
        {"&Help",
         {
             {Kind::Plain, "Help2", "Content", C::Help, 0, true, "F1"},
             {Kind::Separator},
             {Kind::Plain, "About1", "About", C::About},
         }},
    };
    return table;
}

} // namespace

MainMenu::MainMenu(QMenuBar& bar)
{
    for (const MenuTable& menuEntry : menuTable()) {
        QMenu* top = bar.addMenu(QString::fromLatin1(menuEntry.title));
        QMenu* menu = top;
        QActionGroup* group = nullptr;
        for (const Entry& e : menuEntry.entries) {
            const QString name = QString::fromLatin1(e.name);
            switch (e.kind) {
            case Kind::Separator:
                menu->addSeparator();
                continue;
            case Kind::SubmenuStart:
                menu = top->addMenu(QString::fromLatin1(e.caption));
                menu->menuAction()->setObjectName(name);
                m_entries.insert(name, menu->menuAction());
                group = new QActionGroup(menu);
                continue;
            case Kind::SubmenuEnd:
                menu = top;
                group = nullptr;
                continue;
            default:
                break;
            }
            QAction* action = menu->addAction(QString::fromLatin1(e.caption));
            action->setObjectName(name);
            action->setEnabled(e.enabled);
            action->setCheckable(e.kind != Kind::Plain);
            if (e.kind == Kind::Radio && group) {
                group->addAction(action);
                action->setData(e.tag);
            }
            if (*e.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
            m_entries.insert(name, action);
            if (const auto* command = std::get_if<MenuCommand>(&e.meaning))
                m_commands.emplace(*command, action);
            if (const auto* option = std::get_if<MenuOption>(&e.meaning))
                addOption(action, *option, e.tag);
        }
    }
    reflect(settings::Preferences{});
}

void MainMenu::addOption(QAction* action, settings::MenuOption option, int tag)
{
    m_options.push_back({action, option, tag});
    // triggered, not toggled: only the player's choice is reported, never a
    // mark that reflect() moves.
    QObject::connect(action, &QAction::triggered, action, [this, option, tag](bool checked) {
        if (m_chosen)
            m_chosen(option, tag, checked);
    });
}

void MainMenu::reflect(const settings::Preferences& prefs)
{
    for (const OptionEntry& entry : m_options) {
        const bool checked = settings::isChecked(entry.option, entry.tag, prefs);
        QActionGroup* group = entry.action->actionGroup();
        if (!checked && entry.action->isChecked() && group) {
            // An exclusive group refuses to leave no entry checked, which a
            // text size the menu lacks asks for.
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            entry.action->setChecked(false);
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
        } else {
            entry.action->setChecked(checked);
        }
    }
}

} // namespace lexiflip::client
