#include "windows/small/tspylist.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <charconv>

#include "client/session/eight_bit_text.h"

namespace lexiflip::windows {

std::optional<int> watcherSlot(std::string_view entry)
{
    const std::string_view number = entry.substr(0, entry.find(':'));
    int slot = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), slot);
    if (error != std::errc() || end == number.data() || end != number.data() + number.size())
        return std::nullopt;
    if (slot < 1 || slot > 9)
        return std::nullopt;
    return slot;
}

Tspylist::Tspylist(QWidget* parent)
    : SmallWindow(QStringLiteral("Lexiflip - Spys"), QStringLiteral("Spy List"), parent,
                  Qt::Tool | Qt::WindowStaysOnTopHint),
      m_list(new QListWidget(this)), m_popup(new QMenu(this)),
      m_kick(m_popup->addAction(QStringLiteral("Remove From Game"))),
      m_done(new QPushButton(QStringLiteral("Done"), this)),
      m_hint(new QLabel(QStringLiteral("Right-click a watcher to remove them from the game."), this))
{
    m_list->setObjectName(QStringLiteral("listbox_spys"));
    m_list->setAccessibleName(QStringLiteral("Watchers"));
    m_list->setMouseTracking(true);
    m_list->viewport()->setMouseTracking(true);
    m_list->viewport()->installEventFilter(this);
    m_list->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_list->setMinimumSize(240, 150);
    body()->addWidget(m_list, 1);

    m_popup->setObjectName(QStringLiteral("popup_kick"));
    m_kick->setObjectName(QStringLiteral("popup_kickhim"));
    m_kick->setEnabled(false);
    connect(m_kick, &QAction::triggered, this, &Tspylist::popup_kickhimClick);

    // Only the host's player can remove anybody, so only that copy says how.
    m_hint->setObjectName(QStringLiteral("label_hint"));
    m_hint->setWordWrap(true);
    m_hint->setVisible(false);
    body()->addWidget(m_hint);

    m_done->setObjectName(QStringLiteral("button_done"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_done);
    body()->addLayout(buttons);
    connect(m_done, &QPushButton::clicked, this, &QWidget::hide);

    resize(sizeHint().expandedTo(QSize(330, 300)));
}

void Tspylist::setWatchers(const std::vector<std::string>& entries)
{
    QStringList texts;
    for (const std::string& entry : entries)
        texts.append(client::shownText(entry));
    const QStringList shown = this->entries();
    // Rows no longer listed go, but where the list has a new watcher in their
    // place (an arrival in the same slot) the row takes it.
    for (int row = m_list->count() - 1; row >= 0; --row) {
        if (texts.contains(shown.at(row)))
            continue;
        if (row < texts.size() && !shown.contains(texts.at(row)))
            m_list->item(row)->setText(texts.at(row));
        else
            delete m_list->takeItem(row);
    }
    for (int row = 0; row < texts.size(); ++row)
        if (row >= m_list->count() || m_list->item(row)->text() != texts.at(row))
            m_list->insertItem(row, texts.at(row));
    while (m_list->count() > texts.size())
        delete m_list->takeItem(m_list->count() - 1);
    // The rows moved under the pointer; the next mouse move tells which is there.
    if (m_hovered >= m_list->count())
        m_hovered = -1;
}

QStringList Tspylist::entries() const
{
    QStringList texts;
    for (int row = 0; row < m_list->count(); ++row)
        texts.append(m_list->item(row)->text());
    return texts;
}

void Tspylist::setRemoveEnabled(bool enabled)
{
    m_kick->setEnabled(enabled);
    m_hint->setVisible(enabled);
}

bool Tspylist::removeEnabled() const
{
    return m_kick->isEnabled();
}

void Tspylist::listbox_spysMouseMove(const QPoint& viewportPoint)
{
    const QListWidgetItem* item = m_list->itemAt(viewportPoint);
    m_hovered = item ? m_list->row(item) : -1;
}

void Tspylist::popup_kickhimClick()
{
    // The action is disabled in a joining copy, but a shortcut or a stale menu
    // must not get past that either.
    if (!m_kick->isEnabled() || m_hovered < 0 || m_hovered >= m_list->count())
        return;
    const std::string text = client::eightBit(m_list->item(m_hovered)->text());
    if (const std::optional<int> slot = watcherSlot(text))
        emit removeRequested(*slot);
}

bool Tspylist::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            listbox_spysMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            break;
        case QEvent::ContextMenu: {
            const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            listbox_spysMouseMove(menuEvent->pos());
            m_popup->popup(menuEvent->globalPos());
            return true;
        }
        default:
            break;
        }
    }
    return SmallWindow::eventFilter(watched, event);
}

} // namespace lexiflip::windows
