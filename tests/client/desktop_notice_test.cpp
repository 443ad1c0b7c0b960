// The desktop notification against a notification service of the test's own,
// on a private session bus: shown and taken away when one runs, and nothing
// sent when none does.
#include "client/window/desktop_notice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "net/net_wait.h"

namespace lexiflip::client {
namespace {

using testing::waitUntil;

const QString kService = QStringLiteral("org.freedesktop.Notifications");

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public slots:
    uint Notify(const QString& /*app*/, uint replaces, const QString& /*icon*/, const QString& summary,
                const QString& /*body*/, const QStringList& /*actions*/, const QVariantMap& hints,
                int /*timeout*/)
    {
        summaries.append(summary);
        replaced.append(replaces);
        urgent = hints.value(QStringLiteral("urgency")).toInt() == 1;
        return ++lastId;
    }
    void CloseNotification(uint id) { closed.append(id); }

public:
    QStringList summaries;
    QList<uint> replaced;
    QList<uint> closed;
    bool urgent = false;
    uint lastId = 40;
};

// A session bus of the test's own, which starts no service on demand.
class PrivateBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        ASSERT_FALSE(daemon.isEmpty()) << "dbus-daemon is missing (package dbus-daemon)";
        QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>session</type><listen>unix:dir=" +
                     m_dir.path().toUtf8() +
                     "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                     "<allow own=\"*\"/></policy></busconfig>\n");
        config.close();
        m_daemon.start(daemon, {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                                QStringLiteral("--config-file=") + config.fileName()});
        ASSERT_TRUE(waitUntil([&] { return m_daemon.canReadLine(); }, 10000)) << "the bus did not start";
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
        service.emplace(QDBusConnection::connectToBus(m_address, QStringLiteral("service")));
        ASSERT_TRUE(service->isConnected());
        ASSERT_TRUE(service->registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                            QDBusConnection::ExportAllSlots));
    }
    void TearDown() override
    {
        service.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("notice"));
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }

    QDBusConnection noticeBus() { return QDBusConnection::connectToBus(m_address, QStringLiteral("notice")); }

    FakeNotifications fake;
    std::optional<QDBusConnection> service;

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

TEST_F(PrivateBus, ARunningServiceShowsTheNoticeAndTakesItAway)
{
    ASSERT_TRUE(service->registerService(kService));
    DesktopNotice notice(noticeBus());
    QSignalSpy shown(&notice, &DesktopNotice::shown);
    notice.show(QStringLiteral("Your turn"), QStringLiteral("It is your turn in Lexiflip."));
    ASSERT_TRUE(waitUntil([&] { return shown.count() == 1; }));
    EXPECT_EQ(fake.summaries, QStringList{QStringLiteral("Your turn")});
    EXPECT_TRUE(fake.urgent);
    notice.withdraw();
    ASSERT_TRUE(waitUntil([&] { return fake.closed.size() == 1; }));
    EXPECT_EQ(fake.closed.front(), 41u);

    // Withdrawn before the service was even asked: it never hears of it.
    notice.show(QStringLiteral("Again"), QString());
    notice.withdraw();
    notice.show(QStringLiteral("Third"), QString());
    ASSERT_TRUE(waitUntil([&] { return shown.count() == 2; }));
    EXPECT_EQ(fake.summaries, (QStringList{QStringLiteral("Your turn"), QStringLiteral("Third")}));
}

TEST_F(PrivateBus, WithoutAServiceOrABusNothingIsSent)
{
    DesktopNotice notice(noticeBus());
    QSignalSpy skipped(&notice, &DesktopNotice::skipped);
    notice.show(QStringLiteral("Your turn"), QString());
    ASSERT_TRUE(waitUntil([&] { return skipped.count() == 1; }));
    EXPECT_TRUE(fake.summaries.isEmpty());

    DesktopNotice busless(std::nullopt);
    QSignalSpy none(&busless, &DesktopNotice::skipped);
    busless.show(QStringLiteral("Your turn"), QString());
    busless.withdraw();
    EXPECT_EQ(none.count(), 1);
}

} // namespace
} // namespace lexiflip::client

#include "desktop_notice_test.moc"
