// The host dies with a game running: every joining window stays open and
// tries the host again by itself; closed then, it ends normally and leaves
// its tally and settings written and whole.

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "e2e/driven_window.h"
#include "e2e/e2e_support.h"
#include "e2e/host_process.h"
#include "e2e/scripted_seat.h"
#include "engine/computer_words.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The lobby's end of the windows' lobby links: a listener of its own, so that
// no link can land on a game port by chance.
class Lobby {
public:
    Lobby() { m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }

private:
    QTcpServer m_server;
};

// A joining lexiflip window, offscreen, with its own folder of files.
class JoiningWindow {
public:
    JoiningWindow(const std::string& name, quint16 port, quint16 lobbyPort)
    {
        process.setProcessEnvironment(windowEnvironment(
            port, home.path(), {{QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(lobbyPort)}}));
        m_arguments = {QString::fromStdString(name), QStringLiteral("127.0.0.1"), QStringLiteral("join")};
        this->name = name;
    }
    ~JoiningWindow()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    void start()
    {
        process.start(binaryDir() + QStringLiteral("/app/lexiflip"), m_arguments);
        process.waitForStarted(10000);
    }
    QString file(const char* name) const { return home.file(QString::fromLatin1(name)); }

    std::string name;
    Home home;
    QProcess process;

private:
    QStringList m_arguments;
};

// Bob's earlier games: 4 played, 1 won, 10 words, best "at" for 2; he
// follows Ann (3 games together) and Zed. The session counters are junk that
// a start must zero.
const TallyRows kBobBefore{{"0", "4", "1", "10", "at", "2", "0", "0", "0"},
                           {"Ann", "3", "2", "1", "0", "7", "7", "7", "7"},
                           {"Zed", "2", "1", "1", "0", "7", "7", "7", "7"}};
// Settings the window cannot keep as they are (a width below its smallest),
// values it normalises, and the lobby's section.
const QByteArray kLobbySection = "[Lobby]\r\nNick=someone\r\nServer=lobby.example\r\n\r\n";
const QByteArray kOurSection = "[Lexiflip]\r\nWidth=600\r\nHeight=400\r\nBotspeed=500\r\nGamemode=7\r\n";

// Bob with a tally of earlier games, Cid with none; both with settings.
std::vector<std::unique_ptr<JoiningWindow>> joiningWindows(quint16 port, quint16 lobbyPort)
{
    std::vector<std::unique_ptr<JoiningWindow>> windows;
    for (const char* name : {"Bob", "Cid"}) {
        windows.push_back(std::make_unique<JoiningWindow>(name, port, lobbyPort));
        JoiningWindow& window = *windows.back();
        EXPECT_TRUE(writeFile(window.file("halvolobby.ini"), kLobbySection + kOurSection));
        if (windows.size() == 1) {
            EXPECT_TRUE(compressTally(window.home.path(), kBobBefore,
                                      {QStringLiteral("--mode"), QStringLiteral("fast")}));
        }
    }
    return windows;
}

// The windows stay open and come back by themselves: a listener on the gone
// host's port sees their attempts (and turns each away), until every window
// has tried twice at least. Then each is closed the normal way (SIGTERM).
void expectTryingAgain(std::vector<std::unique_ptr<JoiningWindow>>& windows, quint16 port)
{
    QTcpServer again;
    ASSERT_TRUE(again.listen(QHostAddress::LocalHost, port));
    std::size_t attempts = 0;
    QObject::connect(&again, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* peer = again.nextPendingConnection()) {
            ++attempts;
            peer->abort();
            peer->deleteLater();
        }
    });
    EXPECT_TRUE(waitUntil([&] { return attempts >= 2 * windows.size(); }, 30000)) << attempts;
    for (const auto& window : windows) {
        EXPECT_EQ(window->process.state(), QProcess::Running) << window->name << " closed by itself";
        window->process.terminate();
    }
}

// The window closed promptly and the normal way, and left the tally expected
// and its settings written: the lobby's section untouched, ours in full with
// what was read normalised.
void expectClosedAndSaved(JoiningWindow& window, const TallyRows& expected)
{
    ASSERT_TRUE(endedWithin(window.process, 30000)) << "the window stayed open";
    EXPECT_EQ(window.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(window.process.exitCode(), 0);

    EXPECT_EQ(decompressedTally(window.home.path()).toStdString(), tallyText(expected).toStdString());

    const QByteArray settings = readFile(window.file("halvolobby.ini"));
    EXPECT_TRUE(settings.startsWith(kLobbySection)) << settings.toStdString();
    const QByteArray section = settings.mid(kLobbySection.size());
    EXPECT_TRUE(section.startsWith("[Lexiflip]")) << settings.toStdString();
    QStringList keys;
    for (const QByteArray& line : section.trimmed().split('\n').mid(1))
        keys << QString::fromLatin1(line.trimmed().split('=').value(0));
    // Keys the file held keep their places; each of ours is there once.
    keys.sort();
    QStringList all = QStringLiteral("Textsize Top Left Width Height Textcolor Actioncolor Playtoscore "
                                     "Timeperturn Viewable 4Player Gamemode Botspeed Playsounds Clearword "
                                     "Seetheirs Turnsound ChatterSounds NotifyMyTurn")
                          .split(QLatin1Char(' '));
    all.sort();
    EXPECT_EQ(keys, all);
    EXPECT_TRUE(section.contains("\nBotspeed=750")) << section.toStdString();
    EXPECT_TRUE(section.contains("\nGamemode=1")) << section.toStdString();
    EXPECT_FALSE(section.contains("\nWidth=600")) << section.toStdString();
}

// lexiflip-host with Ann scripted in slot 1 and two lexiflip windows joining
// as Bob and Cid. Ann sets both windows' seats to just watch, so that the
// computer plays them and the first game runs to its winner; in the second
// game, with Ann's turn half played, the host is killed.
TEST(HostLost, EveryJoiningWindowTriesAgainAndSavesItsTallyAndSettingsWhenClosed)
{
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bot-speed"),
                      QStringLiteral("fast")});
    const quint16 port = host.waitForPort();
    ASSERT_NE(port, 0);
    TestClient ann(port);
    ASSERT_TRUE(ann.login("Ann"));
    const std::vector<std::string> words = engine::loadComputerWords(assets::computerWords());
    ScriptedSeat annSeat(ann, words);

    Lobby lobby;
    std::vector<std::unique_ptr<JoiningWindow>> windows = joiningWindows(port, lobby.port());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        windows[i]->start();
        ASSERT_TRUE(
            ann.waitFor("CMD_newplayerinfo+" + std::to_string(i + 2) + "+" + windows[i]->name, 30000));
    }

    // The first game, the computer playing for both windows, to its winner.
    ann.send(msg::startgame("Ann", "1", "60", false, "1", "0"));
    ASSERT_TRUE(ann.waitFor("CMD_startgame+"));
    ann.send(msg::justwatch(2, "1"));
    ann.send(msg::justwatch(3, "1"));
    ASSERT_TRUE(waitUntil(
        [&] {
            annSeat.step();
            return ann.has("CMD_winner+");
        },
        90000));
    std::string winner = ann.messages()[*ann.find("CMD_winner+")].substr(11);
    if (winner.ends_with('+'))
        winner.pop_back();

    // The second game: killed with Ann's turn half played.
    const std::size_t secondGame = ann.messages().size();
    annSeat.holdAfter(2);
    ann.send(msg::startgame("Ann", "200", "60", false, "1", "0"));
    ASSERT_TRUE(waitUntil(
        [&] {
            annSeat.step();
            return annSeat.holding() && annSeat.seen.flipsThisTurn == 2;
        },
        30000));
    ASSERT_TRUE(ann.find("CMD_startgame+", secondGame).has_value());
    ::kill(static_cast<pid_t>(host.process().processId()), SIGKILL);
    ASSERT_TRUE(ann.waitForClose(10000));
    ASSERT_TRUE(waitUntil([&] { return host.process().state() == QProcess::NotRunning; }, 10000));
    expectTryingAgain(windows, port);

    for (std::size_t i = 0; i < windows.size(); ++i) {
        JoiningWindow& window = *windows[i];
        SCOPED_TRACE(window.name);
        // The tally holds the earlier games, the finished one and this
        // window's words, as Ann saw them scored.
        const int slot = static_cast<int>(i) + 2;
        const bool seeded = slot == 2;
        int scored = 0;
        std::string best = seeded ? "at" : "0";
        int bestPoints = seeded ? 2 : 0;
        for (const std::string& message : ann.messages()) {
            if (!message.starts_with("CMD_hisword+" + std::to_string(slot) + "+"))
                continue;
            wire::FieldReader fields(std::string_view(message).substr(12));
            fields.next();
            const std::string word(fields.next());
            fields.next();
            const int points = fields.nextInt().value_or(0);
            ++scored;
            if (points > bestPoints) {
                bestPoints = points;
                best = word;
            }
        }
        const bool won = winner == window.name;
        const bool annWon = winner == "Ann";
        const bool neither = !won && !annWon;
        const auto n = [](int value) { return std::to_string(value); };
        const TallyRows expected =
            seeded ? TallyRows{{"0", "5", n(1 + won), n(10 + scored), best, n(bestPoints), "0", "0", "0"},
                               {"Ann", "4", n(2 + annWon), n(1 + won), n(neither), "1", n(annWon), n(won),
                                n(neither)},
                               {"Zed", "2", "1", "1", "0", "0", "0", "0", "0"}}
                   : TallyRows{{"0", "1", n(won), n(scored), best, n(bestPoints), "0", "0", "0"}};
        SCOPED_TRACE("winner " + winner);
        expectClosedAndSaved(window, expected);
    }
}

// The host is a window, played through its controls: killed with its own
// turn half played, before any game ended. The joiners try again, and keep
// the tallies they had, their session counters zeroed.
TEST(HostLost, WhenTheHostingWindowIsKilledItsJoinersTryAgainAndSave)
{
    Home annHome;
    Lobby lobby;
    const quint16 port = freePort();
    DrivenWindow ann({QStringLiteral("Ann"), QStringLiteral("10.9.8.7"), QStringLiteral("true")}, port,
                     annHome.path(),
                     {{QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(lobby.port())}});
    ASSERT_TRUE(
        ann.waitFor([](const DrivenState& s) { return s.flag("loggedin") && s.number("slot") == 1; }, 30000))
        << ann.errors();
    std::vector<std::unique_ptr<JoiningWindow>> windows = joiningWindows(port, lobby.port());
    // One after the other, so that Bob has slot 2 and Cid slot 3.
    for (std::size_t i = 0; i < windows.size(); ++i) {
        windows[i]->start();
        const std::string name = windows[i]->name;
        ASSERT_TRUE(ann.waitFor(
            [&](const DrivenState& s) {
                const std::vector<std::string> names = s.list("names");
                return names.size() == 6 && names[i + 1] == name;
            },
            30000))
            << name << ": " << ann.last().text("names") << " " << windows[i]->process.state();
    }

    ASSERT_TRUE(ann.command("click button_start"));
    ASSERT_TRUE(ann.waitFor([](const DrivenState& s) { return s.flag("options"); }));
    ASSERT_TRUE(ann.command("options start"));
    ASSERT_TRUE(ann.waitFor([](const DrivenState& s) { return s.number("turn") == 1; }));
    ASSERT_TRUE(ann.command("board 4 4"));
    ASSERT_TRUE(ann.command("board 5 5"));
    ASSERT_TRUE(ann.waitFor([](const DrivenState& s) { return s.number("flips") == 2; }));
    ::kill(static_cast<pid_t>(ann.process().processId()), SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return ann.process().state() == QProcess::NotRunning; }, 10000));
    expectTryingAgain(windows, port);

    SCOPED_TRACE("Bob");
    expectClosedAndSaved(*windows[0], {{"0", "4", "1", "10", "at", "2", "0", "0", "0"},
                                       {"Ann", "3", "2", "1", "0", "0", "0", "0", "0"},
                                       {"Zed", "2", "1", "1", "0", "0", "0", "0", "0"}});
    SCOPED_TRACE("Cid");
    expectClosedAndSaved(*windows[1], {{"0", "0", "0", "0", "0", "0", "0", "0", "0"}});
}

} // namespace
} // namespace lexiflip::testing
