// The client's session: its receive queue, its pace and its guard, against a
// host played by a plain QTcpServer on loopback.

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "client/session/client_session.h"
#include "client/shell/launch_plan.h"
#include "net/error_report.h"
#include "net/net_wait.h"

namespace lexiflip::client {
namespace {

using testing::waitUntil;

// A host that accepts one client and writes whatever the test says.
struct FakeHost {
    FakeHost()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection,
                         [this] { peer = server.nextPendingConnection(); });
    }
    void write(std::string_view bytes)
    {
        peer->write(bytes.data(), static_cast<qint64>(bytes.size()));
        peer->flush();
    }
    QTcpServer server;
    QTcpSocket* peer = nullptr;
};

struct Connected {
    Connected()
    {
        session.setMessageHandler([this](std::string_view message) {
            handled.emplace_back(message);
            queuedWhenHandled.push_back(session.queuedEntries());
        });
        session.open("127.0.0.1", host.server.serverPort());
        EXPECT_TRUE(waitUntil([&] { return host.peer && session.isConnected(); }));
    }
    FakeHost host;
    ClientSession session;
    std::vector<std::string> handled;
    std::vector<std::size_t> queuedWhenHandled;
};

TEST(ClientSession, MessagesOfOneReadAreHandledOnePerTickInOrderThenTimer1Rests)
{
    Connected c;
    c.host.write("CMD_tie+\xFF"
                 "CMD_theboard+1+1+5\xFF"
                 "CMD_winner+Klot+\xFF"
                 "CMD_part");
    ASSERT_TRUE(waitUntil([&] { return c.handled.size() == 3; }));
    EXPECT_EQ(c.handled, (std::vector<std::string>{"CMD_tie+", "CMD_theboard+1+1+5", "CMD_winner+Klot+"}));
    // The first waits behind nothing; the others were still queued when it ran.
    EXPECT_EQ(c.queuedWhenHandled, (std::vector<std::size_t>{2, 1, 0}));
    EXPECT_TRUE(waitUntil([&] { return !c.session.timer1Running(); }));
    // The rest of a message waits for its terminator.
    c.host.write("ial+\xFF");
    ASSERT_TRUE(waitUntil([&] { return c.handled.size() == 4; }));
    EXPECT_EQ(c.handled.back(), "CMD_partial+");
}

TEST(ClientSession, AHandlerThatThrowsReachesTheErrorReportAndTheNextMessageStillRuns)
{
    Connected c;
    std::vector<std::string> reports;
    net::setGeneralErrorReport([&reports](std::string_view text) { reports.emplace_back(text); });
    c.session.setMessageHandler([&](std::string_view message) {
        c.handled.emplace_back(message);
        if (message == "CMD_bad+")
            throw std::runtime_error("bad handler");
    });
    c.host.write("CMD_bad+\xFF"
                 "CMD_good+\xFF");
    ASSERT_TRUE(waitUntil([&] { return c.handled.size() == 2; }));
    net::setGeneralErrorReport({});
    EXPECT_EQ(reports, std::vector<std::string>{"bad handler"});
    EXPECT_EQ(c.handled.back(), "CMD_good+");
}

// What the host sent before it closed is handled before the close is reported.
TEST(ClientSession, TheHostClosingReportsClosedOnceAfterItsLastMessagesAndSendsNothingAfterwards)
{
    Connected c;
    int closes = 0;
    std::size_t handledAtClose = 0;
    QObject::connect(&c.session, &ClientSession::closed, [&] {
        ++closes;
        handledAtClose = c.handled.size();
    });
    c.host.write("CMD_tie+\xFF"
                 "CMD_stats+1+\xFF"
                 "CMD_full+\xFF");
    c.host.peer->disconnectFromHost();
    ASSERT_TRUE(waitUntil([&] { return closes > 0; }));
    testing::settle();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(handledAtClose, 3u);
    EXPECT_FALSE(c.session.isConnected());
    c.session.send("CMD_hepass+1+\xFF"); // must not raise
}

// A host that stops talking is taken for gone once the limit passes without
// a byte; every byte it sends starts the limit again.
TEST(ClientSession, AHostSilentBeyondTheLimitIsClosedLikeADisconnect)
{
    Connected c;
    int closes = 0;
    int silences = 0;
    QObject::connect(&c.session, &ClientSession::closed, [&] { ++closes; });
    QObject::connect(&c.session, &ClientSession::fellSilent, [&] { ++silences; });
    QElapsedTimer clock;
    clock.start();
    c.session.setSilenceLimitMs(1000);
    QTimer talk;
    int said = 0;
    QObject::connect(&talk, &QTimer::timeout, [&] {
        c.host.write("CMD_tie+\xFF");
        if (++said == 5)
            talk.stop();
    });
    talk.start(100);
    ASSERT_TRUE(waitUntil([&] { return closes > 0; }));
    // Five messages kept it open past its limit (a timer may fire a little early).
    EXPECT_GE(clock.elapsed(), 500 + 900);
    EXPECT_EQ(c.handled.size(), 5u);
    EXPECT_EQ(silences, 1);
    EXPECT_TRUE(waitUntil([&] { return c.host.peer->state() == QAbstractSocket::UnconnectedState; }));
}

TEST(ClientSession, ARefusedConnectionIsReportedAsASocketError)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    ClientSession session;
    QString error;
    QObject::connect(&session, &ClientSession::socketError, [&error](const QString& text) { error = text; });
    session.open("127.0.0.1", closedPort);
    ASSERT_TRUE(waitUntil([&] { return !error.isEmpty(); }));
    EXPECT_EQ(error, QStringLiteral("Error #10061 (WSAECONNREFUSED)"));
}

TEST(LaunchPlan, TheCommandLineDecidesTheRole)
{
    using Role = LaunchPlan::Role;
    struct Case {
        std::vector<std::string> parameters;
        Role role;
        std::string name;
        std::string address;
        std::string line;
    };
    const std::string multi = "Loading Multi-player Game.. Please Wait.";
    const std::vector<Case> cases = {
        {{}, Role::Solo, "You", "127.0.0.1", "Loading Solo Game..Please wait."},
        {{"Ann", "10.0.0.5", "true"}, Role::Host, "Ann", "10.0.0.5", multi},
        {{"Ann", "10.0.0.5", "True"}, Role::Join, "Ann", "10.0.0.5", multi},
        {{"Ann", "10.0.0.5", "yes", "extra"}, Role::Join, "Ann", "10.0.0.5", multi},
        {{"Ann"}, Role::Wait, "Ann", "", multi},
        {{"Ann", "10.0.0.5"}, Role::Wait, "Ann", "10.0.0.5", multi},
    };
    for (const Case& c : cases) {
        const LaunchPlan plan = processparams(c.parameters);
        EXPECT_EQ(plan.role, c.role) << c.parameters.size();
        EXPECT_EQ(plan.playerName, c.name);
        EXPECT_EQ(plan.hostAddress, c.address);
        EXPECT_EQ(plan.loadingLine, c.line);
    }
}

} // namespace
} // namespace lexiflip::client
