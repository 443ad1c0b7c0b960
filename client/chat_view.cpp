#include "client/chat_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>

#include "client/eight_bit_text.h"
#include "client/pictures/palette.h"

namespace lexiflip::client {

ChatView::ChatView(QWidget* parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("mainchat"));
    setReadOnly(true);
    setAcceptRichText(false);
    setUndoRedoEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(palette::kChatPaper));
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    setTextSize(m_textSize);

    m_popup = new QMenu(this);
    QAction* copy = m_popup->addAction(QStringLiteral("Copy"), this, &QTextEdit::copy);
    copy->setObjectName(QStringLiteral("Copy1"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    m_scrollChatOffEntry = m_popup->addAction(QStringLiteral("Scroll Chat Off"));
    m_scrollChatOffEntry->setObjectName(QStringLiteral("ScrollChatOff1"));
    m_scrollChatOffEntry->setCheckable(true);
    m_scrollChatOffEntry->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_scrollChatOffEntry->setShortcutContext(Qt::WidgetShortcut);
    connect(m_scrollChatOffEntry, &QAction::toggled, this, &ChatView::setScrollChatOff);
    QAction* clear = m_popup->addAction(QStringLiteral("Clear Main Chat"), this, &ChatView::clearMainChat);
    clear->setObjectName(QStringLiteral("ClearMainChat2"));
}

void ChatView::addlinetochat(std::string_view line, wire::Colour colour)
{
    addlinetochat(shownText(line), palette::fromColour(colour));
}

void ChatView::addlinetochat(const QString& line, QColor colour)
{
    // Redrawing waits until the line is complete, so a reader whose place is
    // kept never sees the view jump and come back.
    const bool wasUpdating = updatesEnabled();
    setUpdatesEnabled(false);
    QScrollBar* bar = verticalScrollBar();
    const int keptPlace = bar->value();
    const QTextCursor keptCaret = textCursor();

    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    // One paragraph per line; the break goes before every line but the first,
    // so that the view never ends in an empty line.
    if (!document()->isEmpty())
        end.insertBlock();

    QTextCharFormat format;
    format.setForeground(colour);
    const qsizetype colon = line.indexOf(u':');
    if (colon >= 0) {
        format.setFontWeight(QFont::Bold);
        end.insertText(line.left(colon + 1), format);
    }
    format.setFontWeight(QFont::Normal);
    end.insertText(line.mid(colon + 1), format);

    if (m_scrollChatOff) {
        setTextCursor(keptCaret);
        bar->setValue(keptPlace);
    } else {
        bar->setValue(bar->maximum());
    }
    setUpdatesEnabled(wasUpdating);
    viewport()->update();
}

void ChatView::setScrollChatOff(bool on)
{
    if (on == m_scrollChatOff)
        return;
    m_scrollChatOff = on;
    m_scrollChatOffEntry->setChecked(on);
    emit scrollChatOffChanged(on);
}

void ChatView::attachScrollChatOffEntry(QAction* entry)
{
    entry->setCheckable(true);
    entry->setChecked(m_scrollChatOff);
    connect(entry, &QAction::toggled, this, &ChatView::setScrollChatOff);
    connect(this, &ChatView::scrollChatOffChanged, entry, &QAction::setChecked);
}

void ChatView::setTextSize(int points)
{
    if (points != 8 && points != 10 && points != 12 && points != 14)
        return;
    m_textSize = points;
    QFont font(QString::fromLatin1(palette::kFontFamily));
    font.setPointSize(points);
    setFont(font);
}

void ChatView::setLinkFinder(LinkFinder finder)
{
    m_linkFinder = std::move(finder);
    // The hand has to follow the mouse without a button held.
    viewport()->setMouseTracking(bool(m_linkFinder));
}

void ChatView::clearMainChat()
{
    clear();
    emit mainChatCleared();
}

void ChatView::contextMenuEvent(QContextMenuEvent* event)
{
    m_popup->exec(event->globalPos());
}

QString ChatView::linkAt(const QPoint& viewportPoint, int* start) const
{
    if (!m_linkFinder)
        return {};
    const QString text = document()->toPlainText();
    const int position = cursorForPosition(viewportPoint).position();
    const QString link = m_linkFinder(text, position);
    if (link.isEmpty() || start == nullptr)
        return link;
    // The link holds the position, so it starts at most its length before it.
    *start = int(text.indexOf(link, qMax(0, position - int(link.size()))));
    return link;
}

void ChatView::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    if (!m_linkFinder)
        return;
    if (linkAt(event->position().toPoint()).isEmpty())
        viewport()->setCursor(Qt::IBeamCursor);
    else
        viewport()->setCursor(Qt::PointingHandCursor);
}

void ChatView::mousePressEvent(QMouseEvent* event)
{
    int start = -1;
    const QString link =
        event->button() == Qt::LeftButton ? linkAt(event->position().toPoint(), &start) : QString();
    if (link.isEmpty() || start < 0) {
        QTextEdit::mousePressEvent(event);
        return;
    }
    QTextCursor selection(document());
    selection.setPosition(start);
    selection.setPosition(start + int(link.size()), QTextCursor::KeepAnchor);
    setTextCursor(selection);
    emit linkClicked(link);
}

void ChatView::mouseReleaseEvent(QMouseEvent* event)
{
    QTextEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

} // namespace lexiflip::client
