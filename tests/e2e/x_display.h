#pragma once

// A private X server for tests that act as a person at the keyboard: Xvfb on
// a display number it picks itself, and xdotool's key presses sent to it
// through the real X input path (XTEST), never a pointer event.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "net/net_wait.h"

namespace lexiflip::testing {

class XDisplay {
public:
    XDisplay()
    {
        // -displayfd 1: the server writes the display number it took to its
        // standard output once it accepts clients.
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
        if (!m_server.waitForStarted(5000))
            return;
        QByteArray number;
        waitUntil(
            [&] {
                m_server.waitForReadyRead(100);
                number += m_server.readAllStandardOutput();
                return number.contains('\n');
            },
            10000);
        if (number.contains('\n'))
            m_name = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    }
    ~XDisplay()
    {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(2000);
    }

    bool up() const { return !m_name.isEmpty(); }
    const QString& name() const { return m_name; }

    // The environment of a program shown on this display.
    QProcessEnvironment environment(QProcessEnvironment base) const
    {
        base.insert(QStringLiteral("DISPLAY"), m_name);
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return base;
    }

    // What an X tool (xprop, xdotool) prints on this display.
    QString output(const QString& tool, const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        process.start(tool, arguments);
        process.waitForFinished(15000);
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }
    // The visible window of this exact title, empty when there is none.
    QString window(const QString& title) const
    {
        return output(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                       QStringLiteral("^") + title + QStringLiteral("$")})
            .trimmed();
    }
    // Runs xdotool with these arguments; true when it succeeded.
    bool xdotool(const QStringList& arguments) const
    {
        QProcess tool;
        tool.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        tool.start(QStringLiteral("xdotool"), arguments);
        return tool.waitForFinished(15000) && tool.exitStatus() == QProcess::NormalExit &&
               tool.exitCode() == 0;
    }
    // Presses keys (X key names: "Right", "space", "alt+f", "e") one after another.
    bool keys(const QStringList& names) const
    {
        if (names.isEmpty())
            return true;
        return xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("15")} +
                       names);
    }
    // Gives the keyboard to the visible window of this exact title, as a
    // window manager does when the player picks a window (this server has none).
    bool focusWindow(const QString& title) const
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--name"), QStringLiteral("^") + title + QStringLiteral("$"),
                        QStringLiteral("windowfocus"), QStringLiteral("--sync"), QStringLiteral("%1")});
    }

private:
    QProcess m_server;
    QString m_name;
};

} // namespace lexiflip::testing
