#include "windows/small/tdownload.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "client/media/palette.h"
#include "client/media/rounded_box.h"
#include "client/media/tile_painter.h"
#include "client/platform/app_paths.h"
#include "windows/small/small_window.h"

namespace lexiflip::windows {

namespace palette = client::palette;

namespace {

// The lobby's picture: the lobby's sign over a row of tiles, with the red
// "IS CLOSED" label laid over it by the window.
class LobbyPicture : public QWidget {
public:
    explicit LobbyPicture(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("image_lobby"));
        setAccessibleName(QStringLiteral("The Halvo Lobby"));
        setFixedSize(150, 124);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        const QRectF sign = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
        client::paintRoundedBox(painter, sign, 8, QColor(palette::kTableTop), QColor(palette::kTableBottom),
                                QPen(QColor(palette::kTableLine), 2));

        painter.setPen(QColor(palette::kHeaderText));
        painter.setFont(palette::gameFont(13));
        painter.drawText(QRectF(0, 8, width(), 18), Qt::AlignCenter, QStringLiteral("THE HALVO"));
        painter.setFont(palette::gameFont(19));
        painter.drawText(QRectF(0, 26, width(), 26), Qt::AlignCenter, QStringLiteral("LOBBY"));

        // Five tables of the lobby, each a tile waiting for a game.
        constexpr int kTile = 24;
        constexpr int kGap = 4;
        const int left = (width() - (5 * kTile + 4 * kGap)) / 2;
        const int letters[5] = {16, 12, 1, 25, 0}; // P L A Y and a face-down tile
        for (int i = 0; i < 5; ++i) {
            painter.save();
            painter.translate(left + i * (kTile + kGap), 91);
            if (letters[i] == 0)
                client::tiles::paintTileBack(painter, kTile);
            else
                client::tiles::paintLetterTile(painter, kTile, letters[i], client::tiles::Face::Up, false);
            painter.restore();
        }
    }
};

QFrame* panel(const QString& name, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: %2; border: 1px solid %3; border-radius: 6px; }")
            .arg(name, QColor(palette::kSeatPanel).name(), QColor(palette::kSeatPanelEdge).name()));
    return frame;
}

QLabel* wrapped(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFont(palette::gameFont(12, false));
    return label;
}

} // namespace

bool startDetachedProcess(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool openFolderOnDesktop(const QUrl& folder)
{
    return QDesktopServices::openUrl(folder);
}

QUrl lobbyInstallerUrl(const QString& server)
{
    const QString trimmed = server.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(u'/'))
        return {};
    QUrl url(QStringLiteral("http://") + trimmed + Tdownload::kInstallerPath, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    return url;
}

QString lobbyServerFromEnvironment()
{
    return qEnvironmentVariable("LEXIFLIP_LOBBY_SERVER");
}

QString defaultDownloadDirectory()
{
    // The installer goes where the settings and the tally may go, so that
    // another user cannot plant a link under its name in a folder he may write
    // into and have the download overwrite a file of the player's. Where those
    // files fall back to the configuration folder, the installer goes to the
    // data folder as it always has.
    const QString folder = client::appFolder();
    if (folder == QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return folder;
}

QString findLobbyProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("halvolobby"));
}

Tdownload::Tdownload(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_server(lobbyServerFromEnvironment()),
      m_directory(defaultDownloadDirectory()),
      m_getbutton(new QPushButton(QStringLiteral("Download And Install The Halvo Lobby Now"), this)),
      m_abortbutton(new QPushButton(QStringLiteral("Stop Download"), this)), m_infolabel(new QLabel(this)),
      m_infolabel3(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Download The Halvo Lobby"));
    setStyleSheet(smallWindowStyleSheet());
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(palette::kSeatPanelEdge).lighter(115));
    setPalette(colours);

    // The panels are made top to bottom, which is also their tab order.
    QFrame* download = buildDownloadPanel();
    QFrame* solo = buildSoloPanel();
    QFrame* others = buildOthersPanel();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addWidget(download);
    layout->addWidget(solo);
    layout->addWidget(others);

    connect(m_getbutton, &QPushButton::clicked, this, &Tdownload::getbuttonClick);
    connect(m_abortbutton, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);

    setFixedWidth(600);
    setFixedHeight(sizeHint().height());
}

// The download panel: the closed lobby, the offer and the progress lines.
QFrame* Tdownload::buildDownloadPanel()
{
    QFrame* download = panel(QStringLiteral("panel_download"), this);
    auto* picture = new LobbyPicture(download);
    auto* closed = new QLabel(QStringLiteral("IS CLOSED"), picture);
    closed->setObjectName(QStringLiteral("label_closed"));
    closed->setAlignment(Qt::AlignCenter);
    closed->setFont(palette::gameFont(16));
    closed->setStyleSheet(
        QStringLiteral("color: %1; background: %2; border: 2px solid %1; border-radius: 4px;")
            .arg(palette::styleColour(palette::kClosedSign),
                 palette::styleColour(palette::kClosedSignPaper)));
    closed->setGeometry(14, 58, picture->width() - 28, 26);

    auto* offer =
        wrapped(QStringLiteral("Download The Halvo Lobby Now to play this  and other exciting games online "
                               "with other players!"),
                download);
    offer->setObjectName(QStringLiteral("label_download"));
    offer->setFont(palette::gameFont(13));
    m_getbutton->setObjectName(QStringLiteral("getbutton"));
    m_abortbutton->setObjectName(QStringLiteral("abortbutton"));
    m_abortbutton->setEnabled(false);
    m_infolabel->setObjectName(QStringLiteral("infolabel"));
    m_infolabel3->setObjectName(QStringLiteral("infolabel3"));
    for (QLabel* line : {m_infolabel, m_infolabel3}) {
        line->setFont(palette::gameFont(12));
        line->setMinimumHeight(18);
    }

    auto* progress = new QVBoxLayout;
    progress->setSpacing(2);
    progress->addWidget(m_infolabel);
    progress->addWidget(m_infolabel3);
    auto* stopRow = new QHBoxLayout;
    stopRow->setSpacing(12);
    stopRow->addWidget(m_abortbutton, 0, Qt::AlignTop);
    stopRow->addLayout(progress, 1);
    auto* downloadTexts = new QVBoxLayout;
    downloadTexts->setSpacing(8);
    downloadTexts->addWidget(offer);
    downloadTexts->addWidget(m_getbutton);
    downloadTexts->addLayout(stopRow);
    downloadTexts->addStretch(1);
    auto* downloadLayout = new QHBoxLayout(download);
    downloadLayout->setContentsMargins(12, 12, 12, 12);
    downloadLayout->setSpacing(14);
    downloadLayout->addWidget(picture, 0, Qt::AlignTop);
    downloadLayout->addLayout(downloadTexts, 1);
    return download;
}

// Playing solo: the game is already running behind this window.
QFrame* Tdownload::buildSoloPanel()
{
    QFrame* solo = panel(QStringLiteral("panel_solo"), this);
    auto* soloText =
        wrapped(QStringLiteral("To proceed to the game without the ability to play against others click "
                               "the button below."),
                solo);
    auto* firewall =
        wrapped(QStringLiteral("Note: Even if you are playing offline, you will need to configure your "
                               "FIREWALL to allow the game to access the internet components."),
                solo);
    firewall->setStyleSheet(QStringLiteral("color: %1;").arg(palette::styleColour(palette::kWarningText)));
    auto* soloButton = new QPushButton(QStringLiteral("Play Solo Game"), solo);
    soloButton->setObjectName(QStringLiteral("Button1"));
    soloButton->setDefault(true);
    auto* soloLayout = new QVBoxLayout(solo);
    soloLayout->setContentsMargins(12, 10, 12, 10);
    soloLayout->addWidget(soloText);
    soloLayout->addWidget(firewall);
    soloLayout->addWidget(soloButton, 0, Qt::AlignLeft);
    connect(soloButton, &QPushButton::clicked, this, &Tdownload::Button1Click);
    return solo;
}

// Playing with others through the lobby.
QFrame* Tdownload::buildOthersPanel()
{
    QFrame* others = panel(QStringLiteral("panel_others"), this);
    auto* othersText =
        wrapped(QStringLiteral("If you already have The Halvo Lobby and you wish to play with others "
                               "then click the button below to close this game and open The Halvo "
                               "Lobby."),
                others);
    auto* othersButton = new QPushButton(QStringLiteral("Play with Others"), others);
    othersButton->setObjectName(QStringLiteral("Button2"));
    auto* othersLayout = new QVBoxLayout(others);
    othersLayout->setContentsMargins(12, 10, 12, 10);
    othersLayout->addWidget(othersText);
    othersLayout->addWidget(othersButton, 0, Qt::AlignLeft);
    connect(othersButton, &QPushButton::clicked, this, &Tdownload::Button2Click);
    return others;
}

void Tdownload::setLobbyServerFromSettings(const QString& server)
{
    if (lobbyServerFromEnvironment().trimmed().isEmpty())
        m_server = server;
}

QString Tdownload::installerFile() const
{
    return QDir(m_directory).filePath(QFileInfo(kInstallerPath).fileName());
}

void Tdownload::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Centred on the desktop's work area, whatever the main window's place.
    QScreen* desktop = screen() ? screen() : QGuiApplication::primaryScreen();
    if (desktop) {
        QRect frame = frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Tdownload::getbuttonClick()
{
    if (downloading())
        return;
    m_aborted = false;
    m_docBegun = false;
    m_received = 0;
    m_getbutton->setEnabled(false);
    m_abortbutton->setEnabled(true);
    m_infolabel->setText(QStringLiteral("Loading"));
    m_infolabel3->clear();

    const QUrl url = lobbyInstallerUrl(m_server);
    m_file.setFileName(installerFile());
    if (!url.isValid() || !QDir().mkpath(m_directory) ||
        !m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail();
        finish();
        return;
    }

    // A file left by an older copy may carry execute bits: what arrives now must not.
    m_file.setPermissions(m_file.permissions() & ~(QFileDevice::ExeOwner | QFileDevice::ExeUser |
                                                   QFileDevice::ExeGroup | QFileDevice::ExeOther));

    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", kUserAgent);
    request.setRawHeader("Accept", kAccept);
    request.setTransferTimeout(kStallMs);
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &Tdownload::HttpCli1HeaderData);
    connect(m_reply, &QNetworkReply::readyRead, this, &Tdownload::HttpCli1DocData);
    connect(m_reply, &QNetworkReply::finished, this, &Tdownload::onFinished);
}

void Tdownload::abortbuttonClick()
{
    if (!downloading())
        return;
    m_aborted = true;
    m_infolabel->setText(QStringLiteral("Download has been aborted."));
    m_infolabel3->setText(QStringLiteral("Download Aborted"));
    m_reply->abort(); // finishes the reply, which re-enables the buttons
}

void Tdownload::HttpCli1HeaderData()
{
    if (!m_reply || m_aborted)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400)
        return; // a redirect, which the client follows; the next head counts
    m_infolabel->setText(m_infolabel->text() + QString(m_reply->rawHeaderPairs().size(), u'.'));
    if (status < 200 || status > 299) {
        // The server's error page is not the installer; the client reports
        // the status as its error when the page has arrived.
        fail();
        return;
    }
    HttpCli1DocBegin();
}

void Tdownload::HttpCli1DocBegin()
{
    if (m_docBegun)
        return;
    m_docBegun = true;
    m_infolabel3->setText(QStringLiteral("Downloading: ") + QFileInfo(m_file.fileName()).fileName());
}

void Tdownload::HttpCli1DocData()
{
    if (!m_reply)
        return;
    if (m_aborted) {
        m_reply->readAll(); // an error page, dropped
        return;
    }
    HttpCli1DocBegin();
    if (!writeBody()) {
        fail();
        m_reply->abort();
        return;
    }
    m_infolabel->setText(QStringLiteral("%1 bytes").arg(m_received));
}

bool Tdownload::writeBody()
{
    const QByteArray piece = m_reply->readAll();
    if (piece.isEmpty())
        return true;
    if (m_file.write(piece) != piece.size())
        return false;
    m_received += piece.size();
    return true;
}

void Tdownload::onFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    reply->deleteLater();
    if (!m_aborted) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        m_reply = reply; // for writeBody, which reads what is left
        const bool written = writeBody();
        m_reply = nullptr;
        // A body cut short of its announced length is no installer, even when
        // the connection closed without an error.
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        const bool encoded = reply->hasRawHeader("Content-Encoding");
        const bool complete = !announced.isValid() || encoded || announced.toLongLong() == m_received;
        if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299 || !written ||
            !complete || !m_file.flush()) {
            fail();
        } else {
            m_infolabel->setText(QStringLiteral("Received %1 bytes").arg(m_file.size()));
        }
    }
    finish();
}

void Tdownload::fail()
{
    m_aborted = true;
    m_infolabel->setText(QStringLiteral("Download Aborted"));
}

void Tdownload::finish()
{
    m_getbutton->setEnabled(true);
    m_abortbutton->setEnabled(false);
    m_file.close();
    if (m_aborted)
        return;
    // Saved, and left as it arrived: not executable, not started. The game goes on.
    const QString installer = installerFile();
    m_infolabel3->setText(QStringLiteral("Saved: ") + QFileInfo(installer).fileName());
    const QString folder = QFileInfo(installer).absolutePath();
    const bool shown = m_openFolder && m_openFolder(QUrl::fromLocalFile(folder));
    showMessage(QStringLiteral("The Halvo Lobby's installer for Windows has been saved as\n%1\n\n"
                               "It is not run here: install the lobby from it on a Windows computer.%2")
                    .arg(QDir::toNativeSeparators(installer),
                         shown ? QStringLiteral(" Its folder is open in your file manager.") : QString()));
}

void Tdownload::Button1Click()
{
    hide();
}

void Tdownload::Button2Click()
{
    const QString lobby = m_findLobby ? m_findLobby() : QString();
    if (lobby.isEmpty()) {
        showMessage(
            QStringLiteral("Please close the game and open the Halvo Lobby using the icon on your desktop or "
                           "using the your Window's start-up menu."));
        return;
    }
    if (!m_starter || !m_starter(lobby, {})) {
        showMessage(QStringLiteral("An Error has Occurred."));
        return;
    }
    emit exitRequested();
}

void Tdownload::showMessage(const QString& text)
{
    // Shown without a nested event loop and without modality: a window-modal
    // box here would block the game window too (this window is its tool
    // window), and the turn clock runs on while the player reads.
    auto* box =
        new QMessageBox(QMessageBox::Information, QStringLiteral("Lexiflip"), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("messagebox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

} // namespace lexiflip::windows
