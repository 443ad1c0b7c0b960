// The call when the own turn comes to a game window that is not active, on a
// real X server (Xvfb): the window's title and its urgency hint as the X
// tools read them, until the window is focused or the turn passes.
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "e2e/x_display.h"
#include "net/net_wait.h"

namespace lexiflip::testing {
namespace {

// xprop's reading of WM_HINTS.
bool urgent(const QString& hints)
{
    return hints.contains(QStringLiteral("urgency hint bit is set"));
}

TEST(TurnAttentionOnX11, TheTitleAndUrgencyHintCallUntilTheWindowIsFocusedOrTheTurnPasses)
{
    for (const char* tool : {"Xvfb", "xdotool", "xprop", "xmessage"})
        ASSERT_FALSE(QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            << tool << " is missing (packages xvfb, xdotool, x11-utils)";
    XDisplay display;
    ASSERT_TRUE(display.up()) << "Xvfb did not start";

    QTcpServer host;
    ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
    Home home;
    QProcess game;
    game.setProcessEnvironment(display.environment(windowEnvironment(host.serverPort(), home.path())));
    game.start(binaryDir() + QStringLiteral("/app/lexiflip"),
               {QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("join")});
    ASSERT_TRUE(waitUntil([&] { return host.hasPendingConnections(); }, 20000));
    QTcpSocket* peer = host.nextPendingConnection();
    auto send = [peer](const QByteArray& message) { peer->write(message + '\xFF'); };
    send("CMD_sendlogininfo+3+");
    send("CMD_newplayerinfo+3+Ann");

    QString window;
    ASSERT_TRUE(
        waitUntil([&] { return !(window = display.window(QStringLiteral("Lexiflip"))).isEmpty(); }, 20000));
    QProcess other;
    other.setProcessEnvironment(display.environment(QProcessEnvironment::systemEnvironment()));
    other.start(QStringLiteral("xmessage"),
                {QStringLiteral("-title"), QStringLiteral("elsewhere"), QStringLiteral("-geometry"),
                 QStringLiteral("+600+500"), QStringLiteral("another window")});
    QString elsewhere;
    ASSERT_TRUE(waitUntil(
        [&] { return !(elsewhere = display.window(QStringLiteral("elsewhere"))).isEmpty(); }, 10000));

    auto title = [&] {
        return display.output(QStringLiteral("xprop"), {QStringLiteral("-id"), window, "WM_NAME"});
    };
    auto hints = [&] {
        return display.output(QStringLiteral("xprop"), {QStringLiteral("-id"), window, "WM_HINTS"});
    };
    auto focus = [&](const QString& id) {
        display.xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
    };
    const QString calling = QStringLiteral("\"Your turn - Lexiflip\"");
    const QString plain = QStringLiteral("\"Lexiflip\"");

    // The turn comes while another window has the focus.
    focus(elsewhere);
    send("CMD_nextplayer+3+");
    EXPECT_TRUE(waitUntil([&] { return title().contains(calling); }, 10000)) << title().toStdString();
    EXPECT_TRUE(waitUntil([&] { return urgent(hints()); }, 10000)) << hints().toStdString();

    // The player comes back: both go.
    focus(window);
    EXPECT_TRUE(waitUntil([&] { return title().contains(plain); }, 10000)) << title().toStdString();
    EXPECT_TRUE(waitUntil([&] { return !urgent(hints()); }, 10000)) << hints().toStdString();

    // A turn that passes unseen takes both with it. The window counts as
    // inactive a moment after the focus left it (Qt waits for a focus that
    // may come back): until it does, a turn that starts calls nobody.
    focus(elsewhere);
    EXPECT_TRUE(waitUntil(
        [&] {
            send("CMD_nextplayer+1+");
            send("CMD_nextplayer+3+");
            return waitUntil([&] { return title().contains(calling); }, 200);
        },
        10000))
        << title().toStdString();
    EXPECT_TRUE(urgent(hints())) << hints().toStdString();
    send("CMD_nextplayer+1+");
    EXPECT_TRUE(waitUntil([&] { return title().contains(plain); }, 10000)) << title().toStdString();
    EXPECT_FALSE(urgent(hints())) << hints().toStdString();

    other.kill();
    other.waitForFinished(5000);
    game.terminate();
    EXPECT_TRUE(game.waitForFinished(10000));
}

} // namespace
} // namespace lexiflip::testing
