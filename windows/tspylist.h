#pragma once

// The watcher ("spy") list: one entry per connected watcher, its number, ": "
// and its name, kept in step with the client's watcher list. In the host's
// copy its pop-up menu removes the watcher the pointer was last over.

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "windows/small_window.h"

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

    // The list, fed from the client's watcher list. An entry for a slot that
    // already has one replaces it in place: a slot holds one watcher.
    void watcherAdded(std::string_view entry);
    void watcherRemoved(std::string_view entry); // the first entry with this text
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
