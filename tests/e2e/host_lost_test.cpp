// The host dies with a game running: every joining window closes by itself,
// ends normally, and leaves its tally and settings written and whole.

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "e2e/host_process.h"
#include "e2e/scripted_seat.h"
#include "engine/computer_words.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "net/wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

QString binaryDir()
{
    const char* binary = std::getenv("LEXIFLIP_BINARY_DIR");
    return QString::fromUtf8(binary ? binary : ".");
}

quint16 portNobodyListensOn()
{
    QTcpServer probe;
    probe.listen(QHostAddress::AnyIPv4, 0);
    return probe.serverPort();
}

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

// The tally's cells as rows of nine, from the text the tally file holds
// (column count, row count, then every cell column by column, CR LF after
// each line).
using TallyRows = std::vector<std::vector<std::string>>;

QByteArray tallyText(const TallyRows& rows)
{
    QByteArray text = "9\r\n" + QByteArray::number(static_cast<int>(rows.size())) + "\r\n";
    for (std::size_t column = 0; column < 9; ++column) {
        for (const auto& row : rows)
            text += QByteArray::fromStdString(row[column]) + "\r\n";
    }
    return text;
}

// The tally text in the tally file, through the compression tool; empty
// when the file is missing or does not decompress.
QByteArray decompressedTally(const QString& home)
{
    const QString text = home + QStringLiteral("/tally.txt");
    QFile::remove(text);
    if (QProcess::execute(
            binaryDir() + QStringLiteral("/tools/lexiflip-lzrw1"),
            {QStringLiteral("decompress"), home + QStringLiteral("/Lexifliptally.tld"), text}) != 0)
        return {};
    return readFile(text);
}

bool compressTally(const QString& home, const TallyRows& rows)
{
    const QString text = home + QStringLiteral("/seed.txt");
    return writeFile(text, tallyText(rows)) &&
           QProcess::execute(binaryDir() + QStringLiteral("/tools/lexiflip-lzrw1"),
                             {QStringLiteral("compress"), QStringLiteral("--mode"), QStringLiteral("fast"),
                              text, home + QStringLiteral("/Lexifliptally.tld")}) == 0 &&
           QFile::remove(text);
}

// A joining lexiflip window, offscreen, with its own folder of files.
class JoiningWindow {
public:
    JoiningWindow(const std::string& name, quint16 port)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LEXIFLIP_PORT"), QString::number(port));
        environment.insert(QStringLiteral("LEXIFLIP_HOME"), home.path());
        environment.insert(QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(portNobodyListensOn()));
        environment.insert(QStringLiteral("LEXIFLIP_NO_LOBBY_DOWNLOAD"), QStringLiteral("1"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        m_arguments = {QString::fromStdString(name), QStringLiteral("127.0.0.1"), QStringLiteral("join")};
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
    QString file(const char* name) const { return home.filePath(QString::fromLatin1(name)); }

    QTemporaryDir home;
    QProcess process;

private:
    QStringList m_arguments;
};

// What each window's tally must hold after the run: a followed opponent who
// sat in the game, and one who did not.
struct Follower {
    const char* name;
    bool seeded; // starts with a tally of earlier games, or with none
};

// lexiflip-host with Ann scripted in slot 1 and two lexiflip windows joining
// as Bob and Cid. Ann sets both windows' seats to just watch, so that the
// computer plays them and the first game runs to its winner; in the second
// game, with Ann's turn half played, the host is killed.
TEST(HostLost, EveryJoiningWindowClosesAndSavesItsTallyAndSettings)
{
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bot-speed"),
                      QStringLiteral("fast")});
    const quint16 port = host.waitForPort();
    ASSERT_NE(port, 0);
    TestClient ann(port);
    ASSERT_TRUE(ann.login("Ann"));
    const std::vector<std::string> words = engine::loadComputerWords(assets::computerWords());
    ScriptedSeat annSeat(ann, words);

    const std::vector<Follower> followers{{"Bob", true}, {"Cid", false}};
    std::vector<std::unique_ptr<JoiningWindow>> windows;
    // Bob's earlier games: 4 played, 1 won, 10 words, best "at" for 2; he
    // follows Ann (3 games together) and Zed. The session counters are junk
    // that a start must zero.
    const TallyRows bobBefore{{"0", "4", "1", "10", "at", "2", "0", "0", "0"},
                              {"Ann", "3", "2", "1", "0", "7", "7", "7", "7"},
                              {"Zed", "2", "1", "1", "0", "7", "7", "7", "7"}};
    // Settings the window cannot keep as they are (a width below its
    // smallest), values it normalises, and the lobby's section.
    const QByteArray lobby = "[Lobby]\r\nNick=someone\r\nServer=lobby.example\r\n\r\n";
    const QByteArray ours = "[Lexiflip]\r\nWidth=600\r\nHeight=400\r\nBotspeed=500\r\nGamemode=7\r\n";
    for (const Follower& follower : followers) {
        windows.push_back(std::make_unique<JoiningWindow>(follower.name, port));
        JoiningWindow& window = *windows.back();
        ASSERT_TRUE(writeFile(window.file("halvolobby.ini"), lobby + ours));
        if (follower.seeded) {
            ASSERT_TRUE(compressTally(window.home.path(), bobBefore));
        }
        window.start();
        ASSERT_TRUE(ann.waitFor(std::string("CMD_newplayerinfo+") + std::to_string(windows.size() + 1) + "+" +
                                    follower.name,
                                30000))
            << follower.name;
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

    for (std::size_t i = 0; i < windows.size(); ++i) {
        const Follower& follower = followers[i];
        JoiningWindow& window = *windows[i];
        SCOPED_TRACE(follower.name);
        // Closes by itself, promptly, the normal way.
        ASSERT_TRUE(window.process.waitForFinished(30000)) << "the window stayed open";
        EXPECT_EQ(window.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(window.process.exitCode(), 0);

        // The tally holds the earlier games, the finished one and this
        // window's words, as Ann saw them scored.
        const int slot = static_cast<int>(i) + 2;
        int scored = 0;
        std::string best = follower.seeded ? "at" : "0";
        int bestPoints = follower.seeded ? 2 : 0;
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
        const bool won = winner == follower.name;
        const auto n = [](int value) { return std::to_string(value); };
        TallyRows expected;
        if (follower.seeded) {
            const bool annWon = winner == "Ann";
            const bool neither = !won && !annWon;
            expected = {
                {"0", "5", n(1 + won), n(10 + scored), best, n(bestPoints), "0", "0", "0"},
                {"Ann", "4", n(2 + annWon), n(1 + won), n(neither), "1", n(annWon), n(won), n(neither)},
                {"Zed", "2", "1", "1", "0", "0", "0", "0", "0"}};
        } else {
            expected = {{"0", "1", n(won), n(scored), best, n(bestPoints), "0", "0", "0"}};
        }
        EXPECT_EQ(decompressedTally(window.home.path()).toStdString(), tallyText(expected).toStdString())
            << "winner " << winner;

        // The settings were read at login and written at close: the lobby's
        // section untouched, ours in full with what was read normalised.
        const QByteArray settings = readFile(window.file("halvolobby.ini"));
        EXPECT_TRUE(settings.startsWith(lobby)) << settings.toStdString();
        const QByteArray section = settings.mid(lobby.size());
        EXPECT_TRUE(section.startsWith("[Lexiflip]")) << settings.toStdString();
        const QList<QByteArray> lines = section.trimmed().split('\n');
        QStringList keys;
        for (const QByteArray& line : lines.mid(1))
            keys << QString::fromLatin1(line.trimmed().split('=').value(0));
        // Keys the file held keep their places; each of ours is there once.
        keys.sort();
        QStringList all =
            QStringLiteral("Textsize Top Left Width Height Textcolor Actioncolor Playtoscore "
                           "Timeperturn Viewable 4Player Gamemode Botspeed Playsounds Clearword "
                           "Seetheirs Turnsound ChatterSounds")
                .split(QLatin1Char(' '));
        all.sort();
        EXPECT_EQ(keys, all);
        EXPECT_TRUE(section.contains("\nBotspeed=750")) << section.toStdString();
        EXPECT_TRUE(section.contains("\nGamemode=1")) << section.toStdString();
        EXPECT_FALSE(section.contains("\nWidth=600")) << section.toStdString();
    }
}

} // namespace
} // namespace lexiflip::testing
