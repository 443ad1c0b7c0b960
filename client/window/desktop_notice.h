#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace lexiflip::client {

// One desktop notification of ours at a time, through the freedesktop
// notification service (org.freedesktop.Notifications) on the session bus,
// and only while such a service runs there: without a session bus, or with
// none on it, nothing at all happens (a service the bus could start on
// demand is not started for us). Every call is asynchronous, so a slow bus
// never stops the window.
class DesktopNotice : public QObject {
    Q_OBJECT

public:
    // The session bus, when one is there to reach without starting one.
    explicit DesktopNotice(QObject* parent = nullptr);
    // For tests: that bus, or none.
    DesktopNotice(std::optional<QDBusConnection> bus, QObject* parent = nullptr);
    ~DesktopNotice() override;

    // Shows the notice, in place of the one shown before.
    void show(const QString& summary, const QString& body);
    // Takes the notice away (also one still on its way).
    void withdraw();

signals:
    // The service showed the notice under id.
    void shown(uint id);
    // No service to show it: nothing was sent.
    void skipped();

private:
    void notify(const QString& summary, const QString& body, unsigned request);
    void close(uint id);

    std::optional<QDBusConnection> m_bus;
    // The notice on show, 0 for none.
    uint m_id = 0;
    // Counts the calls of show() and withdraw(): an answer to an older call
    // than the last is out of date, and a notice it brings is closed.
    unsigned m_request = 0;
};

} // namespace lexiflip::client
