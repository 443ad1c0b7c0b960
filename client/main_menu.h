#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMenuBar;

namespace lexiflip::client {

// The main window's menu bar, built from one table: every entry carries its
// component name as objectName, so that code and tests find it by name.
// Every entry is built and enabled but "Start Game", which the window enables
// when its player may start a game.
class MainMenu {
public:
    explicit MainMenu(QMenuBar& bar);

    // The entry named name ("JustWatch1", "N10", ...); null for an unknown name.
    QAction* entry(const QString& name) const { return m_entries.value(name, nullptr); }

private:
    QHash<QString, QAction*> m_entries;
};

} // namespace lexiflip::client
