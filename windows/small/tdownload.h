#pragma once

// The lobby download window, shown over a solo game as it starts. It offers
// to fetch the Halvo Lobby's installer, to go on playing solo, or to switch to
// the lobby when it is already installed. Everything here runs from events:
// the transfer, the progress texts and the message boxes never hold up the
// game behind the window.
//
// The installer is a program for Windows that arrives over plain, unchecked
// HTTP: whatever answers for the lobby server's address decides what it holds.
// So it is only saved: never marked executable, never started. The window says
// where it is and opens its folder in the desktop's file manager.

#include <QFile>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QNetworkReply;
class QPushButton;

namespace lexiflip::windows {

// Starts a program without waiting for it; false when it could not start.
using ProcessStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
bool startDetachedProcess(const QString& program, const QStringList& arguments);
// Shows a folder (a file URL) in the desktop's file manager; false when it could not.
using FolderOpener = std::function<bool(const QUrl& folder)>;
bool openFolderOnDesktop(const QUrl& folder);

// The installer's address on the lobby server, host[:port]; an empty URL when
// the server text does not name a host.
QUrl lobbyInstallerUrl(const QString& server);
// The server named by the environment variable LEXIFLIP_LOBBY_SERVER, if any.
QString lobbyServerFromEnvironment();
// LEXIFLIP_HOME when it is set; otherwise beside the program when that
// directory is writable; either only when it is the user's own and nobody else
// may write into it. Else the user's data directory.
QString defaultDownloadDirectory();
// The installed lobby program: halvolobby on the PATH, empty when there is none.
QString findLobbyProgram();

class Tdownload : public QWidget {
    Q_OBJECT

public:
    static inline const QString kInstallerPath = QStringLiteral("/lobby/hvlsetup.exe");
    static inline const QByteArray kUserAgent = "Mozilla/3.0 (compatible)";
    static inline const QByteArray kAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    // A transfer that brings nothing for this long ends as an error.
    static constexpr int kStallMs = 30000;

    explicit Tdownload(QWidget* parent = nullptr);

    // Where the installer comes from (host[:port]); empty means no server is
    // known, and a download then ends at once in "Download Aborted".
    void setLobbyServer(const QString& server) { m_server = server; }
    // The settings file's LobbyServer value: used unless LEXIFLIP_LOBBY_SERVER,
    // which the window reads when it is created, names a server.
    void setLobbyServerFromSettings(const QString& server);
    QString lobbyServer() const { return m_server; }
    void setDownloadDirectory(const QString& directory) { m_directory = directory; }
    // Starts the installed lobby ("Play with Others"); nothing downloaded is ever started.
    void setProcessStarter(ProcessStarter starter) { m_starter = std::move(starter); }
    void setFolderOpener(FolderOpener opener) { m_openFolder = std::move(opener); }
    void setLobbyFinder(std::function<QString()> finder) { m_findLobby = std::move(finder); }

    bool downloading() const { return !m_reply.isNull(); }
    // The installer's file: the download directory and the address's last segment.
    QString installerFile() const;

    // The buttons.
    void getbuttonClick();   // "Download And Install The Halvo Lobby Now"
    void abortbuttonClick(); // "Stop Download"
    void Button1Click();     // "Play Solo Game"
    void Button2Click();     // "Play with Others"

signals:
    // The game should close through the main window's "Exit": the installed
    // lobby has started.
    void exitRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QFrame* buildDownloadPanel();
    QFrame* buildSoloPanel();
    QFrame* buildOthersPanel();

    // The HTTP client's events.
    void HttpCli1HeaderData();
    void HttpCli1DocBegin();
    void HttpCli1DocData();
    void onFinished();

    void fail();
    void finish();
    bool writeBody();
    void showMessage(const QString& text);

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QFile m_file;
    QString m_server;
    QString m_directory;
    ProcessStarter m_starter = startDetachedProcess;
    FolderOpener m_openFolder = openFolderOnDesktop;
    std::function<QString()> m_findLobby = findLobbyProgram;
    bool m_aborted = false;
    bool m_docBegun = false;
    qint64 m_received = 0;

    QPushButton* m_getbutton;
    QPushButton* m_abortbutton;
    QLabel* m_infolabel;
    QLabel* m_infolabel3;
};

} // namespace lexiflip::windows
