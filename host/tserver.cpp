#include "host/tserver.h"

#include <QTimer>

#include <cstdlib>
#include <random>
#include <utility>

#include "assets/embedded.h"
#include "engine/computer_words.h"
#include "net/default_port.h"
#include "net/error_report.h"

namespace lexiflip::host {
namespace {

std::uint64_t freshSeed()
{
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

} // namespace

TServer::TServer(HostOptions options, QObject* parent)
    : QObject(parent), m_sendLimitBytes(options.sendLimitBytes), m_discoveryPort(options.discoveryPort),
      m_discoveryClock(std::move(options.discoveryClock)),
      m_qtTimer1([this] { guarded([this] { m_session->timer1Timer(); }); }),
      m_qtComputertimer([this] { guarded([this] { m_session->computertimerTimer(); }); }),
      m_dictionary(options.dictionary
                       ? std::move(options.dictionary)
                       : std::make_shared<const words::TDictn>(assets::dictionaryRecords(), m_notices)),
      m_listboxWords(engine::loadComputerWords(assets::computerWords())),
      m_session(std::make_unique<HostSession>(
          HostSessionServices{m_transport, m_notices, options.timer1 ? *options.timer1 : m_qtTimer1,
                              options.computertimer ? *options.computertimer : m_qtComputertimer,
                              options.socktimer ? *options.socktimer : m_socktimer, m_sessionTimer,
                              *m_dictionary, m_listboxWords},
          HostSessionSettings{options.seed ? *options.seed : freshSeed(), options.botSpeedMs,
                              options.klotStrength, options.socktimerMs, options.loginTimeoutMs,
                              options.firstSeatRemote, options.seatHoldMs})),
      m_portName(std::to_string(options.port ? *options.port : net::defaultHostPort()))
{
    tempsock.OnDisconnect = [this](net::TSock& sock) {
        guarded([this, &sock] { tempsockDisconnect(sock); });
    };
    tempsock.OnInfo = [this](net::TSock& sock, net::SocketInfo category, std::string_view message) {
        guarded([&] { tempsockInfo(sock, category, message); });
    };

    Sock1.setPortName(m_portName);
    Sock1.OnAccept = [this](net::TSock& listener) { guarded([this, &listener] { Sock1Accept(listener); }); };
    Sock1.OnRead = [this](net::TSock& sock, std::size_t count) {
        guarded([this, &sock, count] { Sock1Read(sock, count); });
    };
}

// Closing down reports to nobody: the connections go with Sock1 before the
// session, which stops the clocks it started.
TServer::~TServer()
{
    // The state written last is the game as it stood; closing the host is
    // no change to it.
    if (m_session)
        m_session->setStateListener({});
}

TServer::KeptState TServer::keepStateIn(const std::filesystem::path& file)
{
    KeptState kept;
    const StateFileRead read = readStateFile(file);
    kept.problem = read.problem;
    if (read.snapshot)
        kept.resumed = m_session->resume(*read.snapshot);
    m_stateWriter = std::make_unique<StateWriter>(file, [this](std::string_view problem) {
        // The writer's thread: the notice goes out on the host's own.
        QMetaObject::invokeMethod(
            this, [this, text = std::string(problem)] { onNotice("The game cannot be kept: " + text); },
            Qt::QueuedConnection);
    });
    m_session->setStateListener([this](std::string text) { m_stateWriter->save(std::move(text)); });
    return kept;
}

void TServer::forgetState()
{
    if (!m_stateWriter)
        return;
    m_session->setStateListener({});
    m_stateWriter->remove();
}

void TServer::flushState()
{
    if (m_stateWriter)
        m_stateWriter->flush();
}

void TServer::reportError(std::string_view text)
{
    emit errorReported(QString::fromStdString(std::string(text)));
    net::reportGeneralError(text);
}

void TServer::onNotice(std::string_view text)
{
    emit noticed(QString::fromStdString(std::string(text)));
    if (m_noticeCallback)
        m_noticeCallback(text);
}

void TServer::setNoticeCallback(std::function<void(std::string_view)> callback)
{
    m_noticeCallback = std::move(callback);
}

void TServer::startHosting(Reach reach)
{
    Sock1.setBindAddress(reach == Reach::ThisMachine ? "127.0.0.1" : "");
    Sock1.setListen(true);
    if (reach == Reach::Network && m_discoveryPort)
        startAnsweringSearches();
}

void TServer::startAnsweringSearches()
{
    m_discovery = std::make_unique<DiscoveryResponder>([this] { return describeHost(state(), port()); });
    if (m_discoveryClock)
        m_discovery->setClock(m_discoveryClock);
    if (m_discovery->start(static_cast<quint16>(*m_discoveryPort)))
        return;
    const std::string problem = m_discovery->problem().toStdString();
    m_discovery.reset();
    onNotice("Local network searches will not find this game: " + problem);
}

quint16 TServer::discoveryPort() const
{
    return m_discovery ? m_discovery->port() : 0;
}

std::string TServer::listeningAddress() const
{
    return Sock1.boundAddress();
}

quint16 TServer::port() const
{
    return Sock1.boundPort();
}

ConnectionId TServer::connectionOf(const net::TSock& sock) const
{
    for (const auto& [connection, link] : m_links) {
        if (link.sock == &sock)
            return connection;
    }
    return 0;
}

void TServer::Sock1Accept(net::TSock& listener)
{
    net::TSock* conn = nullptr;
    if (!listener.Accept(conn))
        return; // no slot is taken for a connection that never came
    const ConnectionId connection = ++m_lastConnectionId;
    m_links[connection] = Link{conn};
    conn->OnDisconnect = tempsock.OnDisconnect;
    conn->OnInfo = tempsock.OnInfo;
    conn->OnRead = Sock1.OnRead;
    if (m_session->accept(connection, conn->HostName()) != 0)
        return;
    // Refused (it heard that the game is full): let go of it, unless it
    // already closed while hearing it.
    if (m_links.erase(connection) != 0)
        delete conn;
}

void TServer::Sock1Read(net::TSock& sock, std::size_t /*count*/)
{
    const std::string bytes = sock.Receive(-1);
    if (const ConnectionId connection = connectionOf(sock))
        m_session->receive(connection, bytes);
}

void TServer::sendTo(ConnectionId connection, std::string_view message)
{
    const auto found = m_links.find(connection);
    if (found == m_links.end() || found->second.closing)
        return;
    net::TSock* const conn = found->second.sock;
    try {
        conn->Send(message);
    } catch (const net::ESockException& error) {
        reportError(error.what());
        return;
    }
    // The send may have found the peer gone and the connection closed.
    const auto still = m_links.find(connection);
    if (still == m_links.end())
        return;
    if (conn->pendingSendBytes() > m_sendLimitBytes) {
        // Not here, though: the engine may be in the middle of a broadcast.
        still->second.closing = true;
        QTimer::singleShot(0, this,
                           [this, connection] { guarded([=, this] { closeSlowPeer(connection); }); });
    }
}

void TServer::closeSocket(ConnectionId connection)
{
    const auto found = m_links.find(connection);
    if (found == m_links.end())
        return;
    net::TSock* const sock = found->second.sock;
    m_links.erase(found);
    sock->Close(); // its report finds no connection any more
    sock->deleteLater();
}

void TServer::closeSlowPeer(ConnectionId connection)
{
    if (m_links.count(connection) == 0)
        return;
    closeSocket(connection);
    m_session->closed(connection);
}

void TServer::tempsockDisconnect(net::TSock& sock)
{
    if (connectionOf(sock) != 0)
        sock.Close();
}

// Every closing connection reports "Socket Closed"; the one that closes
// because its peer left reports it twice, and only the first finds the
// connection still carried by it.
void TServer::tempsockInfo(net::TSock& sock, net::SocketInfo category, std::string_view message)
{
    if (category != net::SocketInfo::Close || message != "Socket Closed")
        return;
    const ConnectionId connection = connectionOf(sock);
    if (connection == 0)
        return;
    m_links.erase(connection);
    sock.deleteLater();
    m_session->closed(connection);
}

} // namespace lexiflip::host
