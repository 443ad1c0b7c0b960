#pragma once

// The chat view mainchat: a read-only view in which the client writes every
// line it shows (joins, game events, the winner, and the players' chat). It
// keeps the last kHistoryLines lines; older ones are dropped from the top,
// kDropBatch at a time, so that a peer flooding the chat cannot make the
// window's memory grow.

#include <QTextEdit>

#include <functional>
#include <string_view>

#include "client/settings/lexiflip_settings.h"
#include "wire/colour_text.h"

class QAction;
class QMenu;

namespace lexiflip::client {

class ChatView : public QTextEdit {
    Q_OBJECT

public:
    // Finds the link under a character position of the view's plain text
    // (paragraphs joined by "\n"); an empty result means no link there.
    using LinkFinder = std::function<QString(const QString& plainText, int position)>;

    static constexpr int kHistoryLines = 1000;
    // The view holds at most kHistoryLines + kDropBatch - 1 lines.
    static constexpr int kDropBatch = 100;

    explicit ChatView(QWidget* parent = nullptr);

    // Appends one line in colour: the part up to and including the first ":"
    // in bold, the rest in regular weight. The text is never read as markup.
    void addlinetochat(const QString& line, QColor colour);
    // The same for a line of 8-bit text from the game, and a colour 00BBGGRR;
    // its control characters are left out, so it stays one line.
    void addlinetochat(std::string_view line, wire::Colour colour);

    // "Scroll Chat Off": while on, new lines leave the reader's place alone.
    bool scrollChatOff() const { return m_scrollChatOff; }
    void setScrollChatOff(bool on);
    // Keeps another check entry (the Options menu's ScrollChatOff2) equal to
    // this view's own pop-up entry ScrollChatOff1, both ways.
    void attachScrollChatOffEntry(QAction* entry);

    // The font size in points. The menu offers 8, 10, 12 and 14, but a stored
    // size it lacks sizes the font too, and textSize keeps it as given so that
    // it is saved back unchanged. A size no font takes (below 1) leaves the
    // font as it is; one beyond kLargestFont draws at kLargestFont.
    static constexpr int kLargestFont = 144;
    void setTextSize(int points);
    int textSize() const { return m_textSize; }

    // The pop-up menu: "Copy", "Scroll Chat Off", "Clear Main Chat".
    QMenu* popupMenu() const { return m_popup; }

    // The seam for links: while a finder is set, the mouse shows a hand over a
    // link and a left press on one selects it and reports linkClicked.
    void setLinkFinder(LinkFinder finder);

public slots:
    // "Clear Main Chat": empties the view and reports mainChatCleared, after
    // which the window puts the focus into the chat entry box.
    void clearMainChat();

signals:
    void scrollChatOffChanged(bool on);
    void mainChatCleared();
    void linkClicked(const QString& link);
    // Any mouse button released over the view.
    void mouseReleased();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString linkAt(const QPoint& viewportPoint, int* start = nullptr) const;
    // Once kDropBatch lines have come beyond kHistoryLines, drops the oldest
    // down to kHistoryLines; returns the height they took.
    qreal dropOldestLines();
    // Lets the document forget the formats of dropped lines.
    void forgetUnusedFormats();

    bool m_scrollChatOff = false;
    int m_droppedSinceForgetting = 0;
    int m_textSize = settings::Preferences{}.textsize;
    QMenu* m_popup = nullptr;
    QAction* m_scrollChatOffEntry = nullptr;
    LinkFinder m_linkFinder;
};

} // namespace lexiflip::client
