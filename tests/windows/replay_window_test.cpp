// The replay: a record written by hand, opened from its file and stepped with
// real keys; and the list of recorded games the File menu opens.

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

#include "client/game/tile_pictures.h"
#include "client/widgets/board_view.h"
#include "windows/replay/open_record_dialog.h"
#include "windows/replay/replay_window.h"

namespace lexiflip::windows {
namespace {

// Ann makes BREAD from four board letters and her bar, Klot makes EX, Ann
// passes and wins. Steps: 0 the start, 1 Ann's turn, 2..6 her flips, 7 BREAD,
// 8 Klot's turn, 9 his flip, 10 EX, 11 Ann's turn, 12 her pass, 13 the winner.
constexpr const char* kGame = "lexiflip-record 1\n"
                              "began 2026-12-09T14:05:00Z\n"
                              "options 100 60 sneak 0\n"
                              "starter Ann\n"
                              "self 1\n"
                              "seat 1 Ann\n"
                              "seat 2 Klot\n"
                              "turn 1\n"
                              "flip 1 1 B\n"
                              "flip 2 1 R\n"
                              "flip 3 1 E\n"
                              "flip 4 1 A\n"
                              "flip 7 8 Q\n"
                              "word 1 BREAD 24 5 24 1,1 2,1 3,1 4,1 bar\n"
                              "turn 2\n"
                              "flip 3 4 E\n"
                              "word 2 EX 18 0 18 3,4 bar\n"
                              "turn 1\n"
                              "pass 1\n"
                              "winner Ann\n"
                              "final 24 18 0 0 0 0\n";

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
}

int picture(const ReplayWindow& window, int column, int row)
{
    return window.board().pictureAt({column, row});
}

QString cellName(const ReplayWindow& window, int column, int row)
{
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(&window.board());
    QAccessibleInterface* cell = board->child((row - 1) * 10 + (column - 1));
    return cell ? cell->text(QAccessible::Name) : QString();
}

QString seatText(const ReplayWindow& window, int seat)
{
    return window.findChild<QLabel*>(QStringLiteral("label_seat%1").arg(seat))->accessibleName();
}

struct OpenedReplay {
    QTemporaryDir dir;
    ReplayWindow* window = nullptr;

    explicit OpenedReplay(const QByteArray& text = kGame)
    {
        QString problem;
        window = openReplayWindow(writeFile(dir, "game.txt", text), nullptr, {}, problem);
        EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    }
    ~OpenedReplay() { delete window; }

    void press(Qt::Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, key);
    }
};

TEST(ReplayWindow, RealKeysStepThroughTheBoardAndTheScores)
{
    OpenedReplay replay;
    ReplayWindow& window = *replay.window;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_EQ(window.stepCount(), 14);
    EXPECT_EQ(window.step(), 0);
    for (int row = 1; row <= 8; ++row)
        for (int column = 1; column <= 10; ++column)
            ASSERT_EQ(picture(window, column, row), client::kTileBack) << column << "," << row;
    EXPECT_EQ(seatText(window, 1), "Ann, 0 points");
    EXPECT_FALSE(window.findChild<QLabel*>("label_seat3")->isVisible());

    replay.press(Qt::Key_Right, 6); // the five flips
    EXPECT_EQ(window.step(), 6);
    EXPECT_EQ(picture(window, 1, 1), 2); // B face up
    EXPECT_EQ(picture(window, 7, 8), 17);
    EXPECT_EQ(picture(window, 5, 1), client::kTileBack);
    EXPECT_EQ(cellName(window, 3, 1), "E, 1 point, face up");
    EXPECT_EQ(seatText(window, 1), "Ann, 0 points, on turn");

    replay.press(Qt::Key_Right); // BREAD
    EXPECT_EQ(picture(window, 1, 1), client::usedPicture(2));
    EXPECT_EQ(cellName(window, 4, 1), "A, in the word");
    EXPECT_EQ(picture(window, 7, 8), 17); // not in the word: still face up
    EXPECT_EQ(seatText(window, 1), "Ann, 24 points, on turn");
    EXPECT_TRUE(window.findChild<QLabel*>("label_event")->text().contains("BREAD for 24 points"));

    replay.press(Qt::Key_Right); // Klot's turn: the board face down again
    EXPECT_EQ(picture(window, 1, 1), client::kTileBack);
    EXPECT_EQ(seatText(window, 2), "Klot, 0 points, on turn");
    EXPECT_EQ(seatText(window, 1), "Ann, 24 points");

    // A focused button does not take the arrows for a focus move.
    window.findChild<QPushButton*>("button_previous")->setFocus();
    replay.press(Qt::Key_Right, 2);
    EXPECT_EQ(window.step(), 10);
    EXPECT_EQ(picture(window, 3, 4), client::usedPicture(5));
    EXPECT_EQ(window.findChild<QSlider*>("slider_step")->value(), 10);

    replay.press(Qt::Key_End);
    EXPECT_EQ(window.step(), 13);
    EXPECT_EQ(seatText(window, 1), "Ann, 24 points");
    EXPECT_EQ(seatText(window, 2), "Klot, 18 points");
    EXPECT_FALSE(window.findChild<QPushButton*>("button_next")->isEnabled());
    replay.press(Qt::Key_Right);
    EXPECT_EQ(window.step(), 13);

    replay.press(Qt::Key_Home);
    EXPECT_EQ(window.step(), 0);
    replay.press(Qt::Key_Left);
    EXPECT_EQ(window.step(), 0);
    EXPECT_EQ(seatText(window, 2), "Klot, 0 points");

    // The slider goes anywhere; the buttons step from there.
    window.findChild<QSlider*>("slider_step")->setValue(9);
    EXPECT_EQ(picture(window, 3, 4), 5);
    QTest::mouseClick(window.findChild<QPushButton*>("button_previous"), Qt::LeftButton);
    EXPECT_EQ(window.step(), 8);
    EXPECT_EQ(picture(window, 3, 4), client::kTileBack);
}

TEST(ReplayWindow, TheBoardFollowsTheZoomAndAPressOnACellChangesNothing)
{
    OpenedReplay replay;
    ReplayWindow& window = *replay.window;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.board().size(), QSize(410, 328));
    for (int step = 0; step < 4; ++step) // 125, 150, 175, 200
        QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(window.zoom().percent(), 200);
    EXPECT_EQ(window.board().size(), QSize(820, 656));
    EXPECT_EQ(window.board().cellRect({2, 1}), QRect(82, 0, 82, 82));

    window.board().activateCell({1, 1});
    QTest::mouseClick(&window.board(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.step(), 0);
    EXPECT_EQ(picture(window, 1, 1), client::kTileBack);
}

TEST(ReplayWindow, ADamagedOrMissingFileIsRefusedWithItsReason)
{
    QTemporaryDir dir;
    QString problem;
    const QString damaged = writeFile(dir, "bad.txt", QByteArray(kGame).replace("flip 2 1 R", "flip 2 1"));
    EXPECT_EQ(openReplayWindow(damaged, nullptr, {}, problem), nullptr);
    EXPECT_TRUE(problem.contains("line 10")) << problem.toStdString();
    problem.clear();
    EXPECT_EQ(openReplayWindow(dir.filePath("none.txt"), nullptr, {}, problem), nullptr);
    EXPECT_FALSE(problem.isEmpty());
}

// --- The list of recorded games ---------------------------------------------

TEST(OpenRecordDialog, ListsTheGamesNewestFirstWithDamagedOnesGreyedAndOpensByEnter)
{
    QTemporaryDir dir;
    QByteArray unfinished(kGame);
    unfinished.truncate(unfinished.indexOf("turn 1\npass"));
    unfinished.replace("seat 2 Klot", "seat 2 Klot\nseat 3 Bea");
    // Named as the records are, by the time each game began.
    writeFile(dir, "2026-12-07_090000Z_Ann_Klot_Bea.lexiflip.txt", unfinished);
    const QString newest = writeFile(dir, "2026-12-09_140500Z_Ann_Klot.lexiflip.txt", kGame);
    const QString damaged = writeFile(dir, "2026-12-08_100000Z_Ann.lexiflip.txt", "lexiflip-record 9\n");
    writeFile(dir, "notes.txt", kGame); // no record's name: not listed

    OpenRecordDialog dialog;
    QSignalSpy chosen(&dialog, &OpenRecordDialog::recordChosen);
    dialog.showRecords(dir.path().toStdString());
    auto* list = dialog.findChild<QTreeWidget*>("list_records");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const QTreeWidgetItem* top = list->topLevelItem(0);
    EXPECT_EQ(top->text(1), "Ann, Klot");
    EXPECT_EQ(top->text(2), "24, 18");
    EXPECT_EQ(top->text(3), "Ann");
    EXPECT_TRUE(list->topLevelItem(1)->isDisabled());
    EXPECT_FALSE(list->topLevelItem(1)->text(0).isEmpty()); // when it was written
    EXPECT_TRUE(list->topLevelItem(1)->text(1).startsWith("Cannot be replayed: line 1"))
        << list->topLevelItem(1)->text(1).toStdString();
    const QTreeWidgetItem* last = list->topLevelItem(2);
    EXPECT_EQ(last->text(1), "Ann, Klot, Bea");
    EXPECT_EQ(last->text(2), "24, 18, 0"); // the scores where the record ends
    EXPECT_EQ(last->text(3), "not finished");

    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), newest);
    EXPECT_FALSE(dialog.isVisible());

    // Another file, from anywhere.
    dialog.setFileChooser([](const QString&) { return QStringLiteral("/elsewhere/game.txt"); });
    dialog.showRecords(dir.path().toStdString());
    QTest::mouseClick(dialog.findChild<QPushButton*>("button_another"), Qt::LeftButton);
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(chosen.at(1).at(0).toString(), "/elsewhere/game.txt");
}

} // namespace
} // namespace lexiflip::windows
