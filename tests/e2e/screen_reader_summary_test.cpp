// The game summary's chart on the real accessibility bus: the summary window
// of a made-up game (lexiflip-summary-shots --stay) with Qt's accessibility
// always on, and a screen reader's side (screen_reader_summary.py, through
// pyatspi alone) that reads the chart's figures as a table.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "e2e/private_bus.h"
#include "e2e/x_display.h"

namespace lexiflip::testing {
namespace {

TEST(ScreenReaderSummary, ReadsTheChartsFiguresAsATable)
{
    XDisplay display;
    ASSERT_TRUE(display.up()) << "Xvfb did not start";
    Home home;
    QProcessEnvironment environment = display.environment(QProcessEnvironment::systemEnvironment());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    PrivateBus bus(environment);
    ASSERT_TRUE(bus.up()) << "dbus-launch gave no session bus";
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());

    QProcessEnvironment windowEnv = environment;
    windowEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    windowEnv.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    QTemporaryDir shots;
    QProcess window;
    window.setProcessEnvironment(windowEnv);
    window.start(binaryDir() + QStringLiteral("/tools/lexiflip-summary-shots"),
                 {shots.path(), QStringLiteral("1"), QStringLiteral("100"), QStringLiteral("--stay")});
    ASSERT_TRUE(window.waitForStarted(10000));

    // The figures the window shows, as it tells them: a line a seat.
    std::vector<QStringList> seats;
    QByteArray output;
    while (seats.empty() && window.waitForReadyRead(30000)) {
        output += window.readAllStandardOutput();
        for (const QByteArray& line : output.split('\n')) {
            if (line.contains('\t'))
                seats.push_back(QString::fromLatin1(line).split(QLatin1Char('\t')));
        }
    }
    ASSERT_GE(seats.size(), 2u) << output.toStdString();

    QProcess reader;
    reader.setProcessEnvironment(environment);
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(SCREEN_READER_SUMMARY_SCRIPT), QStringLiteral("lexiflip-summary-shots")});
    ASSERT_TRUE(reader.waitForFinished(60000));
    const QByteArray errors = reader.readAllStandardError();
    ASSERT_EQ(reader.exitCode(), 0) << errors.toStdString();
    const QJsonObject read = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    window.terminate();
    window.waitForFinished(10000);

    // A column a seat, headed by its name; a row a round; every score there.
    const QJsonArray columns = read["columns"].toArray();
    const QJsonArray cells = read["cells"].toArray();
    ASSERT_EQ(columns.size(), static_cast<int>(seats.size()));
    ASSERT_EQ(cells.size(), seats.front().size() - 1);
    EXPECT_EQ(read["rows"].toArray().first().toString(), QStringLiteral("Start"));
    EXPECT_TRUE(read["description"].toString().contains(QStringLiteral("played to 150")));
    for (int column = 0; column < columns.size(); ++column) {
        const QStringList& seat = seats[static_cast<std::size_t>(column)];
        EXPECT_EQ(columns[column].toString(), seat.front());
        for (int row = 0; row < cells.size(); ++row)
            EXPECT_EQ(cells[row].toArray()[column].toString(), seat[row + 1]) << "row " << row;
    }
}

} // namespace
} // namespace lexiflip::testing
