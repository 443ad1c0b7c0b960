#include "client/window/desktop_notice.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QVariantMap>

namespace lexiflip::client {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// The session bus, unless reaching it would mean starting one: libdbus
// falls back to launching a bus of its own when it finds none.
std::optional<QDBusConnection> sessionBusIfRunning()
{
    const bool addressGiven = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const bool userBus =
        !runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("bus")));
    if (!addressGiven && !userBus)
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

// Runs then with the reply of call once it comes, on this thread.
template <class Then> void whenAnswered(const QDBusPendingCall& call, QObject* context, Then then)
{
    auto* watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, then](QDBusPendingCallWatcher*) {
                         then(*watcher);
                         watcher->deleteLater();
                     });
}

} // namespace

DesktopNotice::DesktopNotice(QObject* parent) : DesktopNotice(sessionBusIfRunning(), parent) {}

DesktopNotice::DesktopNotice(std::optional<QDBusConnection> bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus))
{
}

DesktopNotice::~DesktopNotice() = default;

void DesktopNotice::show(const QString& summary, const QString& body)
{
    const unsigned request = ++m_request;
    if (!m_bus) {
        emit skipped();
        return;
    }
    // Is the service running now? Asking the bus this way never starts it.
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << kService;
    whenAnswered(m_bus->asyncCall(ask), this,
                 [this, summary, body, request](QDBusPendingCallWatcher& answer) {
                     const QDBusPendingReply<bool> running = answer;
                     if (request != m_request)
                         return;
                     if (running.isError() || !running.value()) {
                         emit skipped();
                         return;
                     }
                     notify(summary, body, request);
                 });
}

void DesktopNotice::notify(const QString& summary, const QString& body, unsigned request)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}};
    call << QStringLiteral("Lexiflip") << m_id << QStringLiteral("lexiflip") << summary << body
         << QStringList() << hints << -1;
    whenAnswered(m_bus->asyncCall(call), this, [this, request](QDBusPendingCallWatcher& answer) {
        const QDBusPendingReply<uint> id = answer;
        if (id.isError())
            return;
        if (request != m_request) {
            close(id.value());
            return;
        }
        m_id = id.value();
        emit shown(m_id);
    });
}

void DesktopNotice::withdraw()
{
    ++m_request;
    if (m_id != 0)
        close(m_id);
    m_id = 0;
}

void DesktopNotice::close(uint id)
{
    if (!m_bus)
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("CloseNotification"));
    call << id;
    m_bus->asyncCall(call);
}

} // namespace lexiflip::client
