#pragma once

#include <QObject>
#include <QString>

#include "client/window/desktop_notice.h"

class QWidget;

namespace lexiflip::client {

// Calls the player back when his own turn starts while another program has
// the focus (no window of ours is the active one): the window asks the
// desktop for attention (its urgency hint, for the length of the turn) and
// its title reads "Your turn - Lexiflip" until the window is activated or the
// turn ends; with the option on, a desktop notification says it too and goes
// when the call ends. A turn that starts while one of our windows is active
// calls nobody: the player is looking at the game.
class TurnAttention : public QObject {
    Q_OBJECT

public:
    static QString callingTitle() { return QStringLiteral("Your turn - Lexiflip"); }

    // window: the main window, whose activation ends a call.
    TurnAttention(QWidget& window, DesktopNotice& notice);
    ~TurnAttention() override;

    // "Notify When It Is My Turn".
    void setNotify(bool on) { m_notify = on; }
    // Whether the own turn is on now, told after every change of the game;
    // turnSeconds is the length of a turn (any number: the call holds it to
    // the turn's range).
    void setOwnTurn(bool ownTurn, int turnSeconds);
    bool calling() const { return m_calling; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void call(int turnSeconds);
    void endCall();

    QWidget& m_window;
    DesktopNotice& m_notice;
    bool m_notify = true;
    bool m_ownTurn = false;
    bool m_calling = false;
    // The title the call replaced.
    QString m_title;
};

} // namespace lexiflip::client
