// The lobby download window against a small HTTP server on 127.0.0.1 that
// the test drives step by step: the request, the progress texts, a complete
// file that is saved and never run, and every way a transfer can end without
// an installer.

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "windows/small/tdownload.h"

namespace lexiflip::windows {
namespace {

constexpr int kWaitMs = 10000;

// Accepts one connection, keeps its request head, and sends what the test
// tells it to, when the test tells it to.
class LobbyServer : public QObject {
public:
    LobbyServer()
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_peer = m_server.nextPendingConnection();
            connect(m_peer, &QTcpSocket::readyRead, this, [this] { m_request += m_peer->readAll(); });
        });
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    bool waitForRequest()
    {
        return QTest::qWaitFor([this] { return m_request.contains("\r\n\r\n"); }, kWaitMs);
    }
    QByteArray request() const { return m_request; }
    void send(const QByteArray& bytes)
    {
        m_peer->write(bytes);
        m_peer->flush();
    }
    void cut() { m_peer->abort(); }
    void close() { m_peer->disconnectFromHost(); }

private:
    QTcpServer m_server;
    QTcpSocket* m_peer = nullptr;
    QByteArray m_request;
};

QByteArray head(const QByteArray& status, qint64 length)
{
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: application/octet-stream\r\nContent-Length: " + QByteArray::number(length) +
           "\r\nConnection: close\r\n\r\n";
}

struct Start {
    QString program;
    QStringList arguments;
};

class DownloadWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(directory.isValid());
        window.setDownloadDirectory(directory.path());
        window.setLobbyServer(server.address());
        window.setProcessStarter([this](const QString& program, const QStringList& arguments) {
            starts.push_back({program, arguments});
            return reallyStart ? startDetachedProcess(program, arguments) : true;
        });
        window.setFolderOpener([this](const QUrl& folder) {
            openedFolders.push_back(folder);
            return true;
        });
        window.show();
    }

    QString text(const char* name) { return window.findChild<QLabel*>(name)->text(); }
    QAbstractButton* button(const char* name) { return window.findChild<QAbstractButton*>(name); }
    bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, kWaitMs); }
    bool finished()
    {
        return waitFor([this] { return !window.downloading(); });
    }
    QStringList messages()
    {
        QStringList texts;
        for (const QMessageBox* box : window.findChildren<QMessageBox*>())
            texts << box->text();
        return texts;
    }
    void expectAbortedAndNothingStarted()
    {
        EXPECT_EQ(text("infolabel"), "Download Aborted");
        EXPECT_TRUE(button("getbutton")->isEnabled());
        EXPECT_FALSE(button("abortbutton")->isEnabled());
        EXPECT_TRUE(starts.empty());
        EXPECT_EQ(exits.count(), 0);
    }

    QTemporaryDir directory;
    LobbyServer server;
    // The game window the download window belongs to, as in the program.
    QWidget game;
    QPushButton* gameButton = new QPushButton(QStringLiteral("flip"), &game);
    Tdownload window{&game};
    QSignalSpy exits{&window, &Tdownload::exitRequested};
    std::vector<Start> starts;
    std::vector<QUrl> openedFolders;
    // Whether a start goes beyond the record, so that a script that were run
    // would leave its mark.
    bool reallyStart = false;
};

// Whatever answers for the lobby server decides what the file holds: here a
// shell script that would leave a mark beside itself if it ever ran.
TEST_F(DownloadWindow, FetchesTheInstallerReportingEachStepSavesItAndRunsNothing)
{
    EXPECT_EQ(window.windowTitle(), "Download The Halvo Lobby");
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(button("abortbutton")->isEnabled());

    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    EXPECT_FALSE(button("getbutton")->isEnabled());
    EXPECT_TRUE(button("abortbutton")->isEnabled());
    ASSERT_TRUE(server.waitForRequest());
    const QByteArray request = server.request();
    EXPECT_TRUE(request.startsWith("GET /lobby/hvlsetup.exe HTTP/1.1\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"))
        << request.toStdString();

    reallyStart = true;
    const QString marker = QDir(directory.path()).filePath("ran");
    const QByteArray script = "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n";
    const QByteArray body = script + QByteArray(1000 - script.size(), '#');
    server.send(head("200 OK", body.size())); // three header lines, three dots
    ASSERT_TRUE(waitFor([&] { return text("infolabel3") == "Downloading: hvlsetup.exe"; }));
    EXPECT_EQ(text("infolabel"), "Loading...");
    server.send(body.left(600));
    ASSERT_TRUE(waitFor([&] { return text("infolabel") == "600 bytes"; }));
    server.send(body.mid(600));
    server.close();
    ASSERT_TRUE(finished());

    EXPECT_EQ(text("infolabel"), "Received 1000 bytes");
    EXPECT_EQ(text("infolabel3"), "Saved: hvlsetup.exe");
    QFile file(window.installerFile());
    EXPECT_EQ(QFileInfo(file).dir().path(), directory.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), body);
    EXPECT_FALSE(file.permissions() & (QFileDevice::ExeOwner | QFileDevice::ExeUser | QFileDevice::ExeGroup |
                                       QFileDevice::ExeOther));
    EXPECT_TRUE(starts.empty());
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(openedFolders, std::vector<QUrl>({QUrl::fromLocalFile(directory.path())}));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains("installer for Windows")) << messages()[0].toStdString();
    EXPECT_TRUE(messages()[0].contains(window.installerFile())) << messages()[0].toStdString();
    EXPECT_EQ(exits.count(), 0) << "the game goes on";
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(button("getbutton")->isEnabled());

    // With the box still open, the game window takes the player's clicks
    // (sent to its window, as the pointer's are, where modality applies).
    game.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&game));
    QSignalSpy played(gameButton, &QPushButton::clicked);
    QTest::mouseClick(game.windowHandle(), Qt::LeftButton, {}, gameButton->geometry().center());
    EXPECT_EQ(played.count(), 1) << "the box must not block the game window";
    EXPECT_EQ(messages().size(), 1);
}

// A file an older copy marked executable loses the mark when it is fetched again.
TEST_F(DownloadWindow, AnExecutableLeftFromBeforeIsRewrittenWithoutItsExecuteBits)
{
    QFile old(window.installerFile());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    ASSERT_TRUE(old.setPermissions(old.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup));
    window.getbuttonClick();
    ASSERT_TRUE(server.waitForRequest());
    server.send(head("200 OK", 4) + "MZ!!");
    server.close();
    ASSERT_TRUE(finished());
    EXPECT_FALSE(QFile(window.installerFile()).permissions() & (QFileDevice::ExeOwner | QFileDevice::ExeGroup));
    EXPECT_TRUE(starts.empty());
}

TEST_F(DownloadWindow, StopDownloadMidTransferStartsNothing)
{
    window.getbuttonClick();
    ASSERT_TRUE(server.waitForRequest());
    server.send(head("200 OK", 100000) + QByteArray(1000, 'M'));
    ASSERT_TRUE(waitFor([&] { return text("infolabel") == "1000 bytes"; }));

    QTest::mouseClick(button("abortbutton"), Qt::LeftButton);
    ASSERT_TRUE(finished());
    EXPECT_EQ(text("infolabel"), "Download has been aborted.");
    EXPECT_EQ(text("infolabel3"), "Download Aborted");
    EXPECT_TRUE(button("getbutton")->isEnabled());
    EXPECT_FALSE(button("abortbutton")->isEnabled());
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(exits.count(), 0);
}

// Each way a transfer fails ends in "Download Aborted" with nothing started.
TEST_F(DownloadWindow, AnErrorStatusEndsInDownloadAborted)
{
    window.getbuttonClick();
    ASSERT_TRUE(server.waitForRequest());
    server.send(head("404 Not Found", 9) + "not found");
    server.close();
    ASSERT_TRUE(finished());
    expectAbortedAndNothingStarted();
}

TEST_F(DownloadWindow, AConnectionCutMidBodyEndsInDownloadAborted)
{
    window.getbuttonClick();
    ASSERT_TRUE(server.waitForRequest());
    server.send(head("200 OK", 5000) + QByteArray(1000, 'M'));
    ASSERT_TRUE(waitFor([&] { return text("infolabel") == "1000 bytes"; }));
    server.cut();
    ASSERT_TRUE(finished());
    expectAbortedAndNothingStarted();
}

TEST_F(DownloadWindow, ARefusedConnectionEndsInDownloadAborted)
{
    QString refused;
    {
        QTcpServer closed; // a port that was free a moment ago and is closed again
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
        refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    }
    window.setLobbyServer(refused);
    window.getbuttonClick();
    ASSERT_TRUE(finished());
    expectAbortedAndNothingStarted();
}

TEST_F(DownloadWindow, NoServerEndsAtOnceInDownloadAborted)
{
    for (const QString& server : {QString(), QStringLiteral("   "), QStringLiteral("host/path")}) {
        window.setLobbyServer(server);
        window.getbuttonClick();
        EXPECT_FALSE(window.downloading());
        expectAbortedAndNothingStarted();
    }
}

TEST_F(DownloadWindow, PlayWithOthersStartsAnInstalledLobbyOrExplains)
{
    window.setLobbyFinder([] { return QString(); });
    QTest::mouseClick(button("Button2"), Qt::LeftButton);
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(exits.count(), 0);
    EXPECT_EQ(messages(),
              QStringList({"Please close the game and open the Halvo Lobby using the icon on your "
                           "desktop or using the your Window's start-up menu."}));

    window.setLobbyFinder([] { return QStringLiteral("/opt/halvo/halvolobby"); });
    QTest::mouseClick(button("Button2"), Qt::LeftButton);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, "/opt/halvo/halvolobby");
    EXPECT_EQ(exits.count(), 1);

    QTest::mouseClick(button("Button1"), Qt::LeftButton); // Play Solo Game
    EXPECT_FALSE(window.isVisible());
}

// The installer is saved in LEXIFLIP_HOME only when nobody else may write into
// it: otherwise a link planted under the installer's name there would make the
// download overwrite whatever file of the player's it points to.
TEST(DownloadFolder, IsLexiflipHomeOnlyWhenNobodyElseMayWriteIntoIt)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const struct {
        QFile::Permissions rights;
        bool used;
    } cases[] = {
        {QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner, true},
        {QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther, true},
        {QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::WriteGroup | QFile::ExeGroup, false},
        {QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::WriteOther | QFile::ExeOther, false},
    };
    const QByteArray saved = qgetenv("LEXIFLIP_HOME");
    for (const auto& c : cases) {
        QTemporaryDir home;
        ASSERT_TRUE(QFile::setPermissions(home.path(), c.rights));
        qputenv("LEXIFLIP_HOME", home.path().toLocal8Bit());
        EXPECT_EQ(defaultDownloadDirectory(), c.used ? home.path() : data) << int(c.rights);
    }
    qputenv("LEXIFLIP_HOME", saved);
}

TEST(LobbyServer, TheEnvironmentComesBeforeTheSettings)
{
    const struct {
        const char* environment; // nullptr: unset
        const char* setting;
        const char* used;
    } cases[] = {
        {nullptr, "", ""},
        {nullptr, "lobby.example.org", "lobby.example.org"},
        {"127.0.0.1:8080", "lobby.example.org", "127.0.0.1:8080"},
        {"127.0.0.1:8080", "", "127.0.0.1:8080"},
    };
    const QByteArray saved = qgetenv("LEXIFLIP_LOBBY_SERVER");
    for (const auto& c : cases) {
        if (c.environment)
            qputenv("LEXIFLIP_LOBBY_SERVER", c.environment);
        else
            qunsetenv("LEXIFLIP_LOBBY_SERVER");
        Tdownload window;
        window.setLobbyServerFromSettings(c.setting);
        EXPECT_EQ(window.lobbyServer(), c.used) << c.setting;
    }
    qputenv("LEXIFLIP_LOBBY_SERVER", saved);
}

TEST(LobbyInstallerUrl, NamesTheInstallerOnTheServer)
{
    EXPECT_EQ(lobbyInstallerUrl("lobby.example.org").toString(),
              "http://lobby.example.org/lobby/hvlsetup.exe");
    EXPECT_EQ(lobbyInstallerUrl("10.0.0.2:8080").toString(), "http://10.0.0.2:8080/lobby/hvlsetup.exe");
    EXPECT_TRUE(lobbyInstallerUrl("").isEmpty());
    EXPECT_TRUE(lobbyInstallerUrl("a:b:c").isEmpty());
}

} // namespace
} // namespace lexiflip::windows
