#include "client/widgets/chat_view.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include "client/session/eight_bit_text.h"
#include "client/media/palette.h"
#include "client/widgets/zoomed_place.h"

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
    colours.setColor(QPalette::Text, QColor(palette::kInk));
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
    const qreal dropped = dropOldestLines();

    if (m_scrollChatOff) {
        // The lines dropped at the top took their height from above the
        // reader's place; the same text stays in view.
        setTextCursor(keptCaret);
        bar->setValue(qMax(0, keptPlace - qRound(dropped)));
    } else {
        bar->setValue(bar->maximum());
    }
    if (m_droppedSinceForgetting >= kHistoryLines) {
        m_droppedSinceForgetting = 0;
        forgetUnusedFormats();
    }
    setUpdatesEnabled(wasUpdating);
    viewport()->update();
    // The newest line is the view's name, so that a screen reader following
    // name changes speaks each line as it comes.
    setAccessibleName(QStringLiteral("Chat: %1").arg(line));
}

// Old lines go a hundred at a time: each removal at the top lays out the new
// first line again, which for a long line costs milliseconds, so dropping one
// line per new line made a stream of long lines (a peer's long name joining
// and leaving) cost four times what showing them did.
qreal ChatView::dropOldestLines()
{
    QTextDocument* doc = document();
    if (doc->blockCount() < kHistoryLines + kDropBatch)
        return 0;
    const int drop = doc->blockCount() - kHistoryLines;
    const QTextBlock first = doc->firstBlock();
    const QTextBlock firstKept = doc->findBlockByNumber(drop);
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    const qreal dropped = layout->blockBoundingRect(firstKept).top() - layout->blockBoundingRect(first).top();
    QTextCursor cut(first);
    cut.setPosition(firstKept.position(), QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    m_droppedSinceForgetting += drop;
    return dropped;
}

// A document keeps every format its text was ever given until it is cleared,
// and each line brings its own colour from the network: a peer sending every
// line in a new colour would make that grow without end. Once the history has
// turned over, the kept lines go back into the emptied document, which then
// holds only the formats they use. The text and its layout are the same as
// before; the reader's place and the caret are put back where they were.
void ChatView::forgetUnusedFormats()
{
    QTextDocument* doc = document();
    // Two formats a line (its bold and its regular part) and a few of the
    // document's own.
    if (doc->allFormats().size() <= 2 * doc->blockCount() + 16)
        return;
    const int place = verticalScrollBar()->value();
    const QTextCursor caret = textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    const QTextDocumentFragment lines(doc);
    doc->clear();
    QTextCursor(doc).insertFragment(lines);
    QTextCursor restored(doc);
    restored.setPosition(qMin(anchor, doc->characterCount() - 1));
    restored.setPosition(qMin(position, doc->characterCount() - 1), QTextCursor::KeepAnchor);
    setTextCursor(restored);
    verticalScrollBar()->setValue(place);
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
    m_textSize = points;
    if (points < 1)
        return;
    QFont font(QString::fromLatin1(palette::kFontFamily));
    font.setPointSize(qMin(points, kLargestFont));
    setZoomedFont(*this, font);
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
