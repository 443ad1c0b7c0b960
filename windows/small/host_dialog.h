#pragma once

#include <vector>

#include "net/portmap/address_reach.h"

#include <QHostAddress>
#include <QList>
#include <QString>

#include "windows/small/small_window.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace lexiflip::windows {

// "Host a Network Game": the player's name and the port, then Host. Once
// this copy hosts, the same dialog tells the player how others join: each
// of the machine's addresses with the port, a note that players over the
// internet need the port forwarded to this machine, and "Copy Invite", which
// puts the chosen address's invite link (lexiflip://HOST:PORT) on the
// clipboard. Enter presses the focused button (Host, else), Escape closes.
class HostDialog : public SmallWindow {
    Q_OBJECT

public:
    explicit HostDialog(QWidget* parent = nullptr);

    void setPlayerName(const QString& name);
    QString playerName() const;
    void setPort(int port);
    int port() const;

    // The form to host, with a problem of the last attempt (empty for none).
    void showSetup(const QString& problem = {});
    // This copy hosts on port: the addresses others may join (without the
    // port; none leaves only this machine).
    void showHosting(const QList<QHostAddress>& addresses, int port);
    // The same with each address's reach ("the internet over IPv4"), the
    // invite's first, and the router's line in place of the note on
    // forwarding when there is one.
    void showHosting(const std::vector<portmap::OfferedAddress>& offered, int port,
                     const QString& routerLine);
    bool hosting() const { return m_hosting; }
    // The invite link of the chosen address, empty when there is none.
    QString chosenInvite() const;
    QString statusText() const;

signals:
    void hostRequested(const QString& name, int port);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void requestHost();
    void copyInvite();
    void showStatus(const QString& text, bool problem);
    // Resizes to the height the page now shown needs.
    void fitToPage(bool keepTaller);

    QWidget* m_setup;
    QLineEdit* m_name;
    QSpinBox* m_port;
    QPushButton* m_host;
    QWidget* m_invite;
    QLabel* m_hostingText;
    QListWidget* m_addresses;
    QLabel* m_forwarding;
    QPushButton* m_copy;
    QLabel* m_status;
    QPushButton* m_close;
    bool m_hosting = false;
};

// The machine's addresses others may reach it on: every address of an
// interface that is up, but loopback and IPv6 link-local ones (which need a
// zone to be reached), IPv4 first.
QList<QHostAddress> invitableAddresses();

} // namespace lexiflip::windows
