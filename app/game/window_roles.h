#pragma once

#include <QHostInfo>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

#include "net/lan_search.h"
#include "net/router_port.h"
#include "windows/small/host_dialog.h"
#include "windows/small/join_dialog.h"

class QMessageBox;

namespace lexiflip::app {

class LexiflipApp;

// The File menu's roles and what leads to them: "New Solo Game", "Host a
// Network Game...", "Join a Network Game...", "Leave Game", the join and host
// dialogs, and invite links (from the command line, a later copy, the chat).
//
// Every change of role leaves the current game first, as closing would
// (LexiflipApp::leaveGame), and asks before it leaves a game that runs; then
// the new role starts through the command line's steps (LexiflipApp::start).
//
// A join from the window waits for nothing: a host name is looked up, and
// the connection made, while the window goes on; the join dialog says each
// step and, in a player's words, why a join failed (no such host, refused,
// no answer in time, a full game, another version). A failed join leaves
// the window at a bare table with the dialog open to try again.
class WindowRoles : public QObject {
    Q_OBJECT

public:
    static constexpr int kJoinTimeoutMs = 10000;

    explicit WindowRoles(LexiflipApp& app);
    ~WindowRoles() override;

    windows::JoinDialog& joinDialog() { return m_joinDialog; }
    windows::HostDialog& hostDialog() { return m_hostDialog; }

    // Joins the invite link's host with the last name used. asked: the
    // player already said yes to leaving his game (the chat's box); else a
    // running game is left only after asking. A malformed link is refused
    // in the join dialog and nothing else happens.
    void joinInvite(const QString& link, bool asked);

    // How long a join waits for the host to seat the player (tests shorten it).
    void setJoinTimeoutMs(int milliseconds) { m_joinTimeoutMs = milliseconds; }
    // The name last used to host or join, else the login name.
    QString lastName() const;
    // The role changed: "Leave Game" is there only while there is a game to leave.
    void showRoleEntries();

    // The router asked when this copy hosts, and the timer of its renewals
    // and time limit: tests give a router of their own and a stepped timer.
    // Unset, the real router the environment allows (none when confined
    // without a named one) on Qt's timers. Takes effect at the next hosting.
    void setRouter(net::RouterPort::MapperFactory makeMapper, net::RouterPort::Scheduler scheduler = {});

private slots:
    void onLookedUp(const QHostInfo& info);

private:
    struct Join {
        QString name;
        QString host; // as the player gave it, for what the dialog says
        int port = 0;
        bool fromDialog = false;
    };

    void connectMenu();
    void connectJoining();
    // Runs then once the table may be left: at once when leaving ends no
    // running game and cuts nobody else off, else after the player said yes.
    void whenLeaving(const std::function<void()>& then);
    // What the player is asked before leaving, empty when nothing is asked:
    // a running game, or other people at the table (joined or watching at a
    // table this copy hosts, or at the table it joined), ask; a solo table
    // between games, or one with Klot alone, does not.
    QString leaveQuestion() const;

    void newSoloGame();
    void leaveGame();
    void openHostDialog();
    void host(const QString& name, int port);
    void openJoinDialog();
    void join(const Join& join);
    void connectTo(const QString& address);
    void joined();
    void joinFailed(const QString& text);
    void onSocketError(const QString& text);
    void rememberName(const QString& name, const QString& hostAndPort = {});
    // The router's port follows the role: asked for when this copy hosts
    // for the network (and the setting allows), removed when it leaves or
    // the setting is switched off. One RouterPort serves every hosting, so
    // that letting a port go never waits for a router still answering.
    void followRoleOnRouter();
    void closeRouterPort();
    void routerAnswered();
    void showHosting();
    void leaveRole();
    // The hosting copy's addresses, the invite's first.
    std::vector<portmap::OfferedAddress> offeredAddresses() const;
    void copyInviteLink();

    LexiflipApp& m_app;
    windows::JoinDialog m_joinDialog;
    windows::HostDialog m_hostDialog;
    net::LanSearch m_search;
    QTimer m_joinTimer;
    int m_joinTimeoutMs = kJoinTimeoutMs;
    int m_lookupId = -1;
    Join m_join;
    // A join whose connection was opened and is not decided yet.
    bool m_joining = false;
    QPointer<QMessageBox> m_leaveBox;
    net::RouterPort::MapperFactory m_makeMapper;
    net::RouterPort::Scheduler m_routerScheduler;
    std::unique_ptr<net::RouterPort> m_routerPort;
};

// The texts the join dialog says when a join fails or warns, with the host
// as the player gave it and the port.
QString refusedText(const QString& host, int port);
QString noAnswerText(const QString& host, int port, int seconds);
QString gameFullText(const QString& host, int port);
QString versionDiffersText(const QString& host, int port);

} // namespace lexiflip::app
