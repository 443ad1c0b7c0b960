#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextFragment>

#include <gtest/gtest.h>

#include <string>

#include "client/widgets/chat_view.h"
#include "client/media/palette.h"

namespace lexiflip::client {
namespace {

struct TextRun {
    QString text;
    bool bold;
    QColor colour;
    bool operator==(const TextRun&) const = default;
};

// The runs of one paragraph as the reader sees them.
std::vector<TextRun> runsOf(const QTextBlock& block)
{
    std::vector<TextRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        EXPECT_FALSE(format.isImageFormat());
        EXPECT_FALSE(format.isAnchor());
        runs.push_back({fragment.text(), format.fontWeight() == QFont::Bold, format.foreground().color()});
    }
    return runs;
}

TEST(ChatView, LinesAreBoldUpToTheFirstColonAndShownAsTyped)
{
    const QColor red(255, 0, 0);
    struct Case {
        QString line;
        std::vector<TextRun> runs;
    };
    const Case cases[] = {
        {"Klot made: FLEX for 12 points.", {{"Klot made:", true, red}, {" FLEX for 12 points.", false, red}}},
        {"There is a tie", {{"There is a tie", false, red}}},
        {"Ann chats: a:b", {{"Ann chats:", true, red}, {" a:b", false, red}}},
        {"Bo chats: <img src=x><b>hi</b>&amp;",
         {{"Bo chats:", true, red}, {" <img src=x><b>hi</b>&amp;", false, red}}},
        {"<a href=\"x\">y</a>: z", {{"<a href=\"x\">y</a>:", true, red}, {" z", false, red}}},
        {"ends with:", {{"ends with:", true, red}}},
    };
    ChatView view;
    for (const Case& c : cases)
        view.addlinetochat(c.line, red);
    ASSERT_EQ(view.document()->blockCount(), int(std::size(cases)));
    QTextBlock block = view.document()->firstBlock();
    for (const Case& c : cases) {
        EXPECT_EQ(block.text(), c.line);
        const std::vector<TextRun> runs = runsOf(block);
        ASSERT_EQ(runs.size(), c.runs.size()) << c.line.toStdString();
        for (size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].text, c.runs[i].text);
            EXPECT_EQ(runs[i].bold, c.runs[i].bold) << runs[i].text.toStdString();
            EXPECT_EQ(runs[i].colour, c.runs[i].colour);
        }
        block = block.next();
    }
}

TEST(ChatView, GameTextAndWireColoursArrive)
{
    ChatView view;
    // The system colour is pure blue; a wire colour is 00BBGGRR; text is 8-bit.
    view.addlinetochat(std::string_view("Caf\xe9 has started a game."), palette::kSystemColour);
    view.addlinetochat(std::string_view("Ann chats: hi"), wire::Colour(0x00336699));
    const std::vector<TextRun> first = runsOf(view.document()->firstBlock());
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].text, QString::fromUtf8("Café has started a game."));
    EXPECT_EQ(first[0].colour, QColor(0, 0, 255));
    EXPECT_EQ(runsOf(view.document()->lastBlock())[0].colour, QColor(0x99, 0x66, 0x33));
}

TEST(ChatView, FollowsNewLinesUnlessScrollChatOff)
{
    ChatView view;
    view.resize(240, 120);
    view.show();
    for (int i = 0; i < 60; ++i)
        view.addlinetochat(QStringLiteral("Klot chats: line %1").arg(i), Qt::black);
    QScrollBar* bar = view.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    // The reader scrolls up and stops the view from following.
    view.setScrollChatOff(true);
    bar->setValue(bar->maximum() / 3);
    const int place = bar->value();
    const int oldMaximum = bar->maximum();
    for (int i = 0; i < 20; ++i)
        view.addlinetochat(QStringLiteral("Ann chats: more %1").arg(i), Qt::black);
    EXPECT_GT(bar->maximum(), oldMaximum);
    EXPECT_EQ(bar->value(), place);

    view.setScrollChatOff(false);
    view.addlinetochat(QStringLiteral("There is a tie"), Qt::blue);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(ChatView, ScrollChatOffEntriesStayEqualAndClearEmpties)
{
    ChatView view;
    QAction options(QStringLiteral("Scroll Chat Off"));
    view.attachScrollChatOffEntry(&options);
    QAction* popup = view.popupMenu()->findChild<QAction*>(QStringLiteral("ScrollChatOff1"));
    ASSERT_NE(popup, nullptr);

    options.trigger();
    EXPECT_TRUE(view.scrollChatOff());
    EXPECT_TRUE(popup->isChecked());
    popup->trigger();
    EXPECT_FALSE(view.scrollChatOff());
    EXPECT_FALSE(options.isChecked());

    QSignalSpy cleared(&view, &ChatView::mainChatCleared);
    view.addlinetochat(QStringLiteral("You has started a game."), Qt::blue);
    view.clearMainChat();
    EXPECT_TRUE(view.document()->isEmpty());
    EXPECT_EQ(cleared.count(), 1);
    // The first line after a clear starts at the top, not after an empty one.
    view.addlinetochat(QStringLiteral("x"), Qt::blue);
    EXPECT_EQ(view.document()->blockCount(), 1);
}

TEST(ChatView, APressOnAFoundLinkSelectsAndReportsIt)
{
    ChatView view;
    view.resize(400, 200);
    view.show();
    view.addlinetochat(QStringLiteral("Ann chats: see www.example.org now"), Qt::black);
    const QString link = QStringLiteral("www.example.org");
    const int start = int(view.toPlainText().indexOf(link));
    view.setLinkFinder([&](const QString& text, int position) {
        EXPECT_EQ(text, view.toPlainText());
        return position >= start && position < start + link.size() ? link : QString();
    });
    QSignalSpy clicked(&view, &ChatView::linkClicked);
    QSignalSpy released(&view, &ChatView::mouseReleased);

    QTextCursor inside(view.document());
    inside.setPosition(start + 4);
    const QPoint onLink = view.cursorRect(inside).center() + QPoint(2, 0);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onLink);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toString(), link);
    EXPECT_EQ(view.textCursor().selectedText(), link);
    EXPECT_EQ(released.count(), 1);

    // Elsewhere a press is an ordinary press.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      view.cursorRect(QTextCursor(view.document())).center());
    EXPECT_EQ(clicked.count(), 1);
}

// A stored size the menu lacks sizes the font and is kept as given, so that
// the settings save writes it back unchanged.
TEST(ChatView, TextSizeTakesAnySizeAndKeepsItAsGiven)
{
    ChatView view;
    EXPECT_EQ(view.font().pointSize(), 8);
    const struct {
        int given;
        int font; // the font's size after it
    } cases[] = {{12, 12}, {11, 11}, {0, 11}, {-3, 11}, {1000, ChatView::kLargestFont}, {8, 8}};
    for (const auto& c : cases) {
        view.setTextSize(c.given);
        EXPECT_EQ(view.textSize(), c.given);
        EXPECT_EQ(view.font().pointSize(), c.font) << c.given;
    }
}

// Network text keeps every printable byte, 0x80..0xFE included (0xFF ends a
// message on the wire), and loses its control bytes: a line break in a chat
// text cannot start a line that looks like the window's own.
TEST(ChatView, GameTextLosesItsControlBytesAndStaysOneLine)
{
    std::string high;
    for (int code = 0x80; code <= 0xFE; ++code)
        high.push_back(char(code));
    QString highText;
    for (int code = 0x80; code <= 0xFE; ++code)
        highText.append(QChar(code));
    const struct {
        std::string line;
        QString shown;
    } cases[] = {
        {"Bo chats: hi\r\nYou has started a game.", "Bo chats: hiYou has started a game."},
        {"Bo chats: a\nb\rc\td\x0b"
         "e\x1f"
         "f\x7f"
         "g\x01",
         "Bo chats: abcdefg"},
        {"\n\n", ""},
        {"Bo chats: " + high, "Bo chats: " + highText},
        {"Bo chats: ~ !", "Bo chats: ~ !"},
    };
    ChatView view;
    for (const auto& c : cases)
        view.addlinetochat(std::string_view(c.line), palette::kSystemColour);
    ASSERT_EQ(view.document()->blockCount(), int(std::size(cases)));
    QTextBlock block = view.document()->firstBlock();
    for (const auto& c : cases) {
        EXPECT_EQ(block.text(), c.shown);
        block = block.next();
    }
}

// Lines in a colour of their own each, as a hostile peer may send them.
void addLines(ChatView& view, int from, int to)
{
    for (int i = from; i < to; ++i)
        view.addlinetochat(QStringLiteral("Mal chats: line %1").arg(i), QColor::fromRgb(QRgb(i * 7919)));
}

// A flood leaves the last kHistoryLines lines, the oldest dropped first, and
// the document's text and formats stay within bounds however long it runs.
TEST(ChatView, AFloodKeepsOnlyTheLastThousandLines)
{
    ChatView view; // not shown: laying the lines out is not what this is about
    view.setTextSize(11);
    addLines(view, 0, 5000);
    QTextDocument& doc = *view.document();
    const int characters = doc.characterCount();
    const qsizetype formats = doc.allFormats().size();
    addLines(view, 5000, 20000);
    ASSERT_EQ(ChatView::kHistoryLines, 1000);
    EXPECT_EQ(doc.blockCount(), ChatView::kHistoryLines);
    EXPECT_EQ(doc.firstBlock().text(), QStringLiteral("Mal chats: line 19000"));
    EXPECT_EQ(doc.lastBlock().text(), QStringLiteral("Mal chats: line 19999"));
    EXPECT_LE(doc.characterCount(), characters + ChatView::kHistoryLines); // one digit more a line
    EXPECT_LE(doc.allFormats().size(), formats);
    // Forgetting the old formats (last done on the final line) kept each
    // line's look and the document's own settings.
    const QColor last = QColor::fromRgb(QRgb(19999 * 7919));
    EXPECT_EQ(runsOf(doc.lastBlock()),
              (std::vector<TextRun>{{"Mal chats:", true, last}, {" line 19999", false, last}}));
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 11);
    EXPECT_FALSE(view.document()->isUndoRedoEnabled());

    // The oldest go a batch at a time: never more than a batch less one beyond.
    addLines(view, 20000, 20000 + ChatView::kDropBatch - 1);
    EXPECT_EQ(doc.blockCount(), ChatView::kHistoryLines + ChatView::kDropBatch - 1);
    EXPECT_EQ(doc.firstBlock().text(), QStringLiteral("Mal chats: line 19000"));
    view.addlinetochat(QStringLiteral("Mal chats: one more"), Qt::red);
    EXPECT_EQ(doc.blockCount(), ChatView::kHistoryLines);
    EXPECT_EQ(doc.firstBlock().text(), QStringLiteral("Mal chats: line %1").arg(19000 + ChatView::kDropBatch));
}

// A view that follows new lines still shows the last one when the document
// forgets the old formats (on the two thousandth line).
TEST(ChatView, AFollowingViewStaysAtTheEndAsOldFormatsAreForgotten)
{
    ChatView view;
    view.resize(240, 120);
    view.show();
    addLines(view, 0, 2 * ChatView::kHistoryLines);
    EXPECT_LE(view.document()->allFormats().size(), 2 * ChatView::kHistoryLines + 16);
    QScrollBar* bar = view.verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(view.cursorForPosition(QPoint(4, view.viewport()->height() - 4)).block().text(),
              QStringLiteral("Mal chats: line 1999"));
}

// Dropping lines at the top, and the document forgetting their formats, do
// not move what a reader who stopped the view from following is looking at,
// nor the selection.
TEST(ChatView, DroppingOldLinesKeepsAScrolledUpReadersPlace)
{
    ChatView view;
    view.resize(240, 120);
    view.show();
    addLines(view, 0, 1500);
    view.setScrollChatOff(true);
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(bar->maximum() - 3 * bar->pageStep());
    QTextCursor top = view.cursorForPosition(QPoint(4, 4));
    top.movePosition(QTextCursor::StartOfBlock);
    top.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    const QString reading = top.selectedText();
    ASSERT_TRUE(reading.startsWith(QStringLiteral("Mal chats: line 14")));
    view.setTextCursor(top);

    addLines(view, 1500, 2100);
    EXPECT_EQ(view.document()->firstBlock().text(), QStringLiteral("Mal chats: line 1100"));
    EXPECT_LE(view.document()->allFormats().size(), 2 * ChatView::kHistoryLines + 16 + 2 * 100);
    EXPECT_EQ(view.cursorForPosition(QPoint(4, 4)).block().text(), reading);
    EXPECT_EQ(view.textCursor().selectedText(), reading);

    view.setScrollChatOff(false);
    view.addlinetochat(QStringLiteral("There is a tie"), Qt::blue);
    EXPECT_EQ(bar->value(), bar->maximum());
}

} // namespace
} // namespace lexiflip::client
