#include "app/game/window_roles.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHostAddress>
#include <QMessageBox>

#include <pwd.h>
#include <unistd.h>

#include "app/game/lexiflip_app.h"
#include "client/game/client_game.h"
#include "client/game/roster.h"
#include "client/session/eight_bit_text.h"
#include "client/settings/join_history.h"
#include "client/shell/invite_link.h"
#include "client/window/chat_controls.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "host/tserver.h"
#include "net/default_port.h"
#include "net/portmap/mapping_message.h"
#include "net/portmap/router_mapper.h"
#include "net/socket_errors.h"

namespace lexiflip::app {
namespace {

using Role = client::LaunchPlan::Role;

void showWindow(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

QString where(const QString& host, int port)
{
    return QString::fromStdString(client::invite::hostAndPort({host.toStdString(), port}));
}

QString loginName()
{
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty())
        return user;
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QStringLiteral("Player");
}

client::LaunchPlan networkPlan(Role role, const QString& name, const QString& address, int port)
{
    client::LaunchPlan plan;
    plan.role = role;
    plan.playerName = client::eightBit(name);
    plan.hostAddress = address.toStdString();
    plan.port = port;
    plan.loadingLine = "Loading Multi-player Game.. Please Wait.";
    return plan;
}

} // namespace

QString refusedText(const QString& host, int port)
{
    return QStringLiteral("Nobody hosts a game at %1: the connection was refused. The game may not be "
                          "started yet, or a firewall turns players away.")
        .arg(where(host, port));
}

QString noAnswerText(const QString& host, int port, int seconds)
{
    return QStringLiteral("%1 did not answer within %2 seconds. The address may be wrong, the computer may "
                          "be off the network, or a firewall drops the connection.")
        .arg(where(host, port))
        .arg(seconds);
}

QString gameFullText(const QString& host, int port)
{
    return QStringLiteral("The game at %1 is full: nine players and watchers are there already.")
        .arg(where(host, port));
}

QString versionDiffersText(const QString& host, int port)
{
    return QStringLiteral("You joined %1, but its host plays another version of Lexiflip: the game may "
                          "not work as it should. Ask the host which version to use.")
        .arg(where(host, port));
}

WindowRoles::WindowRoles(LexiflipApp& app)
    : m_app(app), m_joinDialog(&app.game.window()), m_hostDialog(&app.game.window())
{
    m_joinTimer.setSingleShot(true);
    connectMenu();
    connectJoining();
    showRoleEntries();
}

WindowRoles::~WindowRoles()
{
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
}

void WindowRoles::connectMenu()
{
    const client::MainMenu& menu = m_app.game.window().menu();
    auto onEntry = [&](client::MenuCommand command, void (WindowRoles::*step)()) {
        connect(menu.action(command), &QAction::triggered, this, step);
    };
    using C = client::MenuCommand;
    onEntry(C::NewSoloGame, &WindowRoles::newSoloGame);
    onEntry(C::HostGame, &WindowRoles::openHostDialog);
    onEntry(C::JoinGame, &WindowRoles::openJoinDialog);
    onEntry(C::LeaveGame, &WindowRoles::leaveGame);
    onEntry(C::CopyInviteLink, &WindowRoles::copyInviteLink);
    connect(&m_hostDialog, &windows::HostDialog::hostRequested, this, &WindowRoles::host);
    connect(&m_app.game, &client::GameWindow::routerPortChosen, this, [this] {
        followRoleOnRouter();
        if (m_hostDialog.isVisible() && m_app.role() == Role::Host)
            showHosting();
    });
    connect(&m_joinDialog, &windows::JoinDialog::joinRequested, this,
            [this](const QString& name, const QString& host, int port) { join({name, host, port, true}); });
    connect(&m_app.game.chat(), &client::ChatControls::inviteAccepted, this,
            [this](const QString& link) { joinInvite(link, true); });

    // The local network's games, found only when the player asks.
    connect(&m_joinDialog, &windows::JoinDialog::searchRequested, this, [this] {
        m_joinDialog.searchStarted();
        m_search.start();
    });
    connect(&m_search, &net::LanSearch::hostFound, this, [this](const net::LanHost& found) {
        const QString host = found.address.toString();
        QString description = found.hostName.isEmpty() ? QStringLiteral("A game") : found.hostName + "'s game";
        description += QStringLiteral(" at ") + where(host, found.port);
        description += found.gameRunning ? QStringLiteral(", game running") : QStringLiteral(", waiting to start");
        description += found.freePlaces == 0 ? QStringLiteral(", full")
                                             : QStringLiteral(", %1 free seat%2")
                                                   .arg(found.freeSeats)
                                                   .arg(found.freeSeats == 1 ? "" : "s");
        m_joinDialog.addLocalGame({host, found.port, description});
    });
    connect(&m_search, &net::LanSearch::finished, this,
            [this] { m_joinDialog.searchFinished(m_search.problem()); });
}

void WindowRoles::connectJoining()
{
    client::GameWindow& game = m_app.game;
    connect(&m_joinTimer, &QTimer::timeout, this, [this] {
        joinFailed(noAnswerText(m_join.host, m_join.port, (m_joinTimeoutMs + 999) / 1000));
    });
    connect(&game, &client::GameWindow::arrived, this, [this] {
        if (m_joining)
            joined();
    });
    // Both come while the session or the game handles something: the game is
    // left once that is over.
    connect(
        &game, &client::GameWindow::joinLost, this,
        [this](bool turnedAway) {
            if (!m_joining)
                return;
            joinFailed(turnedAway ? gameFullText(m_join.host, m_join.port)
                                  : QStringLiteral("The host at %1 closed the connection before you were seated.")
                                        .arg(where(m_join.host, m_join.port)));
        },
        Qt::QueuedConnection);
    connect(&game.session(), &client::ClientSession::socketError, this, &WindowRoles::onSocketError,
            Qt::QueuedConnection);
    connect(&game, &client::GameWindow::hostVersionDiffers, this, [this] {
        if (!m_join.fromDialog || m_app.role() != Role::Join)
            return;
        m_joinDialog.showProblem(versionDiffersText(m_join.host, m_join.port));
        showWindow(m_joinDialog);
    });
}

void WindowRoles::showRoleEntries()
{
    m_app.game.window().menu().action(client::MenuCommand::LeaveGame)->setEnabled(m_app.role() != Role::Wait);
    m_app.game.window()
        .menu()
        .action(client::MenuCommand::CopyInviteLink)
        ->setEnabled(m_app.role() == Role::Host);
    followRoleOnRouter();
}

std::vector<portmap::OfferedAddress> WindowRoles::offeredAddresses() const
{
    std::vector<std::string> machine;
    for (const QHostAddress& address : windows::invitableAddresses())
        machine.push_back(address.toString().toStdString());
    return portmap::addressesToOffer(m_routerPort ? m_routerPort->answer() : std::nullopt, machine,
                                     m_app.server().port());
}

void WindowRoles::copyInviteLink()
{
    const std::vector<portmap::OfferedAddress> offered = offeredAddresses();
    if (offered.empty()) {
        m_app.game.addSystemLine("This computer has no network address to invite to");
        return;
    }
    const client::invite::Target target{offered.front().host, offered.front().port};
    const std::string link = client::invite::link(target);
    QGuiApplication::clipboard()->setText(QString::fromStdString(link));
    m_app.game.addSystemLine("Copied " + link + " to the clipboard, for friends on " +
                             portmap::goodFor(offered.front()));
}

void WindowRoles::setRouter(net::RouterPort::MapperFactory makeMapper, net::RouterPort::Scheduler scheduler)
{
    m_routerPort.reset();
    m_makeMapper = std::move(makeMapper);
    m_routerScheduler = std::move(scheduler);
}

void WindowRoles::followRoleOnRouter()
{
    // A solo game listens on 127.0.0.1 alone: nothing to map. Nor when the
    // player switched the port off.
    if (m_app.role() != Role::Host || !m_app.game.settings().preferences().openRouterPort) {
        closeRouterPort();
        return;
    }
    if (!m_routerPort) {
        net::RouterPort::MapperFactory makeMapper = m_makeMapper;
        if (!makeMapper) {
            const portmap::RouterMapperOptions options = portmap::routerMapperOptionsFromEnvironment();
            if (!portmap::hasRouterToAsk(options))
                return;
            makeMapper = [options] { return portmap::makeRouterMapper(options); };
        }
        m_routerPort = std::make_unique<net::RouterPort>(std::move(makeMapper));
        if (m_routerScheduler)
            m_routerPort->setScheduler(m_routerScheduler);
        connect(m_routerPort.get(), &net::RouterPort::answered, this, &WindowRoles::routerAnswered);
    }
    if (m_routerPort->port() != m_app.server().port())
        m_routerPort->open(m_app.server().port());
}

void WindowRoles::closeRouterPort()
{
    // The removal is queued on the router's thread: the window goes on at
    // once, even while an earlier request still waits for the router.
    if (m_routerPort)
        m_routerPort->close();
}

void WindowRoles::routerAnswered()
{
    m_app.game.addSystemLine(m_routerPort->message().toStdString());
    if (!m_routerPort->pinholeMessage().isEmpty())
        m_app.game.addSystemLine(m_routerPort->pinholeMessage().toStdString());
    if (m_hostDialog.isVisible() && m_app.role() == Role::Host)
        showHosting();
}

void WindowRoles::showHosting()
{
    const int port = m_app.server().port();
    // Without a router to ask, the dialog keeps its note on forwarding.
    QString line;
    if (m_routerPort && m_routerPort->port() != 0) {
        line = m_routerPort->message();
        if (!m_routerPort->pinholeMessage().isEmpty())
            line += QStringLiteral("\n") + m_routerPort->pinholeMessage();
    } else if (!m_app.game.settings().preferences().openRouterPort)
        line = QString::fromStdString(portmap::switchedOffMessage(port));
    m_hostDialog.showHosting(offeredAddresses(), port, line);
}

void WindowRoles::leaveRole()
{
    // The mapping's removal is asked for before the port closes.
    closeRouterPort();
    m_app.leaveGame();
}

QString WindowRoles::lastName() const
{
    const std::string stored = m_app.game.settings().joinHistory().playerName;
    return stored.empty() ? loginName() : client::fromEightBit(stored);
}

void WindowRoles::rememberName(const QString& name, const QString& hostAndPort)
{
    settings::SettingsFile& file = m_app.game.settings();
    if (file.path().empty())
        return;
    settings::JoinHistory history = file.joinHistory();
    history.playerName = client::eightBit(name);
    if (!hostAndPort.isEmpty())
        history.joined(hostAndPort.toStdString());
    if (!file.saveJoinHistory(history))
        m_app.game.addSystemLine("The name and host were not kept: " + file.problem());
}

QString WindowRoles::leaveQuestion() const
{
    // Nobody is cut off from a table whose host is gone.
    if (m_app.game.hostLost())
        return {};
    const Role role = m_app.role();
    const client::Roster& roster = m_app.game.game().roster();
    const bool running = m_app.game.gameRunning();
    // At a table this copy hosts, every connection but the window's own is
    // somebody leaving would cut off; Klot holds none.
    int others = 0;
    if (role == Role::Solo || role == Role::Host) {
        const engine::GameState& state = m_app.server().state();
        for (int slot = 1; slot <= engine::kMaxConnections; ++slot)
            if (state.players[std::size_t(slot)].connected && !roster.isMe(slot))
                ++others;
    }
    if (others > 0) {
        if (running)
            return QStringLiteral("A game is running, and you host it: leaving ends it for every player. "
                                  "Leave it?");
        return QStringLiteral("You host this table, and %1 at it: leaving ends the table for them and "
                              "disconnects them. Leave it?")
            .arg(others == 1 ? QStringLiteral("another person is")
                             : QStringLiteral("%1 other people are").arg(others));
    }
    if (running)
        return QStringLiteral("A game is running. Leave it?");
    if (role == Role::Join && roster.othersAtTable())
        return QStringLiteral("Other people are at the table you joined: leaving disconnects you from them. "
                              "Leave it?");
    return {};
}

void WindowRoles::whenLeaving(const std::function<void()>& then)
{
    const QString question = leaveQuestion();
    if (question.isEmpty()) {
        then();
        return;
    }
    if (m_leaveBox)
        m_leaveBox->close();
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Leave Game"), question,
                                QMessageBox::Yes | QMessageBox::No, &m_app.game.window());
    box->setObjectName(QStringLiteral("leavebox"));
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [then](int answer) {
        if (answer == QMessageBox::Yes)
            then();
    });
    m_leaveBox = box;
    box->open();
}

void WindowRoles::newSoloGame()
{
    whenLeaving([this] {
        m_joining = false;
        m_joinTimer.stop();
        leaveRole();
        m_app.start(client::processparams({}), false);
    });
}

void WindowRoles::leaveGame()
{
    whenLeaving([this] {
        m_joining = false;
        m_joinTimer.stop();
        leaveRole();
        m_app.game.addSystemLine("You left the game. The File menu starts another.");
        m_hostDialog.showSetup();
    });
}

void WindowRoles::openHostDialog()
{
    if (m_app.role() == Role::Host) {
        showHosting();
    } else {
        m_hostDialog.setPlayerName(lastName());
        m_hostDialog.setPort(net::defaultHostPort() > 0 ? net::defaultHostPort() : client::invite::kDefaultPort);
        m_hostDialog.showSetup();
    }
    showWindow(m_hostDialog);
}

void WindowRoles::host(const QString& name, int port)
{
    whenLeaving([this, name, port] {
        m_joining = false;
        m_joinTimer.stop();
        leaveRole();
        const std::string problem = m_app.tryStart(networkPlan(Role::Host, name, {}, port), false);
        if (!problem.empty()) {
            leaveRole();
            m_hostDialog.showSetup(
                QStringLiteral("Port %1 is in use on this computer (another game or program holds it). "
                               "Pick another port, or close that program.")
                    .arg(port));
            return;
        }
        rememberName(name);
        followRoleOnRouter();
        const QList<QHostAddress> addresses = windows::invitableAddresses();
        showHosting();
        // No colon before the end: the chat shows a line's start up to one as a name.
        if (!addresses.isEmpty())
            m_app.game.addSystemLine("Others join this game at " + addresses.front().toString().toStdString() +
                                     " port " + std::to_string(m_app.server().port()) +
                                     " (File, Host a Network Game... has every address and the invite link)");
    });
}

void WindowRoles::openJoinDialog()
{
    const settings::JoinHistory history = m_app.game.settings().joinHistory();
    QStringList recent;
    for (const std::string& entry : history.recentHosts)
        recent << QString::fromStdString(entry);
    m_joinDialog.setRecentHosts(recent);
    if (!m_joining) {
        m_joinDialog.setPlayerName(lastName());
        const int port = net::defaultHostPort() > 0 ? net::defaultHostPort() : client::invite::kDefaultPort;
        m_joinDialog.setTarget({}, port);
        m_joinDialog.showReady();
    }
    showWindow(m_joinDialog);
}

void WindowRoles::joinInvite(const QString& link, bool asked)
{
    const auto target = client::invite::parseLink(client::eightBit(link));
    if (!target) {
        m_joinDialog.showProblem(QStringLiteral("That invite link is malformed, so nothing was joined: \"%1\". "
                                                "An invite reads lexiflip://HOST or lexiflip://HOST:PORT.")
                                     .arg(link.left(300)));
        showWindow(m_joinDialog);
        return;
    }
    const Join wanted{lastName(), QString::fromStdString(target->host), target->port, true};
    m_joinDialog.setPlayerName(wanted.name);
    m_joinDialog.setTarget(wanted.host, wanted.port);
    showWindow(m_joinDialog);
    if (asked) {
        m_app.game.window().activateWindow();
        m_join = wanted;
        connectTo({});
        return;
    }
    join(wanted);
}

void WindowRoles::join(const Join& wanted)
{
    whenLeaving([this, wanted] {
        m_join = wanted;
        connectTo({});
    });
}

// First the address (a name is looked up without waiting), then, with the
// game left, the connection.
void WindowRoles::connectTo(const QString& address)
{
    if (address.isEmpty()) {
        const QHostAddress literal(m_join.host);
        if (literal.isNull()) {
            if (m_lookupId >= 0)
                QHostInfo::abortHostLookup(m_lookupId);
            m_joinDialog.showWorking(QStringLiteral("Looking up %1...").arg(m_join.host));
            m_lookupId = QHostInfo::lookupHost(m_join.host, this, SLOT(onLookedUp(QHostInfo)));
            return;
        }
        connectTo(literal.toString());
        return;
    }
    leaveRole();
    m_app.game.setJoinPending(true);
    m_joining = true;
    m_joinDialog.showWorking(QStringLiteral("Connecting to %1...").arg(where(m_join.host, m_join.port)));
    m_joinTimer.start(m_joinTimeoutMs);
    m_app.start(networkPlan(Role::Join, m_join.name, address, m_join.port), false);
}

void WindowRoles::onLookedUp(const QHostInfo& info)
{
    if (info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    QHostAddress found;
    for (const QHostAddress& address : info.addresses()) {
        if (found.isNull() || (address.protocol() == QAbstractSocket::IPv4Protocol &&
                               found.protocol() != QAbstractSocket::IPv4Protocol))
            found = address;
    }
    if (found.isNull()) {
        m_joinDialog.showProblem(
            QStringLiteral("No computer is called \"%1\": check the name, or type its address.").arg(m_join.host));
        showWindow(m_joinDialog);
        return;
    }
    connectTo(found.toString());
}

void WindowRoles::onSocketError(const QString& text)
{
    if (!m_joining)
        return;
    const std::string error = text.toStdString();
    if (error == net::socketErrorText(10061))
        joinFailed(refusedText(m_join.host, m_join.port));
    else if (error == net::socketErrorText(10060))
        joinFailed(noAnswerText(m_join.host, m_join.port, (m_joinTimeoutMs + 999) / 1000));
    else if (error == net::socketErrorText(10051) || error == net::socketErrorText(10065))
        joinFailed(QStringLiteral("%1 cannot be reached from this computer: check its network connection.")
                       .arg(where(m_join.host, m_join.port)));
    else
        joinFailed(QStringLiteral("Could not join %1: %2").arg(where(m_join.host, m_join.port), text));
}

void WindowRoles::joined()
{
    m_joining = false;
    m_joinTimer.stop();
    m_app.game.setJoinPending(false);
    rememberName(m_join.name, where(m_join.host, m_join.port));
    m_joinDialog.showReady();
    m_joinDialog.hide();
}

void WindowRoles::joinFailed(const QString& text)
{
    m_joining = false;
    m_joinTimer.stop();
    m_app.leaveGame();
    m_joinDialog.showProblem(text);
    showWindow(m_joinDialog);
}

} // namespace lexiflip::app
