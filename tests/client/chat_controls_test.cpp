// The chat column of the game window over a real host on loopback: typing,
// phrases and their cool-down, chatter sounds, links, the colour and
// chatter options, Copy and Paste.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QUrl>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "client/game/client_game.h"
#include "client/media/sound_player.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/phrase_buttons.h"
#include "client/window/chat_controls.h"
#include "client/window/game_window.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "engine/virtual_timeline.h"
#include "host/tserver.h"
#include "net/error_report.h"
#include "net/net_wait.h"
#include "support/hosted_window.h"
#include "support/timeline_clock.h"

namespace lexiflip::client {
namespace {

using testing::HostedWindow;
using testing::waitUntil;

TEST(ChatControls, TypedChatAndActionsGoOutOnEnterAndComeBackFromTheHost)
{
    HostedWindow hosted;
    ASSERT_TRUE(hosted.connected());
    EXPECT_EQ(hosted.chatEntry().text(), "<Enter Chat Here>");
    hosted.type("h");
    EXPECT_EQ(hosted.chatEntry().text(), "h") << "the prompt goes with the first key";
    hosted.type("ello");
    hosted.enter();
    EXPECT_EQ(hosted.chatEntry().text(), "");
    ASSERT_TRUE(hosted.shows("You chats: hello"));

    hosted.type("/who");
    hosted.enter();
    EXPECT_EQ(hosted.chatEntry().text(), "") << "an unknown command is dropped and the box emptied";
    hosted.type("/me waves");
    hosted.enter();
    ASSERT_TRUE(hosted.shows("You waves"));
    EXPECT_FALSE(hosted.shown().contains("who"));

    // The own colour travels with the line: black chat, and an action in the action colour.
    hosted.chat().setActionColour(0x008000);
    hosted.type("/me nods");
    hosted.enter();
    ASSERT_TRUE(hosted.shows("You nods"));
    const QTextBlock last = hosted.tchat().chatView().document()->lastBlock();
    EXPECT_EQ(last.begin().fragment().charFormat().foreground().color(), QColor(0, 128, 0));
}

TEST(ChatControls, PhraseButtonsShowTheirPhrasesAndCoolDownOnTheWindowsClock)
{
    // The window's clocks run in virtual time; only the cool-down runs here.
    engine::VirtualTimeline windowTime;
    testing::HostedWindowSetup setup;
    setup.clocks = testing::clocksOn(windowTime);
    HostedWindow hosted(setup);
    ASSERT_TRUE(hosted.connected());
    PhraseButtons& buttons = hosted.tchat().phraseButtons();
    EXPECT_EQ(buttons.button(1)->toolTip(), "Way To Go!");
    EXPECT_EQ(buttons.button(9)->toolTip(), "Good Game Everyone!");
    EXPECT_EQ(buttons.button(10)->toolTip(), "Chatter Sounds");
    chat::Phrases mine = chat::builtInPhrases();
    mine[1] = "/me claps";
    hosted.chat().setPhrases(mine);
    EXPECT_EQ(buttons.button(2)->toolTip(), "/me claps");

    hosted.clickPhrase(1);
    hosted.clickPhrase(2);
    ASSERT_TRUE(hosted.shows("You says: Way To Go!"));
    EXPECT_FALSE(hosted.chat().part().phraseReady());
    ASSERT_TRUE(windowTime.step());
    EXPECT_EQ(windowTime.now(), 2000);
    EXPECT_TRUE(hosted.chat().part().phraseReady());
    hosted.clickPhrase(2);
    ASSERT_TRUE(hosted.shows("You claps"));
    EXPECT_EQ(hosted.shown().count("You says: Way To Go!"), 1);
    EXPECT_EQ(hosted.shown().count("You claps"), 1) << "the second quick click sent nothing";
}

TEST(ChatControls, APhraseOnASocketNeverOpenedReportsTheFailureAndStaysReady)
{
    std::vector<std::string> reports;
    net::setGeneralErrorReport([&](std::string_view text) { reports.emplace_back(text); });
    GameWindow window(7);
    QAbstractButton* button = window.window().phraseButtons().button(4);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    net::setGeneralErrorReport({});
    EXPECT_EQ(reports, std::vector<std::string>{"Send - Socket Not Connected"});
    EXPECT_TRUE(window.chat().part().phraseReady());
}

TEST(ChatControls, ChatterSoundsPlayOrShowTheirCaptionByTheOption)
{
    HostedWindow hosted;
    ASSERT_TRUE(hosted.connected());
    QAction* option = hosted.tchat().menu().entry("PlayChatterSounds1");
    ASSERT_TRUE(option->isEnabled());
    EXPECT_FALSE(option->isChecked()) << "off until the settings are read";

    QStringList captions;
    for (QAction* item : hosted.tchat().phraseButtons().soundsMenu()->actions())
        captions << item->text();
    EXPECT_EQ(captions.first(), "<Cancel>");
    EXPECT_EQ(captions.at(13), "Applause");
    EXPECT_EQ(captions.size(), 15);

    hosted.chooseSound("wave13");
    ASSERT_TRUE(hosted.shows("You: <Chatter Sound> Applause"));

    QSignalSpy started(&hosted.tchat().sounds(), &SoundPlayer::soundStarted);
    hosted.tchat().sounds().setPlaySounds(false); // does not govern chatter sounds
    option->trigger();
    EXPECT_TRUE(hosted.window.preferences().chatterSounds);
    ASSERT_TRUE(hosted.chat().playChatterSounds());
    hosted.chooseSound("wave1");
    ASSERT_TRUE(waitUntil([&] { return !started.isEmpty(); }));
    EXPECT_EQ(started.at(0).at(0).toString(), "wave1");
    EXPECT_FALSE(hosted.shown().contains("<Chatter Sound> Doh"));

    option->trigger();
    EXPECT_FALSE(option->isChecked());
    EXPECT_FALSE(hosted.window.preferences().chatterSounds);
    EXPECT_FALSE(hosted.chat().playChatterSounds());
}

TEST(ChatControls, ALinkInTheChatOpensWithoutItsFullStopAndFocusReturnsToTheEntry)
{
    GameWindow window(7);
    window.window().show();
    std::vector<QUrl> opened;
    window.chat().setLinkOpener([&](const QUrl& url) { opened.push_back(url); });
    ChatView& view = window.window().chatView();
    view.addlinetochat(QStringLiteral("Ann chats: read http://example.com/rules."), Qt::black);
    view.addlinetochat(QStringLiteral("Bob chats: or www.example.org!"), Qt::black);

    auto clickAt = [&](const QString& piece) {
        QTextCursor at(view.document());
        at.setPosition(int(view.toPlainText().indexOf(piece)) + 2);
        const QPoint point = view.cursorRect(at).center() + QPoint(1, 0);
        QTest::mouseMove(view.viewport(), point);
        const Qt::CursorShape shape = view.viewport()->cursor().shape();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, point);
        return shape;
    };
    EXPECT_EQ(clickAt("example.com"), Qt::PointingHandCursor);
    EXPECT_EQ(view.textCursor().selectedText(), "http://example.com/rules");
    EXPECT_EQ(clickAt("example.org"), Qt::PointingHandCursor);
    EXPECT_NE(clickAt("read"), Qt::PointingHandCursor);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QUrl("http://example.com/rules"));
    EXPECT_EQ(opened[1], QUrl("http://www.example.org"));
    EXPECT_EQ(window.window().focusWidget(), &window.window().chatEntry());
}

// Links whose handlers can start programs wait for the player's Yes in a box
// that shows the whole link; web, mail and news links open at once.
TEST(ChatControls, FileTelnetAndGopherLinksOpenOnlyAfterThePlayerConfirms)
{
    GameWindow window(7);
    window.window().show();
    std::vector<QUrl> opened;
    window.chat().setLinkOpener([&](const QUrl& url) { opened.push_back(url); });
    ChatView& view = window.window().chatView();
    auto box = [&] { return window.window().findChild<QMessageBox*>("linkbox"); };

    for (const char* link : {"http://example.com/a", "ftp://example.com/b", "mailto:ann@example.com",
                             "news:comp.games", "www.example.org"}) {
        opened.clear();
        emit view.linkClicked(QString::fromLatin1(link));
        EXPECT_EQ(opened.size(), 1u) << link;
        EXPECT_EQ(box(), nullptr) << link;
    }
    for (const char* link : {"file:///home/ann/run.desktop", "telnet://example.com:23/x",
                             "gopher://example.com/1", "FILE:///etc/passwd"}) {
        opened.clear();
        emit view.linkClicked(QString::fromLatin1(link));
        ASSERT_NE(box(), nullptr) << link;
        EXPECT_TRUE(box()->isVisible());
        EXPECT_TRUE(box()->text().endsWith(QString::fromLatin1(link))) << box()->text().toStdString();
        EXPECT_TRUE(opened.empty()) << link << " opened before the answer";
        box()->button(QMessageBox::No)->click();
        EXPECT_TRUE(waitUntil([&] { return box() == nullptr; }));
        EXPECT_TRUE(opened.empty()) << link << " opened after No";

        emit view.linkClicked(QString::fromLatin1(link));
        ASSERT_NE(box(), nullptr) << link;
        box()->button(QMessageBox::Yes)->click();
        ASSERT_EQ(opened.size(), 1u) << link;
        EXPECT_EQ(opened[0], QUrl(QString::fromLatin1(link), QUrl::TolerantMode));
        EXPECT_TRUE(waitUntil([&] { return box() == nullptr; }));
    }
}

// An invite in the chat asks in the same box and, on Yes, goes to the
// window's owner to join; it is never handed to the desktop.
TEST(ChatControls, AnInviteLinkJoinsOnlyAfterYesAndNeverReachesTheDesktop)
{
    GameWindow window(7);
    window.window().show();
    std::vector<QUrl> opened;
    window.chat().setLinkOpener([&](const QUrl& url) { opened.push_back(url); });
    QSignalSpy accepted(&window.chat(), &ChatControls::inviteAccepted);
    auto box = [&] { return window.window().findChild<QMessageBox*>("linkbox"); };
    const QString link = QStringLiteral("lexiflip://[::1]:7000");
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        emit window.window().chatView().linkClicked(link);
        ASSERT_NE(box(), nullptr);
        EXPECT_TRUE(box()->text().endsWith(link));
        EXPECT_EQ(accepted.count(), 0);
        box()->button(answer)->click();
        EXPECT_TRUE(waitUntil([&] { return box() == nullptr; }));
    }
    ASSERT_EQ(accepted.count(), 1);
    EXPECT_EQ(accepted.front().front().toString(), link);
    EXPECT_TRUE(opened.empty());
}

TEST(ChatControls, TextColourIsSavedOnlyWhenChosenActionColourAlways)
{
    GameWindow window(7);
    ChatControls& chat = window.chat();
    std::optional<QColor> answer;
    chat.setColourChooser([&](QColor, const QString&) { return answer; });
    QSignalSpy textChosen(&chat, &ChatControls::textColourChosen);
    QSignalSpy actionChosen(&chat, &ChatControls::actionColourChosen);
    MainMenu& menu = window.window().menu();

    menu.entry("TextColor1")->trigger(); // cancelled
    menu.entry("ActionColor1")->trigger();
    EXPECT_EQ(textChosen.count(), 0);
    ASSERT_EQ(actionChosen.count(), 1);
    EXPECT_EQ(actionChosen.at(0).at(0).value<wire::Colour>(), 0u);

    answer = QColor(255, 0, 0);
    menu.entry("TextColor1")->trigger();
    ASSERT_EQ(textChosen.count(), 1);
    EXPECT_EQ(chat.textColour(), 0x0000FFu);
    EXPECT_EQ(window.window().chatEntry().palette().color(QPalette::Text), QColor(255, 0, 0));
    answer = QColor(0, 0, 255);
    menu.entry("ActionColor1")->trigger();
    EXPECT_EQ(chat.actionColour(), 0xFF0000u);
    EXPECT_EQ(actionChosen.count(), 2);
}

TEST(ChatControls, PasteReplacesTheEntryAndCopyTakesTheChatSelection)
{
    GameWindow window(7);
    window.window().show();
    QLineEdit& entry = window.window().chatEntry();
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    entry.setText(QStringLiteral("typed"));
    entry.setCursorPosition(2);
    QTest::keyClick(&entry, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry.text(), "pasted");
    QApplication::clipboard()->setText(QStringLiteral("from the menu"));
    auto* paste = window.chat().entryMenu()->findChild<QAction*>("Paste1");
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(entry.text(), "from the menu");

    ChatView& view = window.window().chatView();
    view.addlinetochat(QStringLiteral("Ann chats: copy me"), Qt::black);
    view.selectAll();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "Ann chats: copy me");
}

} // namespace
} // namespace lexiflip::client
