#include "client/shell/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QFile>
#include <QThread>
#include <QWidget>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "fileio/file_rules.h"

namespace lexiflip::client {
namespace {

// What a later copy says: "raise", or "join" and an invite link it was
// given; anything else on the socket is ignored.
constexpr char kRaise[] = "raise\n";
constexpr char kJoin[] = "join ";
// A line longer than any invite link.
constexpr qint64 kMaxLine = 512;
constexpr int kTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent)
{
    if (name.contains(QLatin1Char('/'))) {
        m_path = name;
    } else {
        const Folder folder = privateFolder();
        m_problem = folder.problem;
        if (!folder.path.isEmpty())
            m_path = QDir(folder.path).filePath(name);
    }
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName()
{
    QString name = QStringLiteral("zorbet-%1").arg(::getuid());
    const QString home = qEnvironmentVariable("LEXIFLIP_HOME");
    if (!home.isEmpty()) {
        const QByteArray digest =
            QCryptographicHash::hash(QDir(home).absolutePath().toUtf8(), QCryptographicHash::Sha1);
        name += QLatin1Char('-') + QString::fromLatin1(digest.toHex().left(12));
    }
    return name;
}

SingleInstance::Folder SingleInstance::privateFolder()
{
    const auto check = [](const QString& folder, bool create) {
        const std::filesystem::path path(QFile::encodeName(folder).toStdString());
        const fileio::FolderUse use = fileio::FolderUse::Private;
        return QString::fromStdString(create ? fileio::makeFolder(path, use) : fileio::folderProblem(path, use));
    };
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && check(runtime, false).isEmpty())
        return {runtime, {}};
    // Not Qt's own fallback, which, when another user made its folder first,
    // leaves the socket in the shared temporary folder and the lock in the
    // working folder: ours is checked, and when taken there is no guard.
    const QString own = QDir(QDir::tempPath()).filePath(QStringLiteral("lexiflip-%1").arg(::geteuid()));
    const QString problem = check(own, true);
    if (problem.isEmpty())
        return {own, {}};
    return {{}, own + QStringLiteral(": ") + problem};
}

bool SingleInstance::claim(const QString& inviteLink)
{
    m_inviteLink = inviteLink;
    if (m_path.isEmpty()) {
        // Rather a second copy than no game at all.
        std::fprintf(stderr, "Lexiflip: runs without the one-copy guard: no private folder for it (%s)\n",
                     m_problem.toLocal8Bit().constData());
        return true;
    }
    m_lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
    // Only a dead owner makes a lock stale, never its age: a first copy may
    // run for days.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return listen();
    m_lock.reset();
    if (askFirstCopy())
        return false;
    // The lock's owner lives but does not answer (it may be starting, or
    // stuck): rather start than refuse the player a game.
    return listen();
}

bool SingleInstance::askFirstCopy()
{
    // The first copy takes the lock a moment before it listens; allow for
    // a copy caught in between.
    for (int attempt = 0; attempt < 10; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(m_path);
        if (socket.waitForConnected(kTimeoutMs)) {
            // Line breaks would end the line early: a link holds none.
            const QByteArray message = m_inviteLink.isEmpty() || m_inviteLink.contains(QLatin1Char('\n'))
                                           ? QByteArray(kRaise)
                                           : kJoin + m_inviteLink.toUtf8().left(kMaxLine - 8) + '\n';
            socket.write(message);
            const bool sent = socket.waitForBytesWritten(kTimeoutMs);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(20);
    }
    return false;
}

bool SingleInstance::listen()
{
    // Whatever socket is left under this name belongs to no live copy: we
    // hold the lock, or nobody answered on it.
    QLocalServer::removeServer(m_path);
    m_server.listen(m_path);
    return true;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // The message is one short line; a partial one waits for its remainder.
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxLine)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kMaxLine + 1);
            if (line == kRaise) {
                emit activationRequested();
            } else if (line.startsWith(kJoin) && line.endsWith('\n')) {
                emit activationRequested();
                emit inviteReceived(QString::fromUtf8(line.mid(qsizetype(sizeof kJoin - 1)).chopped(1)));
            }
            socket->disconnectFromServer();
        });
    }
}

void bringToFront(QWidget& window)
{
    if (window.isMinimized())
        window.showNormal();
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace lexiflip::client
