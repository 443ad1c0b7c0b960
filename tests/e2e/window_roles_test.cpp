// Playing with friends from the window, with real processes: a window that
// hosts from its menu without restarting, windows that join it through the
// join dialog's recent list, an invite link given at start and one handed to
// a copy already running; a game to its winner; the host leaving from the
// menu; and every failure of a join said in the dialog, the program running on.

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/driven_play.h"
#include "e2e/driven_window.h"
#include "e2e/e2e_support.h"
#include "net/test_client.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

// A home whose settings already hold a name and, when given, a recent host.
void storeHistory(const Home& home, const std::string& name, const std::string& recentHost = {})
{
    QFile file(home.file(QStringLiteral("halvolobby.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    std::string text = "[Lexiflip]\nPlayerName=" + name + "\n";
    if (!recentHost.empty())
        text += "RecentHost1=" + recentHost + "\n";
    file.write(QByteArray::fromStdString(text));
}

bool seatedAs(const DrivenState& s, int slot)
{
    return s.flag("loggedin") && s.number("slot") == slot && s.text("role") == "join";
}

QList<QPair<QString, QString>> lobbyAt(const QTcpServer& lobby)
{
    return {{QStringLiteral("LEXIFLIP_LOBBY_PORT"), QString::number(lobby.serverPort())}};
}

TEST(WindowRoles, HostJoinByRecentListAndInviteLinksPlayToTheWinnerAndLeave)
{
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    const quint16 port = freePort();
    const std::string target = "127.0.0.1:" + std::to_string(port);
    Home homes[4];

    // Ann plays solo, then hosts from the menu in the same process.
    DrivenWindow ann({}, port, homes[0].path(), lobbyAt(lobby));
    ASSERT_TRUE(ann.waitFor(loggedInHost)) << ann.errors();
    ASSERT_EQ(ann.last().text("role"), "solo");
    const qint64 annPid = ann.process().processId();
    ASSERT_TRUE(ann.command("menu HostGame1"));
    ASSERT_TRUE(ann.command("type edit_hostname Ann"));
    ASSERT_TRUE(ann.command("type spin_hostport " + std::to_string(port)));
    ASSERT_TRUE(ann.command("click button_host"));
    ASSERT_TRUE(ann.waitFor([](const DrivenState& s) { return s.text("role") == "host" && loggedInHost(s); }))
        << ann.errors();
    EXPECT_EQ(ann.process().processId(), annPid);
    EXPECT_EQ(ann.last().text("invite").rfind("lexiflip://", 0), 0u) << "the host dialog offers an invite";
    ASSERT_TRUE(ann.command("click button_hostclose"));

    // Bob picks the host from his recent list.
    storeHistory(homes[1], "Bob", target);
    DrivenWindow bob({}, freePort(), homes[1].path(), lobbyAt(lobby));
    ASSERT_TRUE(bob.waitFor(loggedInHost)) << bob.errors();
    ASSERT_TRUE(bob.command("menu JoinGame1"));
    ASSERT_TRUE(bob.command("pick list_recent 0"));
    ASSERT_TRUE(bob.command("click button_join"));
    ASSERT_TRUE(bob.waitFor([](const DrivenState& s) { return seatedAs(s, 2) && !s.flag("joining"); }))
        << bob.errors();

    // Cy is started with an invite link.
    storeHistory(homes[2], "Cy");
    DrivenWindow cy({QString::fromStdString("lexiflip://" + target)}, freePort(), homes[2].path(), lobbyAt(lobby));
    ASSERT_TRUE(cy.waitFor([](const DrivenState& s) { return seatedAs(s, 3); })) << cy.errors();

    // Dee plays a solo game; a second start with the link reaches her copy,
    // which asks before it leaves the running game.
    storeHistory(homes[3], "Dee");
    const quint16 deePort = freePort();
    DrivenWindow dee({}, deePort, homes[3].path(), lobbyAt(lobby));
    ASSERT_TRUE(dee.waitFor(loggedInHost)) << dee.errors();
    ASSERT_TRUE(dee.command("click button_start"));
    ASSERT_TRUE(dee.waitFor([](const DrivenState& s) { return s.flag("options"); }));
    ASSERT_TRUE(dee.command("options start"));
    ASSERT_TRUE(dee.waitFor([](const DrivenState& s) { return s.flag("running"); }));
    QProcess second;
    second.setProcessEnvironment(windowEnvironment(deePort, homes[3].path()));
    second.start(binaryDir() + QStringLiteral("/app/lexiflip-driven"),
                 {QString::fromStdString("lexiflip://" + target)});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(dee.waitFor([](const DrivenState& s) { return !s.text("box").empty(); })) << dee.errors();
    EXPECT_EQ(dee.last().text("role"), "solo") << "nothing is left before the player answers";
    ASSERT_TRUE(dee.command("answer yes"));
    ASSERT_TRUE(dee.waitFor([](const DrivenState& s) { return seatedAs(s, 4); })) << dee.errors();

    // A watcher sees the game; Ann starts it and the four play to the winner.
    const std::unique_ptr<TestClient> watcher = joinWhenListening(port, "Eve");
    ASSERT_NE(watcher, nullptr);
    ASSERT_TRUE(ann.command("menu Fast1"));
    ASSERT_TRUE(ann.command("menu StartGame1"));
    ASSERT_TRUE(ann.waitFor([](const DrivenState& s) { return s.flag("options"); }));
    for (const char* choice :
         {"options score 100", "options time 45", "options mode 1", "options four 1", "options start"})
        ASSERT_TRUE(ann.command(choice)) << choice;
    std::vector<PlanningSeat> none;
    TableView seen(watcher->slot());
    playToWinner(*watcher, seen, none, {{1, &ann}, {2, &bob}, {3, &cy}, {4, &dee}});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_TRUE(watcher->has("CMD_winner+"));
    const std::string winner = winnerOf(*watcher);
    for (auto [window, own] : {std::pair{&ann, "Ann"}, std::pair{&bob, "Bob"}, std::pair{&cy, "Cy"},
                               std::pair{&dee, "Dee"}}) {
        ASSERT_TRUE(window->waitFor([](const DrivenState& s) { return !s.text("winner").empty(); })) << own;
        EXPECT_EQ(window->last().text("winner"), bannerFor(winner, own));
    }

    // Ann leaves from the menu: no game runs, but her table holds others, so
    // she is asked first. Then the joiners try to get back to the gone host,
    // as after any lost connection, until closed; every copy's files are
    // written.
    ASSERT_TRUE(ann.command("menu LeaveGame1"));
    ASSERT_TRUE(ann.waitFor([](const DrivenState& s) { return !s.text("box").empty(); })) << ann.errors();
    EXPECT_NE(ann.last().text("box").find("ends the table for them"), std::string::npos) << ann.last().text("box");
    EXPECT_EQ(ann.last().text("role"), "host") << "nothing is left before the player answers";
    ASSERT_TRUE(ann.command("answer yes"));
    ASSERT_TRUE(ann.waitFor([](const DrivenState& s) { return s.text("role") == "none"; }));
    for (DrivenWindow* joiner : {&bob, &cy, &dee}) {
        EXPECT_TRUE(joiner->waitFor([](const DrivenState& s) { return s.flag("reconnecting"); }))
            << joiner->errors();
        EXPECT_EQ(joiner->quit(), 0) << joiner->errors();
    }
    EXPECT_TRUE(ann.running());
    EXPECT_TRUE(QFile::exists(homes[0].file(QStringLiteral("Lexifliptally.tld"))));
    for (const Home& home : homes)
        EXPECT_TRUE(QFile::exists(home.file(QStringLiteral("halvolobby.ini"))));
    EXPECT_EQ(ann.quit(), 0) << ann.errors();
}

// A host of our own making on 127.0.0.1: it accepts and then says what the
// test asks (nothing at all, a full game, or a login with another version).
class ScriptedHost {
public:
    explicit ScriptedHost(std::vector<std::string> script) : m_script(std::move(script))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket* peer = m_server.nextPendingConnection();
            for (const std::string& message : m_script)
                peer->write(QByteArray::fromStdString(message));
            if (m_closeAfter)
                peer->disconnectFromHost();
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    ScriptedHost& closing()
    {
        m_closeAfter = true;
        return *this;
    }

private:
    QTcpServer m_server;
    std::vector<std::string> m_script;
    bool m_closeAfter = false;
};

// Joins from the dialog and waits for its line; the program stays up.
std::string joinAndRead(DrivenWindow& window, quint16 port, const std::function<bool(const std::string&)>& said)
{
    EXPECT_TRUE(window.command("menu JoinGame1"));
    EXPECT_TRUE(window.command("type edit_host 127.0.0.1"));
    EXPECT_TRUE(window.command("type spin_port " + std::to_string(port)));
    EXPECT_TRUE(window.command("click button_join"));
    EXPECT_TRUE(window.waitFor([&](const DrivenState& s) { return said(s.text("joinstatus")); }))
        << window.last().text("joinstatus") << window.errors();
    EXPECT_TRUE(window.running());
    EXPECT_TRUE(window.last().flag("joining")) << "the dialog stays open to try again";
    return window.last().text("joinstatus");
}

bool has(const std::string& text, const char* words)
{
    return text.find(words) != std::string::npos;
}

TEST(WindowRoles, EveryFailureOfAJoinIsSaidInTheDialogAndTheProgramRunsOn)
{
    Home home;
    storeHistory(home, "Bob");
    DrivenWindow bob({}, freePort(), home.path());
    ASSERT_TRUE(bob.waitFor(loggedInHost)) << bob.errors();
    ASSERT_TRUE(bob.command("jointimeout 1500"));

    joinAndRead(bob, freePort(), [](const std::string& t) { return has(t, "refused"); });

    ScriptedHost silent({});
    joinAndRead(bob, silent.port(), [](const std::string& t) { return has(t, "did not answer within 2 seconds"); });

    ScriptedHost full(std::vector<std::string>{wire::msg::full()});
    full.closing();
    joinAndRead(bob, full.port(), [](const std::string& t) { return has(t, "is full"); });
    EXPECT_TRUE(bob.last().text("box").empty()) << "said in the dialog, not in a box";

    ScriptedHost older({wire::msg::sendlogininfo(2), wire::msg::newplayerinfo(2, "Bob"), wire::msg::wrongversion()});
    const std::string version =
        joinAndRead(bob, older.port(), [](const std::string& t) { return has(t, "another version"); });
    EXPECT_EQ(bob.last().text("role"), "join") << "another version only warns: " << version;

    // A port another program holds is said in the host dialog.
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::Any, 0));
    ASSERT_TRUE(bob.command("menu HostGame1"));
    ASSERT_TRUE(bob.command("type spin_hostport " + std::to_string(taken.serverPort())));
    ASSERT_TRUE(bob.command("click button_host"));
    ASSERT_TRUE(bob.waitFor([](const DrivenState& s) { return has(s.text("hoststatus"), "is in use"); }));
    EXPECT_EQ(bob.last().text("role"), "none");

    // Malformed links are refused whole, at start, by the shipped program;
    // what a terminal could take for a command shows escaped.
    const struct {
        QString link;
        const char* shown;
    } links[] = {
        {QStringLiteral("lexiflip://host:0"), "lexiflip://host:0"},
        {QStringLiteral("lexiflip://\x1b]0;owned\x07\x1b[2Jx\ny"),
         "lexiflip://\\x1b]0;owned\\x07\\x1b[2Jx\\x0ay"},
        {QStringLiteral("lexiflip://\u009b31m<h1>\u00fc</h1>"), "lexiflip://\\xc2\\x9b31m<h1>\xc3\xbc</h1>"},
    };
    for (const auto& c : links) {
        SCOPED_TRACE(c.shown);
        QProcess malformed;
        malformed.setProcessEnvironment(windowEnvironment(freePort(), home.path()));
        malformed.start(binaryDir() + QStringLiteral("/app/lexiflip"), {c.link});
        ASSERT_TRUE(malformed.waitForFinished(15000));
        EXPECT_EQ(malformed.exitCode(), 2);
        const QByteArray said = malformed.readAllStandardError();
        EXPECT_TRUE(said.contains("not an invite link")) << said.toStdString();
        EXPECT_TRUE(said.contains(c.shown)) << said.toStdString();
        EXPECT_FALSE(said.contains("\xc2\x9b")) << "a C1 control in UTF-8";
        ASSERT_TRUE(said.endsWith('\n'));
        for (const char byte : said.chopped(1))
            EXPECT_FALSE(byte >= 0 && (byte < 0x20 || byte == 0x7f)) << "byte " << int(byte);
    }
    EXPECT_EQ(bob.quit(), 0) << bob.errors();
}

} // namespace
} // namespace lexiflip::testing
