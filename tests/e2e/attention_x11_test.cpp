// The call when the own turn comes to a game window that is not active, on a
// real X server (Xvfb): the window's title and its urgency hint as the X
// tools read them, until the window is focused or the turn passes.
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "net/net_wait.h"

namespace lexiflip::testing {
namespace {

// An X server of the test's own, on the display number it picks itself.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1024x768x24")});
        if (waitUntil([&] { return m_server.canReadLine(); }, 15000))
            m_name = QStringLiteral(":") + QString::fromLatin1(m_server.readLine().trimmed());
    }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    // ":N", empty when the server did not start.
    const QString& name() const { return m_name; }

    // What an X tool prints on this display.
    QString run(const QString& tool, const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_name);
        process.setProcessEnvironment(environment);
        process.start(tool, arguments);
        process.waitForFinished(10000);
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }
    // The one shown window whose title is exactly title, empty for none.
    QString window(const QString& title) const
    {
        return run(QStringLiteral("xdotool"),
                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                    QStringLiteral("^") + title + QStringLiteral("$")})
            .trimmed();
    }
    QString property(const QString& window, const char* name) const
    {
        return run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QString::fromLatin1(name)});
    }
    void focus(const QString& window) const
    {
        run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    }

private:
    QProcess m_server;
    QString m_name;
};

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
    VirtualDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";

    QTcpServer host;
    ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
    Home home;
    QProcess game;
    game.setProcessEnvironment(windowEnvironment(host.serverPort(), home.path(),
                                                 {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")},
                                                  {QStringLiteral("DISPLAY"), display.name()}}));
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
    QProcessEnvironment otherEnvironment = QProcessEnvironment::systemEnvironment();
    otherEnvironment.insert(QStringLiteral("DISPLAY"), display.name());
    other.setProcessEnvironment(otherEnvironment);
    other.start(QStringLiteral("xmessage"),
                {QStringLiteral("-title"), QStringLiteral("elsewhere"), QStringLiteral("-geometry"),
                 QStringLiteral("+600+500"), QStringLiteral("another window")});
    QString elsewhere;
    ASSERT_TRUE(waitUntil(
        [&] { return !(elsewhere = display.window(QStringLiteral("elsewhere"))).isEmpty(); }, 10000));

    auto title = [&] { return display.property(window, "WM_NAME"); };
    auto hints = [&] { return display.property(window, "WM_HINTS"); };
    const QString calling = QStringLiteral("\"Your turn - Lexiflip\"");
    const QString plain = QStringLiteral("\"Lexiflip\"");

    // The turn comes while another window has the focus.
    display.focus(elsewhere);
    send("CMD_nextplayer+3+");
    EXPECT_TRUE(waitUntil([&] { return title().contains(calling); }, 10000)) << title().toStdString();
    EXPECT_TRUE(waitUntil([&] { return urgent(hints()); }, 10000)) << hints().toStdString();

    // The player comes back: both go.
    display.focus(window);
    EXPECT_TRUE(waitUntil([&] { return title().contains(plain); }, 10000)) << title().toStdString();
    EXPECT_TRUE(waitUntil([&] { return !urgent(hints()); }, 10000)) << hints().toStdString();

    // A turn that passes unseen takes both with it. The window counts as
    // inactive a moment after the focus left it (Qt waits for a focus that
    // may come back): until it does, a turn that starts calls nobody.
    display.focus(elsewhere);
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
