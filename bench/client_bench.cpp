// The game window in a solo game, each figure beside a baseline of the same run:
//
//   start-up    process start to "You are Connected." in the chat, beside a
//               bare QApplication showing one empty window of the same size
//   idle CPU    10 s on the own turn with nothing clicked, beside the bare window
//   peak RSS    of the solo game, beside the bare window
//   board paint a full repaint of the 80 cells, beside one blit of a
//               board-sized picture
//   click       a flip click to its echo from the host, beside a raw loopback
//               echo of the same bytes
//   chat line   a line added to a full chat view (its oldest dropped), short
//               and 4,000 characters long, beside the same line added to a
//               bare text view that keeps only that one line
//   reconnect   a joining window's connection cut mid-game, the way back kept
//               closed for 0.1 to 3 s: from the way's return to the window
//               seated again, beside the same window's first join
//
// Start-up and memory are measured in child processes (this program run with
// --child solo|bare), the rest in this process.
//
//   QT_QPA_PLATFORM=offscreen build/bench/client_bench

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "client/game/client_game.h"
#include "client/widgets/board_view.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/screen_layout.h"
#include "client/window/game_window.h"
#include "client/window/tchat.h"
#include "host/tserver.h"
#include "net/net_wait.h"
#include "windows/side/tgamestart.h"
#include "wire/messages.h"

namespace {

using namespace lexiflip;
using testing::waitUntil;

double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct SoloGame {
    SoloGame() : window(3), gamestart(&window.window())
    {
        server.startHosting();
        window.setPlayerName("You");
        gamestart.setSender([this](std::string_view message) { window.session().send(message); });
        window.window().show();
        window.hostpress(server.port());
    }
    bool connected()
    {
        return waitUntil(
            [&] { return window.window().chatView().toPlainText().contains("You are Connected."); }, 20000);
    }
    bool ownTurn(int timeoutMs = 30000)
    {
        const client::ClientGame& g = window.game();
        return waitUntil([&] { return g.roster().myplayer() == 1 && g.turn().turnowner() == 1; }, timeoutMs);
    }
    bool start()
    {
        if (!connected())
            return false;
        gamestart.setCreationTime(120);
        gamestart.button_startClick();
        return ownTurn();
    }

    static host::HostOptions hostOptions()
    {
        host::HostOptions options;
        options.port = 0;
        options.botSpeedMs = 250;
        options.seed = 5;
        return options;
    }

    host::TServer server{hostOptions()};
    client::GameWindow window;
    windows::Tgamestart gamestart;
};

// The child processes: print "ready" when there, then the peak RSS, and end.
int runChild(const std::string& mode)
{
    bool ready = false;
    if (mode == "bare") {
        QWidget empty;
        empty.resize(client::layout::kClientWidth, client::layout::kClientHeight);
        empty.show();
        ready = waitUntil([&] { return empty.isVisible(); }) && (QCoreApplication::processEvents(), true);
        std::printf("ready %ld\n", peakRssKiB());
    } else {
        SoloGame solo;
        ready = solo.connected();
        std::printf("ready %ld\n", peakRssKiB());
    }
    std::fflush(stdout);
    return ready ? 0 : 1;
}

struct ChildFigures {
    double startupMs = 0;
    long rssKiB = 0;
};

ChildFigures measureChild(const QString& self, const QString& mode)
{
    std::vector<double> times;
    std::vector<double> rss;
    for (int run = 0; run < 5; ++run) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(self, {QStringLiteral("--child"), mode});
        QByteArray out;
        waitUntil(
            [&] {
                out += child.readAllStandardOutput();
                return out.contains('\n') || child.state() == QProcess::NotRunning;
            },
            30000);
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        child.waitForFinished(10000);
        rss.push_back(out.mid(out.indexOf(' ') + 1).trimmed().toDouble());
    }
    return {median(times), static_cast<long>(median(rss))};
}

double idleCpuPercent(double seconds)
{
    // A plain event loop: a polling wait would cost CPU of its own.
    const double before = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * (cpuSeconds() - before) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
}

// Microseconds per full repaint of the board, and per blit of a board-sized picture.
std::pair<double, double> boardPainting(client::BoardView& board)
{
    constexpr int kRounds = 400;
    QImage target(board.size(), QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kRounds; ++i)
        board.render(&target);
    const double repaint = static_cast<double>(clock.nsecsElapsed()) / 1e3 / kRounds;

    QPixmap picture = board.grab();
    clock.restart();
    for (int i = 0; i < kRounds; ++i) {
        QPainter painter(&target);
        painter.drawPixmap(0, 0, picture);
    }
    const double blit = static_cast<double>(clock.nsecsElapsed()) / 1e3 / kRounds;
    return {repaint, blit};
}

// Median milliseconds from a flip click to its echo, over several own turns.
double clickToEcho(SoloGame& solo, int samples)
{
    std::vector<double> times;
    const client::ClientGame& g = solo.window.game();
    client::BoardView& board = solo.window.window().board();
    int next = 0;
    while (static_cast<int>(times.size()) < samples) {
        if (!solo.ownTurn(60000))
            break;
        while (g.turn().flipsdone() < 5 && g.turn().turnowner() == 1) {
            int x = 0;
            int y = 0;
            do {
                const int cell = (next++ * 37) % 80;
                x = cell % 10 + 1;
                y = cell / 10 + 1;
            } while (g.turn().board(x, y).faceup);
            // A lone click: the host's queue has rested a whole tick since
            // the last message, as between a player's clicks.
            QElapsedTimer rest;
            rest.start();
            waitUntil([&] { return rest.elapsed() >= 15; });
            const std::string before = g.turn().status();
            QElapsedTimer clock;
            clock.start();
            QTest::mouseClick(&board, Qt::LeftButton, {}, client::cellRect({x, y}).center());
            // The status line counts the flips left when the echo is handled.
            if (!waitUntil([&] { return g.turn().status() != before; }, 5000))
                return median(times);
            times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
        QTest::mouseClick(solo.window.window().findChild<QWidget*>("button_pass"), Qt::LeftButton);
        waitUntil([&] { return g.turn().turnowner() != 1; }, 5000);
    }
    return median(times);
}

// The same bytes through a bare loopback echo, for comparison.
double loopbackEcho(int samples)
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    QTcpSocket* peer = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        peer = server.nextPendingConnection();
        peer->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(peer, &QTcpSocket::readyRead, [&] { peer->write(peer->readAll()); });
    });
    QTcpSocket client;
    client.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    waitUntil([&] { return peer != nullptr; });
    const std::string flip = wire::msg::iflip(1, 4, 2);
    std::vector<double> times;
    for (int i = 0; i < samples; ++i) {
        QElapsedTimer rest;
        rest.start();
        waitUntil([&] { return rest.elapsed() >= 15; });
        QElapsedTimer clock;
        clock.start();
        client.write(flip.data(), static_cast<qint64>(flip.size()));
        QByteArray back;
        waitUntil([&] {
            back += client.readAll();
            return back.size() >= static_cast<int>(flip.size());
        });
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// Milliseconds per line: the chat view at its history limit, and a bare text
// view of the same size that lays out only the new line.
std::pair<double, double> chatLine(const QString& line)
{
    constexpr int kLines = 300;
    client::ChatView chat;
    chat.resize(client::layout::kChatView.size());
    chat.show();
    for (int i = 0; i < client::ChatView::kHistoryLines + client::ChatView::kDropBatch; ++i)
        chat.addlinetochat(line, Qt::blue);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kLines; ++i)
        chat.addlinetochat(line, Qt::blue);
    const double full = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kLines;

    QTextEdit bare;
    bare.resize(chat.size());
    bare.show();
    clock.restart();
    for (int i = 0; i < kLines; ++i)
        bare.setPlainText(line);
    const double one = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kLines;
    return {full, one};
}

// A joining window's way to the host, which the bench cuts (the window's
// side with a reset, the host's closed, so that the host keeps the seat) and
// keeps closed until it says.
class Relay {
public:
    explicit Relay(quint16 hostPort) : m_hostPort(hostPort)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        m_port = m_server.serverPort();
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }
    quint16 port() const { return m_port; }
    void cut()
    {
        m_server.close();
        drop();
    }
    bool reopen() { return m_server.listen(QHostAddress::LocalHost, m_port); }

private:
    void accept()
    {
        while (QTcpSocket* down = m_server.nextPendingConnection()) {
            drop();
            m_down = down;
            m_up = new QTcpSocket(&m_server);
            QObject::connect(m_up, &QTcpSocket::connected, m_up, [this] {
                QObject::connect(m_down, &QTcpSocket::readyRead, m_down,
                                 [this] { m_up->write(m_down->readAll()); });
                m_up->write(m_down->readAll());
            });
            QObject::connect(m_up, &QTcpSocket::readyRead, m_up, [this] { m_down->write(m_up->readAll()); });
            QObject::connect(m_down, &QTcpSocket::disconnected, m_down, [this] { drop(); });
            QObject::connect(m_up, &QTcpSocket::disconnected, m_up, [this] { drop(); });
            m_up->connectToHost(QHostAddress::LocalHost, m_hostPort);
        }
    }
    void drop()
    {
        for (QTcpSocket** side : {&m_down, &m_up}) {
            if (QTcpSocket* socket = std::exchange(*side, nullptr)) {
                socket->disconnect();
                socket->abort();
                socket->deleteLater();
            }
        }
    }

    quint16 m_hostPort;
    quint16 m_port = 0;
    QTcpServer m_server;
    QTcpSocket* m_down = nullptr;
    QTcpSocket* m_up = nullptr;
};

// Median milliseconds from the way's return to the window seated again over
// `cuts` cuts, and the first join's from its join to seated; negative when
// the window did not get back.
std::pair<double, double> reconnecting(int cuts)
{
    SoloGame host;
    if (!host.connected())
        return {-1, -1};
    Relay relay(host.server.port());
    client::GameWindow bob(4);
    bob.setPlayerName("Bob");
    bob.window().show();
    int seatedTimes = 0;
    QObject::connect(&bob, &client::GameWindow::arrived, [&] { ++seatedTimes; });
    QObject::connect(&bob, &client::GameWindow::reconnected, [&] { ++seatedTimes; });
    QElapsedTimer clock;
    clock.start();
    bob.joinpress("127.0.0.1", relay.port());
    if (!waitUntil([&] { return seatedTimes == 1; }, 10000))
        return {-1, -1};
    const double firstJoin = double(clock.nsecsElapsed()) / 1e6;
    if (!host.start())
        return {-1, -1};

    std::vector<double> samples;
    for (int i = 0; i < cuts; ++i) {
        relay.cut();
        if (!waitUntil([&] { return bob.reconnecting(); }, 5000))
            return {-1, firstJoin};
        // Outages spread over 0.1 to 3 s, so that the way comes back at every
        // point of the window's pauses.
        QTest::qWait(100 + (i * 2900) / std::max(1, cuts - 1));
        if (!relay.reopen())
            return {-1, firstJoin};
        clock.restart();
        const int before = seatedTimes;
        if (!waitUntil([&] { return seatedTimes > before; }, 20000))
            return {-1, firstJoin};
        samples.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return {median(samples), firstJoin};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return runChild(argv[2]);

    const QString self = QCoreApplication::applicationFilePath();
    const ChildFigures solo = measureChild(self, QStringLiteral("solo"));
    const ChildFigures bare = measureChild(self, QStringLiteral("bare"));
    std::printf(
        "start-up (median of 5)  solo game to \"You are Connected.\" %7.1f ms   bare window %7.1f ms\n",
        solo.startupMs, bare.startupMs);
    std::printf("peak RSS (median of 5)  solo game %7.1f MiB                    bare window %7.1f MiB\n",
                static_cast<double>(solo.rssKiB) / 1024, static_cast<double>(bare.rssKiB) / 1024);

    {
        QWidget empty;
        empty.resize(client::layout::kClientWidth, client::layout::kClientHeight);
        empty.show();
        const double bareCpu = idleCpuPercent(10);
        empty.hide();
        SoloGame game;
        if (!game.start()) {
            std::fprintf(stderr, "the solo game did not reach the own turn\n");
            return 1;
        }
        const double gameCpu = idleCpuPercent(10);
        std::printf("idle CPU over 10 s      solo game, own turn %6.2f %%           bare window %6.2f %%\n",
                    gameCpu, bareCpu);

        const auto [repaint, blit] = boardPainting(game.window.window().board());
        std::printf(
            "board painting          full repaint of 80 cells %7.1f us      one board-sized blit %7.1f us\n",
            repaint, blit);

        const double click = clickToEcho(game, 15);
        const double echo = loopbackEcho(50);
        std::printf(
            "click to echo (median)  flip click to host's echo %6.2f ms     raw loopback echo %6.2f ms\n",
            click, echo);
    }
    for (const int length : {40, 4000}) {
        const QString line = QStringLiteral("Mal chats: ") + QString(length, QLatin1Char('z'));
        const auto [full, one] = chatLine(line);
        std::printf("chat line, %4d chars   full chat view %7.3f ms              bare text view %7.3f ms\n",
                    length, full, one);
    }
    const auto [back, firstJoin] = reconnecting(20);
    if (back < 0) {
        std::fprintf(stderr, "the cut window did not get back to its seat\n");
        return 1;
    }
    std::printf(
        "reconnect (median of 20) way back to seated again %7.1f ms   first join to seated %7.1f ms\n", back,
        firstJoin);
    return 0;
}
