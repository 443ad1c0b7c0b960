// The host session under nine connected clients: the round trip of a flip
// (CMD_iflip answered by CMD_heflip) beside a raw loopback echo of the same
// size, the same flip on a host that keeps its game in a state file beside
// one that does not, how a burst drains, and what the host costs while
// everybody idles.
//
// The host runs on its own thread, as it would in its own process; the
// clients run on the main thread. The host thread's CPU is read with
// getrusage(RUSAGE_THREAD) on that thread.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fileio/atomic_file.h"
#include "host/state_file.h"
#include "host/tserver.h"
#include "net/net_wait.h"
#include "net/test_client.h"
#include "wire/messages.h"

namespace {

using lexiflip::testing::TestClient;
using lexiflip::testing::waitUntil;
namespace msg = lexiflip::wire::msg;

constexpr int kClients = 9;
// A lone message is one that reaches an idle queue at least a tick after the
// last: round trips are spaced by more than that.
constexpr int kSpacingMs = 15;

double microseconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_usec);
}

struct Percentiles {
    double median = 0;
    double p99 = 0;
};

Percentiles percentiles(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    if (samples.empty())
        return {};
    const auto at = [&](double q) {
        return samples[std::min(samples.size() - 1,
                                static_cast<std::size_t>(q * static_cast<double>(samples.size())))];
    };
    return {at(0.5), at(0.99)};
}

// Lets the event loop run for a while without polling: the clients wake only
// for their sockets.
void pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// The host and an echo server on one worker thread, nine logged-in clients
// and an echo client here.
class Rig {
public:
    // With a state file, the host keeps its game there as lexiflip-host
    // --state-file does.
    explicit Rig(std::filesystem::path stateFile = {})
    {
        m_context->moveToThread(&m_thread);
        m_thread.start();
        onHost([this, &stateFile] {
            lexiflip::host::HostOptions options;
            options.port = 0;
            options.seed = 1;
            m_server = new lexiflip::host::TServer(options);
            if (!stateFile.empty())
                m_server->keepStateIn(stateFile);
            m_server->startHosting();
            m_port = m_server->port();
            m_echo = new QTcpServer;
            QObject::connect(m_echo, &QTcpServer::newConnection, m_echo, [this] {
                while (QTcpSocket* peer = m_echo->nextPendingConnection()) {
                    peer->setSocketOption(QAbstractSocket::LowDelayOption, 1);
                    QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer] {
                        peer->write(peer->readAll());
                        peer->flush();
                    });
                }
            });
            m_echo->listen(QHostAddress::LocalHost, 0);
            m_echoPort = m_echo->serverPort();
        });
        for (int slot = 1; slot <= kClients; ++slot) {
            m_clients.push_back(std::make_unique<TestClient>(m_port));
            m_clients.back()->login("Bench" + std::to_string(slot));
        }
        m_echoClient = std::make_unique<TestClient>(m_echoPort);
        waitUntil([this] { return m_echoClient->socket().state() == QAbstractSocket::ConnectedState; });
    }

    ~Rig()
    {
        m_clients.clear();
        m_echoClient.reset();
        onHost([this] {
            delete m_server;
            delete m_echo;
        });
        m_thread.quit();
        m_thread.wait();
        delete m_context;
    }

    template <class Step> void onHost(Step&& step)
    {
        QMetaObject::invokeMethod(m_context, std::forward<Step>(step), Qt::BlockingQueuedConnection);
    }

    double hostThreadCpuMicroseconds()
    {
        double total = 0;
        onHost([&total] {
            rusage usage{};
            getrusage(RUSAGE_THREAD, &usage);
            total = microseconds(usage.ru_utime) + microseconds(usage.ru_stime);
        });
        return total;
    }

    TestClient& client(int slot) { return *m_clients[static_cast<std::size_t>(slot - 1)]; }
    lexiflip::host::TServer& server() { return *m_server; }
    TestClient& echo() { return *m_echoClient; }

private:
    QThread m_thread;
    QObject* m_context = new QObject;
    lexiflip::host::TServer* m_server = nullptr;
    QTcpServer* m_echo = nullptr;
    quint16 m_port = 0;
    quint16 m_echoPort = 0;
    std::vector<std::unique_ptr<TestClient>> m_clients;
    std::unique_ptr<TestClient> m_echoClient;
};

std::unique_ptr<Rig> g_rig;
std::unique_ptr<Rig> g_keptRig;
std::filesystem::path g_stateFolder;

Rig& rig()
{
    if (!g_rig)
        g_rig = std::make_unique<Rig>();
    return *g_rig;
}

std::filesystem::path stateFolder()
{
    if (g_stateFolder.empty()) {
        std::string name = (std::filesystem::temp_directory_path() / "lexiflip-bench-XXXXXX").string();
        if (mkdtemp(name.data()) != nullptr)
            g_stateFolder = name;
    }
    return g_stateFolder;
}

// A second host, which keeps its game in a file in a folder of its own.
Rig& keptRig()
{
    if (!g_keptRig)
        g_keptRig = std::make_unique<Rig>(stateFolder() / "game.state");
    return *g_keptRig;
}

void reportLatencies(benchmark::State& state, const std::vector<double>& samples)
{
    const Percentiles p = percentiles(samples);
    state.counters["median_us"] = p.median;
    state.counters["p99_us"] = p.p99;
    state.counters["samples"] = static_cast<double>(samples.size());
}

// The baseline: a message of a flip's size to a plain echo server on the
// host's thread and back.
double echoRoundTripMicroseconds(TestClient& echo, const std::string& message)
{
    pause(kSpacingMs);
    echo.forget();
    QElapsedTimer trip;
    trip.start();
    echo.send(message);
    waitUntil([&] { return !echo.messages().empty(); });
    return static_cast<double>(trip.nsecsElapsed()) / 1000.0;
}

// CMD_iflip from slot 1 answered by CMD_heflip, seen by slot 1 (the first to
// be sent it) and by slot 9 (the last). Each flip alternates with an echo
// round trip, so that both see the same machine at the same moments.
void BM_HostFlipRoundTrip(benchmark::State& state)
{
    TestClient& host = rig().client(1);
    TestClient& last = rig().client(kClients);
    TestClient& echo = rig().echo();
    const std::string echoed = msg::iflip(1, 3, 4);
    std::vector<double> toFirst;
    std::vector<double> toLast;
    std::vector<double> echoes;
    for (auto _ : state) {
        int flips = 0;
        while (static_cast<int>(toFirst.size()) < state.range(0)) {
            if (flips % 5 == 0) {
                // A fresh game gives slot 1 the turn and five more flips.
                pause(kSpacingMs);
                host.forget();
                host.send(msg::startgame("Bench1", "100", "60", true, "1", "0"));
                waitUntil([&] { return host.has("CMD_nextplayer+1+"); });
            }
            pause(kSpacingMs);
            // Short message lists keep the clients' own bookkeeping out of the figure.
            host.forget();
            last.forget();
            const int cell = flips % 5;
            QElapsedTimer trip;
            trip.start();
            host.send(msg::iflip(1, cell + 1, cell % 8 + 1));
            double firstUs = -1;
            waitUntil([&] {
                if (firstUs < 0 && host.has("CMD_heflip+1+"))
                    firstUs = static_cast<double>(trip.nsecsElapsed()) / 1000.0;
                return firstUs >= 0 && last.has("CMD_heflip+1+");
            });
            toFirst.push_back(firstUs);
            toLast.push_back(static_cast<double>(trip.nsecsElapsed()) / 1000.0);
            echoes.push_back(echoRoundTripMicroseconds(echo, echoed));
            ++flips;
        }
        state.SetIterationTime(1e-6 * percentiles(toFirst).median);
    }
    reportLatencies(state, toFirst);
    const Percentiles lastP = percentiles(toLast);
    state.counters["slot9_median_us"] = lastP.median;
    state.counters["slot9_p99_us"] = lastP.p99;
    const Percentiles echoP = percentiles(echoes);
    state.counters["echo_median_us"] = echoP.median;
    state.counters["echo_p99_us"] = echoP.p99;
    state.counters["median_vs_echo"] = echoP.median > 0 ? percentiles(toFirst).median / echoP.median : 0;
}

// One flip of slot 1 on a rig, timed until slot 1 sees it; a fresh game every
// five flips gives slot 1 the turn again.
double flipMicroseconds(Rig& r, int& flips)
{
    TestClient& host = r.client(1);
    if (flips % 5 == 0) {
        pause(kSpacingMs);
        host.forget();
        host.send(msg::startgame("Bench1", "100", "60", true, "1", "0"));
        waitUntil([&] { return host.has("CMD_nextplayer+1+"); });
    }
    pause(kSpacingMs);
    host.forget();
    const int cell = flips % 5;
    QElapsedTimer trip;
    trip.start();
    host.send(msg::iflip(1, cell + 1, cell % 8 + 1));
    waitUntil([&] { return host.has("CMD_heflip+1+"); });
    ++flips;
    return static_cast<double>(trip.nsecsElapsed()) / 1000.0;
}

// The flip round trip on a host that writes its state file after every flip,
// alternating with the same flip on a host that keeps no file, so that both
// see the same machine at the same moments. The write itself runs on the
// writer's thread; what the host's own thread does for it is composing the
// text, timed here on a mid-game state, beside writing it to the disk through
// the atomic writer (sync included), which the relays never wait for.
void BM_HostFlipWithStateFile(benchmark::State& state)
{
    Rig& plain = rig();
    Rig& kept = keptRig();
    std::vector<double> without;
    std::vector<double> with;
    int plainFlips = 0;
    int keptFlips = 0;
    for (auto _ : state) {
        while (static_cast<int>(with.size()) < state.range(0)) {
            without.push_back(flipMicroseconds(plain, plainFlips));
            with.push_back(flipMicroseconds(kept, keptFlips));
        }
        state.SetIterationTime(1e-6 * percentiles(with).median);
    }
    lexiflip::host::HostSnapshot snapshot;
    kept.onHost([&] { snapshot = kept.server().snapshot(); });
    std::vector<double> compose;
    std::vector<double> write;
    const std::filesystem::path file = stateFolder() / "bench.state";
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer clock;
        clock.start();
        const std::string text = lexiflip::host::stateFileText(snapshot);
        compose.push_back(static_cast<double>(clock.nsecsElapsed()) / 1000.0);
        clock.restart();
        lexiflip::fileio::writeFileAtomically(file, text);
        write.push_back(static_cast<double>(clock.nsecsElapsed()) / 1000.0);
    }
    const Percentiles withP = percentiles(with);
    const Percentiles withoutP = percentiles(without);
    state.counters["kept_median_us"] = withP.median;
    state.counters["kept_p99_us"] = withP.p99;
    state.counters["plain_median_us"] = withoutP.median;
    state.counters["plain_p99_us"] = withoutP.p99;
    state.counters["compose_median_us"] = percentiles(compose).median;
    state.counters["compose_p99_us"] = percentiles(compose).p99;
    state.counters["disk_write_median_us"] = percentiles(write).median;
    state.counters["disk_write_p99_us"] = percentiles(write).p99;
    std::error_code ec;
    // The kept host's own file, as its last flip left it.
    kept.onHost([&] { kept.server().flushState(); });
    state.counters["state_file_bytes"] =
        static_cast<double>(std::filesystem::file_size(stateFolder() / "game.state", ec));
}

// A burst of chats from one client: the relays come back one per tick.
void BM_HostBurstDrain(benchmark::State& state)
{
    TestClient& host = rig().client(1);
    const int burst = static_cast<int>(state.range(0));
    double perMessageMs = 0;
    for (auto _ : state) {
        pause(kSpacingMs);
        std::string bytes;
        for (int i = 0; i < burst; ++i)
            bytes += msg::chat(1, "burst" + std::to_string(i), 0);
        const std::string first = "CMD_chat+Bench1 chats: burst0|";
        const std::string lastRelay = "CMD_chat+Bench1 chats: burst" + std::to_string(burst - 1) + "|";
        host.forget();
        host.send(bytes);
        QElapsedTimer clock;
        clock.start();
        waitUntil([&] { return host.has(first); });
        const qint64 firstAt = clock.nsecsElapsed();
        waitUntil([&] { return host.has(lastRelay); }, 20000);
        const qint64 lastAt = clock.nsecsElapsed();
        perMessageMs = static_cast<double>(lastAt - firstAt) / 1e6 / (burst - 1);
        state.SetIterationTime(static_cast<double>(lastAt) / 1e9);
    }
    state.counters["ms_per_message"] = perMessageMs;
}

// Nine clients connected and logged in, nobody sending: what the host thread
// spends, as a share of one core.
void BM_HostIdleCpu(benchmark::State& state)
{
    Rig& r = rig();
    const int seconds = static_cast<int>(state.range(0));
    double hostShare = 0;
    double processShare = 0;
    for (auto _ : state) {
        pause(200);
        rusage processBefore{};
        getrusage(RUSAGE_SELF, &processBefore);
        const double hostBefore = r.hostThreadCpuMicroseconds();
        QElapsedTimer wall;
        wall.start();
        // The clients' side waits without polling: it only wakes for events.
        pause(seconds * 1000);
        const double wallUs = static_cast<double>(wall.nsecsElapsed()) / 1000.0;
        const double hostAfter = r.hostThreadCpuMicroseconds();
        rusage processAfter{};
        getrusage(RUSAGE_SELF, &processAfter);
        hostShare = 100.0 * (hostAfter - hostBefore) / wallUs;
        processShare = 100.0 *
                       (microseconds(processAfter.ru_utime) + microseconds(processAfter.ru_stime) -
                        microseconds(processBefore.ru_utime) - microseconds(processBefore.ru_stime)) /
                       wallUs;
        state.SetIterationTime(wallUs / 1e6);
    }
    state.counters["host_cpu_percent"] = hostShare;
    state.counters["process_cpu_percent"] = processShare;
}

// Idle first: the games the flip benchmark starts keep the turn clock running.
BENCHMARK(BM_HostIdleCpu)->Arg(5)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostFlipRoundTrip)->Arg(300)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HostFlipWithStateFile)->Arg(200)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HostBurstDrain)->Arg(100)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_rig.reset();
    g_keptRig.reset();
    if (!g_stateFolder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(g_stateFolder, ec);
    }
    return 0;
}
