#include "net/tserver.h"

#include <QByteArray>

#include <cstdlib>
#include <random>
#include <utility>

#include "assets/embedded.h"
#include "engine/computer_words.h"
#include "net/error_report.h"
#include "net/game_requests.h"
#include "net/wire/commands.h"
#include "net/wire/field_reader.h"
#include "net/wire/messages.h"

namespace lexiflip::net {
namespace {

std::uint64_t freshSeed()
{
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

} // namespace

int defaultHostPort()
{
    const QByteArray fromEnvironment = qgetenv("LEXIFLIP_PORT");
    if (!fromEnvironment.isEmpty()) {
        const std::optional<int> port = wire::parseInt(fromEnvironment.toStdString());
        if (port && *port >= 0 && *port <= 65535)
            return *port;
    }
    return TServer::kDefaultPort;
}

TServer::TServer(HostOptions options, QObject* parent)
    : QObject(parent), m_botSpeedMs(options.botSpeedMs), m_sendLimitBytes(options.sendLimitBytes),
      m_loginTimeoutMs(options.loginTimeoutMs),
      m_qtTimer1(options.timer1 ? nullptr : std::make_unique<QtClock>([this] {
          guarded([this] { m_game->timer1Timer(); });
      })),
      m_qtComputertimer(options.computertimer ? nullptr : std::make_unique<QtClock>([this] {
          guarded([this] { m_game->computertimerTimer(); });
      })),
      m_qtSocktimer(options.socktimer ? nullptr : std::make_unique<QtPaceTimer>()),
      m_timer1(options.timer1 ? *options.timer1 : *m_qtTimer1),
      m_computertimer(options.computertimer ? *options.computertimer : *m_qtComputertimer),
      m_random(options.seed ? *options.seed : freshSeed()),
      m_dictionary(options.dictionary
                       ? std::move(options.dictionary)
                       : std::make_shared<const engine::TDictn>(assets::dictionaryRecords(), m_notices)),
      m_listboxWords(engine::loadComputerWords(assets::computerWords())),
      socktimer(options.socktimer ? *options.socktimer : *m_qtSocktimer),
      receivedlist(socktimer, std::chrono::milliseconds(options.socktimerMs), kQueueLimitPerConnection),
      m_portName(std::to_string(options.port ? *options.port : defaultHostPort()))
{
    m_game = std::make_unique<engine::Game>(
        engine::GameServices{m_sender, m_notices, m_timer1, m_computertimer, m_random, *m_dictionary,
                             m_listboxWords, [this] { return m_botSpeedMs; }});
    m_game->setFirstSeatRemote(options.firstSeatRemote);

    for (const wire::HostRequestRule& rule : wire::kHostRequests) {
        if (const GameRequestHandler handler = gameRequestHandler(rule.request))
            m_table.add(std::string(rule.command),
                        [this, handler](std::string_view p) { (*m_game.*handler)(p); });
        else
            m_table.add(std::string(rule.command), sessionHandler(rule.request));
    }

    receivedlist.setHandler([this](std::uint64_t connection, std::string_view text) {
        guarded([&] { socktimerTimer(connection, text); });
    });
    m_departuresLater.setSingleShot(true);
    m_departuresLater.setInterval(0);
    connect(&m_departuresLater, &QTimer::timeout, this,
            [this] { guarded([this] { announceDepartures(); }); });

    tempsock.OnDisconnect = [this](TSock& sock) { guarded([this, &sock] { tempsockDisconnect(sock); }); };
    tempsock.OnInfo = [this](TSock& sock, SocketInfo category, std::string_view message) {
        guarded([&] { tempsockInfo(sock, category, message); });
    };

    Sock1.setPortName(m_portName);
    Sock1.OnAccept = [this](TSock& listener) { guarded([this, &listener] { Sock1Accept(listener); }); };
    Sock1.OnRead = [this](TSock& sock, std::size_t count) {
        guarded([this, &sock, count] { Sock1Read(sock, count); });
    };
}

TServer::~TServer()
{
    // Closing down reports to nobody: the connections go with Sock1.
    receivedlist.clear();
    m_departuresLater.stop();
    m_timer1.stop();
    m_computertimer.stop();
}

template <class Step> void TServer::guarded(Step&& step)
{
    try {
        step();
    } catch (const std::exception& error) {
        reportError(error.what());
    } catch (...) {
        reportError("Error here");
    }
}

void TServer::reportError(std::string_view text)
{
    emit errorReported(QString::fromStdString(std::string(text)));
    reportGeneralError(text);
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

wire::DispatchTable<>::Handler TServer::sessionHandler(wire::HostRequest request)
{
    using wire::HostRequest;
    switch (request) {
    case HostRequest::logininfo:
        return [this](std::string_view p) { receivedlogininfo(p); };
    case HostRequest::kickhim:
        return [this](std::string_view p) { kickhim(p); };
    case HostRequest::chat:
        return [this](std::string_view p) { chat(p); };
    case HostRequest::action:
        return [this](std::string_view p) { action(p); };
    case HostRequest::justwatch:
        return [this](std::string_view p) { justwatch(p); };
    case HostRequest::playasound:
        return [this](std::string_view p) { playasound(p); };
    case HostRequest::startgame:
    case HostRequest::iflip:
    case HostRequest::idone:
    case HostRequest::useboardletter:
    case HostRequest::usebarletter:
    case HostRequest::hepass:
    case HostRequest::clickclear:
    case HostRequest::clickbuy:
        break; // the game's
    }
    return {};
}

void TServer::startHosting(Reach reach)
{
    Sock1.setBindAddress(reach == Reach::ThisMachine ? "127.0.0.1" : "");
    Sock1.setListen(true);
}

std::string TServer::listeningAddress() const
{
    return Sock1.boundAddress();
}

quint16 TServer::port() const
{
    return Sock1.boundPort();
}

std::size_t TServer::partialMessageBytes(int slot) const
{
    return holdsConnection(slot) ? m_slots[slot].accumulator.pendingBytes() : 0;
}

// Accepting a connection: the lowest free slot is reused first, so a player
// who leaves and comes back usually finds his seat as it stands.
int TServer::chooseSlot() const
{
    const engine::GameState& state = m_game->state();
    const int n = state.slotsused;
    if (n == 0)
        return 1;
    int s = 1;
    while (s < n && state.players[s].connected)
        ++s;
    if (!state.players[s].connected)
        return s;
    if (s >= engine::kMaxConnections)
        return 0;
    return n + 1;
}

void TServer::Sock1Accept(TSock& listener)
{
    const int chosen = chooseSlot();
    if (chosen == 0) {
        // All nine slots are held: the newcomer hears why and is let go.
        TSock* refused = nullptr;
        if (listener.Accept(refused)) {
            refused->setTag(engine::kMaxConnections + 1);
            refused->Send(wire::msg::full());
            delete refused;
        }
        return;
    }

    TSock* conn = nullptr;
    if (!listener.Accept(conn))
        return; // no slot is taken for a connection that never came
    conn->setTag(chosen);
    conn->OnDisconnect = tempsock.OnDisconnect;
    conn->OnInfo = tempsock.OnInfo;
    conn->OnRead = Sock1.OnRead;
    seatConnection(chosen, conn);
}

int TServer::acceptVirtual()
{
    const int chosen = chooseSlot();
    if (chosen == 0) {
        if (m_virtualSink)
            m_virtualSink(engine::kMaxConnections + 1, wire::msg::full());
        return 0;
    }
    seatConnection(chosen, nullptr);
    return chosen;
}

void TServer::seatConnection(int chosen, TSock* conn)
{
    SlotConnection& slot = m_slots[chosen];
    if (slot.conn)
        slot.conn->deleteLater(); // the closed connection this slot held before
    slot.conn = conn;
    slot.virtualLink = conn == nullptr;
    slot.id = ++m_lastConnectionId;
    slot.accumulator.clear();
    slot.closing = false;
    slot.loggedIn = false;

    m_game->seatConnected(chosen);
    const std::uint64_t id = slot.id;
    QTimer::singleShot(m_loginTimeoutMs, this,
                       [this, chosen, id] { guarded([=, this] { closeIfNotLoggedIn(chosen, id); }); });
    sendToSlot(chosen, wire::msg::sendlogininfo(chosen));
}

void TServer::Sock1Read(TSock& sock, std::size_t /*count*/)
{
    const std::string bytes = sock.Receive(-1);
    const int s = sock.Tag();
    if (!holdsConnection(s) || m_slots[s].conn != &sock)
        return;
    receiveBytes(s, bytes);
}

void TServer::receiveVirtual(int s, std::string_view bytes)
{
    if (holdsConnection(s) && m_slots[s].virtualLink)
        guarded([&] { receiveBytes(s, bytes); });
}

void TServer::closeVirtual(int s)
{
    if (holdsConnection(s) && m_slots[s].virtualLink)
        guarded([&] { closeLink(s); });
}

void TServer::receiveBytes(int s, std::string_view bytes)
{
    SlotConnection& slot = m_slots[s];
    slot.accumulator.feed(bytes, [&](std::string_view message) {
        // The empty entry after a login's second terminator would be dropped
        // anyway; it takes no place in the queue. A connection that floods
        // the queue loses what it sends until its earlier messages are handled.
        if (!message.empty())
            receivedlist.push(slot.id, std::string(message));
    });
}

void TServer::socktimerTimer(std::uint64_t connection, std::string_view text)
{
    // A connection that has gone acts for nobody, least of all for whoever
    // holds its slot now.
    for (int s = 1; s <= engine::kMaxConnections; ++s) {
        if (m_slots[s].held() && m_slots[s].id == connection) {
            if (wire::admits(text, s))
                m_table.dispatch(text);
            return;
        }
    }
}

void TServer::sendToSlot(int slot, std::string_view message)
{
    if (!holdsConnection(slot))
        return;
    SlotConnection& target = m_slots[slot];
    if (!target.held() || target.closing)
        return;
    if (target.virtualLink) {
        if (m_virtualSink)
            m_virtualSink(slot, message);
        return;
    }
    TSock* const conn = target.conn;
    const std::uint64_t id = target.id;
    {
        // A connection that closes inside this send leaves after it.
        ++m_sendDepth;
        struct Sent {
            int& depth;
            ~Sent() { --depth; }
        } sent{m_sendDepth};
        try {
            conn->Send(message);
        } catch (const ESockException& error) {
            reportError(error.what());
            return;
        }
    }
    // The send may have found the peer gone and the connection closed.
    if (target.conn != conn || target.id != id)
        return;
    if (conn->pendingSendBytes() > m_sendLimitBytes) {
        // A peer that does not read is closed like one that left. Not here,
        // though: the engine may be in the middle of a broadcast.
        target.closing = true;
        QTimer::singleShot(0, this, [this, slot, id] { guarded([=, this] { closeConnection(slot, id); }); });
    }
}

void TServer::closeConnection(int slot, std::uint64_t connection)
{
    SlotConnection& target = m_slots[slot];
    if (target.held() && target.id == connection)
        closeLink(slot);
}

void TServer::closeLink(int slot)
{
    SlotConnection& target = m_slots[slot];
    if (target.conn)
        target.conn->Close(); // reports "Socket Closed", which frees the slot
    else if (target.virtualLink)
        connectionClosed(slot, nullptr);
}

// A connection that never logs in would hold its slot for ever; a logged-in
// player may stay idle as long as he likes.
void TServer::closeIfNotLoggedIn(int slot, std::uint64_t connection)
{
    if (!m_slots[slot].loggedIn)
        closeConnection(slot, connection);
}

// Login: payload slot "+" version "+" name.
void TServer::receivedlogininfo(std::string_view payload)
{
    wire::FieldReader fields(payload);
    const std::optional<int> s = fields.nextInt();
    if (!s || !holdsConnection(*s))
        return;
    // One login per connection: a repeat would announce the same player
    // again, and every announcement costs each window an entry and a line.
    // (Admitted means *s is the sender's own slot.)
    if (m_slots[*s].loggedIn)
        return;
    const std::string_view version = fields.next();
    const std::string_view name = fields.rest();

    m_slots[*s].loggedIn = true;
    const engine::GameState& state = m_game->state();
    m_game->seatLoggedIn(*s, name);
    m_game->sendToAll(wire::msg::newplayerinfo(*s, name));
    for (int t = 1; t <= engine::kMaxConnections; ++t) {
        if (t != *s && state.players[t].connected)
            m_game->sendTo(*s, wire::msg::existingplayers(t, state.players[t].name));
    }
    if (version != wire::msg::kVersion) {
        m_game->sendTo(1, wire::msg::havewrongversion(name));
        m_game->sendTo(*s, wire::msg::wrongversion());
    }
    if (state.gamerunning)
        catchUp(*s);
}

// A late joiner learns the game as it stands; if it is his turn, he passes.
void TServer::catchUp(int s)
{
    const engine::GameState& state = m_game->state();
    std::array<int, 6> scores{};
    for (int seat = 1; seat <= 6; ++seat)
        scores[static_cast<std::size_t>(seat - 1)] = state.players[seat].score;
    m_game->sendTo(s, wire::msg::stats(s, state.playtoscore, state.creationtime, state.currentplayer,
                                       state.turnticks, state.gamemode, state.fourplayeroption, scores));
    if (s <= state.numseats) {
        std::vector<wire::msg::BarTile> bar;
        for (int k = 1; k <= engine::kBarTiles; ++k) {
            if (state.players[s].tiles[k].letter != 0)
                bar.push_back({k, state.players[s].tiles[k].letter});
        }
        if (!bar.empty())
            m_game->sendTo(s, wire::msg::mytiles(s, bar));
    }
    std::vector<wire::msg::Cell> cells;
    std::vector<wire::Origin> faceUp;
    for (int x = 1; x <= engine::kBoardColumns; ++x) {
        for (int y = 1; y <= engine::kBoardRows; ++y) {
            cells.push_back({x, y, state.cell(x, y).letter});
            if (state.cell(x, y).flipped)
                faceUp.push_back({x, y});
        }
    }
    m_game->sendTo(s, wire::msg::theboard(cells));
    if (!faceUp.empty())
        m_game->sendTo(s, wire::msg::isflipped(s, faceUp));
    if (s == state.currentplayer)
        m_game->hepass(wire::msg::payloadOf(wire::msg::hepass(s)));
}

// Removal: payload sender slot "+" target slot "+"; only the host's own
// player removes anybody.
void TServer::kickhim(std::string_view payload)
{
    wire::FieldReader fields(payload);
    const std::optional<int> sender = fields.nextInt();
    if (!sender || *sender != 1)
        return;
    const std::optional<int> target = fields.nextInt();
    if (target)
        disconnectsock(*target);
}

void TServer::disconnectsock(int slot)
{
    if (holdsConnection(slot) && m_game->state().players[slot].connected && m_slots[slot].held())
        closeLink(slot);
}

void TServer::tempsockDisconnect(TSock& sock)
{
    const int s = sock.Tag();
    if (holdsConnection(s) && m_game->state().players[s].connected && m_slots[s].conn == &sock)
        sock.Close();
}

// Every closing connection reports "Socket Closed"; the one that closes
// because its peer left reports it twice, and only the first finds the slot
// still held by it.
void TServer::tempsockInfo(TSock& sock, SocketInfo category, std::string_view message)
{
    if (category != SocketInfo::Close || message != "Socket Closed")
        return;
    const int s = sock.Tag();
    if (holdsConnection(s) && m_slots[s].conn == &sock)
        connectionClosed(s, &sock);
}

void TServer::connectionClosed(int s, TSock* sock)
{
    SlotConnection& slot = m_slots[s];
    receivedlist.remove(slot.id);
    slot.conn = nullptr;
    slot.virtualLink = false;
    slot.accumulator.clear();
    slot.closing = false;
    slot.loggedIn = false;
    if (sock)
        sock->deleteLater();
    m_departed.push_back(s);
    if (m_announcing)
        return; // the departures under way tell this one next
    if (m_sendDepth > 0)
        m_departuresLater.start();
    else
        announceDepartures();
}

// The others hear that a player left, his seat is cleared, and a turn he held
// moves on. The slot stays taken until then, so nobody new gets it before the
// old player's departure is told.
void TServer::announceDepartures()
{
    m_announcing = true;
    // Whatever a step raises, the departures left are told later.
    struct Done {
        TServer& server;
        ~Done()
        {
            server.m_announcing = false;
            if (!server.m_departed.empty())
                server.m_departuresLater.start();
        }
    } done{*this};
    const engine::GameState& state = m_game->state();
    while (!m_departed.empty()) {
        const int s = m_departed.front();
        m_departed.pop_front();
        const engine::tplayer& player = state.players[s];
        if (player.connected) {
            const std::string gone = wire::msg::playerdisconnected(s, player.name);
            for (int t = 1; t <= engine::kMaxConnections; ++t) {
                if (t != s && state.players[t].connected)
                    m_game->sendTo(t, gone);
            }
        }
        m_game->seatLeft(s);
    }
}

// Just watch: payload s "+" "1" (watch) or "2" (play again).
void TServer::justwatch(std::string_view payload)
{
    wire::FieldReader fields(payload);
    const std::optional<int> s = fields.nextInt();
    const engine::GameState& state = m_game->state();
    if (!s || *s < 1 || *s > state.numseats)
        return;
    const std::string_view choice = fields.rest();
    if (choice == "2") {
        m_game->setWatching(*s, false);
        m_game->sendToAll(wire::msg::justwatching(*s, "2"));
    } else if (choice == "1" && state.players[*s].connected && state.gamerunning) {
        // Everybody hears of it before the turn it may hand on.
        m_game->sendToAll(wire::msg::justwatching(*s, "1"));
        m_game->setWatching(*s, true);
    }
}

// The three relays take the sender's slot and pass the rest on unchanged; a
// slot that is not a number sends nothing.
template <class Build> void TServer::relay(std::string_view payload, Build&& build)
{
    wire::FieldReader fields(payload);
    const std::optional<int> s = fields.nextInt();
    if (!s || !holdsConnection(*s))
        return;
    m_game->sendToAll(build(*s, fields.rest()));
}

void TServer::chat(std::string_view payload)
{
    relay(payload, [this](int s, std::string_view rest) {
        return wire::msg::chatRelay(m_game->state().players[s].name, rest);
    });
}

void TServer::action(std::string_view payload)
{
    relay(payload, [this](int s, std::string_view rest) {
        return wire::msg::actionRelay(m_game->state().players[s].name, rest);
    });
}

void TServer::playasound(std::string_view payload)
{
    relay(payload, [](int s, std::string_view rest) { return wire::msg::playasoundRelay(s, rest); });
}

} // namespace lexiflip::net
