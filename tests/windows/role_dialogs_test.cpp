// The join and host dialogs on their own: what Join asks for, what the lists
// fill in, the keys, and the invite Copy Invite puts on the clipboard.

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "windows/small/host_dialog.h"
#include "windows/small/join_dialog.h"

namespace lexiflip::windows {
namespace {

TEST(JoinDialog, JoinAsksOnlyForANameAndAHostAndSaysWhatIsMissing)
{
    const struct {
        const char* name;
        const char* host;
        const char* asked; // the host Join asks for; empty when it refuses
    } cases[] = {
        {"Ann", "192.168.1.20", "192.168.1.20"},
        {"Ann", " [2001:db8::7] ", "2001:db8::7"},
        {"Ann", "pc-7.lan", "pc-7.lan"},
        {"", "pc.lan", ""},
        {"Ann", "", ""},
        {"Ann", "pc.lan:7772", ""},
        {"Ann", "300.1.1.1", ""},
    };
    for (const auto& c : cases) {
        JoinDialog dialog;
        dialog.show();
        QSignalSpy asked(&dialog, &JoinDialog::joinRequested);
        dialog.setPlayerName(QString::fromUtf8(c.name));
        dialog.setTarget(QString::fromUtf8(c.host), 7000);
        QTest::keyClick(dialog.findChild<QLineEdit*>("edit_host"), Qt::Key_Return);
        if (*c.asked) {
            ASSERT_EQ(asked.count(), 1) << c.host;
            EXPECT_EQ(asked[0][1].toString(), QString::fromUtf8(c.asked));
            EXPECT_EQ(asked[0][2].toInt(), 7000);
        } else {
            EXPECT_EQ(asked.count(), 0) << c.host;
            EXPECT_FALSE(dialog.statusText().isEmpty()) << c.host;
        }
    }
}

TEST(JoinDialog, AListedHostFillsInAndJoinsOnEnterAndEscapeCloses)
{
    JoinDialog dialog;
    dialog.show();
    dialog.setPlayerName(QStringLiteral("Ann"));
    dialog.setRecentHosts({QStringLiteral("[::1]:7001"), QStringLiteral("not a host"), QStringLiteral("box.lan")});
    auto* recent = dialog.findChild<QListWidget*>("list_recent");
    ASSERT_EQ(recent->count(), 2) << "a malformed entry is not offered";
    EXPECT_EQ(recent->item(1)->text(), QStringLiteral("box.lan:7772"));
    QSignalSpy asked(&dialog, &JoinDialog::joinRequested);
    recent->setFocus();
    recent->setCurrentRow(0);
    EXPECT_EQ(dialog.host(), QStringLiteral("::1"));
    EXPECT_EQ(dialog.port(), 7001);
    QTest::keyClick(recent, Qt::Key_Return);
    ASSERT_EQ(asked.count(), 1) << "one join, not one from the list and one from the dialog";

    dialog.showWorking(QStringLiteral("Connecting"));
    QTest::keyClick(dialog.findChild<QLineEdit*>("edit_host"), Qt::Key_Return);
    EXPECT_EQ(asked.count(), 1) << "no second join while one goes on";
    dialog.searchStarted();
    dialog.addLocalGame({QStringLiteral("10.0.0.9"), 7005, QStringLiteral("Bob's game")});
    dialog.searchFinished();
    EXPECT_EQ(dialog.host(), QStringLiteral("10.0.0.9")) << "the first game found is picked";
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(HostDialog, ListsEachAddressWithThePortAndCopiesItsInvite)
{
    HostDialog dialog;
    dialog.show();
    QSignalSpy asked(&dialog, &HostDialog::hostRequested);
    dialog.setPlayerName(QString());
    QTest::keyClick(dialog.findChild<QLineEdit*>("edit_hostname"), Qt::Key_Return);
    EXPECT_EQ(asked.count(), 0) << "no name, no host";
    dialog.setPlayerName(QStringLiteral("Ann"));
    dialog.setPort(7010);
    QTest::keyClick(dialog.findChild<QLineEdit*>("edit_hostname"), Qt::Key_Return);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked[0][1].toInt(), 7010);

    dialog.showHosting({QHostAddress(QStringLiteral("192.168.1.20")), QHostAddress(QStringLiteral("2001:db8::7"))},
                       7010);
    auto* addresses = dialog.findChild<QListWidget*>("list_addresses");
    ASSERT_EQ(addresses->count(), 2);
    EXPECT_EQ(addresses->item(1)->text(), QStringLiteral("[2001:db8::7]:7010"));
    addresses->setCurrentRow(1);
    dialog.findChild<QWidget*>("button_copyinvite")->setFocus();
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("lexiflip://[2001:db8::7]:7010"));

    for (const QHostAddress& address : invitableAddresses())
        EXPECT_FALSE(address.isLoopback() || address.isLinkLocal()) << address.toString().toStdString();
}

// The dialog is made at start and laid out on its setup page long before a
// player opens it while hosting: that page must still open tall enough for
// its wrapped lines, none of them clipped.
TEST(HostDialog, TheHostingPageOpensTallEnoughForItsLines)
{
    HostDialog dialog;
    dialog.showSetup();
    QApplication::processEvents();
    dialog.showHosting({QHostAddress(QStringLiteral("192.0.2.20")), QHostAddress(QStringLiteral("2001:db8::7"))},
                       7772);
    dialog.show();
    QApplication::processEvents();
    int lines = 0;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisible() || !label->wordWrap() || label->text().isEmpty())
            continue;
        ++lines;
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
    }
    EXPECT_EQ(lines, 2) << "the hosting text and the forwarding note";
    const auto* addresses = dialog.findChild<QListWidget*>("list_addresses");
    EXPECT_GE(addresses->height(), addresses->minimumHeight());
}

// Text from outside (a link, a host as typed or looked up, a system's error)
// shows in the dialogs' lines as it was given, never as markup.
TEST(RoleDialogs, TextFromOutsideShowsAsPlainTextInEveryLine)
{
    const QString markup = QStringLiteral("<h1>big</h1><img src=\"logo.png\">");
    JoinDialog join;
    HostDialog host;
    const struct {
        const char* what;
        std::function<void()> put;
        QWidget* dialog;
        const char* line;
    } cases[] = {
        {"a join's problem", [&] { join.showProblem(markup); }, &join, "label_joinstatus"},
        {"a join's step", [&] { join.showWorking(markup); }, &join, "label_joinstatus"},
        {"a host typed",
         [&] {
             join.showReady();
             join.setPlayerName(QStringLiteral("Ann"));
             join.setTarget(markup, 7772);
             QTest::keyClick(join.findChild<QLineEdit*>("edit_host"), Qt::Key_Return);
         },
         &join, "label_joinstatus"},
        {"a search's problem", [&] { join.searchFinished(markup); }, &join, "label_found"},
        {"a host's problem", [&] { host.showSetup(markup); }, &host, "label_hoststatus"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.put();
        auto* line = c.dialog->findChild<QLabel*>(QString::fromLatin1(c.line));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->textFormat(), Qt::PlainText);
        EXPECT_TRUE(line->text().contains(markup)) << line->text().toStdString();
    }
}

} // namespace
} // namespace lexiflip::windows
