#include "client/main_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace lexiflip::client {

namespace {

enum class Kind { Plain, Check, Radio, Separator, SubmenuStart, SubmenuEnd };

struct Entry {
    Kind kind;
    const char* name = "";
    const char* caption = "";
    // Tag of a radio entry (turn sound, bot speed, text size).
    int tag = 0;
    bool enabled = true;
    bool checked = false;
    const char* shortcut = "";
};

struct MenuTable {
    const char* title;
    std::vector<Entry> entries;
};

// Every entry is enabled here but "Start Game", which the host role enables.
const std::vector<MenuTable>& menuTable()
{
    static const std::vector<MenuTable> table = {
        {"&File",
         {
             {Kind::Plain, "StartGame1", "Start Game", 0, false},
             {Kind::Separator},
             {Kind::Plain, "Exit1", "Exit"},
         }},
        {"&Options",
         {
             {Kind::Check, "PlaySounds1", "Play Sounds", 0, true, true},
             {Kind::Check, "PlayChatterSounds1", "Play Chatter Sounds", 0, true, false},
             {Kind::SubmenuStart, "TurnSound1", "Turn Sound"},
             {Kind::Radio, "Classic1", "Classic", 0, true, true},
             {Kind::Radio, "New1", "New", 1, true, false},
             {Kind::SubmenuEnd},
             {Kind::SubmenuStart, "BotSpeed1", "Bot Speed"},
             {Kind::Radio, "Slow1", "Slow", 1000, true, false},
             {Kind::Radio, "Normal1", "Normal", 750, true, true},
             {Kind::Radio, "Fast1", "Fast", 250, true, false},
             {Kind::SubmenuEnd},
             {Kind::Check, "seetheirs", "See Other Player's Tiles", 0, true, false},
             {Kind::Separator},
             {Kind::Check, "ClearWord", "Clear Word", 0, true, false},
             {Kind::Separator},
             {Kind::Plain, "TextColor1", "Text Color"},
             {Kind::Plain, "ActionColor1", "Action Color"},
             {Kind::SubmenuStart, "TextSize1", "Text Size"},
             {Kind::Radio, "N8", "8", 8, true, true},
             {Kind::Radio, "N10", "10", 10, true, false},
             {Kind::Radio, "N12", "12", 12, true, false},
             {Kind::Radio, "N14", "14", 14, true, false},
             {Kind::SubmenuEnd},
             {Kind::Check, "ScrollChatOff2", "Scroll Chat Off", 0, true, false, "Ctrl+S"},
             {Kind::Plain, "ClearMainChat1", "Clear Main Chat"},
             {Kind::Plain, "ResetScreenLocation1", "Reset Screen Location"},
             {Kind::Separator},
             {Kind::Check, "JustWatch1", "Just Watch", 0, true, false},
         }},
        {"&View",
         {
             {Kind::Plain, "ViewTally1", "View Tally"},
             {Kind::Plain, "SpyList1", "Spy List"},
             {Kind::Plain, "PrhaseList1", "Phrase List"},
         }},
        {"&Help",
         {
             {Kind::Plain, "Help2", "Content", 0, true, false, "F1"},
             {Kind::Separator},
             {Kind::Plain, "About1", "About"},
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
            if (e.kind != Kind::Plain) {
                action->setCheckable(true);
                action->setChecked(e.checked);
            }
            if (e.kind == Kind::Radio && group) {
                group->addAction(action);
                action->setData(e.tag);
            }
            if (*e.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
            m_entries.insert(name, action);
        }
    }
}

} // namespace lexiflip::client
