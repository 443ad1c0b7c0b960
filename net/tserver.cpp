#include "net/tserver.h"

#include <QByteArray>

#include <cstdlib>
#include <random>
#include <utility>

#include "assets/embedded.h"
#include "engine/computer_words.h"
#include "net/error_report.h"
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

// Commands whose first field is the sender's slot.
bool carriesSlot(std::string_view command)
{
    namespace cmd = wire::cmd;
    return command == cmd::logininfo || command == cmd::kickhim || command == cmd::chat ||
           command == cmd::action || command == cmd::justwatch || command == cmd::iflip ||
           command == cmd::idone || command == cmd::useboardletter || command == cmd::usebarletter ||
           command == cmd::hepass || command == cmd::clickclear || command == cmd::clickbuy ||
           command == cmd::playasound;
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
    : QObject(parent),
      m_botSpeedMs(options.botSpeedMs),
      m_timer1([this] { guarded([this] { m_game->timer1Timer(); }); }),
      m_computertimer([this] { guarded([this] { m_game->computertimerTimer(); }); }),
      m_random(options.seed ? *options.seed : freshSeed()),
      m_dictionary(options.dictionary ? std::move(options.dictionary)
                                      : std::make_shared<const engine::TDictn>(assets::dictionaryRecords(), m_notices)),
      m_listboxWords(engine::loadComputerWords(assets::computerWords())),
      m_portName(std::to_string(options.port ? *options.port : defaultHostPort()))
{
    m_game = std::make_unique<engine::Game>(engine::GameServices{
        m_sender, m_notices, m_timer1, m_computertimer, m_random, *m_dictionary, m_listboxWords,
        [this] { return m_botSpeedMs; }});

    // The dispatch table, in the order the command word is compared.
    namespace cmd = wire::cmd;
    engine::Game& game = *m_game;
    m_table.add(std::string(cmd::logininfo), [this](std::string_view p) { receivedlogininfo(p); });
    m_table.add(std::string(cmd::kickhim), [this](std::string_view p) { kickhim(p); });
    m_table.add(std::string(cmd::chat), [this](std::string_view p) { chat(p); });
    m_table.add(std::string(cmd::action), [this](std::string_view p) { action(p); });
    m_table.add(std::string(cmd::startgame), [&game](std::string_view p) { game.startgame(p); });
    m_table.add(std::string(cmd::justwatch), [this](std::string_view p) { justwatch(p); });
    m_table.add(std::string(cmd::iflip), [&game](std::string_view p) { game.iflip(p); });
    m_table.add(std::string(cmd::idone), [&game](std::string_view p) { game.idone(p); });
    m_table.add(std::string(cmd::useboardletter), [&game](std::string_view p) { game.useboardletter(p); });
    m_table.add(std::string(cmd::usebarletter), [&game](std::string_view p) { game.usebarletter(p); });
    m_table.add(std::string(cmd::hepass), [&game](std::string_view p) { game.hepass(p); });
    m_table.add(std::string(cmd::clickclear), [&game](std::string_view p) { game.clickclear(p); });
    m_table.add(std::string(cmd::clickbuy), [&game](std::string_view p) { game.clickbuy(p); });
    m_table.add(std::string(cmd::playasound), [this](std::string_view p) { playasound(p); });

    // socktimer runs only while receivedlist holds entries: an idle host
    // wakes for nothing.
    socktimer.setTimerType(Qt::PreciseTimer);
    connect(&socktimer, &QTimer::timeout, this, [this] { guarded([this] { socktimerTimer(); }); });
    m_handleNow.setSingleShot(true);
    m_handleNow.setInterval(0);
    connect(&m_handleNow, &QTimer::timeout, this, [this] { guarded([this] { socktimerTimer(); }); });

    tempsock.OnDisconnect = [this](TSock& sock) { guarded([this, &sock] { tempsockDisconnect(sock); }); };
    tempsock.OnInfo = [this](TSock& sock, SocketInfo category, std::string_view message) {
        guarded([&] { tempsockInfo(sock, category, message); });
    };

    Sock1.setPortName(m_portName);
    Sock1.OnAccept = [this](TSock& listener) { guarded([this, &listener] { Sock1Accept(listener); }); };
    Sock1.OnRead = [this](TSock& sock, int count) { guarded([this, &sock, count] { Sock1Read(sock, count); }); };
}

TServer::~TServer()
{
    // Closing down reports to nobody: the connections go with Sock1.
    socktimer.stop();
    m_handleNow.stop();
    m_timer1.stop();
    m_computertimer.stop();
}

template <class Step>
void TServer::guarded(Step&& step)
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

void TServer::startHosting()
{
    Sock1.setListen(true);
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
void TServer::Sock1Accept(TSock& listener)
{
    const engine::GameState& state = m_game->state();
    const int n = state.slotsused;
    int chosen = 1;
    if (n != 0) {
        int s = 1;
        while (s < n && state.players[s].connected)
            ++s;
        if (!state.players[s].connected) {
            chosen = s;
        } else if (s >= engine::kMaxConnections) {
            // All nine slots are held: the newcomer hears why and is let go.
            TSock* refused = nullptr;
            if (listener.Accept(refused)) {
                refused->setTag(engine::kMaxConnections + 1);
                refused->Send(wire::msg::full());
                delete refused;
            }
            return;
        } else {
            chosen = n + 1;
        }
    }

    TSock* conn = nullptr;
    if (!listener.Accept(conn))
        return; // no slot is taken for a connection that never came

    SlotConnection& slot = m_slots[chosen];
    if (slot.conn)
        slot.conn->deleteLater(); // the closed connection this slot held before
    slot.conn = conn;
    slot.id = ++m_lastConnectionId;
    slot.accumulator.clear();
    slot.queued = 0;
    slot.closing = false;

    m_game->seatConnected(chosen);
    conn->setTag(chosen);
    conn->OnDisconnect = tempsock.OnDisconnect;
    conn->OnInfo = tempsock.OnInfo;
    conn->OnRead = Sock1.OnRead;
    sendtoslot(chosen, wire::msg::sendlogininfo(chosen));
}

void TServer::Sock1Read(TSock& sock, int /*count*/)
{
    const std::string bytes = sock.Receive(-1);
    const int s = sock.Tag();
    if (!holdsConnection(s) || m_slots[s].conn != &sock)
        return;
    SlotConnection& slot = m_slots[s];
    const bool wasEmpty = receivedlist.empty();
    slot.accumulator.feed(bytes, [&](std::string_view message) {
        // The empty entry after a login's second terminator would be dropped
        // anyway; it takes no place in the queue.
        if (message.empty())
            return;
        // A connection that floods the queue loses what it sends until the
        // queue has handled its earlier messages.
        if (slot.queued >= kQueueLimitPerConnection)
            return;
        ++slot.queued;
        receivedlist.push_back(QueuedEntry{std::string(message), slot.id, s});
    });
    if (wasEmpty && !receivedlist.empty())
        scheduleDispatch();
}

// A message that reaches an idle queue is handled at once if a whole tick has
// passed since the last one, otherwise when that tick is over; after that the
// queue drains at one message per tick.
void TServer::scheduleDispatch()
{
    if (socktimer.isActive() || m_handleNow.isActive())
        return;
    constexpr qint64 kTickNs = qint64(kSocktimerMs) * 1000 * 1000;
    const qint64 sinceLast = m_lastHandled.isValid() ? m_lastHandled.nsecsElapsed() : kTickNs;
    if (sinceLast >= kTickNs) {
        m_handleNow.start();
        return;
    }
    const qint64 remainingNs = kTickNs - sinceLast;
    socktimer.start(static_cast<int>((remainingNs + 999'999) / 1'000'000));
}

void TServer::socktimerTimer()
{
    if (receivedlist.empty()) {
        socktimer.stop();
        return;
    }
    QueuedEntry entry = std::move(receivedlist.front());
    receivedlist.pop_front();
    SlotConnection& slot = m_slots[entry.slot];
    if (slot.id == entry.connection && slot.queued > 0)
        --slot.queued;
    m_lastHandled.restart();

    if (admits(entry))
        m_table.dispatch(entry.text);

    if (receivedlist.empty())
        socktimer.stop();
    else if (!socktimer.isActive() || socktimer.interval() != kSocktimerMs)
        socktimer.start(kSocktimerMs);
}

bool TServer::admits(const QueuedEntry& entry) const
{
    // A connection that has gone acts for nobody, least of all for whoever
    // holds its slot now.
    const SlotConnection& slot = m_slots[entry.slot];
    if (!slot.conn || slot.id != entry.connection)
        return false;
    const std::optional<wire::SplitEntry> split = wire::splitEntry(entry.text);
    if (!split)
        return false;
    // Only the host's own player has a start button; nobody else may wipe a
    // running game.
    if (split->command == wire::cmd::startgame)
        return entry.slot == 1;
    if (!carriesSlot(split->command))
        return true; // unknown words are the dispatch table's to drop
    wire::FieldReader fields(split->payload);
    const std::optional<int> named = fields.nextInt();
    if (!named || !holdsConnection(*named))
        return false;
    if (*named == entry.slot)
        return true;
    // The host's own player acts for other seats from the seat menu.
    return entry.slot == 1 && (split->command == wire::cmd::justwatch || split->command == wire::cmd::kickhim);
}

void TServer::sendtoslot(int slot, std::string_view message)
{
    if (!holdsConnection(slot))
        return;
    SlotConnection& target = m_slots[slot];
    if (!target.conn || target.closing)
        return;
    try {
        target.conn->Send(message);
    } catch (const ESockException& error) {
        reportError(error.what());
        return;
    }
    if (target.conn->pendingSendBytes() > kSendLimitBytes) {
        // A peer that does not read is closed like one that left. Not here,
        // though: the engine may be in the middle of a broadcast.
        target.closing = true;
        const std::uint64_t id = target.id;
        QTimer::singleShot(0, this, [this, slot, id] { guarded([=, this] { closeOverflowed(slot, id); }); });
    }
}

void TServer::closeOverflowed(int slot, std::uint64_t connection)
{
    SlotConnection& target = m_slots[slot];
    if (target.conn && target.id == connection)
        target.conn->Close();
}

// Login: payload slot "+" version "+" name.
void TServer::receivedlogininfo(std::string_view payload)
{
    wire::FieldReader fields(payload);
    const std::optional<int> s = fields.nextInt();
    if (!s || !holdsConnection(*s))
        return;
    const std::string_view version = fields.next();
    const std::string_view name = fields.rest();

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
        catchup(*s);
}

// A late joiner learns the game as it stands; if it is his turn, he passes.
void TServer::catchup(int s)
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
    if (holdsConnection(slot) && m_game->state().players[slot].connected && m_slots[slot].conn)
        m_slots[slot].conn->Close();
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
    if (!holdsConnection(s) || m_slots[s].conn != &sock)
        return;
    const engine::GameState& state = m_game->state();
    const engine::tplayer& player = state.players[s];
    if (player.connected) {
        const std::string gone = wire::msg::playerdisconnected(s, player.name);
        for (int t = 1; t <= engine::kMaxConnections; ++t) {
            if (t != s && state.players[t].connected)
                m_game->sendTo(t, gone);
        }
    }
    SlotConnection& slot = m_slots[s];
    slot.conn = nullptr;
    slot.accumulator.clear();
    slot.queued = 0;
    slot.closing = false;
    sock.deleteLater();
    m_game->seatLeft(s);
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
template <class Build>
void TServer::relay(std::string_view payload, Build&& build)
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
