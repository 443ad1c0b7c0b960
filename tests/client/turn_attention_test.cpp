// The call when the own turn starts in a window the player is not looking at:
// the title, and its end when he comes back or the turn passes.
#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "client/game/client_game.h"
#include "client/window/game_window.h"
#include "client/window/tchat.h"
#include "client/window/turn_attention.h"
#include "net/net_wait.h"

namespace lexiflip::client {
namespace {

using testing::waitUntil;

// The window logged in as seat 3 of a host the test speaks for, and another
// window of this program to be active instead of it.
struct CalledWindow : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
        window.window().show();
        window.joinpress("127.0.0.1", host.serverPort());
        ASSERT_TRUE(waitUntil([&] { return host.hasPendingConnections(); }));
        peer = host.nextPendingConnection();
        send("CMD_sendlogininfo+3+");
        send("CMD_newplayerinfo+3+Ann");
        other.resize(100, 100);
        other.setObjectName(QStringLiteral("other"));
    }

    void send(const char* message) { peer->write(QByteArray(message) + '\xFF'); }
    // The next turn is seat's, once the window has taken it in.
    void turnTo(int seat)
    {
        send(QByteArray("CMD_nextplayer+" + QByteArray::number(seat) + "+").constData());
        ASSERT_TRUE(waitUntil([&] { return window.game().turn().turnowner() == seat; }));
    }
    static bool activate(QWidget& widget)
    {
        widget.show();
        widget.activateWindow();
        return waitUntil([&] { return widget.isActiveWindow(); });
    }
    // Another program takes the focus: no window of ours is active.
    bool goAway()
    {
        if (!activate(other))
            return false;
        other.hide();
        return waitUntil([] { return QApplication::activeWindow() == nullptr; });
    }
    QString title() { return window.window().windowTitle(); }

    QTcpServer host;
    GameWindow window{1};
    QTcpSocket* peer = nullptr;
    QWidget other;
};

TEST_F(CalledWindow, TheTitleCallsUntilTheWindowIsActivatedOrTheTurnPasses)
{
    ASSERT_TRUE(goAway());
    turnTo(3);
    EXPECT_EQ(title(), TurnAttention::callingTitle());
    ASSERT_TRUE(activate(window.window()));
    EXPECT_EQ(title(), QStringLiteral("Lexiflip")) << "the player came back";

    ASSERT_TRUE(goAway());
    turnTo(1);
    turnTo(3);
    EXPECT_EQ(title(), TurnAttention::callingTitle());
    turnTo(1);
    EXPECT_EQ(title(), QStringLiteral("Lexiflip")) << "the turn passed";
    turnTo(4);
    EXPECT_EQ(title(), QStringLiteral("Lexiflip")) << "another player's turn calls nobody";
}

// The game window or another of ours (the options dialog a game was just
// started from) in front: the player is here.
TEST_F(CalledWindow, ATurnThatStartsWhileAWindowOfOursIsActiveCallsNobody)
{
    for (QWidget* front : {static_cast<QWidget*>(&window.window()), &other}) {
        ASSERT_TRUE(activate(*front));
        turnTo(1);
        turnTo(3);
        EXPECT_TRUE(window.game().turn().ownTurn());
        EXPECT_EQ(title(), QStringLiteral("Lexiflip")) << front->objectName().toStdString();
    }
}

// The call asks the desktop for attention for the length of the turn, in
// milliseconds: any length a host may have sent is called without a fault.
TEST_F(CalledWindow, ATurnOfAnyLengthCalls)
{
    ASSERT_TRUE(goAway());
    DesktopNotice noBus(std::nullopt);
    QWidget alone;
    alone.setWindowTitle(QStringLiteral("Lexiflip"));
    TurnAttention attention(alone, noBus);
    for (const int seconds : {0, -5, INT_MIN, 45, 120, 2147484, INT_MAX}) {
        attention.setOwnTurn(true, seconds);
        EXPECT_TRUE(attention.calling()) << seconds;
        EXPECT_EQ(alone.windowTitle(), TurnAttention::callingTitle()) << seconds;
        attention.setOwnTurn(false, seconds);
        EXPECT_EQ(alone.windowTitle(), QStringLiteral("Lexiflip")) << seconds;
    }
}

} // namespace
} // namespace lexiflip::client
