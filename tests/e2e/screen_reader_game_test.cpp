// lexiflip on the real accessibility bus: a private D-Bus session and the
// AT-SPI bus it starts, the window with Qt's accessibility always on, and a
// screen reader's side (screen_reader_turn.py, through pyatspi alone) that
// starts the game, reads the board's 80 cells, the bar and the seat rows and
// plays one turn by the objects' actions, hearing the changes as a screen
// reader following name changes would; a peer checks the turn on the wire.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unistd.h>

#include "core/letters.h"
#include "e2e/e2e_support.h"
#include "e2e/private_bus.h"
#include "e2e/table_peer.h"
#include "e2e/x_display.h"

namespace lexiflip::testing {
namespace {

// Runs the screen reader's side; its JSON answer, or an empty object.
QJsonObject screenReader(const QProcessEnvironment& environment, const QStringList& arguments)
{
    QProcess reader;
    reader.setProcessEnvironment(environment);
    reader.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(SCREEN_READER_SCRIPT)} + arguments);
    const bool ended = reader.waitForFinished(60000);
    const QByteArray errors = reader.readAllStandardError();
    if (!ended || reader.exitCode() != 0) {
        ADD_FAILURE() << "screen reader " << arguments.join(' ').toStdString() << ": "
                      << errors.toStdString();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

// A headless Weston of the test's own, its socket in runtimeDir: the Wayland
// desktop the window runs on natively.
class WestonDisplay {
public:
    explicit WestonDisplay(const QString& runtimeDir)
        : m_socket(QStringLiteral("lexiflip-wayland-%1").arg(::getpid()))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        m_server.setProcessEnvironment(environment);
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(QStringLiteral("weston"),
                       {QStringLiteral("--backend=headless-backend.so"),
                        QStringLiteral("--socket=") + m_socket, QStringLiteral("--idle-time=0")});
        const QString path = runtimeDir + QStringLiteral("/") + m_socket;
        m_up = m_server.waitForStarted(5000) &&
               waitUntil([&] { return QFileInfo::exists(path) || m_server.state() == QProcess::NotRunning; },
                         10000) &&
               m_server.state() == QProcess::Running;
    }
    ~WestonDisplay()
    {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(2000);
    }
    bool up() const { return m_up; }
    const QString& socket() const { return m_socket; }
    QString output() { return QString::fromUtf8(m_server.readAll()); }

private:
    QString m_socket;
    QProcess m_server;
    bool m_up = false;
};

// Starts the game, reads the game area and plays one turn through the
// accessibility bus, with the window on X11 (under Xvfb) or natively on
// Wayland (under a headless Weston).
void playATurnByActions(bool wayland)
{
    Home home;
    std::optional<XDisplay> display;
    std::optional<WestonDisplay> weston;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (wayland) {
        weston.emplace(home.path());
        ASSERT_TRUE(weston->up()) << "weston did not start: " << weston->output().toStdString();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), weston->socket());
    } else {
        display.emplace();
        ASSERT_TRUE(display->up()) << "Xvfb did not start";
        environment = display->environment(environment);
    }
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path()); // the buses' sockets
    PrivateBus bus(environment);
    ASSERT_TRUE(bus.up()) << "dbus-launch gave no session bus";
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());

    const quint16 port = freePort();
    QProcessEnvironment windowEnv = windowEnvironment(port, home.path());
    for (const QString& name : environment.keys())
        if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "XDG_RUNTIME_DIR" ||
            name == "DBUS_SESSION_BUS_ADDRESS")
            windowEnv.insert(name, environment.value(name));
    windowEnv.insert(QStringLiteral("QT_QPA_PLATFORM"),
                     wayland ? QStringLiteral("wayland") : QStringLiteral("xcb"));
    windowEnv.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    QProcess game;
    game.setProcessEnvironment(windowEnv);
    game.start(binaryDir() + QStringLiteral("/app/lexiflip"), {});
    ASSERT_TRUE(game.waitForStarted(10000));
    const std::unique_ptr<TestClient> client = joinWhenListening(port, "Ann");
    ASSERT_NE(client, nullptr);
    Peer peer(*client);

    ASSERT_FALSE(screenReader(environment, {QStringLiteral("start")}).isEmpty());
    ASSERT_TRUE(peer.waitFor("CMD_startgame+You+", 0));
    ASSERT_TRUE(peer.waitFor("CMD_nextplayer+1+", 0));
    const std::size_t turnStart = *client->find("CMD_nextplayer+1+") + 1;
    const KeyTurn plan = planTurn(peer.board, {});
    ASSERT_FALSE(plan.word.empty());
    QStringList arguments{QStringLiteral("turn"), QString::fromStdString(plan.word)};
    for (const Cell& cell : plan.flips)
        arguments << QStringLiteral("%1,%2").arg(cell.x).arg(cell.y);
    const QJsonObject read = screenReader(environment, arguments);
    ASSERT_FALSE(read.isEmpty());

    // What it read: 80 face-down cells in reading order, as buttons; a full
    // bar with each tile's points; the seat rows with the player on turn.
    const QJsonArray cells = read["cells"].toArray();
    ASSERT_EQ(cells.size(), 80);
    for (int i = 0; i < 80; ++i)
        EXPECT_EQ(cells[i].toString(),
                  QStringLiteral("Column %1, row %2, face down").arg(i % 10 + 1).arg(i / 10 + 1));
    EXPECT_EQ(read["cell_role"].toString(), "push button");
    const QJsonArray bar = read["bar"].toArray();
    ASSERT_EQ(bar.size(), 7);
    const QRegularExpression barName(QStringLiteral("^Bar tile (\\d), ([A-Z]), (\\d+) points?$"));
    for (int i = 0; i < 7; ++i) {
        const auto match = barName.match(bar[i].toString());
        ASSERT_TRUE(match.hasMatch()) << bar[i].toString().toStdString();
        EXPECT_EQ(match.captured(1).toInt(), i + 1);
        EXPECT_EQ(match.captured(3).toInt(), core::letterworth(match.captured(2).at(0).unicode() - 'A' + 1));
    }
    const QJsonArray seats = read["seats"].toArray();
    EXPECT_TRUE(seats.contains(QStringLiteral("You, 0 points, on turn")));
    EXPECT_TRUE(seats.contains(QStringLiteral("Ann, 0 points")));
    EXPECT_EQ(read["seat_actions"].toArray(), QJsonArray{QStringLiteral("ShowMenu")});
    QJsonArray inTheWord;
    for (const char letter : plan.word)
        inTheWord.append(QStringLiteral("%1, in the word").arg(QChar(std::toupper(letter))));
    EXPECT_EQ(read["taken"].toArray(), inTheWord);
    EXPECT_EQ(read["word_row"].toArray().size(), static_cast<qsizetype>(plan.word.size()));

    // What a screen reader following name changes heard, in order: each
    // flipped cell, the status line, each letter taken, the new score.
    QStringList heard;
    for (const QJsonValue& name : read["heard"].toArray())
        heard << name.toString();
    EXPECT_EQ(heard.filter(QRegularExpression(QStringLiteral("^[A-Z], \\d+ points?, face up$"))).size(), 5)
        << heard.join(" | ").toStdString();
    EXPECT_TRUE(heard.contains(QStringLiteral("Create a Word")));
    for (const QJsonValue& taken : inTheWord)
        EXPECT_TRUE(heard.contains(taken.toString())) << taken.toString().toStdString();
    EXPECT_FALSE(heard.filter(QRegularExpression(QStringLiteral("^Chat: You made: "))).isEmpty());

    // What the host saw: the five flips asked for and the word, scored.
    ASSERT_TRUE(peer.waitFor("CMD_hisword+1+", turnStart));
    std::set<std::pair<int, int>> asked;
    for (const Cell& cell : plan.flips)
        asked.insert({cell.x, cell.y});
    EXPECT_EQ(peer.flipsSince(turnStart), asked);
    const auto said = wire::readHisword(
        wire::splitEntry(client->messages()[*client->find("CMD_hisword+1+", turnStart)])->payload);
    ASSERT_TRUE(said);
    EXPECT_EQ(lower(said->word), plan.word);
    EXPECT_GT(said->wordScore, 0);
    EXPECT_FALSE(
        heard.filter(QRegularExpression(QStringLiteral("^You, %1 points").arg(said->totalScore))).isEmpty())
        << "the new score told";

    game.terminate();
    game.waitForFinished(10000);
}

TEST(ScreenReaderGame, ReadsTheBoardBarAndSeatsAndPlaysATurnByActions)
{
    playATurnByActions(false);
}

// The same natively on Wayland, where Qt's Wayland platform is installed
// (the package recommends it) and Weston can give the window a desktop.
TEST(ScreenReaderGame, PlaysATurnByActionsOnWayland)
{
    if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty())
        GTEST_SKIP() << "weston is not installed: no Wayland desktop to run the window on";
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    if (QDir(plugins).entryList({QStringLiteral("*wayland*")}).isEmpty())
        GTEST_SKIP() << "Qt's Wayland platform (qt6-wayland) is not installed";
    playATurnByActions(true);
}

// A recorded game opened from the File menu by keys: the replay's board reads
// as the game's does, before and after stepping by its Next button.
TEST(ScreenReaderReplay, ReadsTheRecordedBoardBeforeAndAfterSteppingByActions)
{
    XDisplay display;
    ASSERT_TRUE(display.up()) << "Xvfb did not start";
    Home home;
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("games")));
    QFile record(home.file(QStringLiteral("games/2026-12-09_044215Z_You_Ann.lexiflip.txt")));
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write("lexiflip-record 1\nbegan 2026-12-09T04:42:15Z\noptions 100 60 blind 0\nstarter You\n"
                 "self 1\nseat 1 You\nseat 2 Ann\nturn 1\nbar DGITRIA\nflip 1 1 I\nflip 3 2 A\n"
                 "flip 10 1 W\nflip 1 4 K\nflip 5 6 W\nword 1 AWKWARD 50 15 50 3,2 5,6 1,4 10,1 bar bar bar\n"
                 "turn 2\npass 2\nwinner You\nfinal 50 0 0 0 0 0\n");
    record.close();
    QProcessEnvironment environment = display.environment(QProcessEnvironment::systemEnvironment());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    PrivateBus bus(environment);
    ASSERT_TRUE(bus.up()) << "dbus-launch gave no session bus";
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());

    QProcessEnvironment windowEnv = windowEnvironment(freePort(), home.path());
    for (const QString& name : environment.keys())
        if (name == "DISPLAY" || name == "XDG_RUNTIME_DIR" || name == "DBUS_SESSION_BUS_ADDRESS")
            windowEnv.insert(name, environment.value(name));
    windowEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    windowEnv.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    QProcess game;
    game.setProcessEnvironment(windowEnv);
    game.start(binaryDir() + QStringLiteral("/app/lexiflip"), {});
    ASSERT_TRUE(game.waitForStarted(10000));

    // File, past New Solo Game, Host, Join and Leave, to Open Game Record...;
    // Enter opens the newest record. The window takes the keyboard once it is
    // shown, which may come after it is found.
    ASSERT_TRUE(waitUntil([&] { return display.focusWindow(QStringLiteral("Lexiflip")); }, 15000));
    QStringList keys{QStringLiteral("alt+f")};
    for (int i = 0; i < 5; ++i)
        keys << QStringLiteral("Down");
    ASSERT_TRUE(display.keys(keys + QStringList{QStringLiteral("Return")}));
    ASSERT_TRUE(display.focusWindow(QStringLiteral("Lexiflip - Open Game Record")));
    ASSERT_TRUE(display.keys({QStringLiteral("Return")}));

    const QJsonObject read = screenReader(environment, {QStringLiteral("replay"), QStringLiteral("7")});
    ASSERT_FALSE(read.isEmpty());
    const QJsonArray before = read["before"]["cells"].toArray();
    ASSERT_EQ(before.size(), 80);
    EXPECT_EQ(before[0].toString(), "Column 1, row 1, face down");
    EXPECT_TRUE(read["before"]["seats"].toArray().contains(QStringLiteral("You, 0 points")));
    // Step 8: AWKWARD made from four board letters; the I stays face up.
    const QJsonArray after = read["after"]["cells"].toArray();
    ASSERT_EQ(after.size(), 80);
    EXPECT_EQ(after[0].toString(), "I, 1 point, face up");
    EXPECT_EQ(after[12].toString(), "A, in the word"); // column 3, row 2
    EXPECT_EQ(after[9].toString(), "W, in the word");
    EXPECT_EQ(after[1].toString(), "Column 2, row 1, face down");
    EXPECT_TRUE(read["after"]["seats"].toArray().contains(QStringLiteral("You, 50 points, on turn")));

    game.terminate();
    game.waitForFinished(10000);
}

} // namespace
} // namespace lexiflip::testing
