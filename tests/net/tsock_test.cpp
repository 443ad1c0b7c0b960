#include "net/tsock.h"

#include <QAbstractSocket>
#include <QCoreApplication>
#include <QHostInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "net/error_report.h"
#include "net/net_wait.h"
#include "net/socket_errors.h"
#include "net/test_client.h"

namespace lexiflip::net {
namespace {

constexpr int kWaitMs = 5000;

template <class Predicate> bool waitFor(Predicate&& predicate)
{
    return testing::waitUntil(std::forward<Predicate>(predicate), kWaitMs);
}

using testing::settle;

struct InfoLog {
    std::vector<std::pair<SocketInfo, std::string>> entries;

    void attach(TSock& sock)
    {
        sock.OnInfo = [this](TSock&, SocketInfo category, std::string_view text) {
            entries.emplace_back(category, std::string(text));
        };
    }
    int count(SocketInfo category, std::string_view text) const
    {
        int n = 0;
        for (const auto& [c, t] : entries)
            n += (c == category && t == text) ? 1 : 0;
        return n;
    }
    int count(SocketInfo category) const
    {
        int n = 0;
        for (const auto& entry : entries)
            n += entry.first == category ? 1 : 0;
        return n;
    }
};

std::string exceptionText(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const ESockException& error) {
        return error.what();
    }
    return "(nothing raised)";
}

// A listener on a port the system chooses, a client, and the accepted side.
class TSockPair : public ::testing::Test {
protected:
    void connectPair()
    {
        listenerLog.attach(listener);
        clientLog.attach(client);
        listener.setPortName("0");
        listener.OnAccept = [this](TSock& sock) {
            TSock* accepted = nullptr;
            if (sock.Accept(accepted))
                server = accepted;
        };
        listener.setListen(true);
        client.OnConnect = [this](TSock&) { ++connects; };
        client.setHostName("127.0.0.1");
        client.setPortName(std::to_string(listener.boundPort()));
        EXPECT_FALSE(client.Open());
        ASSERT_TRUE(waitFor([this] { return server != nullptr && client.Connected(); }));
        serverLog.attach(*server);
    }

    InfoLog listenerLog, clientLog, serverLog;
    int connects = 0;
    TSock listener;
    TSock client;
    TSock* server = nullptr;
};

TEST_F(TSockPair, ConnectingAndAcceptingReportTheirSteps)
{
    connectPair();
    EXPECT_EQ(listenerLog.count(SocketInfo::Listen, "Listening Started"), 1);
    EXPECT_EQ(listenerLog.count(SocketInfo::Accept, "Created New TSock Structure"), 1);
    const std::string port = client.PortName();
    EXPECT_EQ(clientLog.count(SocketInfo::Lookup, "Lookup Of Port " + port), 1);
    EXPECT_EQ(clientLog.count(SocketInfo::Lookup, "Lookup Of Host 127.0.0.1"), 1);
    EXPECT_EQ(clientLog.count(SocketInfo::Connect, "Non-Blocking Socket Connected"), 1);
    EXPECT_EQ(connects, 1);
    EXPECT_TRUE(server->Connected());
    EXPECT_EQ(server->HostName(), "127.0.0.1");
    EXPECT_EQ(server->PortName(), listener.PortName());
    EXPECT_EQ(server->parent(), &listener);
    // Opening again only answers the connected flag.
    EXPECT_TRUE(client.Open());

    // A name changed on a live connection is stored, with a warning.
    client.setHostName("example.invalid");
    client.setPortName("1");
    EXPECT_EQ(clientLog.count(SocketInfo::Lookup, "Setting HostName While Connected Has No Effect"), 1);
    EXPECT_EQ(clientLog.count(SocketInfo::Lookup, "Setting PortName While Connected Has No Effect"), 1);
    EXPECT_EQ(client.HostName(), "example.invalid");
}

TEST_F(TSockPair, ReceiveTakesEverythingOrAPrefixAndLeavesLineBreaksAlone)
{
    connectPair();
    std::vector<std::size_t> counts;
    server->OnRead = [&counts](TSock&, std::size_t count) { counts.push_back(count); };
    const std::string first = "CMD_chat+1+a|clRed\xFF"
                              "CMD_hepass+1+\xFF";
    const std::string second = "\r\nline\rtwo\n";
    client.Send(first);
    client.Send(second);
    ASSERT_TRUE(waitFor([&] { return server->receivedBytes() == first.size() + second.size(); }));
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.back(), first.size() + second.size());

    EXPECT_EQ(server->Receive(5), "CMD_c");
    EXPECT_EQ(server->Receive(0), "");
    EXPECT_EQ(server->Receive(-1), first.substr(5) + second);
    EXPECT_EQ(server->receivedBytes(), 0u);
    EXPECT_EQ(server->Receive(-1), "");
}

TEST_F(TSockPair, ALargeSendArrivesWholeInOrderAndInBoundedReads)
{
    connectPair();
    std::string received;
    std::size_t largestRead = 0;
    server->OnRead = [&](TSock& sock, std::size_t) {
        const std::string bytes = sock.Receive(-1);
        largestRead = std::max(largestRead, bytes.size());
        received += bytes;
    };
    int writes = 0;
    client.OnWrite = [&writes](TSock&) { ++writes; };

    // More than the kernel takes at once, so part of it waits in the send
    // buffer for the socket to become writable again.
    std::string expected;
    for (int block = 0; block < 256; ++block) {
        std::string piece(32 * 1024, static_cast<char>('a' + block % 26));
        piece += std::to_string(block);
        expected += piece;
        client.Send(piece);
    }
    EXPECT_GT(client.pendingSendBytes(), 0u);
    ASSERT_TRUE(testing::waitUntil([&] { return received.size() == expected.size(); }, 20000));
    EXPECT_TRUE(received == expected);
    EXPECT_LE(largestRead, TSock::kReadChunk);
    EXPECT_GT(writes, 0);
    EXPECT_EQ(client.pendingSendBytes(), 0u);
}

TEST_F(TSockPair, PeerCloseGivesDisconnectThenOneSocketClosed)
{
    connectPair();
    std::vector<std::string> events;
    server->OnDisconnect = [&events](TSock&) { events.emplace_back("disconnect"); };
    server->OnInfo = [&events](TSock&, SocketInfo category, std::string_view text) {
        if (category == SocketInfo::Close)
            events.emplace_back(text);
    };
    EXPECT_TRUE(client.Close());
    EXPECT_EQ(clientLog.count(SocketInfo::Close, "Socket Closed"), 1);
    EXPECT_FALSE(client.Connected());
    ASSERT_TRUE(waitFor([&] { return events.size() >= 2; }));
    settle();
    EXPECT_EQ(events, (std::vector<std::string>{"disconnect", "Socket Closed"}));
    EXPECT_FALSE(server->Connected());
    EXPECT_EQ(serverLog.count(SocketInfo::Error), 0);
}

TEST_F(TSockPair, AHandlerThatClosesInsideDisconnectMakesTwoReports)
{
    connectPair();
    std::vector<bool> closeResults;
    server->OnDisconnect = [&closeResults](TSock& sock) { closeResults.push_back(sock.Close()); };
    client.Close();
    ASSERT_TRUE(waitFor([&] { return serverLog.count(SocketInfo::Close, "Socket Closed") == 2; }));
    settle();
    EXPECT_EQ(serverLog.count(SocketInfo::Close, "Socket Closed"), 2);
    EXPECT_EQ(closeResults, std::vector<bool>{true});
}

TEST_F(TSockPair, BytesReceivedBeforeACloseCanStillBeTaken)
{
    connectPair();
    bool disconnected = false;
    server->OnRead = nullptr; // nobody takes the bytes as they arrive
    server->OnDisconnect = [&disconnected](TSock&) { disconnected = true; };
    client.Send("last words\xFF");
    client.Close();
    ASSERT_TRUE(waitFor([&] { return disconnected && !server->Connected(); }));
    EXPECT_EQ(server->Receive(-1), "last words\xFF");
    EXPECT_EQ(exceptionText([&] { server->Receive(-1); }), "Receive - Socket Not Connected");
    EXPECT_EQ(exceptionText([&] { server->Send("x"); }), "Send - Socket Not Connected");
}

TEST(TSock, ListenerReportsAndStates)
{
    InfoLog log;
    auto listener = std::make_unique<TSock>();
    log.attach(*listener);
    listener->setPortName("0");
    listener->setListen(true);
    EXPECT_TRUE(listener->Listen());
    EXPECT_NE(listener->boundPort(), 0);
    listener->setListen(true);
    EXPECT_EQ(log.count(SocketInfo::Listen, "Listening Already Running"), 1);

    EXPECT_EQ(exceptionText([&] { listener->Send("x"); }), "Send - Cannot Send On A Listener Socket");
    EXPECT_EQ(exceptionText([&] { listener->Receive(-1); }), "Receive - Cannot Receive On A Listener Socket");
    EXPECT_FALSE(listener->Open());

    // Stopping reports the close and then the stop.
    log.entries.clear();
    listener->setListen(false);
    EXPECT_FALSE(listener->Listen());
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0], std::make_pair(SocketInfo::Close, std::string("Socket Closed")));
    EXPECT_EQ(log.entries[1], std::make_pair(SocketInfo::Listen, std::string("Listening Stopped")));

    // A listener that is destroyed, or closed, while listening reports no close.
    listener->setListen(true);
    log.entries.clear();
    listener->Close();
    listener->setListen(true);
    listener.reset();
    EXPECT_EQ(log.count(SocketInfo::Close), 0);
}

TEST(TSock, ListeningOnAPortInUseFailsToBind)
{
    TSock first;
    first.setPortName("0");
    first.setListen(true);
    TSock second;
    second.setPortName(std::to_string(first.boundPort()));
    EXPECT_EQ(exceptionText([&] { second.setListen(true); }), "Listen - Error Binding Socket");
    EXPECT_FALSE(second.Listen());
}

// Which of the loopback addresses reach a listener, by its bind address: one
// bound to 127.0.0.1 is out of reach of every other address of the machine,
// one bound to every interface takes IPv4 and IPv6 peers alike.
TEST(TSock, TheBindAddressDecidesWhoCanConnect)
{
    const bool ipv6 = testing::machineHasIpv6();
    struct Case {
        std::string bind;
        std::string bound;
        bool reachedOverIpv4;
        bool reachedOverIpv6;
    };
    const Case cases[] = {
        {"", ipv6 ? "::" : "0.0.0.0", true, ipv6},
        {"127.0.0.1", "127.0.0.1", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("bound to \"" + c.bind + "\"");
        TSock listener;
        listener.setBindAddress(c.bind);
        listener.setPortName("0");
        std::vector<std::string> peers;
        listener.OnAccept = [&](TSock& sock) {
            TSock* accepted = nullptr;
            if (sock.Accept(accepted))
                peers.push_back(accepted->HostName());
        };
        listener.setListen(true);
        EXPECT_EQ(listener.boundAddress(), c.bound);

        std::vector<std::string> expected;
        for (const auto& [address, reached] :
             {std::pair{QHostAddress(QHostAddress::LocalHost), c.reachedOverIpv4},
              std::pair{QHostAddress(QHostAddress::LocalHostIPv6), c.reachedOverIpv6}}) {
            if (address.protocol() == QAbstractSocket::IPv6Protocol && !ipv6)
                continue;
            QTcpSocket peer;
            peer.connectToHost(address, listener.boundPort());
            ASSERT_TRUE(waitFor([&] {
                return peer.state() == QAbstractSocket::ConnectedState ||
                       peer.error() == QAbstractSocket::ConnectionRefusedError;
            }));
            EXPECT_EQ(peer.state() == QAbstractSocket::ConnectedState, reached)
                << address.toString().toStdString();
            if (reached) {
                // An IPv4 peer of a listener on every interface is still named
                // by its dotted address.
                expected.push_back(address.toString().toStdString());
                ASSERT_TRUE(waitFor([&] { return peers.size() == expected.size(); }));
            }
        }
        settle();
        EXPECT_EQ(peers, expected);
    }

    TSock nowhere;
    nowhere.setBindAddress("not-an-address");
    nowhere.setPortName("0");
    EXPECT_EQ(exceptionText([&] { nowhere.setListen(true); }), "Listen - Error Binding Socket");
    EXPECT_FALSE(nowhere.Listen());
    EXPECT_EQ(nowhere.boundAddress(), "");
}

TEST(TSock, OperationsOnAnIdleSocketRaise)
{
    TSock idle;
    EXPECT_EQ(exceptionText([&] { idle.Send("x"); }), "Send - Socket Not Connected");
    EXPECT_EQ(exceptionText([&] { idle.Receive(-1); }), "Receive - Socket Not Connected");
    TSock* accepted = nullptr;
    EXPECT_EQ(exceptionText([&] { idle.Accept(accepted); }), "Accept - Socket Not In Listening Mode");
    idle.setPortName("no-such-service-here");
    EXPECT_EQ(exceptionText([&] { idle.Open(); }), "Port Lookup - Could Not Find Service Entry");
    idle.setPortName("70000");
    EXPECT_EQ(exceptionText([&] { idle.Open(); }), "Port Lookup - Could Not Find Service Entry");
    idle.setPortName("1");
    idle.setHostName("127.0.0.1.5");
    EXPECT_EQ(exceptionText([&] { idle.Open(); }), "Host Lookup - Could Not Find Host Entry");
    // A failed lookup leaves the socket idle: it still cannot send.
    EXPECT_EQ(exceptionText([&] { idle.Send("x"); }), "Send - Socket Not Connected");
}

// A player may join an IPv6 address from the window; a malformed one is no
// host, and a colon never starts a name lookup.
TEST(TSock, AnIpv6AddressIsConnectedToAsItIs)
{
    if (!testing::machineHasIpv6())
        GTEST_SKIP() << "no IPv6 on this machine";
    TSock listener;
    TSock* accepted = nullptr;
    listener.setPortName("0");
    listener.setBindAddress("::1");
    listener.OnAccept = [&](TSock& sock) { sock.Accept(accepted); };
    listener.setListen(true);
    TSock client;
    client.setHostName("::1");
    client.setPortName(std::to_string(listener.boundPort()));
    client.Open();
    ASSERT_TRUE(waitFor([&] { return accepted != nullptr && client.Connected(); }));
    EXPECT_EQ(accepted->HostName(), "::1");

    TSock wrong;
    wrong.setPortName("1");
    wrong.setHostName("::1::2");
    EXPECT_EQ(exceptionText([&] { wrong.Open(); }), "Host Lookup - Could Not Find Host Entry");
}

TEST_F(TSockPair, AConnectedSocketCannotStartListening)
{
    connectPair();
    EXPECT_EQ(exceptionText([&] { client.setListen(true); }), "Listen - Socket Already In Use");
}

TEST(TSock, ARefusedConnectOnlyReportsTheError)
{
    // A port that was free a moment ago and has nobody listening now.
    std::string port;
    {
        TSock probe;
        probe.setPortName("0");
        probe.setListen(true);
        port = std::to_string(probe.boundPort());
    }
    settle();
    TSock client;
    InfoLog log;
    log.attach(client);
    int events = 0;
    client.OnConnect = [&events](TSock&) { ++events; };
    client.OnDisconnect = [&events](TSock&) { ++events; };
    client.OnRead = [&events](TSock&, std::size_t) { ++events; };
    client.setHostName("127.0.0.1");
    client.setPortName(port);
    client.Open();
    ASSERT_TRUE(waitFor([&] { return log.count(SocketInfo::Error) > 0; }));
    settle();
    EXPECT_EQ(log.count(SocketInfo::Error, "Error #10061 (WSAECONNREFUSED)"), 1);
    EXPECT_EQ(log.count(SocketInfo::Error), 1);
    EXPECT_EQ(log.count(SocketInfo::Close), 0);
    EXPECT_EQ(log.count(SocketInfo::Connect), 0);
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(client.Connected());
}

TEST(TSock, AnInfoHandlerThatThrowsBecomesErrorHereExceptWhileClosing)
{
    TSock sock;
    sock.OnInfo = [](TSock&, SocketInfo, std::string_view) { throw std::runtime_error("handler broke"); };
    sock.setPortName("0");
    EXPECT_EQ(exceptionText([&] { sock.setListen(true); }), "Error here");
    sock.OnInfo = [](TSock&, SocketInfo category, std::string_view) {
        if (category == SocketInfo::Close)
            throw std::runtime_error("handler broke");
    };
    EXPECT_EQ(exceptionText([&] { sock.Close(); }), "(nothing raised)");
    EXPECT_EQ(exceptionText([&] { sock.Close(); }), "(nothing raised)");
}

TEST_F(TSockPair, DestroyingAConnectionReportsNothingButClosesIt)
{
    connectPair();
    int serverEvents = 0;
    server->OnDisconnect = [&serverEvents](TSock&) { ++serverEvents; };
    server->OnRead = [&serverEvents](TSock&, std::size_t) { ++serverEvents; };
    bool clientDisconnected = false;
    client.OnDisconnect = [&clientDisconnected](TSock&) { clientDisconnected = true; };
    const std::size_t reportsBefore = serverLog.entries.size();
    delete std::exchange(server, nullptr);
    EXPECT_EQ(serverLog.entries.size(), reportsBefore);
    EXPECT_EQ(serverEvents, 0);
    // The peer still learns that the connection is gone.
    EXPECT_TRUE(waitFor([&] { return clientDisconnected; }));
}

// Runs a lookup of its own and waits for it: lookups of one name complete
// together, so once this one is answered, an earlier one has been too.
void waitForLookupOf(const QString& name)
{
    bool answered = false;
    QObject context;
    QHostInfo::lookupHost(name, &context, [&answered](const QHostInfo&) { answered = true; });
    ASSERT_TRUE(waitFor([&] { return answered; }));
    settle();
}

// Catches what goes to the general error report while it lives.
struct GeneralErrors {
    std::vector<std::string> texts;
    GeneralErrors()
    {
        setGeneralErrorReport([this](std::string_view text) { texts.emplace_back(text); });
    }
    ~GeneralErrors() { setGeneralErrorReport({}); }
};

TEST_F(TSockPair, AHostNameIsLookedUpWithoutWaitingAndEarlyBytesFollowInOrder)
{
    listener.setPortName("0");
    listener.OnAccept = [this](TSock& sock) {
        TSock* accepted = nullptr;
        if (sock.Accept(accepted))
            server = accepted;
    };
    listener.setListen(true);
    clientLog.attach(client);
    client.OnConnect = [this](TSock&) { ++connects; };
    client.setHostName("localhost");
    client.setPortName(std::to_string(listener.boundPort()));
    EXPECT_FALSE(client.Open());
    EXPECT_FALSE(client.Open()); // still looking up: no second lookup
    EXPECT_EQ(clientLog.count(SocketInfo::Lookup, "Lookup Of Host localhost"), 1);
    EXPECT_EQ(exceptionText([&] { client.setListen(true); }), "Listen - Socket Already In Use");
    EXPECT_TRUE(client.Send("early\xFF"));
    EXPECT_EQ(client.pendingSendBytes(), 6u);
    EXPECT_TRUE(client.Send("later\xFF"));
    ASSERT_TRUE(waitFor([&] { return server != nullptr && server->receivedBytes() == 12; }));
    EXPECT_EQ(server->Receive(-1), "early\xFF"
                                   "later\xFF");
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(clientLog.count(SocketInfo::Connect, "Non-Blocking Socket Connected"), 1);
}

TEST(TSock, ClosingOrDestroyingDuringALookupForgetsIt)
{
    TSock listener;
    int accepted = 0;
    listener.OnAccept = [&accepted](TSock& sock) {
        TSock* conn = nullptr;
        accepted += sock.Accept(conn) ? 1 : 0;
    };
    listener.setPortName("0");
    listener.setListen(true);
    GeneralErrors errors;
    InfoLog log;
    int connects = 0;
    auto closed = std::make_unique<TSock>();
    auto destroyed = std::make_unique<TSock>();
    for (TSock* sock : {closed.get(), destroyed.get()}) {
        log.attach(*sock);
        sock->OnConnect = [&connects](TSock&) { ++connects; };
        // The process keeps the names it has resolved, so this test looks up
        // a spelling no other test uses.
        sock->setHostName("LocalHost");
        sock->setPortName(std::to_string(listener.boundPort()));
        EXPECT_FALSE(sock->Open());
        sock->Send("x");
    }
    EXPECT_TRUE(closed->Close());
    EXPECT_EQ(log.count(SocketInfo::Close, "Socket Closed"), 1);
    EXPECT_EQ(closed->pendingSendBytes(), 0u);
    EXPECT_EQ(exceptionText([&] { closed->Send("x"); }), "Send - Socket Not Connected");
    destroyed.reset();
    waitForLookupOf("LocalHost");
    EXPECT_EQ(log.count(SocketInfo::Connect), 0);
    EXPECT_EQ(log.count(SocketInfo::Error), 0);
    EXPECT_EQ(connects, 0);
    EXPECT_EQ(accepted, 0);
    EXPECT_TRUE(errors.texts.empty());
}

TEST(TSock, AFailedLookupGoesToTheGeneralReportAndLeavesTheSocketIdle)
{
    GeneralErrors errors;
    TSock sock;
    sock.setHostName("no-such-host.invalid");
    sock.setPortName("1");
    EXPECT_FALSE(sock.Open());
    sock.Send("lost");
    ASSERT_TRUE(testing::waitUntil([&] { return !errors.texts.empty(); }, 20000));
    EXPECT_EQ(errors.texts, std::vector<std::string>{"Host Lookup - Could Not Find Host Entry"});
    EXPECT_EQ(sock.pendingSendBytes(), 0u);
    EXPECT_EQ(exceptionText([&] { sock.Send("x"); }), "Send - Socket Not Connected");
}

TEST_F(TSockPair, UntakenBytesStopAtTheLimitAndFlowOnOnceTaken)
{
    connectPair();
    std::size_t largestCount = 0;
    server->OnRead = [&largestCount](TSock&, std::size_t count) {
        largestCount = std::max(largestCount, count);
    };
    std::string sent;
    for (int block = 0; sent.size() < 4 * TSock::kReceiveLimit; ++block)
        sent += std::string(64 * 1024 - 1, static_cast<char>('a' + block % 26)) + '|';
    client.Send(sent);
    ASSERT_TRUE(waitFor([&] { return server->receivedBytes() == TSock::kReceiveLimit; }));
    settle();
    EXPECT_EQ(server->receivedBytes(), TSock::kReceiveLimit);
    EXPECT_EQ(largestCount, TSock::kReceiveLimit);
    // The rest waits with the sender or in the network, and comes once taken.
    std::string received;
    ASSERT_TRUE(testing::waitUntil(
        [&] {
            received += server->Receive(-1);
            return received.size() == sent.size();
        },
        20000));
    EXPECT_TRUE(received == sent);
    EXPECT_LE(largestCount, TSock::kReceiveLimit);
}

TEST(SocketErrors, QtErrorsCarryWindowsSocketsCodesAndNames)
{
    EXPECT_EQ(socketErrorText(socketErrorCode(QAbstractSocket::ConnectionRefusedError)),
              "Error #10061 (WSAECONNREFUSED)");
    EXPECT_EQ(socketErrorText(socketErrorCode(QAbstractSocket::HostNotFoundError)),
              "Error #11001 (WSAHOST_NOT_FOUND)");
    EXPECT_EQ(socketErrorText(socketErrorCode(QAbstractSocket::AddressInUseError)),
              "Error #10048 (WSAEADDRINUSE)");
    EXPECT_EQ(socketErrorText(socketErrorCode(QAbstractSocket::SocketTimeoutError)),
              "Error #10060 (WSAETIMEDOUT)");
    EXPECT_STREQ(socketErrorName(10004), "WSAEINTR");
    EXPECT_STREQ(socketErrorName(10101), "WSAEDISCON");
    EXPECT_STREQ(socketErrorName(11004), "WSANO_DATA");
    EXPECT_STREQ(socketErrorName(10072), "UNKNOWN ERROR");
    EXPECT_STREQ(socketErrorName(0), "UNKNOWN ERROR");
    EXPECT_EQ(socketErrorText(12345), "Error #12345 (UNKNOWN ERROR)");
    // Every error Qt can report has a named code.
    for (int error = QAbstractSocket::ConnectionRefusedError; error <= QAbstractSocket::TemporaryError;
         ++error) {
        const int code = socketErrorCode(static_cast<QAbstractSocket::SocketError>(error));
        EXPECT_STRNE(socketErrorName(code), "UNKNOWN ERROR") << "Qt error " << error;
    }
    EXPECT_STREQ(socketInfoName(SocketInfo::Lookup), "Lookup");
    EXPECT_STREQ(socketInfoName(SocketInfo::Error), "Error");
    EXPECT_EQ(static_cast<int>(SocketInfo::Error), 7);
}

} // namespace
} // namespace lexiflip::net
