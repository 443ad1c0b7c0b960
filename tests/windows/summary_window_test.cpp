// The summary window over a record made by hand: the chart's figures as a
// table, the words, the best words filled in from another thread, and the
// chart written as a PNG.
#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <gtest/gtest.h>

#include "client/media/palette.h"
#include "windows/summary/score_chart.h"
#include "windows/summary/summary_window.h"

namespace lexiflip::windows {
namespace {

using namespace record;

QString at(const QTableWidget& table, int row, int column)
{
    const QTableWidgetItem* item = table.item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

GameRecord twoSeatGame(int self)
{
    GameRecord game;
    game.self = self;
    game.options.target = 40;
    game.seats = {{1, "Ann"}, {2, "Klot"}};
    const Source bar{Source::Kind::bar};
    game.events = {
        TurnStart{1},
        OwnBar{"RSTLNEA"},
        Flip{1, 1, 'T'},
        Flip{2, 1, 'O'},
        Flip{3, 1, 'E'},
        Flip{4, 1, 'D'},
        Flip{5, 1, 'I'},
        Word{1, "TEN", 3, 0, 3, {bar, bar, bar}},
        TurnStart{2},
        Flip{1, 1, 'Q'},
        Word{2, "QUIZ", 45, 0, 45, {bar, bar, bar, bar}},
        TurnStart{1},
        OwnBar{"AEIOUXZ"},
        Flip{1, 2, 'B'},
        Pass{1},
        TurnStart{2},
        Pass{2},
        Winner{"Klot"},
        FinalScores{{3, 45, 0, 0, 0, 0}},
    };
    return game;
}

TEST(SummaryWindow, ShowsTheChartsFiguresWordsAndFillsInTheBestWords)
{
    SummaryWindow window;
    QSignalSpy filled(&window, &SummaryWindow::analysisFilled);
    window.showRecord(twoSeatGame(1));

    // The chart's figures, as a screen reader reads them: a column a seat, a row a round.
    const QTableWidget& chart = window.chartTable();
    ASSERT_EQ(chart.columnCount(), 2);
    ASSERT_EQ(chart.rowCount(), 3);
    EXPECT_EQ(chart.horizontalHeaderItem(0)->text(), QStringLiteral("Ann"));
    EXPECT_EQ(chart.verticalHeaderItem(2)->text(), QStringLiteral("Round 2"));
    EXPECT_EQ(at(chart, 1, 1), QStringLiteral("45"));
    EXPECT_EQ(at(chart, 2, 0), QStringLiteral("3"));
    EXPECT_TRUE(chart.accessibleDescription().contains(QStringLiteral("40")));

    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("label_bestwords"))
                    ->text()
                    .contains(QStringLiteral("QUIZ by Klot, 45")));

    // The figures are there at once; the best words come when they are found.
    const QTableWidget& turns = window.turnsTable();
    ASSERT_EQ(turns.rowCount(), 2);
    EXPECT_EQ(at(turns, 0, 2), QStringLiteral("TEN"));
    EXPECT_EQ(at(turns, 1, 2), QStringLiteral("(passed)"));
    ASSERT_TRUE(window.analysisShown() || filled.wait(30000));
    const int best1 = at(turns, 0, 5).toInt();
    const int best2 = at(turns, 1, 5).toInt();
    EXPECT_GT(best1, 3) << "RSTLNEA with TOEDI makes more than TEN";
    EXPECT_GT(best2, 0);
    EXPECT_EQ(window.pointsLeftLine().text(),
              QStringLiteral("Points you left on the table: %1.").arg(best1 - 3 + best2));
}

TEST(SummaryWindow, AWatchersSummaryHasNoTurnsAndAnOlderSearchDoesNotOverwriteANewerGame)
{
    SummaryWindow window;
    QSignalSpy filled(&window, &SummaryWindow::analysisFilled);
    window.showRecord(twoSeatGame(1));
    window.showRecord(twoSeatGame(8)); // before the first search answers
    EXPECT_EQ(window.turnsTable().rowCount(), 0);
    EXPECT_TRUE(window.pointsLeftLine().text().contains(QStringLiteral("watched")));
    // Let the first search answer: it must leave the watcher's summary alone.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(filled.count(), 0);
    EXPECT_TRUE(window.pointsLeftLine().text().contains(QStringLiteral("watched")));
}

TEST(SummaryWindow, SavesTheChartAsAPngDrawnAtEachPixelRatioAndEscapeCloses)
{
    SummaryWindow window;
    window.showRecord(twoSeatGame(8));
    window.chart().resize(400, 240);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.png"));
    ASSERT_TRUE(window.saveChart(path));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("png"));
    const QImage saved = reader.read();
    EXPECT_GE(saved.width(), 400);

    // At ratio 2 the chart is painted with twice the pixels, not enlarged:
    // the seats' lines are there in their own colours at both.
    for (qreal ratio : {1.0, 2.0}) {
        const QImage picture = window.chart().picture(QSize(400, 240), ratio);
        EXPECT_EQ(picture.size(), QSize(400, 240) * ratio);
        bool ann = false, klot = false;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb pixel = picture.pixel(x, y) & 0xFFFFFF;
                ann = ann || pixel == (client::palette::seatColour(1).rgb() & 0xFFFFFF);
                klot = klot || pixel == (client::palette::seatColour(2).rgb() & 0xFFFFFF);
            }
        }
        EXPECT_TRUE(ann && klot) << "ratio " << ratio;
    }
    EXPECT_FALSE(window.saveChart(dir.filePath(QStringLiteral("no-such-folder/chart.png"))));

    // Escape closes it, as every side window.
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace lexiflip::windows
