#include "client/window/turn_attention.h"

#include "client/window/urgency_hint.h"
#include "wire/turn_time.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace lexiflip::client {

TurnAttention::TurnAttention(QWidget& window, DesktopNotice& notice) : m_window(window), m_notice(notice)
{
    m_window.installEventFilter(this);
}

TurnAttention::~TurnAttention()
{
    m_window.removeEventFilter(this);
}

void TurnAttention::setOwnTurn(bool ownTurn, int turnSeconds)
{
    if (ownTurn == m_ownTurn)
        return;
    m_ownTurn = ownTurn;
    // A window of our own in front (the options dialog the player just
    // started the game from, the tally) means he is here: only a turn that
    // starts while another program has the focus calls him.
    if (ownTurn && QApplication::activeWindow() == nullptr)
        call(turnSeconds);
    else if (!ownTurn)
        endCall();
}

void TurnAttention::call(int turnSeconds)
{
    m_calling = true;
    m_title = m_window.windowTitle();
    m_window.setWindowTitle(callingTitle());
    // The window manager's alert ends by itself when the window is activated
    // or the turn's time is up; the urgency hint is ours to take back. The
    // time is held to the turn's range, so its milliseconds fit an int.
    const int alertMs = turnSeconds > 0 ? wire::turnSecondsWithinRange(turnSeconds) * 1000 : 0;
    QApplication::alert(&m_window, alertMs);
    setUrgencyHint(m_window, true);
    if (m_notify)
        m_notice.show(QStringLiteral("Your turn"), QStringLiteral("It is your turn in Lexiflip."));
}

void TurnAttention::endCall()
{
    if (!m_calling)
        return;
    m_calling = false;
    m_window.setWindowTitle(m_title);
    setUrgencyHint(m_window, false);
    m_notice.withdraw();
}

bool TurnAttention::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::WindowActivate)
        endCall();
    return QObject::eventFilter(watched, event);
}

} // namespace lexiflip::client
