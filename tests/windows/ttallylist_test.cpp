// The tally window over the tally a client game feeds: games and words arrive
// as host messages, the player ticks, unticks, resets, and the tally survives a restart.
// Before any Qt header: the recording helpers name a variable "slots".
#include "support/client_rig.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/game/lexiflip_app.h"
#include "client/media/palette.h"
#include "compress/compress_test_support.h"
#include "windows/tally/tally_file.h"
#include "windows/side/ttallylist.h"

namespace lexiflip::windows {
namespace {

QString text(const QWidget& window, const char* name)
{
    const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
}

QStringList items(const QWidget& window, const char* list, bool tickedOnly = false)
{
    QStringList names;
    const auto* widget = window.findChild<QListWidget*>(QString::fromLatin1(list));
    for (int i = 0; widget && i < widget->count(); ++i)
        if (!tickedOnly || widget->item(i)->checkState() == Qt::Checked)
            names << widget->item(i)->text();
    return names;
}

// Ticks or unticks an item as the player's click does, and lets the window act on it.
void setTick(QWidget& window, const char* list, const QString& name, bool ticked)
{
    auto* widget = window.findChild<QListWidget*>(QString::fromLatin1(list));
    ASSERT_NE(widget, nullptr);
    const auto found = widget->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    found[0]->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    QCoreApplication::processEvents();
}

QStringList detail(const QWidget& window)
{
    QStringList texts{text(window, "label_hisnametop"), text(window, "label_hisname")};
    for (int i = 1; i <= 8; ++i)
        texts << text(window, QStringLiteral("label_%1").arg(i).toLatin1().constData());
    return texts;
}

// Our seat 1 against Klot (2) and Ann (3), the tally window fed by the game.
class TallyWindow : public compress::testing::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        tally.setPlayerList([this] { return app::playersOf(game); });
        window.setConfirmation([this](const QString& question) {
            questions << question;
            return answer;
        });
        game.roster().setLoginname("You");
        game.handle("CMD_sendlogininfo+1");
        for (const char* message :
             {"CMD_newplayerinfo+1+You", "CMD_newplayerinfo+2+Klot", "CMD_newplayerinfo+3+Ann"})
            game.handle(message);
    }
    QString tallyPath() const { return QString::fromStdString(path(std::string(kTallyFileName))); }

    testing::RecordingClientSender sender;
    testing::RecordingScreen screen;
    testing::SteppedClock turntime, sneaker;
    TallyModel tally;
    Ttallylist window{tally};
    client::ClientGame game{sender, screen, tally, turntime, sneaker, 7};
    QStringList questions;
    bool answer = false;
};

TEST_F(TallyWindow, gamesAndWordsFromTheHost)
{
    window.viewTally();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Lexiflip - Tally List");
    EXPECT_EQ(items(window, "checklist"), (QStringList{"Klot", "Ann"}));
    EXPECT_TRUE(items(window, "checklist", true).isEmpty());

    setTick(window, "checklist", "Klot", true);
    EXPECT_EQ(items(window, "listbox_tally", true), QStringList{"Klot"});

    game.handle("CMD_hisword+1+quiz+21+21+");
    game.handle("CMD_hisword+1+cab+30+9+");
    game.handle("CMD_hisword+2+jazz+40+40+"); // Klot's word is not ours
    EXPECT_EQ(text(window, "mylabel_3"), "2");
    EXPECT_EQ(text(window, "mylabel_4"), "quiz (21)");

    const std::vector<TallyRow> beforeTie = window.tally().rows();
    game.handle("CMD_tie+");
    EXPECT_EQ(window.tally().rows(), beforeTie);

    game.handle("CMD_winner+Klot+");
    window.findChild<QListWidget*>("listbox_tally")->setCurrentRow(0);
    EXPECT_EQ(detail(window),
              (QStringList{"Klot's Tally", "Klot Wins:", "1", "1", "0", "0", "1", "1", "0", "0"}));
    game.handle("CMD_winner+Ann+");
    game.handle("CMD_winner+You+");
    EXPECT_EQ(detail(window),
              (QStringList{"Klot's Tally", "Klot Wins:", "3", "1", "1", "1", "3", "1", "1", "1"}));
    EXPECT_EQ(text(window, "mylabel_1"), "3");
    EXPECT_EQ(text(window, "mylabel_2"), "1");

    window.findChild<QPushButton*>("button_done")->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(TallyWindow, unfollowingAsksFirst)
{
    window.viewTally();
    setTick(window, "checklist", "Klot", true);
    setTick(window, "checklist", "Ann", true);
    setTick(window, "checklist", "Ann", false); // unticking here changes nothing
    ASSERT_EQ(items(window, "listbox_tally", true), (QStringList{"Klot", "Ann"}));

    setTick(window, "listbox_tally", "Klot", false);
    EXPECT_EQ(questions, QStringList{"This will delete Klot's Tally, Are you want to delete it?"});
    EXPECT_EQ(items(window, "listbox_tally", true), (QStringList{"Klot", "Ann"})); // No ticks it again

    answer = true;
    setTick(window, "listbox_tally", "Klot", false);
    EXPECT_EQ(items(window, "listbox_tally"), QStringList{"Ann"});
    EXPECT_EQ(window.tally().rowCount(), 2);
    EXPECT_EQ(window.tally().cell(0, 1), "Ann");
}

TEST_F(TallyWindow, theRealQuestionBoxAnsweredNo)
{
    window.setConfirmation(nullptr);
    window.viewTally();
    setTick(window, "checklist", "Klot", true);
    // The box opens once the untick is handled; answer it then.
    QString asked;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll.stop();
            asked = box->text();
            box->button(QMessageBox::No)->click();
        }
    });
    poll.start(5);
    setTick(window, "listbox_tally", "Klot", false);
    QTRY_COMPARE(asked, QStringLiteral("This will delete Klot's Tally, Are you want to delete it?"));
    EXPECT_EQ(items(window, "listbox_tally", true), QStringList{"Klot"});
}

// A name and a best word are what the network sent: plain text in every label
// and in the question box, without their control characters.
TEST_F(TallyWindow, namesAndWordsFromTheNetworkAreNeverMarkup)
{
    window.setConfirmation(nullptr);
    game.handle("CMD_newplayerinfo+4+<img src=\"x.png\"><b>Mal</b>\r\n");
    game.handle("CMD_hisword+1+<i>q</i>+21+21+");
    const QString mal = QStringLiteral("<img src=\"x.png\"><b>Mal</b>");
    window.viewTally();
    setTick(window, "checklist", mal, true);
    window.findChild<QListWidget*>("listbox_tally")->setCurrentRow(0);
    for (const auto& [name, shown] :
         {std::pair{"label_hisnametop", mal + "'s Tally"}, std::pair{"label_hisname", mal + " Wins:"},
          std::pair{"mylabel_4", QStringLiteral("<i>q</i> (21)")}}) {
        const auto* label = window.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        EXPECT_EQ(label->text(), shown) << name;
    }

    QString asked;
    Qt::TextFormat format = Qt::AutoText;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll.stop();
            asked = box->text();
            format = box->textFormat();
            box->button(QMessageBox::No)->click();
        }
    });
    poll.start(5);
    setTick(window, "listbox_tally", mal, false);
    QTRY_COMPARE(asked, "This will delete " + mal + "'s Tally, Are you want to delete it?");
    EXPECT_EQ(format, Qt::PlainText);
}

TEST_F(TallyWindow, resetTallyAsksAndThenEmptiesEverything)
{
    window.viewTally();
    setTick(window, "checklist", "Klot", true);
    game.handle("CMD_hisword+1+quiz+21+21+");
    game.handle("CMD_winner+Klot+");
    auto* reset = window.findChild<QPushButton*>("button_reset");
    reset->click();
    EXPECT_EQ(questions, QStringList{"Are you sure you want to reset the Tally?"});
    EXPECT_EQ(text(window, "mylabel_1"), "1");

    answer = true;
    reset->click();
    EXPECT_EQ(items(window, "listbox_tally"), QStringList());
    EXPECT_EQ(text(window, "mylabel_4"), "-");
    EXPECT_EQ(window.tally().rowCount(), 1);
}

TEST_F(TallyWindow, aRestartKeepsTheTotalsAndStartsANewSession)
{
    EXPECT_EQ(window.loadtallyfile(tallyPath()), "");
    window.viewTally();
    setTick(window, "checklist", "Klot", true);
    game.handle("CMD_hisword+1+quiz+21+21+");
    game.handle("CMD_winner+Klot+");
    EXPECT_EQ(tally.save(), "");

    TallyModel nextTally;
    Ttallylist next{nextTally};
    EXPECT_EQ(next.loadtallyfile(tallyPath()), "");
    EXPECT_EQ(next.problemBox(), nullptr);
    EXPECT_EQ(items(next, "listbox_tally", true), QStringList{"Klot"});
    next.findChild<QListWidget*>("listbox_tally")->setCurrentRow(0);
    EXPECT_EQ(detail(next),
              (QStringList{"Klot's Tally", "Klot Wins:", "1", "1", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(text(next, "mylabel_1"), "1");
    EXPECT_EQ(text(next, "mylabel_4"), "quiz (21)");
}

TEST_F(TallyWindow, aDamagedFileIsShownWithoutBlockingAndKeptAside)
{
    compress::testing::writeFile(tallyPath().toStdString(), "not a tally");
    const QString problem = window.loadtallyfile(tallyPath());
    EXPECT_EQ(problem, "Lzrw1 decompression : input stream contains no valid header !");
    ASSERT_NE(window.problemBox(), nullptr);
    EXPECT_TRUE(window.problemBox()->isVisible());
    EXPECT_EQ(window.problemBox()->text(), problem);
    EXPECT_TRUE(window.problemBox()->informativeText().contains(tallyPath() + ".bad"));
    EXPECT_EQ(compress::testing::readFile(tallyPath().toStdString() + ".bad"), "not a tally");

    // The program goes on: the save at exit writes a fresh tally.
    window.problemBox()->close();
    QTRY_COMPARE(window.problemBox(), nullptr);
    EXPECT_EQ(tally.save(), "");
    EXPECT_EQ(readTallyFile(tallyPath().toStdString()).problem, "");
}

TEST_F(TallyWindow, wearsTheSideWindowsLookFromThePalette)
{
    window.viewTally();
    EXPECT_EQ(window.styleSheet(), smallWindowStyleSheet());
    EXPECT_EQ(text(window, "label_heading"), "Tally List");
    EXPECT_EQ(window.windowTitle(), "Lexiflip - Tally List");
    // The table-coloured header band on top, the light seat panel below.
    const QImage shot = window.grab().toImage();
    const auto near = [](QColor seen, QRgb want) {
        return std::abs(seen.red() - qRed(want)) <= 8 && std::abs(seen.green() - qGreen(want)) <= 8 &&
               std::abs(seen.blue() - qBlue(want)) <= 8;
    };
    EXPECT_TRUE(near(shot.pixelColor(2, 2), client::palette::kTableTop))
        << shot.pixelColor(2, 2).name().toStdString();
    const QPoint corner(shot.width() - 3, shot.height() - 3);
    EXPECT_TRUE(near(shot.pixelColor(corner), client::palette::kSeatPanel))
        << shot.pixelColor(corner).name().toStdString();
}

TEST_F(TallyWindow, everyControlIsNamedAndTheWindowLooksFinished)
{
    window.viewTally();
    setTick(window, "checklist", "Klot", true);
    setTick(window, "checklist", "Ann", true);
    game.handle("CMD_hisword+1+quixotic+88+88+");
    game.handle("CMD_winner+Klot+");
    window.findChild<QListWidget*>("listbox_tally")->setCurrentRow(0);

    QStringList names = {"mylabel_1", "mylabel_2",     "mylabel_3",        "mylabel_4",    "listbox_tally",
                         "checklist", "label_hisname", "label_hisnametop", "button_reset", "button_done"};
    for (int i = 1; i <= 8; ++i)
        names << QStringLiteral("label_%1").arg(i);
    for (const QString& name : names) {
        const auto* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name.toStdString();
        EXPECT_TRUE(control->isVisible()) << name.toStdString();
        EXPECT_GT(control->width(), 0) << name.toStdString();
    }

    // Pictures for a person to look at, at ratio 1 and 2.
    const QString folder = qEnvironmentVariable("LEXIFLIP_BINARY_DIR", QDir::tempPath()) + "/screenshots";
    QDir().mkpath(folder);
    TallyModel emptyTally;
    Ttallylist empty{emptyTally};
    empty.viewTally();
    for (const qreal ratio : {1.0, 2.0}) {
        for (const auto& [shown, name] :
             {std::pair<QWidget*, QString>{&window, "ttallylist"}, {&empty, "ttallylist-empty"}}) {
            QPixmap picture(shown->size() * ratio);
            picture.setDevicePixelRatio(ratio);
            picture.fill(Qt::transparent);
            shown->render(&picture);
            EXPECT_TRUE(picture.save(folder + QStringLiteral("/%1@%2x.png").arg(name).arg(ratio)));
        }
    }
}

} // namespace
} // namespace lexiflip::windows
