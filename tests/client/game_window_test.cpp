// The game window over a real host on loopback: the player's clicks on the
// named controls, what they send, and what the window shows of the answers.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/game/host_wiring.h"
#include "assets/embedded.h"
#include "client/game/client_game.h"
#include "client/media/palette.h"
#include "client/media/sound_player.h"
#include "client/widgets/board_view.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/screen_layout.h"
#include "client/widgets/seat_rows.h"
#include "client/window/game_window.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "client/window/turn_attention.h"
#include "client/window/zoom_control.h"
#include "engine/computer_words.h"
#include "host/tserver.h"
#include "net/net_wait.h"
#include "support/hosted_window.h"
#include "windows/side/tgamestart.h"
#include "wire/connection.h"
#include "wire/messages.h"

namespace lexiflip::client {
namespace {

using testing::HostedWindow;
using testing::waitUntil;

// A host with the game's defaults on a port the system chooses.
host::HostOptions onAnyPort()
{
    host::HostOptions options;
    options.port = 0;
    return options;
}

TEST(GameWindow, ASoloGameConnectsAsTheHostsPlayerWithTheStartButtonShown)
{
    HostedWindow solo;
    ASSERT_TRUE(solo.connected());
    EXPECT_EQ(solo.game().roster().myplayer(), 1);
    EXPECT_TRUE(solo.control("button_start")->isVisible());
    EXPECT_TRUE(solo.tchat().menu().entry("StartGame1")->isEnabled());
    EXPECT_EQ(solo.control<QLabel>("label_playername1")->text(), "You");
    EXPECT_EQ(solo.control<QLabel>("label_playername2")->text(), "<Waiting>");
}

TEST(GameWindow, ABoardClickFlipsThatCellAndTheHostsEchoKeepsItDrawnFaceUp)
{
    HostedWindow solo;
    ASSERT_TRUE(solo.startAndWaitForTurn());
    EXPECT_FALSE(solo.control("button_done")->isVisible()) << "the word buttons wait for the fifth flip";

    QTest::mouseClick(&solo.tchat().board(), Qt::LeftButton, {}, QPoint(4 * 41 - 20, 2 * 41 - 20));
    EXPECT_TRUE(solo.game().turn().board(4, 2).faceup);
    EXPECT_EQ(solo.game().turn().flipsdone(), 1);
    // The host took the flip of column 4, row 2 and echoed it.
    ASSERT_TRUE(waitUntil([&] { return solo.tchat().status() == "Choose 4 letters to flip"; }));
    EXPECT_EQ(solo.server.state().cell(4, 2).flipped, 1);
    EXPECT_EQ(solo.server.state().cell(3, 2).flipped, 0);

    // The cell shows the letter's face, not the tile back its neighbour shows.
    const int letter = solo.game().turn().board(4, 2).letter;
    ASSERT_EQ(solo.game().turn().board(4, 2).picture, letter);
    const QImage drawn =
        solo.tchat().board().grab(cellRect({4, 2})).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage back =
        solo.tchat().board().grab(cellRect({5, 2})).toImage().convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 6; y < 35; ++y)
        for (int x = 6; x < 35; ++x)
            differing += drawn.pixel(x, y) != back.pixel(x, y);
    EXPECT_GT(differing, 200) << "the flipped cell still looks like a tile back";
}

// At a zoom a click lands on the cell drawn under it: the middle of a cell
// at 200 % lies where at 100 % there is no board at all, and Zoom Out moves
// every cell again.
TEST(GameWindow, AtEachZoomAClickFlipsTheCellSeenUnderIt)
{
    HostedWindow solo;
    ASSERT_TRUE(solo.startAndWaitForTurn());
    Tchat& window = solo.tchat();
    const QSize frame = window.size() - window.centralWidget()->size();
    window.resize(clientSizeAt(*Zoom::fromPercent(200)) + frame);
    ASSERT_TRUE(waitUntil([&] { return window.zoom().zoom().percent() == 200; }));
    struct Case {
        CellAddress cell;
        int percentAfter; // the zoom the menu leaves for the next click
    };
    const Case cases[] = {{{9, 7}, 175}, {{2, 8}, 150}, {{10, 1}, 125}, {{6, 4}, 100}};
    int flips = 0;
    for (const Case& c : cases) {
        const QPoint middle = window.board().cellRect(c.cell).center();
        QTest::mouseClick(&window.board(), Qt::LeftButton, {}, middle);
        EXPECT_TRUE(solo.game().turn().board(c.cell.column, c.cell.row).faceup)
            << c.cell.column << "," << c.cell.row;
        EXPECT_EQ(solo.game().turn().flipsdone(), ++flips);
        window.menu().action(MenuCommand::ZoomOut)->trigger();
        EXPECT_EQ(window.zoom().zoom().percent(), c.percentAfter);
    }
    ASSERT_TRUE(waitUntil([&] { return solo.server.state().cell(6, 4).flipped == 1; }));
    for (const Case& c : cases)
        EXPECT_EQ(solo.server.state().cell(c.cell.column, c.cell.row).flipped, 1);
    int flippedOnHost = 0;
    for (int column = 1; column <= layout::kBoardColumns; ++column)
        for (int row = 1; row <= layout::kBoardRows; ++row)
            flippedOnHost += solo.server.state().cell(column, row).flipped;
    EXPECT_EQ(flippedOnHost, 4);
}

TEST(GameWindow, AHostBoxIsShownWithoutBlockingAndNeverTwice)
{
    HostedWindow solo;
    solo.tchat().showHostBox("Tile is blank 0");
    solo.tchat().showHostBox("Tile is blank 27");
    const auto boxes = solo.tchat().findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), "Tile is blank 27");
    EXPECT_TRUE(boxes[0]->isVisible());
}

TEST(GameWindow, MenuEntriesCarryTheirNamesAndTheWorkingOnesWork)
{
    HostedWindow solo;
    MainMenu& menu = solo.tchat().menu();
    const std::vector<const char*> working = {"Exit1",
                                              "PlaySounds1",
                                              "Classic1",
                                              "New1",
                                              "Slow1",
                                              "Normal1",
                                              "Fast1",
                                              "seetheirs",
                                              "ClearWord",
                                              "N8",
                                              "N10",
                                              "N12",
                                              "N14",
                                              "ScrollChatOff2",
                                              "ClearMainChat1",
                                              "ResetScreenLocation1",
                                              "JustWatch1",
                                              "ViewTally1",
                                              "SpyList1",
                                              "PrhaseList1",
                                              "PlayChatterSounds1",
                                              "TextColor1",
                                              "ActionColor1",
                                              "Help2",
                                              "About1"};
    const std::vector<const char*> later = {"StartGame1" /* until hosting */};
    for (const char* name : working) {
        ASSERT_NE(menu.entry(name), nullptr) << name;
        EXPECT_TRUE(menu.entry(name)->isEnabled()) << name;
    }
    for (const char* name : later)
        ASSERT_NE(menu.entry(name), nullptr) << name;
    EXPECT_EQ(menu.entry("ScrollChatOff2")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(menu.entry("Help2")->shortcut(), QKeySequence("F1"));

    // Play Sounds governs the sound player.
    menu.entry("PlaySounds1")->trigger();
    EXPECT_FALSE(solo.tchat().sounds().playSounds());
    menu.entry("PlaySounds1")->trigger();
    EXPECT_TRUE(solo.tchat().sounds().playSounds());
    // Text size and Clear Main Chat act on the chat view.
    menu.entry("N12")->trigger();
    EXPECT_EQ(solo.tchat().chatView().textSize(), 12);
    ASSERT_TRUE(solo.connected());
    menu.entry("ClearMainChat1")->trigger();
    EXPECT_TRUE(solo.tchat().chatView().toPlainText().isEmpty());
    // Bot Speed reaches the host of this copy.
    app::attachHost(solo.server, solo.window);
    menu.entry("Slow1")->trigger();
    EXPECT_EQ(solo.server.botSpeedMs(), 1000);
    // So does Klot's Strength.
    menu.entry("StrengthExpert1")->trigger();
    EXPECT_EQ(solo.server.klotStrength(), engine::ComputerStrength::Expert);
    menu.entry("StrengthClassic1")->trigger();
    EXPECT_EQ(solo.server.klotStrength(), engine::ComputerStrength::Classic);
}

TEST(GameWindow, TheHostsNoticesAreChatLinesNotDialogsAndItsLeavingKeepsTheWindow)
{
    auto server = std::make_unique<host::TServer>(onAnyPort());
    server->startHosting();
    GameWindow window(1);
    app::attachHost(*server, window);
    window.window().show();
    window.hostpress(server->port());
    ASSERT_TRUE(waitUntil([&] { return window.game().roster().loggedin(); }));
    emit server->noticed(QStringLiteral("Invalid Letter (3)"));
    EXPECT_TRUE(window.window().chatView().toPlainText().contains("Invalid Letter (3)"));
    EXPECT_TRUE(window.window().findChildren<QMessageBox*>().isEmpty());

    server.reset();
    EXPECT_TRUE(waitUntil([&] { return window.reconnecting(); }));
    EXPECT_TRUE(window.window().isVisible());
}

// A host played by hand over loopback for the reconnection: each connection
// the window makes is taken in turn.
struct HandHost {
    HandHost()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        window.setPlayerName("Bob");
        // Short pauses, so that the test sees every attempt promptly.
        window.setReconnectPlan({{30, 30, 30, 30}, 30, 400, 1000});
        window.window().show();
        window.joinpress("127.0.0.1", server.serverPort());
    }
    // The next connection the window makes, or null.
    QTcpSocket* accept()
    {
        if (!waitUntil([&] { return server.hasPendingConnections(); }))
            return nullptr;
        peer = server.nextPendingConnection();
        return peer;
    }
    // What the window sent on the current connection, up to now.
    std::string sent()
    {
        waitUntil([&] { return peer->bytesAvailable() > 0; }, 500);
        received += peer->readAll().toStdString();
        return received;
    }
    void write(const std::string& messages) { peer->write(messages.data(), qint64(messages.size())); }
    QString chat() { return window.window().chatView().toPlainText(); }
    // Bob in seat 3, Ann in seat 1, a game running with Bob at 17 points and
    // his bar dealt, Ann on turn.
    void seatBob(int slot = 3)
    {
        received.clear();
        const std::string n = std::to_string(slot);
        for (const std::string& message :
             {"CMD_sendlogininfo+" + n + "+", "CMD_newplayerinfo+" + n + "+Bob",
              std::string("CMD_existingplayers+1+Ann"),
              "CMD_stats+" + n + "+200+60+1+50+blind+0+1+25+" + n + "+17",
              "CMD_mytiles+" + n + "+1+1+2+2+3+3+4+4+5+5+6+6+7+7", std::string("CMD_nextplayer+1+")})
            write(message + '\xFF');
        // A line last, so that the test knows the rest was handled.
        const std::string mark = "seated " + std::to_string(++seated);
        write("CMD_chat+" + mark + "\xFF");
        EXPECT_TRUE(waitUntil([&] { return chat().contains(QString::fromStdString(mark)); }));
    }
    int seated = 0;

    QTcpServer server;
    GameWindow window{1};
    QTcpSocket* peer = nullptr;
    std::string received;
};

const QString kLost = QStringLiteral("Connection to the host lost. Reconnecting...");

// Reset or plain close, the window keeps its table, says so in the system
// colour, and logs in again by itself; the host's catch-up gives the table
// back, and Just Watch, which the host forgot, is asked for again.
TEST(GameWindow, ALostConnectionIsMadeAgainAndTheWindowSitsDownAsALateJoiner)
{
    for (const bool reset : {true, false}) {
        SCOPED_TRACE(reset ? "reset" : "closed");
        HandHost host;
        QSignalSpy back(&host.window, &GameWindow::reconnected);
        ASSERT_NE(host.accept(), nullptr);
        host.seatBob();
        host.write("CMD_justwatching+3+1\xFF");
        ASSERT_TRUE(waitUntil([&] { return host.window.game().roster().justWatchChecked(); }));

        if (reset)
            host.peer->abort();
        else
            host.peer->disconnectFromHost();
        ASSERT_TRUE(waitUntil([&] { return host.chat().contains(kLost); }));
        const QTextBlock line =
            host.window.window().chatView().document()->findBlock(int(host.chat().indexOf(kLost)));
        EXPECT_EQ(line.begin().fragment().charFormat().foreground().color(),
                  palette::fromColour(palette::kSystemColour));
        // The game as it was, and no box.
        EXPECT_TRUE(host.window.window().isVisible());
        EXPECT_EQ(host.window.window().seats().name(1), "Ann");
        EXPECT_EQ(host.window.game().roster().seat(3).score, "17");
        EXPECT_TRUE(host.window.window().findChildren<QMessageBox*>().isEmpty());

        // The first attempt finds nobody at home; the second is taken.
        ASSERT_NE(host.accept(), nullptr);
        host.peer->abort();
        ASSERT_NE(host.accept(), nullptr);
        host.seatBob();
        EXPECT_EQ(back.count(), 1);
        const std::string sent = host.sent();
        EXPECT_NE(sent.find("CMD_logininfo+3+1.0.3+Bob\xFF"), std::string::npos) << sent;
        EXPECT_NE(sent.find("CMD_justwatch+3+1\xFF"), std::string::npos) << sent;
        EXPECT_EQ(host.window.window().seats().name(1), "Ann");
        EXPECT_EQ(host.window.window().seats().name(3), "Bob");
        EXPECT_EQ(host.chat().count(kLost), 1);
        EXPECT_FALSE(host.window.reconnecting());

        // A host that keeps no seats gives whichever is free: the table is
        // the new one, nothing of the old seat left.
        host.peer->abort();
        ASSERT_NE(host.accept(), nullptr);
        host.seatBob(4);
        EXPECT_EQ(host.window.game().roster().myplayer(), 4);
        EXPECT_EQ(host.window.window().seats().name(3), "<Waiting>");
        EXPECT_EQ(host.window.window().seats().name(4), "Bob");
    }
}

// Back in the same seat, the player's other ways into the game still work: the
// keys flip a board tile, a screen reader hears what the host says was
// flipped, and the title calls when the turn comes while he is elsewhere.
TEST(GameWindow, KeysScreenReaderAndTheTitlesCallStillWorkAfterAReconnection)
{
    HandHost host;
    ASSERT_NE(host.accept(), nullptr);
    host.seatBob();
    host.peer->abort();
    ASSERT_NE(host.accept(), nullptr);
    host.seatBob();
    ASSERT_FALSE(host.window.reconnecting());
    ASSERT_EQ(host.window.game().roster().myplayer(), 3);
    Tchat& window = host.window.window();
    BoardView& board = window.board();

    // An A lies at column 4, row 2 and an E beside it; Ann, on turn, flips the E.
    host.write(wire::msg::theboard({{4, 2, 1}, {5, 2, 5}}) + '\xFF' + wire::msg::heflip(1, 5, 2, false, 4) +
               '\xFF');
    QAccessibleInterface* cells = QAccessible::queryAccessibleInterface(&board);
    ASSERT_NE(cells, nullptr);
    const auto cellName = [&](int column, int row) {
        return cells->child((row - 1) * layout::kBoardColumns + column - 1)->text(QAccessible::Name);
    };
    EXPECT_TRUE(waitUntil([&] { return cellName(5, 2) == QStringLiteral("E, 1 point, face up"); }))
        << cellName(5, 2).toStdString();

    // Another program has the focus when Bob's turn comes.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return other.isActiveWindow(); }));
    other.hide();
    ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == nullptr; }));
    host.write("CMD_nextplayer+3+\xFF");
    ASSERT_TRUE(waitUntil([&] { return host.window.game().turn().ownTurn(); }));
    EXPECT_EQ(window.windowTitle().toStdString(), TurnAttention::callingTitle().toStdString());

    // He comes back and flips column 4, row 2 by the keys alone.
    window.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return window.isActiveWindow(); }));
    board.setFocus();
    // Wherever the cursor was, Home and Up at the edges leave it at the corner.
    std::vector<Qt::Key> keys(layout::kBoardRows, Qt::Key_Up);
    keys.insert(keys.end(), {Qt::Key_Home, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right});
    for (const Qt::Key key : keys)
        QTest::keyClick(&board, key);
    ASSERT_EQ(board.cursor(), (BoardCursor{4, 2}));
    QTest::keyClick(&board, Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return host.sent().find("CMD_iflip+3+4+2+\xFF") != std::string::npos; }))
        << host.received;
    // The window drew the A at the key; the host's echo keeps it.
    host.write(wire::msg::heflip(3, 4, 2, false, 3) + '\xFF');
    EXPECT_TRUE(waitUntil([&] { return cellName(4, 2) == QStringLiteral("A, 1 point, face up"); }))
        << cellName(4, 2).toStdString();
}

// While a game runs a departure leaves the seat's player away on the seat row.
TEST(GameWindow, APlayerWhoseConnectionClosedIsShownAway)
{
    HandHost host;
    ASSERT_NE(host.accept(), nullptr);
    host.seatBob();
    host.write("CMD_playerdisconnected+1+Ann\xFF");
    ASSERT_TRUE(waitUntil([&] { return host.window.window().seats().name(1) == "Ann (away)"; }));
    host.write("CMD_newplayerinfo+1+Ann\xFF");
    EXPECT_TRUE(waitUntil([&] { return host.window.window().seats().name(1) == "Ann"; }));
}

// The host removing the player, or the player leaving, ends the connection
// for good; a host that never comes back leaves the offer, which never
// blocks the window, and Try Again starts over.
TEST(GameWindow, NoAttemptAfterARemovalAndAnOfferOnceTheHostHadItsTime)
{
    {
        HandHost host;
        ASSERT_NE(host.accept(), nullptr);
        host.seatBob();
        host.write("CMD_playerdisconnected+3+Bob\xFF");
        host.peer->disconnectFromHost();
        ASSERT_TRUE(waitUntil([&] { return host.chat().contains("You were removed from the game."); }));
        EXPECT_FALSE(waitUntil([&] { return host.server.hasPendingConnections(); }, 600));
        EXPECT_FALSE(host.chat().contains(kLost));
        EXPECT_TRUE(host.window.window().isVisible());
        EXPECT_TRUE(host.window.hostLost());
    }
    {
        HandHost host;
        ASSERT_NE(host.accept(), nullptr);
        host.seatBob();
        host.window.leaveGame();
        EXPECT_FALSE(waitUntil([&] { return host.server.hasPendingConnections(); }, 600));
        EXPECT_FALSE(host.chat().contains(kLost));
    }
    HandHost host;
    const quint16 port = host.server.serverPort();
    ASSERT_NE(host.accept(), nullptr);
    host.seatBob();
    host.server.close();
    host.peer->abort();
    ASSERT_TRUE(waitUntil([&] { return host.window.reconnectOffer() != nullptr; }));
    QMessageBox* offer = host.window.reconnectOffer();
    EXPECT_TRUE(offer->isVisible());
    EXPECT_FALSE(offer->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(host.chat().contains("The host did not come back"));
    EXPECT_FALSE(host.window.reconnecting());

    ASSERT_TRUE(host.server.listen(QHostAddress::LocalHost, port));
    offer->findChild<QPushButton*>("reconnectAgain")->click();
    ASSERT_NE(host.accept(), nullptr);
    host.seatBob();
    EXPECT_FALSE(host.window.hostLost());
    EXPECT_EQ(host.window.reconnectOffer(), nullptr);

    // Leave Game on the offer is the File menu's.
    host.server.close();
    host.peer->abort();
    ASSERT_TRUE(waitUntil([&] { return host.window.reconnectOffer() != nullptr; }));
    QAction* leaveEntry = host.window.window().menu().action(MenuCommand::LeaveGame);
    leaveEntry->setEnabled(true); // as the roles have it while a game is joined
    QSignalSpy left(leaveEntry, &QAction::triggered);
    host.window.reconnectOffer()->findChild<QPushButton*>("reconnectLeave")->click();
    EXPECT_TRUE(waitUntil([&] { return left.count() == 1; }));
}

// The seat menu's entries and whether each can be chosen, closing the menu.
std::vector<std::pair<std::string, bool>> takeSeatMenu(HostedWindow& solo)
{
    std::vector<std::pair<std::string, bool>> items;
    auto* menu = solo.tchat().findChild<QMenu*>("popup_kick");
    if (menu == nullptr || !menu->isVisible())
        return items;
    for (QAction* item : menu->actions())
        items.emplace_back(item->text().toStdString(), item->isEnabled());
    menu->close();
    delete menu; // it deletes itself on close, but only once the loop runs
    return items;
}

TEST(GameWindow, ARightClickOnASeatNameOpensTheSeatMenuAsTheHostMayUseIt)
{
    HostedWindow solo;
    ASSERT_TRUE(solo.connected());
    QLabel* seat3 = solo.control<QLabel>("label_playername3");
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, seat3->rect().center(),
                                 seat3->mapToGlobal(seat3->rect().center()));
    QApplication::sendEvent(seat3, &rightClick);
    // The host may set any seat to just watch; nobody sits in seat 3 to remove.
    EXPECT_EQ(takeSeatMenu(solo),
              (std::vector<std::pair<std::string, bool>>{
                  {"Remove From Game", false}, {"Set to Just Watch", true}, {"Unset Just Watch", true}}));
}

// The keyboard and a screen reader open the very menu a right click opens, for
// the seat they are at: the host's own seat may be removed, an empty one not.
TEST(GameWindow, TheSeatMenuOpensByKeyAndByTheAccessibleActionAsByARightClick)
{
    HostedWindow solo;
    ASSERT_TRUE(solo.connected());
    QApplication::setActiveWindow(&solo.tchat());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&solo.tchat()));
    const auto rightClick = [&](int seat) {
        QLabel* name = solo.control<QLabel>(QStringLiteral("label_playername%1").arg(seat));
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), name->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(name, &click);
    };
    // F6 from the board to the seat rows, then Down to the seat.
    const auto keys = [&](int seat, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        solo.tchat().board().setFocus();
        QTest::keyClick(&solo.tchat().board(), Qt::Key_F6);
        for (int at = 1; at < SeatRows::kSeats; ++at)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        for (int at = 1; at < seat; ++at)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QWidget* row = QApplication::focusWidget();
        ASSERT_NE(row, nullptr);
        ASSERT_EQ(row->objectName().toStdString(), "label_playername" + std::to_string(seat));
        QTest::keyClick(row, key, modifiers);
    };
    const auto action = [&](int seat) {
        QAccessibleInterface* name = QAccessible::queryAccessibleInterface(
            solo.control(QStringLiteral("label_playername%1").arg(seat)));
        ASSERT_NE(name->actionInterface(), nullptr);
        name->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    };
    struct Way {
        const char* name;
        std::function<void(int)> open;
    };
    const std::vector<Way> ways = {
        {"Menu key", [&](int seat) { keys(seat, Qt::Key_Menu, {}); }},
        {"Shift+F10", [&](int seat) { keys(seat, Qt::Key_F10, Qt::ShiftModifier); }},
        {"Enter", [&](int seat) { keys(seat, Qt::Key_Return, {}); }},
        {"accessible action", action},
    };
    std::vector<std::pair<std::string, bool>> rightClicked[2];
    for (const int seat : {1, 3}) {
        rightClick(seat);
        auto& expected = rightClicked[seat == 1 ? 0 : 1];
        expected = takeSeatMenu(solo);
        ASSERT_EQ(expected.size(), 3u) << seat;
        for (const Way& way : ways) {
            way.open(seat);
            EXPECT_EQ(takeSeatMenu(solo), expected) << way.name << ", seat " << seat;
        }
    }
    EXPECT_NE(rightClicked[0], rightClicked[1]) << "the seats' menus must tell a mixed-up seat";
}

TEST(GameWindow, AFullHostsBoxIsReadBeforeTheWindowCloses)
{
    QTcpServer host;
    ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
    GameWindow window(1);
    window.window().show();
    window.joinpress("127.0.0.1", host.serverPort());
    ASSERT_TRUE(waitUntil([&] { return host.hasPendingConnections(); }));
    QTcpSocket* peer = host.nextPendingConnection();
    // As lexiflip-host does: the word, and the connection closed at once.
    peer->write("CMD_full+\xFF");
    peer->disconnectFromHost();
    ASSERT_TRUE(waitUntil([&] { return window.window().hostBox() != nullptr; }));
    EXPECT_EQ(window.window().hostBox()->text(), "Game is full");
    testing::settle();
    EXPECT_TRUE(window.window().isVisible()) << "the box went with the window before it was read";
    window.window().hostBox()->accept();
    EXPECT_TRUE(waitUntil([&] { return !window.window().isVisible(); }));
}

// A host that floods the window: a message nobody handles is not even
// queued; handled ones beyond the queue's cap close the connection, saying why.
struct FloodingHost {
    FloodingHost()
    {
        EXPECT_TRUE(host.listen(QHostAddress::LocalHost, 0));
        window.window().show();
        window.joinpress("127.0.0.1", host.serverPort());
        EXPECT_TRUE(waitUntil([&] { return host.hasPendingConnections(); }));
        peer = host.nextPendingConnection();
    }
    void send(const QByteArray& message, int times)
    {
        QByteArray bytes;
        for (int i = 0; i < times; ++i)
            bytes += message + '\xFF';
        peer->write(bytes);
    }
    QString chat() { return window.window().chatView().toPlainText(); }

    QTcpServer host;
    GameWindow window{1};
    QTcpSocket* peer = nullptr;
};

const QString kOverrun = QStringLiteral("The host sent more than this window can take in");

TEST(GameWindow, MessagesNobodyHandlesAreDroppedBeforeTheyAreQueued)
{
    FloodingHost flood;
    ASSERT_NE(flood.peer, nullptr);
    // Four times the cap, in reads of many messages each; then one the window handles.
    flood.send("CMD_nosuchcommand+1+2+3", 4 * int(wire::kQueueLimitPerConnection) * 20);
    flood.send("CMD_newplayerinfo+3+Zed", 1);
    ASSERT_TRUE(waitUntil([&] { return flood.chat().contains("Zed is Connected."); }));
    EXPECT_EQ(flood.window.session().queuedEntries(), 0u);
    EXPECT_FALSE(flood.chat().contains(kOverrun));
    EXPECT_EQ(flood.peer->state(), QAbstractSocket::ConnectedState);
    EXPECT_TRUE(flood.window.window().isVisible());
}

TEST(GameWindow, AHostThatFillsTheReceiveQueueIsClosedWithALineSayingWhy)
{
    FloodingHost flood;
    ASSERT_NE(flood.peer, nullptr);
    flood.send("CMD_tie+", 20 * int(wire::kQueueLimitPerConnection));
    ASSERT_TRUE(waitUntil([&] { return flood.chat().contains(kOverrun); }));
    EXPECT_LE(flood.window.session().queuedEntries(), std::size_t(wire::kQueueLimitPerConnection));
    const QTextBlock line =
        flood.window.window().chatView().document()->findBlock(int(flood.chat().indexOf(kOverrun)));
    EXPECT_EQ(line.begin().fragment().charFormat().foreground().color(),
              palette::fromColour(palette::kSystemColour));
    // Closed like a disconnect: the host sees it go, and nothing it queued is
    // handled, so the line stays the chat's last. The window waits for the
    // box that says the same, then closes.
    EXPECT_TRUE(waitUntil([&] { return flood.peer->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(flood.window.session().queuedEntries(), 0u);
    testing::settle();
    const QString lastLine = flood.chat().trimmed().section(QLatin1Char('\n'), -1);
    EXPECT_TRUE(lastLine.startsWith(kOverrun)) << lastLine.toStdString();
    ASSERT_NE(flood.window.window().hostBox(), nullptr);
    EXPECT_EQ(flood.window.window().hostBox()->text(), lastLine);
    EXPECT_TRUE(flood.window.window().isVisible()) << "closed before the reason could be read";
    flood.window.window().hostBox()->accept();
    EXPECT_TRUE(waitUntil([&] { return !flood.window.window().isVisible(); }));
}

TEST(GameWindow, AJoiningClientGivenSlotOneIsTheHostsPlayer)
{
    host::TServer server(onAnyPort());
    server.startHosting();
    GameWindow window(1);
    window.window().show();
    window.setPlayerName("Ann");
    window.joinpress("127.0.0.1", server.port());
    EXPECT_FALSE(window.window().menu().entry("StartGame1")->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return window.game().roster().loggedin(); }));
    EXPECT_TRUE(window.game().roster().ishost());
    EXPECT_TRUE(window.window().findChild<QWidget*>("button_start")->isVisible());
    EXPECT_TRUE(window.window().menu().entry("StartGame1")->isEnabled());
}

// Slot 1 comes with the host's player's role, until the catch-up says a game
// runs: then the start is taken back, an options dialog opened meanwhile too.
TEST(GameWindow, SlotOneCaughtUpMidGameLosesTheStartUntilTheWinner)
{
    QTcpServer host;
    ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
    GameWindow window(1);
    window.window().show();
    window.setPlayerName("Joe");
    QSignalSpy withdrawn(&window, &GameWindow::gameOptionsWithdrawn);
    window.joinpress("127.0.0.1", host.serverPort());
    ASSERT_TRUE(waitUntil([&] { return host.hasPendingConnections(); }));
    QTcpSocket* peer = host.nextPendingConnection();
    QWidget* start = window.window().findChild<QWidget*>("button_start");
    QAction* entry = window.window().menu().entry("StartGame1");

    peer->write("CMD_sendlogininfo+1+\xFF");
    ASSERT_TRUE(waitUntil([&] { return start->isVisible(); }));
    EXPECT_TRUE(entry->isEnabled());
    peer->write("CMD_newplayerinfo+1+Joe\xFF"
                "CMD_stats+1+900+60+2+41+blind+0+1+0+2+12\xFF");
    ASSERT_TRUE(waitUntil([&] { return !start->isVisible(); }));
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_EQ(withdrawn.count(), 1);

    peer->write("CMD_winner+Bob+\xFF");
    ASSERT_TRUE(waitUntil([&] { return start->isVisible(); }));
    EXPECT_TRUE(entry->isEnabled());
    EXPECT_EQ(withdrawn.count(), 1);
}

// Plays the own turns through the widgets: five flips on the board, then the
// longest word of the computer's list that the flipped tiles and the bar can
// make, clicked tile by tile, and DONE; PASS when there is none or the host
// refuses it.
class WidgetPlayer {
public:
    explicit WidgetPlayer(HostedWindow& solo)
        : m_solo(solo), m_words(engine::loadComputerWords(assets::computerWords()))
    {
    }

    void act()
    {
        const ClientGame& g = m_solo.game();
        if (g.turn().turnowner() != g.roster().myplayer() || g.roster().myplayer() == 0)
            return;
        if (!g.turn().canbuild()) {
            if (g.turn().flipsdone() == 0)
                m_flipped.clear();
            if (g.turn().flipsdone() < 5)
                flipOne();
            return;
        }
        if (g.turn().wordlength() > 0) {
            // The host refused the word and gave the turn back.
            m_solo.click("button_pass");
            ++passes;
            return;
        }
        const std::vector<std::pair<int, int>> word = bestWord();
        if (word.empty()) {
            m_solo.click("button_pass");
            ++passes;
            return;
        }
        for (const auto& [x, y] : word) {
            if (x == 0)
                m_solo.click(QStringLiteral("letters_%1").arg(y));
            else
                m_solo.clickCell(x, y);
        }
        m_solo.click("button_done");
        ++words;
    }

    int words = 0;
    int passes = 0;

private:
    void flipOne()
    {
        const ClientGame& g = m_solo.game();
        for (int i = 0; i < 80; ++i) {
            const int cell = (m_next++ * 37) % 80;
            const int x = cell % 10 + 1;
            const int y = cell / 10 + 1;
            if (!g.turn().board(x, y).faceup) {
                m_solo.clickCell(x, y);
                m_flipped.emplace_back(x, y);
                return;
            }
        }
    }

    std::vector<std::pair<int, int>> bestWord() const
    {
        const ClientGame& g = m_solo.game();
        std::vector<std::pair<int, int>> best;
        for (const std::string& word : m_words) {
            if (word.size() < 2 || word.size() <= best.size())
                continue;
            std::vector<std::pair<int, int>> origins;
            std::vector<bool> boardTaken(m_flipped.size());
            std::array<bool, 8> barTaken{};
            for (const char letter : word) {
                const int code = letter - 'a' + 1;
                bool found = false;
                for (std::size_t f = 0; f < m_flipped.size() && !found; ++f) {
                    const auto [x, y] = m_flipped[f];
                    if (!boardTaken[f] && g.turn().board(x, y).letter == code) {
                        boardTaken[f] = found = true;
                        origins.emplace_back(x, y);
                    }
                }
                for (int k = 1; k <= 7 && !found; ++k) {
                    if (!barTaken[k] && g.turn().bar(k).shown == code) {
                        barTaken[k] = found = true;
                        origins.emplace_back(0, k);
                    }
                }
                if (!found)
                    break;
            }
            if (origins.size() == word.size())
                best = origins;
        }
        return best;
    }

    HostedWindow& m_solo;
    std::vector<std::string> m_words;
    std::vector<std::pair<int, int>> m_flipped;
    int m_next = 0;
};

TEST(GameWindow, AWholeSoloGameIsPlayedByMouseToTheWinnerBanner)
{
    HostedWindow solo;
    ASSERT_TRUE(solo.startAndWaitForTurn(30, 30));
    WidgetPlayer player(solo);
    const bool over = waitUntil(
        [&] {
            player.act();
            return solo.game().turn().winnerBanner().shown;
        },
        240000);
    ASSERT_TRUE(over) << "words " << player.words << ", passes " << player.passes;
    EXPECT_GE(player.words, 1) << "no word was built by mouse";
    QWidget* banner = solo.control("panel_winner");
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    const QString text = solo.control<QLabel>("label_winner1")->text();
    EXPECT_TRUE(text == "You have Won the Game!" || text == "Klot has Won the Game!") << text.toStdString();
    EXPECT_EQ(solo.control<QLabel>("label_winner2")->text(), text);
    EXPECT_TRUE(solo.tchat().chatView().toPlainText().contains(text));
    // The host's player may start the next game.
    EXPECT_TRUE(solo.control("button_start")->isVisible());
}

} // namespace
} // namespace lexiflip::client
