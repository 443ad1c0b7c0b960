// The game area by keyboard and by assistive technology: the keys the board
// hands on, F6, the cursor's look, and the names and actions of its objects.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "client/game/tile_pictures.h"
#include "client/widgets/accessibles.h"
#include "client/widgets/board_view.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/picture_view.h"
#include "client/widgets/seat_rows.h"
#include "client/widgets/turn_timer_view.h"
#include "client/window/tchat.h"

namespace lexiflip::client {
namespace {

// A shown window whose board shows: row 1 face down, (2,2) E face up, (3,2)
// E taken into the word, the rest empty.
class GameArea : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.board().setPictureOf([](CellAddress cell) {
            if (cell.row == 1)
                return kTileBack;
            if (cell == CellAddress{2, 2})
                return 5;
            if (cell == CellAddress{3, 2})
                return 5 + kUsedOffset;
            return 0;
        });
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QAccessibleInterface* of(const char* name)
    {
        return QAccessible::queryAccessibleInterface(window.findChild<QWidget*>(name));
    }
    static QStringList actions(QAccessibleInterface* object)
    {
        return object->actionInterface() ? object->actionInterface()->actionNames() : QStringList();
    }

    Tchat window;
};

TEST_F(GameArea, TheBoardHandsOnItsKeysAndLeavesTheRest)
{
    window.board().setFocus();
    QSignalSpy keys(&window, &Tchat::gameKeyPressed);
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::optional<KeyPress> press;
    };
    const std::vector<Case> cases = {
        {Qt::Key_Left, {}, KeyPress{GameKey::Left}},
        {Qt::Key_End, {}, KeyPress{GameKey::End}},
        {Qt::Key_Space, {}, KeyPress{GameKey::Space}},
        {Qt::Key_Backspace, {}, KeyPress{GameKey::Backspace}},
        {Qt::Key_Return, {}, KeyPress{GameKey::Enter}},
        {Qt::Key_Enter, Qt::KeypadModifier, KeyPress{GameKey::Enter}},
        {Qt::Key_Escape, {}, KeyPress{GameKey::Escape}},
        {Qt::Key_P, Qt::AltModifier, KeyPress{GameKey::Pass}},
        {Qt::Key_B, Qt::AltModifier, KeyPress{GameKey::Buy}},
        {Qt::Key_S, Qt::AltModifier, KeyPress{GameKey::Shuffle}},
        {Qt::Key_Q, {}, KeyPress{GameKey::Letter, 'Q', 0}},
        {Qt::Key_Q, Qt::ShiftModifier, KeyPress{GameKey::Letter, 'Q', 0}},
        {Qt::Key_7, {}, KeyPress{GameKey::BarPlace, 0, 7}},
        {Qt::Key_8, {}, std::nullopt},
        {Qt::Key_Q, Qt::ControlModifier, std::nullopt},
        {Qt::Key_X, Qt::AltModifier, std::nullopt},
    };
    for (const Case& c : cases) {
        keys.clear();
        QTest::keyClick(&window.board(), static_cast<Qt::Key>(c.key), c.modifiers);
        ASSERT_EQ(keys.size(), c.press ? 1 : 0) << c.key;
        if (c.press) {
            const auto got = keys.at(0).at(0).value<KeyPress>();
            EXPECT_EQ(got.key, c.press->key) << c.key;
            EXPECT_EQ(got.letter, c.press->letter) << c.key;
            EXPECT_EQ(got.place, c.press->place) << c.key;
        }
    }
}

TEST_F(GameArea, F6GoesRoundTheBoardTheSeatRowsAndTheChatEntry)
{
    window.chatEntry().setFocus();
    QTest::keyClick(&window.chatEntry(), Qt::Key_F6);
    EXPECT_TRUE(window.board().hasFocus());
    QTest::keyClick(&window.board(), Qt::Key_F6);
    EXPECT_TRUE(window.seats().nameLabel(1).hasFocus());
    QTest::keyClick(&window.seats().nameLabel(1), Qt::Key_F6);
    EXPECT_TRUE(window.chatEntry().hasFocus());
    // The chat keeps its letters.
    window.chatEntry().clear();
    QTest::keyClicks(&window.chatEntry(), "hi");
    EXPECT_EQ(window.chatEntry().text(), QStringLiteral("hi"));
}

// Up and Down walk the shown rows, passing a hidden one and stopping at the
// ends; the menu keys ask for the menu of the row that has the keyboard; F6
// comes back to the row last left; with no row shown, F6 passes the rows by.
TEST_F(GameArea, TheSeatRowsKeysWalkTheShownRowsAndAskForTheMenuThere)
{
    SeatRows& seats = window.seats();
    SeatLook hidden;
    hidden.nameShown = false;
    seats.showSeat(3, hidden);
    window.board().setFocus();
    QTest::keyClick(&window.board(), Qt::Key_F6);
    QSignalSpy asked(&window, &Tchat::seatMenuRequested);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int focused; // the row with the keyboard afterwards
        bool menu;   // asked for at that row
    };
    const std::vector<Case> cases = {
        {Qt::Key_Up, {}, 1, false},          {Qt::Key_Down, {}, 2, false},
        {Qt::Key_Down, {}, 4, false},        {Qt::Key_Menu, {}, 4, true},
        {Qt::Key_F10, Qt::ShiftModifier, 4, true}, {Qt::Key_F10, {}, 4, false},
        {Qt::Key_Return, {}, 4, true},       {Qt::Key_Enter, Qt::KeypadModifier, 4, true},
        {Qt::Key_Space, {}, 4, false},       {Qt::Key_Down, {}, 5, false},
        {Qt::Key_Down, {}, 6, false},        {Qt::Key_Down, {}, 6, false},
        {Qt::Key_Up, {}, 5, false},
    };
    for (const Case& c : cases) {
        asked.clear();
        QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers);
        ASSERT_TRUE(seats.nameLabel(c.focused).hasFocus()) << c.key;
        ASSERT_EQ(asked.size(), c.menu ? 1 : 0) << c.key;
        if (c.menu) {
            SeatName& row = seats.nameLabel(c.focused);
            EXPECT_EQ(asked.at(0).at(0).toInt(), c.focused);
            EXPECT_EQ(asked.at(0).at(1).toPoint(), row.mapToGlobal(QPoint(0, row.height())));
        }
    }
    // The Menu key as the X11 platform hands it on: a keyboard's context menu
    // event at the middle of the name, opening the menu where the keys do.
    asked.clear();
    SeatName& five = seats.nameLabel(5);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, five.rect().center(),
                              five.mapToGlobal(five.rect().center()));
    QApplication::sendEvent(&five, &menuKey);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.at(0).at(1).toPoint(), five.mapToGlobal(QPoint(0, five.height())));

    QTest::keyClick(&seats.nameLabel(5), Qt::Key_F6);
    QTest::keyClick(&window.chatEntry(), Qt::Key_F6);
    QTest::keyClick(&window.board(), Qt::Key_F6);
    EXPECT_TRUE(seats.nameLabel(5).hasFocus());
    for (int seat = 1; seat <= SeatRows::kSeats; ++seat)
        seats.showSeat(seat, hidden);
    window.board().setFocus();
    QTest::keyClick(&window.board(), Qt::Key_F6);
    EXPECT_TRUE(window.chatEntry().hasFocus());
}

// The row's ring, like the board's cursor, shows only while the row has the
// keyboard, and stays within the row's turn frame.
TEST_F(GameArea, TheSeatRingShowsOnlyWhileARowHasTheKeyboard)
{
    QWidget& panel = *window.seats().nameLabel(1).parentWidget();
    const auto seatPanel = [&] { return panel.grab(layout::kSeatPanel).toImage(); };
    window.chatEntry().setFocus();
    const QImage plain = seatPanel();
    window.board().setFocus();
    QTest::keyClick(&window.board(), Qt::Key_F6);
    QTest::keyClick(&window.seats().nameLabel(1), Qt::Key_Down);
    QImage focused = seatPanel();
    const QRect row = layout::turnFrameRect(2).translated(-layout::kSeatPanel.topLeft());
    EXPECT_NE(focused.copy(row), plain.copy(row));
    QImage plainOutside = plain;
    for (QImage* image : {&focused, &plainOutside})
        QPainter(image).fillRect(row, Qt::black);
    EXPECT_EQ(focused, plainOutside) << "the ring stays inside its row";
    QTest::keyClick(&window.seats().nameLabel(2), Qt::Key_F6);
    EXPECT_EQ(seatPanel(), plain);
}

TEST_F(GameArea, TheCursorShowsOnlyWhileTheBoardHasTheFocus)
{
    window.chatEntry().setFocus();
    const QImage plain = window.board().grab().toImage();
    window.board().setCursor({2, 2});
    EXPECT_EQ(window.board().grab().toImage(), plain) << "no cursor without the focus";
    window.board().setFocus();
    const QImage focused = window.board().grab().toImage();
    const QRect cell = cellRect({2, 2});
    EXPECT_NE(focused.copy(cell), plain.copy(cell));
    const QRect others(0, cell.bottom() + 1, focused.width(), focused.height() - cell.bottom() - 1);
    EXPECT_EQ(focused.copy(others), plain.copy(others)) << "the ring stays inside its cell";
    window.chatEntry().setFocus();
    EXPECT_EQ(window.board().grab().toImage(), plain);
}

TEST_F(GameArea, TheBoardIsEightyNamedCellButtonsThatClickAsTheMouseDoes)
{
    QAccessibleInterface* board = of("paintbox_board");
    ASSERT_NE(board, nullptr);
    ASSERT_EQ(board->childCount(), 80);
    struct Case {
        int index;
        const char* name;
    };
    for (const Case& c : std::vector<Case>{{0, "Column 1, row 1, face down"},
                                           {11, "E, 1 point, face up"},
                                           {12, "E, in the word"},
                                           {79, "Column 10, row 8, empty"}}) {
        QAccessibleInterface* cell = board->child(c.index);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name), QString::fromLatin1(c.name));
        EXPECT_EQ(cell->role(), QAccessible::Button);
        EXPECT_EQ(cell->parent(), board);
        EXPECT_EQ(board->indexOfChild(cell), c.index);
    }
    EXPECT_EQ(board->child(79)->text(QAccessible::Description), QStringLiteral("Column 10, row 8"));
    const QRect wherePainted(window.board().mapToGlobal(cellRect({4, 3}).topLeft()), cellRect({4, 3}).size());
    EXPECT_EQ(board->child(23)->rect(), wherePainted);
    EXPECT_EQ(board->childAt(wherePainted.center().x(), wherePainted.center().y()), board->child(23));

    QSignalSpy clicks(&window, &Tchat::boardClicked);
    QAccessibleInterface* cell = board->child(23);
    ASSERT_EQ(actions(cell), QStringList{QAccessibleActionInterface::pressAction()});
    cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.at(0), (QVariantList{4, 3, QVariant::fromValue(Qt::LeftButton)}));

    window.board().setFocus();
    window.board().setCursor({4, 3});
    EXPECT_EQ(board->focusChild(), cell);
    EXPECT_TRUE(cell->state().focused);
}

TEST_F(GameArea, BarWordAndTheirTilesAreNamedButtonsWithTheClicksActions)
{
    window.setBarTile(3, 5, {layout::kBarLefts[2], layout::kBarTop});
    window.setWordTile(2, 17, false);
    std::array<int, Tchat::kBarPositions> theirs{};
    theirs[0] = 26;
    window.setTheirTiles(QStringLiteral("THEIR Tiles"), theirs, true);

    QAccessibleInterface* bar = of("letters_3");
    EXPECT_EQ(bar->text(QAccessible::Name), QStringLiteral("Bar tile 3, E, 1 point"));
    EXPECT_EQ(of("letters_4")->text(QAccessible::Name), QStringLiteral("Bar tile 4, empty"));
    EXPECT_EQ(of("word_2")->text(QAccessible::Name), QStringLiteral("Word position 2, Q, 10 points"));
    EXPECT_EQ(of("word_3")->text(QAccessible::Name), QStringLiteral("Word position 3, empty"));
    EXPECT_EQ(of("image_theirtile1")->text(QAccessible::Name), QStringLiteral("Their tile 1, Z"));
    EXPECT_EQ(of("image_theirtile2")->text(QAccessible::Name), QStringLiteral("Their tile 2, empty"));
    for (const char* name : {"letters_3", "word_2", "image_theirtile1"})
        EXPECT_EQ(of(name)->role(), QAccessible::Button) << name;
    EXPECT_EQ(of("Image6")->role(), QAccessible::Graphic);
    EXPECT_TRUE(actions(of("Image6")).isEmpty());

    QSignalSpy barClicks(&window, &Tchat::barClicked);
    QSignalSpy wordClicks(&window, &Tchat::wordClicked);
    ASSERT_EQ(actions(bar), (QStringList{QAccessibleActionInterface::pressAction(), "Choose for a swap"}));
    bar->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    bar->actionInterface()->doAction(QStringLiteral("Choose for a swap"));
    ASSERT_EQ(barClicks.size(), 2);
    EXPECT_EQ(barClicks.at(0), (QVariantList{3, QVariant::fromValue(Qt::LeftButton)}));
    EXPECT_EQ(barClicks.at(1), (QVariantList{3, QVariant::fromValue(Qt::RightButton)}));
    ASSERT_EQ(actions(of("word_2")), QStringList{QAccessibleActionInterface::pressAction()});
    of("word_2")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(wordClicks.size(), 1);
}

TEST_F(GameArea, SeatsTimerStatusAndChatAreReadByWhatTheyShow)
{
    SeatLook look;
    look.name = QStringLiteral("Klot");
    look.score = QStringLiteral("57");
    look.onTurn = true;
    window.seats().showSeat(2, look);
    EXPECT_EQ(of("label_playername2")->text(QAccessible::Name), QStringLiteral("Klot, 57 points, on turn"));
    window.timer().showTime(30, QStringLiteral("Time: 0:42"), Qt::white);
    EXPECT_EQ(of("Image2")->text(QAccessible::Name), QStringLiteral("Time: 0:42"));
    EXPECT_EQ(of("Image2")->childCount(), 0) << "the timer is read whole, once";
    window.setStatus(QStringLiteral("Create a Word"));
    EXPECT_EQ(of("label_status")->text(QAccessible::Name), QStringLiteral("Create a Word"));
}

} // namespace
} // namespace lexiflip::client
