#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <csignal>

namespace lexiflip::testing {

// A session bus of its own, started with dbus-launch and ended by its pid, so
// that the accessibility bus it brings up ends with it.
class PrivateBus {
public:
    explicit PrivateBus(const QProcessEnvironment& environment)
    {
        QProcess launch;
        launch.setProcessEnvironment(environment);
        launch.start(QStringLiteral("dbus-launch"), {});
        if (!launch.waitForFinished(10000))
            return;
        for (const QByteArray& line : launch.readAllStandardOutput().split('\n')) {
            if (line.startsWith("DBUS_SESSION_BUS_ADDRESS="))
                m_address = QString::fromUtf8(line.mid(int(sizeof("DBUS_SESSION_BUS_ADDRESS=")) - 1));
            if (line.startsWith("DBUS_SESSION_BUS_PID="))
                m_pid = line.mid(int(sizeof("DBUS_SESSION_BUS_PID=")) - 1).toLongLong();
        }
    }
    ~PrivateBus()
    {
        if (m_pid > 0)
            ::kill(static_cast<pid_t>(m_pid), SIGTERM);
    }
    bool up() const { return m_pid > 0 && !m_address.isEmpty(); }
    const QString& address() const { return m_address; }

private:
    QString m_address;
    qint64 m_pid = 0;
};

} // namespace lexiflip::testing
