// lexiflip-host as a black box: started as a process, spoken to over TCP.

#include <QProcess>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "e2e/host_process.h"
#include "e2e/word_play.h"
#include "engine/computer_words.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/dispatch_table.h"
#include "wire/field_reader.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

// Plays slot 1 from the messages it receives: on each turn it flips five
// tiles and submits the longest word of the computer's list that it can lay
// from those tiles and its bar, or passes when there is none.
class ScriptedPlayer {
public:
    explicit ScriptedPlayer(TestClient& client)
        : m_client(client), m_words(engine::loadComputerWords(assets::computerWords()))
    {
    }

    void step()
    {
        while (m_next < m_client.messages().size())
            handle(m_client.messages()[m_next++]);
    }

    int turns = 0;
    int words = 0;
    int passes = 0;
    int accepted = 0;

private:
    void handle(const std::string& message)
    {
        const std::optional<wire::SplitEntry> entry = wire::splitEntry(message);
        if (!entry)
            return;
        wire::FieldReader fields(entry->payload);
        if (entry->command == "CMD_theboard") {
            readBoard(entry->payload, m_board);
        } else if (entry->command == "CMD_mytiles") {
            readBar(entry->payload, 1, m_bar);
        } else if (entry->command == "CMD_nextplayer") {
            if (fields.nextInt() == 1)
                startTurn();
        } else if (entry->command == "CMD_heflip") {
            if (fields.nextInt() != 1)
                return;
            const int x = fields.nextInt().value_or(0);
            const int y = fields.nextInt().value_or(0);
            m_flipped.push_back({x, y});
            if (fields.next() == "t")
                buildWord();
        } else if (entry->command == "CMD_hisword") {
            accepted += fields.nextInt() == 1 ? 1 : 0;
        }
    }

    void startTurn()
    {
        ++turns;
        m_flipped.clear();
        // Five different cells, in a different place each turn.
        for (int i = 0; i < 5; ++i) {
            const int cell = (turns * 7 + i * 13) % 80;
            m_client.send(msg::iflip(1, cell / 8 + 1, cell % 8 + 1));
        }
    }

    void buildWord()
    {
        const std::vector<wire::Origin> best = longestWord(m_words, m_flipped, m_board, m_bar);
        if (best.empty()) {
            ++passes;
            m_client.send(msg::hepass(1));
            return;
        }
        ++words;
        sendWord(m_client, 1, best);
    }

    TestClient& m_client;
    std::vector<std::string> m_words;
    std::size_t m_next = 0;
    BoardLetters m_board{};
    BarLetters m_bar{};
    std::vector<wire::Origin> m_flipped;
};

TEST(LexiflipHost, ServesAWholeGameToAScriptedClientAgainstKlot)
{
    // Klot at his strongest: the host's choice changes nothing on the wire.
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bot-speed"),
                      QStringLiteral("fast"), QStringLiteral("--klot-strength"), QStringLiteral("expert")});
    const quint16 port = host.waitForPort();
    ASSERT_NE(port, 0) << host.process().readAllStandardError().toStdString();

    TestClient client(port);
    ASSERT_TRUE(client.login("Scripted"));
    EXPECT_EQ(client.slot(), 1);
    ScriptedPlayer player(client);
    client.send(msg::startgame("Scripted", "15", "45", true, "1", "0"));
    ASSERT_TRUE(client.waitFor("CMD_startgame+Scripted+15+45+1+0+"));

    const bool won = waitUntil(
        [&] {
            player.step();
            return client.has("CMD_winner+") || client.closed();
        },
        200000);
    ASSERT_TRUE(won) << "turns " << player.turns << ", words " << player.words << ", passes "
                     << player.passes;
    EXPECT_FALSE(client.closed());
    EXPECT_GE(player.turns, 1);
    // Every turn of the scripted player ended in a word or a pass.
    EXPECT_EQ(player.words + player.passes, player.turns);
    EXPECT_TRUE(client.has("CMD_nextplayer+2+")) << "Klot never had a turn";
    EXPECT_TRUE(client.has("CMD_heflip+2+")) << "Klot never flipped";
    const std::string winner = client.messages()[*client.find("CMD_winner+")];
    EXPECT_TRUE(winner == "CMD_winner+Scripted+" || winner == "CMD_winner+Klot+") << winner;

    // SIGTERM ends the host cleanly.
    host.process().terminate();
    ASSERT_TRUE(host.process().waitForFinished(5000));
    EXPECT_EQ(host.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.process().exitCode(), 0);
    EXPECT_TRUE(client.waitForClose());
}

// Players whose connections are reset at the same moment, the one on turn
// among them, leave; the host goes on serving and takes new players.
TEST(LexiflipHost, OutlivesConnectionsResetTogether)
{
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0")});
    const quint16 port = host.waitForPort();
    ASSERT_NE(port, 0);
    TestClient first(port);
    ASSERT_TRUE(first.login("First"));
    std::vector<std::unique_ptr<TestClient>> others;
    const auto admit = [&] {
        for (int slot = 2; slot <= 4; ++slot) {
            others.push_back(std::make_unique<TestClient>(port));
            ASSERT_TRUE(others.back()->login("P" + std::to_string(slot)));
            ASSERT_EQ(others.back()->slot(), slot);
        }
    };
    admit();
    first.send(msg::startgame("First", "50", "60", true, "1", "0"));
    ASSERT_TRUE(first.waitFor("CMD_nextplayer+1+"));
    // Slot 1 passes: the turn is with slot 2 when the first three leave.
    first.send(msg::hepass(1));
    ASSERT_TRUE(first.waitFor("CMD_nextplayer+2+"));
    for (int round = 0; round < 4; ++round) {
        const int gone = first.count("CMD_playerdisconnected+");
        for (auto& client : others)
            client->reset();
        others.clear();
        ASSERT_TRUE(waitUntil([&] { return first.count("CMD_playerdisconnected+") == gone + 3; })) << round;
        ASSERT_EQ(host.process().state(), QProcess::Running);
        admit();
    }
    first.send(msg::chat(1, "still here", 0));
    EXPECT_TRUE(first.waitFor("CMD_chat+First chats: still here|clBlack"));
    EXPECT_EQ(host.process().state(), QProcess::Running);
}

// On lexiflip-host slot 1 is a remote player like the others: Ann (slot 1)
// leaves on her own turn and Bob, who joined over IPv6 where the machine has
// it, has the turn at once, well inside Ann's minute.
TEST(LexiflipHost, SlotOneLeavingOnTurnHandsItOnAtOnceAndIpv6PeersAreServed)
{
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0")});
    const quint16 port = host.waitForPort();
    ASSERT_NE(port, 0);
    TestClient ann(port);
    ASSERT_TRUE(ann.login("Ann"));
    ASSERT_EQ(ann.slot(), 1);
    TestClient bob(port,
                   QHostAddress(machineHasIpv6() ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost));
    ASSERT_TRUE(bob.login("Bob"));
    ann.send(msg::startgame("Ann", "50", "60", true, "1", "0"));
    ASSERT_TRUE(bob.waitFor("CMD_nextplayer+1+"));
    ann.close();
    ASSERT_TRUE(bob.waitFor("CMD_playerdisconnected+1+Ann"));
    EXPECT_TRUE(bob.waitFor("CMD_nextplayer+2+", 5000));
    EXPECT_EQ(host.process().state(), QProcess::Running);
}

TEST(LexiflipHost, RefusesATakenPortAndExplainsItself)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::AnyIPv4, 0));
    QProcess process;
    process.start(hostProgram(), {QStringLiteral("--port"), QString::number(taken.serverPort())});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("Listen - Error Binding Socket"));

    // LEXIFLIP_PORT is the port when --port is not given.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LEXIFLIP_PORT"), QString::number(taken.serverPort()));
    process.setProcessEnvironment(environment);
    process.start(hostProgram(), {});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1);

    process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    process.start(hostProgram(), {QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(10000));
    const QByteArray help = process.readAllStandardOutput();
    for (const char* part : {"--port", "LEXIFLIP_PORT", "--bot-speed", "--klot-strength", "--seat-hold",
                             "slot 1", "standard error", "SIGTERM", "LEXIFLIP_DISCOVERY_ADDRESS"})
        EXPECT_TRUE(help.contains(part)) << part;

    for (const char* option : {"--bot-speed", "--klot-strength", "--seat-hold"}) {
        process.start(hostProgram(), {QString::fromLatin1(option), QStringLiteral("ludicrous")});
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 2) << option;
    }
}

// The version text is set once in the build; both programs and the wire show it.
TEST(Programs, PrintTheVersionTheWireSends)
{
    EXPECT_EQ(msg::kVersion, "1.0.3");
    const char* binary = std::getenv("LEXIFLIP_BINARY_DIR");
    const QString app = QString::fromUtf8(binary ? binary : ".") + QStringLiteral("/app/");
    for (const char* program : {"lexiflip-host", "lexiflip"}) {
        QProcess process;
        process.start(app + QString::fromUtf8(program), {QStringLiteral("--version")});
        ASSERT_TRUE(process.waitForFinished(10000)) << program;
        EXPECT_EQ(process.exitCode(), 0) << program;
        EXPECT_EQ(process.readAllStandardOutput().trimmed().toStdString(), std::string(program) + " 1.0.3");
    }
}

} // namespace
} // namespace lexiflip::testing
