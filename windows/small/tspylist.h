#pragma once

// The watcher ("spy") list: one entry per connected watcher, its number, ": "
// and its name, as the client's watcher list holds them. In the host's
// copy its pop-up menu removes the watcher the pointer was last over.

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "windows/small/small_window.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

namespace lexiflip::windows {

// The slot an entry names: its text up to the first ":" read as a number.
// Nothing when that is not a number, or not a slot 1..9.
std::optional<int> watcherSlot(std::string_view entry);

class Tspylist : public SmallWindow {
    Q_OBJECT

public:
    explicit Tspylist(QWidget* parent = nullptr);

    // Shows the client's watcher list, told after each change. Rows that stay
    // keep their place, and a slot's new watcher takes its row, so the
    // selection and the row under the pointer stay with their watcher.
    void setWatchers(const std::vector<std::string>& entries);
    QStringList entries() const;

    // "Remove From Game" is offered only in the host's copy.
    void setRemoveEnabled(bool enabled);
    bool removeEnabled() const;

    // The item the pointer was last over, -1 for none (as the list's mouse
    // tracking records it).
    int hoveredItem() const { return m_hovered; }
    // The list's mouse move at a point of its viewport.
    void listbox_spysMouseMove(const QPoint& viewportPoint);
    // "Remove From Game" on the hovered item.
    void popup_kickhimClick();

signals:
    // The host's player asked to remove the watcher in this slot.
    void removeRequested(int slot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* m_list;
    QMenu* m_popup;
    QAction* m_kick;
    QPushButton* m_done;
    QLabel* m_hint;
    int m_hovered = -1;
};

} // namespace lexiflip::windows
