// The phrase editor, the watcher list, the help window and the about window,
// driven through their named controls.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "wire/messages.h"
#include "windows/small/tabout.h"
#include "windows/small/thelp.h"
#include "windows/small/tphrases.h"
#include "windows/small/tspylist.h"

namespace lexiflip::windows {
namespace {

template <typename T> T* named(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QStringList builtInPhrases()
{
    return {"Way To Go!", "Good One!", "Nice Try!",         "Excellent!",         "Brilliant!",
            "Wow, WTG!",  "Thanks!",   "Way To Go Teamie!", "Good Game Everyone!"};
}

// --- Phrase editor --------------------------------------------------------------

TEST(PhraseEditor, OpensWithTheButtonsPhrasesAndDoneHandsBackTheEdits)
{
    Tphrases phrases;
    EXPECT_EQ(phrases.windowTitle(), "Lexiflip - Phrase Buttons ");
    QSignalSpy applied(&phrases, &Tphrases::phrasesApplied);

    QStringList buttons = builtInPhrases();
    buttons[8] = QString(60, u'x'); // longer than an entry holds
    phrases.PrhaseList1Click(buttons);
    ASSERT_TRUE(phrases.isVisible());
    for (int i = 1; i <= 9; ++i) {
        QLineEdit* entry = named<QLineEdit>(phrases, QStringLiteral("phrase%1").arg(i));
        EXPECT_EQ(entry->maxLength(), 50);
        EXPECT_EQ(entry->text(), buttons[i - 1].left(50)) << i;
    }

    // Edit one, empty another, then Done.
    QLineEdit* third = named<QLineEdit>(phrases, "phrase3");
    third->clear();
    QTest::keyClicks(third, "/me waves");
    named<QLineEdit>(phrases, "phrase5")->clear();
    QTest::mouseClick(named<QAbstractButton>(phrases, "button_done"), Qt::LeftButton);

    ASSERT_EQ(applied.count(), 1);
    const QStringList texts = applied.at(0).at(0).toStringList();
    ASSERT_EQ(texts.size(), 9);
    EXPECT_EQ(texts[2], "/me waves");
    EXPECT_EQ(texts[4], "");
    EXPECT_EQ(texts[0], "Way To Go!");
    EXPECT_EQ(texts[8], QString(50, u'x'));
    EXPECT_FALSE(phrases.isVisible());
}

TEST(PhraseEditor, ClosingDiscardsTheEditsAndTheNextOpeningShowsTheButtonsAgain)
{
    Tphrases phrases;
    QSignalSpy applied(&phrases, &Tphrases::phrasesApplied);
    phrases.PrhaseList1Click(builtInPhrases());
    named<QLineEdit>(phrases, "phrase1")->setText("Never sent");
    phrases.close();
    EXPECT_EQ(applied.count(), 0);

    phrases.PrhaseList1Click(builtInPhrases());
    EXPECT_EQ(phrases.phrases(), builtInPhrases());
    EXPECT_EQ(applied.count(), 0);
}

TEST(PhraseEditor, EnterInAnEntryIsDoneAndEscapeDiscards)
{
    Tphrases phrases;
    QSignalSpy applied(&phrases, &Tphrases::phrasesApplied);
    phrases.PrhaseList1Click(builtInPhrases());
    QLineEdit* first = named<QLineEdit>(phrases, "phrase1");
    first->setText("Kept");
    QTest::keyClick(first, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return applied.count() == 1; }));
    EXPECT_EQ(applied.at(0).at(0).toStringList().at(0), "Kept");

    phrases.PrhaseList1Click(builtInPhrases());
    first->setText("Never sent");
    QTest::keyClick(first, Qt::Key_Escape);
    EXPECT_FALSE(phrases.isVisible());
    EXPECT_EQ(applied.count(), 1);
}

TEST(PhraseEditor, ShowsItsCaptionsAndTheCoolDownNote)
{
    Tphrases phrases;
    QStringList captions;
    for (const QLabel* label : phrases.findChildren<QLabel*>())
        captions << label->text();
    for (int i = 1; i <= 9; ++i)
        EXPECT_TRUE(captions.contains(QStringLiteral("Phrase Button %1:").arg(i))) << i;
    EXPECT_TRUE(captions.contains("Buttons can only be used once every 2 seconds"));
}

// --- Watcher list ---------------------------------------------------------------

TEST(WatcherSlot, IsTheNumberBeforeTheFirstColon)
{
    const struct {
        const char* entry;
        std::optional<int> slot;
    } cases[] = {
        {"7: Ann", 7},
        {"9: Bo: the second", 9},
        {"8", 8},
        {"12: Far", std::nullopt},
        {"0: Nobody", std::nullopt},
        {"x7: Ann", std::nullopt},
        {": Ann", std::nullopt},
        {" 7: Ann", std::nullopt},
        {"7 : Ann", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(watcherSlot(c.entry), c.slot) << c.entry;
}

class WatcherList : public ::testing::Test {
protected:
    void SetUp() override
    {
        spys.setWatchers({"7: Ann", "8: Bob", "Not a number: Cy"});
        spys.show();
        list = named<QListWidget>(spys, "listbox_spys");
        kick = spys.findChild<QAction*>("popup_kickhim");
        ASSERT_NE(kick, nullptr);
    }

    // The pointer moves over the list's viewport.
    void moveTo(QPoint point)
    {
        QMouseEvent move(QEvent::MouseMove, point, list->viewport()->mapToGlobal(point), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &move);
    }
    void moveOver(int row) { moveTo(list->visualItemRect(list->item(row)).center()); }

    Tspylist spys;
    QListWidget* list = nullptr;
    QAction* kick = nullptr;
};

TEST_F(WatcherList, RemovesTheWatcherLastUnderThePointerNotTheSelection)
{
    EXPECT_EQ(spys.windowTitle(), "Lexiflip - Spys");
    EXPECT_TRUE(spys.windowFlags() & Qt::WindowStaysOnTopHint);
    spys.setRemoveEnabled(true);
    QSignalSpy removed(&spys, &Tspylist::removeRequested);

    list->setCurrentRow(0);
    moveOver(1);
    kick->trigger();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toInt(), 8);

    // An entry that does not begin with a number asks for nothing.
    moveOver(2);
    kick->trigger();
    EXPECT_EQ(removed.count(), 1);
}

TEST_F(WatcherList, RemoveWithThePointerLastOverNoItemDoesNothing)
{
    spys.setRemoveEnabled(true);
    QSignalSpy removed(&spys, &Tspylist::removeRequested);
    moveOver(0);
    moveTo(QPoint(5, list->viewport()->height() - 3)); // below the last item
    EXPECT_EQ(spys.hoveredItem(), -1);
    kick->trigger();
    EXPECT_EQ(removed.count(), 0);
}

TEST_F(WatcherList, StaysDisabledInAJoiningCopy)
{
    QSignalSpy removed(&spys, &Tspylist::removeRequested);
    EXPECT_FALSE(kick->isEnabled());
    moveOver(0);
    spys.popup_kickhimClick(); // even when reached without the menu
    EXPECT_EQ(removed.count(), 0);
}

// The list shows the client's watcher list (where a slot holds one watcher)
// after each change, in place: the row under the pointer and the selection
// stay with their watcher.
TEST_F(WatcherList, FollowsTheClientsWatchersInPlace)
{
    moveOver(1);
    list->setCurrentRow(2);
    spys.setWatchers({"7: Mal", "8: Bob", "Not a number: Cy"}); // a new watcher in Ann's slot
    spys.setWatchers({"7: Mal", "8: Bob", "Not a number: Cy", "9: Dee"});
    EXPECT_EQ(spys.entries(), QStringList({"7: Mal", "8: Bob", "Not a number: Cy", "9: Dee"}));
    EXPECT_EQ(spys.hoveredItem(), 1);
    EXPECT_EQ(list->currentRow(), 2);

    spys.setWatchers({"8: Bob", "Not a number: Cy", "9: Dee"}); // Mal left
    EXPECT_EQ(spys.entries(), QStringList({"8: Bob", "Not a number: Cy", "9: Dee"}));
    EXPECT_EQ(list->currentRow(), 1) << "the selection stays on Cy";

    spys.setWatchers({"9: Dee"});
    EXPECT_EQ(spys.entries(), QStringList({"9: Dee"}));
    EXPECT_EQ(spys.hoveredItem(), -1);
    spys.setWatchers({});
    EXPECT_TRUE(spys.entries().isEmpty());
}

// --- Help -----------------------------------------------------------------------

TEST(HelpWindow, EveryPageIsReachableFromItsButtonAndTitled)
{
    Thelp help;
    EXPECT_EQ(help.windowTitle(), "Lexiflip - Help File");
    help.show();
    QLabel* caption = named<QLabel>(help, "label_caption");
    EXPECT_EQ(help.currentPage(), 1);
    EXPECT_EQ(caption->text(), "Overview");

    const char* captions[] = {"Overview",      "Connecting", "Game Play", "Scoring", "Documentation",
                              "License",       "Keyboard and Screen Reader"};
    // Each page says what its title promises.
    const char* contents[] = {"remember",       "7772", "Sneak Peek", "counts double", "History",
                              "Kevin Atkinson", "F6"};
    for (int tag = 7; tag >= 1; --tag) {
        auto* button = named<QAbstractButton>(help, QStringLiteral("SelButton%1").arg(tag));
        EXPECT_EQ(button->text(), captions[tag - 1]);
        QTest::mouseClick(button, Qt::LeftButton);
        auto* memo = named<QTextBrowser>(help, QStringLiteral("memo%1").arg(tag));
        EXPECT_TRUE(memo->isVisible()) << tag;
        EXPECT_EQ(caption->text(), captions[tag - 1]);
        EXPECT_TRUE(memo->toPlainText().contains(contents[tag - 1])) << tag;
    }
}

TEST(HelpWindow, EnterPressesTheFocusedButtonAndEscapeCloses)
{
    Thelp help;
    help.show();
    QApplication::setActiveWindow(&help);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    // The page buttons are one stop for Tab, walked with the arrows; then
    // About, Done and the page.
    named<QAbstractButton>(help, "SelButton6")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    auto* keys = named<QAbstractButton>(help, "SelButton7");
    EXPECT_TRUE(keys->hasFocus());
    QStringList walked;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(walked, QStringList({"button_about", "button_done", "memo1", "SelButton7"}));
    QTest::keyClick(keys, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return help.currentPage() == 7; }));
    QTest::keyClick(keys, Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());
}

TEST(HelpWindow, AboutAsksForTheAboutWindowAndDoneHides)
{
    Thelp help;
    help.show();
    QSignalSpy about(&help, &Thelp::aboutRequested);
    QTest::mouseClick(named<QAbstractButton>(help, "button_about"), Qt::LeftButton);
    EXPECT_EQ(about.count(), 1);
    QTest::mouseClick(named<QAbstractButton>(help, "button_done"), Qt::LeftButton);
    EXPECT_FALSE(help.isVisible());
}

// --- About ----------------------------------------------------------------------

TEST(AboutWindow, ShowsTheLoginVersionOpensTheLinkAndHidesOnThePicture)
{
    QList<QUrl> opened;
    Tabout about(nullptr, [&](const QUrl& link) {
        opened << link;
        return true;
    });
    about.show();
    EXPECT_EQ(about.windowTitle(), "Lexiflip - About");
    EXPECT_EQ(named<QLabel>(about, "version")->text().toStdString(), wire::msg::kVersion);
    EXPECT_EQ(named<QLabel>(about, "label_point")->text(), ".3");

    QTest::mouseClick(named<QLabel>(about, "label_weblink"), Qt::LeftButton);
    about.openWebLink(); // the main window's logo
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], makerWebLink());
    EXPECT_FALSE(makerWebLink().isEmpty());

    QTest::mouseClick(named<QWidget>(about, "image_about"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
} // namespace lexiflip::windows
