// The window's way back to its table after a lost connection: the attempts
// and their pauses, the fresh login as a late joiner, and the offer once the
// host had its time.
#include <QMessageBox>
#include <QPushButton>

#include "client/game/client_game.h"
#include "client/media/palette.h"
#include "client/session/guarded.h"
#include "client/widgets/chat_view.h"
#include "client/window/game_window.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "client/window/turn_attention.h"

namespace lexiflip::client {

void GameWindow::connectReconnection()
{
    m_retryTimer.setSingleShot(true);
    m_attemptTimer.setSingleShot(true);
    connect(&m_session, &ClientSession::closed, this, [this] { connectionClosed(); });
    connect(&m_session, &ClientSession::socketError, this, [this](const QString& error) {
        // Each refused attempt would say the same thing again; a connection
        // that fails once made reports its close too.
        if (reconnecting()) {
            if (m_link == Link::Retrying)
                attemptFailed();
            return;
        }
        m_window->chatView().addlinetochat(error, QColor(palette::kSeatTextOnTurn));
    });
    connect(&m_session, &ClientSession::connected, this, [this] {
        if (m_link != Link::Retrying)
            return;
        // The host now has the attempt's time to announce the player.
        m_link = Link::Rejoining;
        m_attemptTimer.start(m_reconnectPlan.attemptMs);
    });
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        guarded([this] {
            ++m_attempt;
            m_freshConnection = true;
            m_session.close();
            m_session.open(m_hostAddress, m_hostPort);
            m_attemptTimer.start(m_reconnectPlan.attemptMs);
        });
    });
    connect(&m_attemptTimer, &QTimer::timeout, this, [this] { guarded([this] { attemptFailed(); }); });
}

// The session reports a close only when the player did not ask for it.
void GameWindow::connectionClosed()
{
    const Roster& roster = m_game->roster();
    // A join from the dialog reports there; a host that flooded the window
    // or said the game is full is not asked again, and the window closes
    // once its box was read, as it always did.
    if (m_joinPending || m_overrun || roster.turnedAway()) {
        stopReconnecting(Link::Up);
        closeWindow();
        return;
    }
    if (roster.removed()) {
        stopReconnecting(Link::Removed);
        return;
    }
    if (reconnecting()) {
        attemptFailed();
        return;
    }
    // A connection that never reached the table has no seat to go back to.
    if (!roster.loggedin() || m_link != Link::Up) {
        closeWindow();
        return;
    }
    startReconnecting();
}

void GameWindow::startReconnecting()
{
    m_link = Link::Retrying;
    m_attempt = 0;
    // Also when the host had not yet answered the last time's request.
    m_watchAgain = m_watchAgain || m_game->roster().justWatchChecked();
    if (m_reconnectOffer)
        m_reconnectOffer->close();
    m_session.setSilenceLimitMs(0);
    addSystemLine("Connection to the host lost. Reconnecting...");
    scheduleAttempt();
}

void GameWindow::scheduleAttempt()
{
    const std::optional<int> pause = m_reconnectPlan.pauseBefore(m_attempt);
    if (!pause) {
        giveUp();
        return;
    }
    m_retryTimer.start(*pause);
}

void GameWindow::attemptFailed()
{
    if (!reconnecting())
        return;
    m_attemptTimer.stop();
    m_freshConnection = false;
    m_session.close();
    m_link = Link::Retrying;
    scheduleAttempt();
}

void GameWindow::stopReconnecting(Link link)
{
    m_retryTimer.stop();
    m_attemptTimer.stop();
    m_freshConnection = false;
    m_link = link;
    if (m_reconnectOffer)
        m_reconnectOffer->close();
}

// A returning player is a late joiner: the host announces the table and
// catches him up from nothing, so nothing of the old table may linger (a seat
// whose player left meanwhile, a word half built). The options and the role
// this window was given stay.
void GameWindow::rejoinStarted()
{
    m_freshConnection = false;
    const std::string name = m_game->roster().loginname();
    m_game->reset();
    m_game->setIshost(m_hostsHere);
    m_game->roster().setLoginname(name);
    m_attention->setOwnTurn(false, 0);
    showPreferences();
    showEverything();
}

bool GameWindow::rejoinArrived()
{
    if (m_link != Link::Rejoining)
        return false;
    stopReconnecting(Link::Up);
    // The host forgets "just watch" with the connection; the player had not.
    // It is asked for until the host confirms it (followed in handleMessage).
    if (m_watchAgain)
        m_game->roster().askJustWatchAgain();
    emit reconnected();
    return true;
}

void GameWindow::giveUp()
{
    stopReconnecting(Link::GaveUp);
    m_session.close();
    const int minutes = (m_reconnectPlan.giveUpAfterMs + 30000) / 60000;
    const std::string within = minutes >= 1
                                   ? std::to_string(minutes) + " minute" + (minutes == 1 ? "" : "s")
                                   : std::to_string(m_reconnectPlan.giveUpAfterMs / 1000) + " seconds";
    addSystemLine("The host did not come back within " + within + ". Leave Game, or Try Again.");
    auto* offer =
        new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Lexiflip"),
                        QStringLiteral("The host did not come back."), QMessageBox::NoButton, m_window.get());
    offer->setObjectName(QStringLiteral("reconnectOffer"));
    offer->setWindowModality(Qt::NonModal);
    offer->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* leave = offer->addButton(QStringLiteral("Leave Game"), QMessageBox::RejectRole);
    leave->setObjectName(QStringLiteral("reconnectLeave"));
    QPushButton* again = offer->addButton(QStringLiteral("Try Again"), QMessageBox::AcceptRole);
    again->setObjectName(QStringLiteral("reconnectAgain"));
    offer->setDefaultButton(again);
    connect(leave, &QPushButton::clicked, this, [this] {
        // The File menu's Leave Game, with all its owner does on leaving.
        QTimer::singleShot(0, this, [this] { m_window->menu().action(MenuCommand::LeaveGame)->trigger(); });
    });
    connect(again, &QPushButton::clicked, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (m_link == Link::GaveUp)
                startReconnecting();
        });
    });
    m_reconnectOffer = offer;
    offer->show();
}

// While a game runs the host speaks at least once a turn; between games it
// may rightly say nothing for as long as the players chat elsewhere.
void GameWindow::followSilenceLimit()
{
    int limit = 0;
    if (m_game->turn().running())
        limit = m_fixedSilenceMs >= 0 ? m_fixedSilenceMs
                                      : m_game->turn().timer().turnSeconds * 1000 + kHostSilenceMarginMs;
    if (limit != m_session.silenceLimitMs())
        m_session.setSilenceLimitMs(limit);
}

} // namespace lexiflip::client
