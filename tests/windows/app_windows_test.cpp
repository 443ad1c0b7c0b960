// The program's windows as lexiflip creates and connects them: the menus open
// the side windows, the watcher list removes a watcher over the wire, the
// options dialog takes and keeps the stored options, the download and the
// logo reach the main window and the web link; leaving a table asks first
// when others are at it, and a malformed invite shows as it was given.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/game/desktop_entry.h"
#include "app/game/lexiflip_app.h"
#include "app/game/window_roles.h"
#include "client/game/client_game.h"
#include "client/game/game_recorder.h"
#include "client/session/eight_bit_text.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/zoomed_place.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "windows/replay/replay_window.h"
#include "windows/side/tick_box.h"
#include "wire/messages.h"

namespace lexiflip::app {
namespace {

using testing::TestClient;
using testing::waitUntil;

host::HostOptions loopbackHost()
{
    host::HostOptions options;
    options.port = 0;
    options.seed = 5;
    return options;
}

// A solo game of the whole program, its files in a folder of its own.
struct SoloProgram {
    explicit SoloProgram(const QByteArray& storedSettings = {})
    {
        if (!storedSettings.isEmpty()) {
            QFile file(settingsPath());
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(storedSettings);
        }
        program =
            std::make_unique<LexiflipApp>(3, settingsPath().toStdString(), home.filePath("Lexifliptally.tld"),
                                          loopbackHost(), [this](const QUrl& link) {
                                              opened.push_back(link);
                                              return true;
                                          });
        program->game.window().show();
        program->start(client::processparams({}), false);
    }
    QString settingsPath() const { return home.filePath("halvolobby.ini"); }
    client::Tchat& window() { return program->game.window(); }
    void trigger(const char* entry) { window().menu().entry(QString::fromLatin1(entry))->trigger(); }
    bool settingsRead()
    {
        return waitUntil([&] { return program->game.settings().wasRead(); });
    }

    QTemporaryDir home;
    std::vector<QUrl> opened;
    std::unique_ptr<LexiflipApp> program;
};

// Nobody else plays a solo game: its host listens on 127.0.0.1 alone, out
// of reach of the machine's other addresses. A hosted game listens on every
// interface.
TEST(LexiflipApp, ASoloGameListensOnLoopbackOnlyAHostedGameOnEveryInterface)
{
    const std::string everywhere = testing::machineHasIpv6() ? "::" : "0.0.0.0";
    const struct {
        std::vector<std::string> parameters;
        std::string listeningOn;
    } cases[] = {{{}, "127.0.0.1"}, {{"Ann", "127.0.0.1", "true"}, everywhere}};
    for (const auto& c : cases) {
        LexiflipApp program(3, {}, {}, loopbackHost());
        program.start(client::processparams(c.parameters), false);
        EXPECT_EQ(program.server().listeningAddress(), c.listeningOn) << c.parameters.size() << " parameters";
        // The window's own client reaches it either way.
        EXPECT_TRUE(waitUntil([&] { return program.game.game().roster().loggedin(); }));
    }
}

TEST(LexiflipApp, OnlyTheMainWindowShowsAndEachViewAndHelpEntryOpensItsWindow)
{
    SoloProgram solo;
    LexiflipApp& p = *solo.program;
    const struct {
        const char* entry;
        QWidget* window;
    } cases[] = {{"ViewTally1", &p.tallylist},
                 {"SpyList1", &p.spylist},
                 {"PrhaseList1", &p.phrases},
                 {"Help2", &p.help},
                 {"About1", &p.about}};
    for (const auto& c : cases)
        EXPECT_FALSE(c.window->isVisible()) << c.entry;
    EXPECT_FALSE(p.download.isVisible()) << "not offered in this start";
    EXPECT_FALSE(p.gamestart.isVisible());
    for (const auto& c : cases) {
        solo.trigger(c.entry);
        EXPECT_TRUE(c.window->isVisible()) << c.entry;
    }
    // The phrase editor opened with the buttons' phrases; its Done gives them back.
    EXPECT_EQ(p.phrases.phrases(), p.game.phrases());

    // A start taken back closes the options dialog unsent.
    emit p.game.gameOptionsRequested();
    EXPECT_TRUE(p.gamestart.isVisible());
    emit p.game.gameOptionsWithdrawn();
    EXPECT_FALSE(p.gamestart.isVisible());
}

// File > Open Game Record... lists the records; the one chosen opens in a
// replay window at the game window's zoom, and one that cannot be read says
// why in a box that does not hold the game.
TEST(LexiflipApp, TheChosenRecordOpensInAReplayAtTheGamesZoomAndADamagedOneSaysWhy)
{
    SoloProgram solo;
    LexiflipApp& p = *solo.program;
    solo.trigger("OpenGameRecord1");
    EXPECT_TRUE(p.openRecord.isVisible());
    p.openRecord.close();

    QFile record(solo.home.filePath("game.lexiflip.txt"));
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write("lexiflip-record 1\nbegan ?\noptions 100 60 sneak 0\nstarter Ann\nself 1\nseat 1 Ann\n"
                 "turn 1\nflip 2 3 E\n");
    record.close();
    solo.window().menu().action(client::MenuCommand::ZoomIn)->trigger();
    emit p.openRecord.recordChosen(record.fileName());
    const auto replays = solo.window().findChildren<windows::ReplayWindow*>();
    ASSERT_EQ(replays.size(), 1);
    EXPECT_TRUE(replays[0]->isVisible());
    EXPECT_EQ(replays[0]->zoom(), client::zoomOf(solo.window()));
    EXPECT_EQ(replays[0]->stepCount(), 3);

    emit p.openRecord.recordChosen(solo.home.filePath("missing.lexiflip.txt"));
    auto* box = solo.window().findChild<QMessageBox*>("replayProblem");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("missing.lexiflip.txt"));
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::NonModal); // the game goes on under it
    EXPECT_EQ(solo.window().findChildren<windows::ReplayWindow*>().size(), 1);
}

TEST(LexiflipApp, TheStoredOptionsReachTheOptionsDialogAndItsStartKeepsThem)
{
    SoloProgram solo("[Lexiflip]\nPlaytoscore=350\nTimeperturn=90\nViewable=yes\n4Player=0\nGamemode=2\n");
    LexiflipApp& p = *solo.program;
    EXPECT_EQ(p.gamestart.playToScore(), 250) << "built-in until the arrival";
    ASSERT_TRUE(solo.settingsRead());
    EXPECT_EQ(p.gamestart.playToScore(), 350);
    EXPECT_EQ(p.gamestart.creationTime(), 90);
    EXPECT_TRUE(p.gamestart.box_viewable().ticked());
    EXPECT_FALSE(p.gamestart.box_4player().ticked());
    EXPECT_EQ(p.gamestart.gameMode(), 2);

    p.gamestart.setPlayToScore(400);
    p.gamestart.selectGameMode(3);
    p.gamestart.button_startClick();
    QFile file(solo.settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    for (const char* line :
         {"Playtoscore=400\n", "Timeperturn=90\n", "Viewable=1\n", "4Player=0\n", "Gamemode=3\n"})
        EXPECT_TRUE(saved.contains(line)) << line << " in " << saved.toStdString();
    // The host started the game the Start asked for.
    EXPECT_TRUE(
        waitUntil([&] { return p.game.game().turn().gameTexts().playToScore == "Play to Score: 400"; }));
}

// The summary opens from View > Game Summary and from the winner's banner's
// button, over the window's record of the game; before any game it only says so.
TEST(LexiflipApp, TheGameSummaryOpensOverTheRecordOfTheGameFromTheMenuAndTheBanner)
{
    SoloProgram solo;
    LexiflipApp& p = *solo.program;
    ASSERT_TRUE(solo.settingsRead());
    solo.trigger("GameSummary1");
    EXPECT_EQ(p.summary(), nullptr) << "made only when a game can be summed up";
    EXPECT_EQ(solo.window().chatView().document()->lastBlock().text(),
              QStringLiteral("There is no game to sum up yet."));

    p.gamestart.button_startClick();
    ASSERT_TRUE(waitUntil([&] { return p.game.recorder().lastRecord().has_value(); }));
    solo.trigger("GameSummary1");
    ASSERT_NE(p.summary(), nullptr);
    EXPECT_TRUE(p.summary()->isVisible());
    EXPECT_EQ(p.summary()->chartTable().columnCount(), 2) << "the player and Klot";

    p.summary()->close();
    auto* button = solo.window().findChild<QPushButton*>(QStringLiteral("button_summary"));
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_TRUE(p.summary()->isVisible());
}

// A role taken from the menu gets a fresh host, which plays at the player's
// Bot Speed and Klot's Strength, not at the ones the program started with.
TEST(LexiflipApp, ANewRolesHostPlaysWithThePlayersBotSpeedAndKlotsStrength)
{
    SoloProgram solo("[Lexiflip]\nBotspeed=1000\nKlotStrength=expert\n");
    ASSERT_TRUE(solo.settingsRead());
    LexiflipApp& p = *solo.program;
    solo.trigger("NewSoloGame1");
    EXPECT_TRUE(waitUntil([&] { return p.game.game().roster().loggedin(); }));
    EXPECT_EQ(p.server().botSpeedMs(), 1000);
    EXPECT_EQ(p.server().klotStrength(), engine::ComputerStrength::Expert);
}

// Six players fill the seats; the seventh connection watches, and the host's
// player removes it from the watcher list.
TEST(LexiflipApp, TheHostsWatcherListRemovesTheWatcherThePointerIsOver)
{
    SoloProgram solo;
    LexiflipApp& p = *solo.program;
    ASSERT_TRUE(waitUntil([&] { return p.game.game().roster().loggedin(); }));
    EXPECT_TRUE(p.spylist.removeEnabled());
    std::vector<std::unique_ptr<TestClient>> players;
    for (const char* name : {"Bo", "Cy", "Di", "Ed", "Flo", "Eve"}) {
        players.push_back(std::make_unique<TestClient>(p.server().port()));
        ASSERT_TRUE(players.back()->login(name)) << name;
    }
    TestClient& watcher = *players.back();
    ASSERT_EQ(watcher.slot(), 7);
    ASSERT_TRUE(waitUntil([&] { return p.spylist.entries() == QStringList{"7: Eve"}; }));

    solo.trigger("SpyList1");
    auto* list = p.spylist.findChild<QListWidget*>("listbox_spys");
    ASSERT_NE(list, nullptr);
    p.spylist.listbox_spysMouseMove(list->visualItemRect(list->item(0)).center());
    p.spylist.popup_kickhimClick();
    EXPECT_TRUE(watcher.waitForClose());
    EXPECT_TRUE(waitUntil([&] { return p.spylist.entries().isEmpty(); }));
    EXPECT_FALSE(players.front()->closed());
}

// A name is whatever bytes the network sent: each shows as the character of
// its code (0xFF ends a message, so 0x80..0xFE), and never as markup, in the
// seat rows, the watcher list, the chat and the tally.
TEST(LexiflipApp, NamesFromTheNetworkShowAsSentInEveryWindow)
{
    std::string high;
    for (int code = 0x80; code <= 0xFE; ++code)
        high.push_back(char(code));
    const std::string names[] = {"Caf\xE9 " + high, "<b>x</b>", "<img src=\"logo.png\">"};
    SoloProgram solo;
    LexiflipApp& p = *solo.program;
    ASSERT_TRUE(waitUntil([&] { return p.game.game().roster().loggedin(); }));

    // Seats 2 to 4 and watchers 7 to 9 carry the names; Flo and Gus fill 5 and 6.
    std::vector<std::unique_ptr<TestClient>> clients;
    for (const std::string& name : {names[0], names[1], names[2], std::string("Flo"), std::string("Gus"),
                                    names[0], names[1], names[2]}) {
        clients.push_back(std::make_unique<TestClient>(p.server().port()));
        ASSERT_TRUE(clients.back()->login(name));
    }
    // A chat text whose line break would start a line of the window's own.
    clients[0]->send(wire::msg::chat(2, "hi\r\nYou has started a game.", 0));
    ASSERT_TRUE(waitUntil([&] { return p.spylist.entries().size() == 3; }));
    const QString chatLine =
        client::fromEightBit(names[0]) + QStringLiteral(" chats: hiYou has started a game.");
    ASSERT_TRUE(
        waitUntil([&] { return solo.window().chatView().document()->lastBlock().text() == chatLine; }));

    auto chatHas = [&solo](const QString& line) {
        for (QTextBlock b = solo.window().chatView().document()->firstBlock(); b.isValid(); b = b.next())
            if (b.text() == line)
                return true;
        return false;
    };
    p.tallylist.viewTally();
    auto* checklist = p.tallylist.findChild<QListWidget*>("checklist");
    auto* tallied = p.tallylist.findChild<QListWidget*>("listbox_tally");
    ASSERT_TRUE(checklist && tallied);
    auto label = [](const QWidget& window, const QString& objectName) {
        auto* found = window.findChild<QLabel*>(objectName);
        EXPECT_NE(found, nullptr) << objectName.toStdString();
        EXPECT_EQ(found ? found->textFormat() : Qt::AutoText, Qt::PlainText) << objectName.toStdString();
        return found ? found->text() : QString();
    };
    for (int i = 0; i < 3; ++i) {
        const QString name = client::fromEightBit(names[i]);
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(name.size(), qsizetype(names[i].size()));
        EXPECT_EQ(label(solo.window(), QStringLiteral("label_playername%1").arg(i + 2)), name);
        EXPECT_EQ(p.spylist.entries().at(i), QStringLiteral("%1: ").arg(i + 7) + name);
        EXPECT_TRUE(chatHas(name + QStringLiteral(" is spying.")));

        ASSERT_EQ(checklist->item(i)->text(), name);
        checklist->item(i)->setCheckState(Qt::Checked);
        ASSERT_TRUE(waitUntil([&] { return tallied->count() == i + 1; }));
        EXPECT_EQ(tallied->item(i)->text(), name);
        tallied->setCurrentRow(i);
        EXPECT_EQ(label(p.tallylist, "label_hisnametop"), name + QStringLiteral("'s Tally"));
        EXPECT_EQ(label(p.tallylist, "label_hisname"), name + QStringLiteral(" Wins:"));
    }
}

TEST(LexiflipApp, TheDownloadsExitClosesTheMainWindowAndTheLogoOpensTheWebLink)
{
    SoloProgram solo;
    LexiflipApp& p = *solo.program;
    QWidget* logo = solo.window().findChild<QWidget*>("Image6");
    ASSERT_NE(logo, nullptr);
    QTest::mouseClick(logo, Qt::LeftButton, {}, logo->rect().center());
    ASSERT_EQ(solo.opened.size(), 1u);
    EXPECT_EQ(solo.opened.front(), windows::makerWebLink());

    bool closed = false;
    QObject::connect(&p.game, &client::GameWindow::windowClosed, [&closed] { closed = true; });
    emit p.download.exitRequested();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(solo.window().isVisible());
}

// The leave question's box while it is open, else none.
QMessageBox* leaveBox(LexiflipApp& p)
{
    for (auto* box : p.game.window().findChildren<QMessageBox*>(QStringLiteral("leavebox")))
        if (box->isVisible())
            return box;
    return nullptr;
}

// Leaving a table where others are (a link handed to the running copy among
// the ways) asks first, and nothing is left unless the player says yes; a
// table with nobody else at it is left at once.
TEST(WindowRoles, LeavingATableWithOthersAtItAsksFirstAndASoloTableLeavesAtOnce)
{
    const QString elsewhere = QStringLiteral("lexiflip://127.0.0.1:1");

    // A solo table between games: the link joins at once.
    {
        SoloProgram solo;
        LexiflipApp& p = *solo.program;
        ASSERT_TRUE(waitUntil([&] { return p.game.game().roster().loggedin(); }));
        p.roles().joinInvite(elsewhere, false);
        EXPECT_EQ(leaveBox(p), nullptr);
        EXPECT_EQ(p.role(), client::LaunchPlan::Role::Join);
    }

    // A hosted table with a player seated before Start: every way out asks.
    SoloProgram hosted;
    LexiflipApp& p = *hosted.program;
    p.leaveGame();
    ASSERT_TRUE(p.tryStart(client::processparams({"Ann", "127.0.0.1", "true"}), false).empty());
    TestClient bob(p.server().port());
    ASSERT_TRUE(bob.login("Bob"));
    ASSERT_TRUE(waitUntil([&] { return p.game.game().roster().seat(2).name == "Bob"; }));
    ASSERT_FALSE(p.game.gameRunning());
    windows::JoinDialog& join = p.roles().joinDialog();
    windows::HostDialog& host = p.roles().hostDialog();
    const struct {
        const char* way;
        std::function<void()> take;
    } ways[] = {
        {"an invite link", [&] { p.roles().joinInvite(elsewhere, false); }},
        {"New Solo Game", [&] { hosted.trigger("NewSoloGame1"); }},
        {"Leave Game", [&] { hosted.trigger("LeaveGame1"); }},
        {"the join dialog",
         [&] { emit join.joinRequested(QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), 1); }},
        {"the host dialog", [&] { emit host.hostRequested(QStringLiteral("Ann"), 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        way.take();
        QMessageBox* box = leaveBox(p);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_TRUE(box->text().contains(QStringLiteral("ends the table for them")))
            << box->text().toStdString();
        box->button(QMessageBox::No)->click();
        EXPECT_EQ(p.role(), client::LaunchPlan::Role::Host);
        EXPECT_TRUE(p.server().state().players[2].connected) << "Bob stays at the table";
    }
    hosted.trigger("LeaveGame1");
    ASSERT_NE(leaveBox(p), nullptr);
    leaveBox(p)->button(QMessageBox::Yes)->click();
    EXPECT_EQ(p.role(), client::LaunchPlan::Role::Wait);
    EXPECT_TRUE(bob.waitForClose());
}

// A copy that joined another's table asks before a link takes it away from
// the others there; alone at that table it goes at once.
TEST(WindowRoles, AJoinedTableAsksBeforeLeavingOthersAndNotWhenAlone)
{
    host::TServer table(loopbackHost());
    table.startHosting(host::TServer::Reach::ThisMachine);
    auto bob = std::make_unique<TestClient>(table.port());
    ASSERT_TRUE(bob->login("Bob"));
    SoloProgram joiner;
    LexiflipApp& p = *joiner.program;
    ASSERT_TRUE(waitUntil([&] { return p.game.game().roster().loggedin(); }));
    client::LaunchPlan plan;
    plan.role = client::LaunchPlan::Role::Join;
    plan.playerName = "Cy";
    plan.hostAddress = "127.0.0.1";
    plan.port = table.port();
    p.leaveGame();
    ASSERT_TRUE(p.tryStart(plan, false).empty());
    ASSERT_TRUE(waitUntil([&] { return p.game.game().roster().seat(2).name == "Cy"; }));
    ASSERT_TRUE(waitUntil([&] { return p.game.game().roster().seat(1).name == "Bob"; }));

    const QString elsewhere = QStringLiteral("lexiflip://127.0.0.1:1");
    p.roles().joinInvite(elsewhere, false);
    QMessageBox* box = leaveBox(p);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::No)->click();
    EXPECT_EQ(p.game.game().roster().myplayer(), 2) << "still seated";

    bob.reset();
    ASSERT_TRUE(waitUntil([&] { return p.game.game().roster().seat(1).name == client::kWaiting; }));
    p.roles().joinInvite(elsewhere, false);
    EXPECT_EQ(leaveBox(p), nullptr);
    EXPECT_TRUE(waitUntil([&] { return !table.state().players[2].connected; })) << "left the table at once";
}

// A malformed invite (from the chat, or a later copy) is said in the join
// dialog as it was given: markup in it is text, not a heading or a picture.
TEST(WindowRoles, AMalformedInviteShowsVerbatimInTheJoinDialog)
{
    SoloProgram solo;
    LexiflipApp& p = *solo.program;
    for (const QString& link :
         {QStringLiteral("lexiflip://<h1>big</h1>"), QStringLiteral("lexiflip://<img src=\"logo.png\">x")}) {
        p.roles().joinInvite(link, false);
        auto* status = p.roles().joinDialog().findChild<QLabel*>(QStringLiteral("label_joinstatus"));
        ASSERT_NE(status, nullptr);
        EXPECT_TRUE(p.roles().joinDialog().isVisible());
        EXPECT_EQ(status->textFormat(), Qt::PlainText);
        EXPECT_TRUE(status->text().contains(QLatin1Char('"') + link + QLatin1Char('"')))
            << status->text().toStdString();
    }
    EXPECT_EQ(p.role(), client::LaunchPlan::Role::Solo) << "nothing was left";
}

// Docks match the running window to its launcher by the desktop file name,
// and a copy whose icon the theme does not know still shows the game's icon.
TEST(LexiflipApp, TheProgramCarriesItsDesktopEntrysNameAndAnIconEvenWithoutTheTheme)
{
    tieToDesktopEntry();
    EXPECT_EQ(QGuiApplication::desktopFileName(), desktopEntryId());
    EXPECT_FALSE(desktopEntryId().endsWith(QLatin1String(".desktop")));
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(64, 64).isNull());
}

} // namespace
} // namespace lexiflip::app
