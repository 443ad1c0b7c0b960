#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace lexiflip::client {

// Keeps a user to one running copy of the game (per LEXIFLIP_HOME, when set).
//
// Both files live in a folder private to the user, so that another user can
// neither plant a socket that would send our copies away, nor hear our
// "raise", nor hold the lock that would end every start: the user's runtime
// folder ($XDG_RUNTIME_DIR) when it is his and mode 0700, else a folder
// "lexiflip-<uid>" the program makes in the temporary folder, checked the same
// way. When neither may be used the program runs without the guard and says so
// on standard error, rather than use a shared folder or end silently.
//
// The first copy holds a lock file and listens on a local socket named after
// "zorbet"; a second copy finds the lock taken, connects, asks the first copy
// to come forward and is told to end. The lock decides who is first, so two
// copies started at the same moment cannot both win; the lock of a copy that
// crashed is recognised as stale (its process is gone) and taken over, and the
// socket such a copy left behind is removed before listening, so neither ever
// blocks a new start.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // name: the socket's name, placed in the private folder above unless it
    // is a path; default serverName().
    explicit SingleInstance(QString name = serverName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first copy, which now listens for later ones.
    // False when another copy runs: it has been asked to come forward (and
    // to join inviteLink, when one is given), and this copy should end at
    // once with status 0.
    bool claim(const QString& inviteLink = {});

    // "zorbet-<uid>", plus "-" and a digest of LEXIFLIP_HOME when that is set.
    static QString serverName();

    // Where the socket lives; the lock file is beside it, with ".lock" added.
    // Empty when no private folder could be had.
    const QString& socketPath() const { return m_path; }

    // The folder for the socket and the lock, or an empty folder and why.
    struct Folder {
        QString path;
        QString problem;
    };
    static Folder privateFolder();

signals:
    // A later copy asked this one to bring its main window forward.
    void activationRequested();
    // A later copy was started with an invite link (not checked here): the
    // player asked to join it. Comes after activationRequested.
    void inviteReceived(const QString& link);

private:
    bool askFirstCopy();
    bool listen();
    void onNewConnection();

    QString m_path;
    QString m_problem; // why there is no m_path
    QString m_inviteLink;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};

// Brings a window forward: restores it when minimised, raises and activates it.
void bringToFront(QWidget& window);

} // namespace lexiflip::client
