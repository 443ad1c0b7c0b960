// lexiflip-host when peers fail: a player dies on his turn, a peer stops
// reading, a peer stops halfway through a message. The others play on.

#include <QProcess>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "e2e/host_process.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/field_reader.h"
#include "wire/messages.h"

namespace lexiflip::testing {
namespace {

namespace msg = wire::msg;

class HostFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<HostProcess>(QStringList{QStringLiteral("--port"), QStringLiteral("0")});
        port = host->waitForPort();
        ASSERT_NE(port, 0);
    }

    // Logs a client in and checks the slot it got.
    TestClient& join(const std::string& name, int expectedSlot)
    {
        clients.push_back(std::make_unique<TestClient>(port));
        EXPECT_TRUE(clients.back()->login(name)) << name;
        EXPECT_EQ(clients.back()->slot(), expectedSlot) << name;
        return *clients.back();
    }

    std::unique_ptr<HostProcess> host;
    quint16 port = 0;
    std::vector<std::unique_ptr<TestClient>> clients;
};

// The player on turn dies with his turn half played, by a reset or by a plain
// close: the turn moves on at once, not when his time runs out, and the
// others play on.
TEST_F(HostFaults, APlayerKilledMidTurnHandsTheTurnOnAndTheOthersPlayOn)
{
    for (const bool abrupt : {true, false}) {
        SCOPED_TRACE(abrupt ? "reset" : "close");
        if (!host)
            SetUp();
        TestClient& first = join("First", 1);
        TestClient& victim = join("Victim", 2);
        TestClient& third = join("Third", 3);
        first.send(msg::startgame("First", "200", "60", true, "1", "0"));
        ASSERT_TRUE(first.waitFor("CMD_nextplayer+1+"));
        first.send(msg::hepass(1));
        ASSERT_TRUE(victim.waitFor("CMD_nextplayer+2+"));
        victim.send(msg::iflip(2, 4, 4));
        ASSERT_TRUE(first.waitFor("CMD_heflip+2+4+4+"));
        first.forget();
        third.forget();

        if (abrupt)
            victim.reset();
        else
            victim.close();
        // Well inside the 60 s turn: the departure ends it.
        ASSERT_TRUE(third.waitFor("CMD_nextplayer+3+", 5000));
        ASSERT_TRUE(third.has("CMD_playerdisconnected+2+Victim"));
        EXPECT_LT(*third.find("CMD_playerdisconnected+2+"), *third.find("CMD_nextplayer+3+"));
        EXPECT_FALSE(third.has("CMD_timeup+"));
        ASSERT_TRUE(first.waitFor("CMD_nextplayer+3+"));

        third.send(msg::iflip(3, 1, 1));
        EXPECT_TRUE(first.waitFor("CMD_heflip+3+1+1+"));
        third.send(msg::hepass(3));
        EXPECT_TRUE(third.waitFor("CMD_nextplayer+1+"));
        EXPECT_EQ(first.count("CMD_playerdisconnected+2+"), 1);
        clients.clear();
        host.reset();
    }
}

// A peer that logs in and then never reads: the host closes it once the send
// limit is passed, and meanwhile the others hear every chat without delay.
TEST_F(HostFaults, APeerThatNeverReadsIsClosedAndTheOthersAreUnaffected)
{
    TestClient& first = join("First", 1);

    // A raw socket with a small receive window that is never read from.
    const int stalled = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(stalled, 0);
    const int small = 4096;
    ::setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(stalled, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string login = msg::logininfo(2, msg::kVersion, "Stalled");
    ASSERT_EQ(::send(stalled, login.data(), login.size(), 0), static_cast<ssize_t>(login.size()));
    ASSERT_TRUE(first.waitFor("CMD_newplayerinfo+2+Stalled"));

    // Big chat lines, which the host sends to the stalled peer too.
    const std::string line(4000, 'z');
    int sent = 0;
    int heardBack = 0;
    const bool closed = waitUntil(
        [&] {
            // Keep a few in flight; each one must come back to the sender.
            heardBack = first.count("CMD_chat+First chats: ");
            while (sent - heardBack < 20) {
                first.send(msg::chat(1, std::to_string(sent) + line, 0));
                ++sent;
            }
            return first.has("CMD_playerdisconnected+2+Stalled");
        },
        90000);
    ASSERT_TRUE(closed) << sent << " lines sent, " << heardBack << " heard back";
    // Everything sent before the close has come back to its sender.
    first.send(msg::chat(1, "after", 0));
    EXPECT_TRUE(first.waitFor("CMD_chat+First chats: after|clBlack"));
    EXPECT_GT(sent, 250) << "closed before its backlog could pass 1 MiB";
    EXPECT_EQ(host->process().state(), QProcess::Running);

    // The slot is free again and serves a newcomer.
    TestClient& next = join("Next", 2);
    EXPECT_TRUE(next.waitFor("CMD_existingplayers+1+First"));
    ::close(stalled);
}

// A message cut off by a close never arrives, and its bytes do not stick to
// the next connection in the same slot.
TEST_F(HostFaults, AHalfSentMessageDiesWithItsConnection)
{
    TestClient& first = join("First", 1);
    TestClient& half = join("Half", 2);
    half.send("CMD_chat+2+never fin");
    half.close();
    ASSERT_TRUE(first.waitFor("CMD_playerdisconnected+2+Half"));

    TestClient& again = join("Again", 2);
    again.send("ished|clRed\xFF");
    again.send(msg::chat(2, "whole", 0));
    ASSERT_TRUE(first.waitFor("CMD_chat+Again chats: whole|clBlack"));
    for (const std::string& message : first.messages())
        EXPECT_EQ(message.find("fin"), std::string::npos) << message;
    EXPECT_EQ(first.count("CMD_chat+"), 1);
}

// A dropped player's seat is kept for his address alone: a flood of
// connections from other addresses gets the free slots, then "Game is full",
// and never the kept seat, which its player then takes back with his score.
// With a short hold the seat frees itself and is anybody's.
TEST_F(HostFaults, AFloodFromOtherAddressesNeverTakesAKeptSeat)
{
    for (const int holdSeconds : {600, 1}) {
        SCOPED_TRACE(holdSeconds);
        clients.clear();
        host = std::make_unique<HostProcess>(QStringList{QStringLiteral("--port"), QStringLiteral("0"),
                                                         QStringLiteral("--seat-hold"),
                                                         QString::number(holdSeconds)});
        port = host->waitForPort();
        ASSERT_NE(port, 0);
        const auto from = [](int last) { return QHostAddress(QStringLiteral("127.0.0.%1").arg(last)); };
        const auto joinFrom = [&](int last, const std::string& name) -> TestClient& {
            clients.push_back(
                std::make_unique<TestClient>(port, QHostAddress(QHostAddress::LocalHost), from(last)));
            EXPECT_TRUE(clients.back()->login(name)) << name;
            return *clients.back();
        };
        TestClient& first = joinFrom(1, "First");
        TestClient& kept = joinFrom(2, "Kept");
        ASSERT_EQ(first.slot(), 1);
        ASSERT_EQ(kept.slot(), 2);
        first.send(msg::startgame("First", "200", "60", true, "1", "0"));
        ASSERT_TRUE(first.waitFor("CMD_nextplayer+1+"));
        first.send(msg::hepass(1));
        ASSERT_TRUE(kept.waitFor("CMD_nextplayer+2+"));
        first.forget();
        kept.close();
        ASSERT_TRUE(first.waitFor("CMD_playerdisconnected+2+Kept"));
        // The turn moved on past the kept seat, and Klot does not play it.
        ASSERT_TRUE(first.waitFor("CMD_nextplayer+1+"));

        if (holdSeconds == 1) {
            ASSERT_TRUE(
                waitUntil([&] { return first.countExactly("CMD_playerdisconnected+2+") == 1; }, 10000));
            TestClient& stranger = joinFrom(30, "Stranger");
            EXPECT_EQ(stranger.slot(), 2);
            continue;
        }

        // Twelve strangers: slots 3..9 go to seven of them, five hear the game is full.
        std::vector<std::unique_ptr<TestClient>> flood;
        for (int last = 10; last < 22; ++last)
            flood.push_back(
                std::make_unique<TestClient>(port, QHostAddress(QHostAddress::LocalHost), from(last)));
        std::vector<int> given;
        int full = 0;
        for (const std::unique_ptr<TestClient>& stranger : flood) {
            ASSERT_TRUE(
                waitUntil([&] { return stranger->has("CMD_sendlogininfo+") || stranger->has("CMD_full"); }));
            if (stranger->has("CMD_full"))
                ++full;
            else
                given.push_back(
                    wire::parseInt(stranger->messages()[*stranger->find("CMD_sendlogininfo+")].substr(18))
                        .value_or(0));
        }
        std::sort(given.begin(), given.end());
        EXPECT_EQ(given, (std::vector<int>{3, 4, 5, 6, 7, 8, 9}));
        EXPECT_EQ(full, 5);

        TestClient& back = joinFrom(2, "Kept");
        EXPECT_EQ(back.slot(), 2);
        EXPECT_TRUE(back.waitFor("CMD_stats+2+200+60+"));
        EXPECT_TRUE(first.waitFor("CMD_newplayerinfo+2+Kept"));
        EXPECT_EQ(host->process().state(), QProcess::Running);
    }
}

} // namespace
} // namespace lexiflip::testing
