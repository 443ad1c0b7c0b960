#include "windows/small/host_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "client/media/palette.h"
#include "client/shell/invite_link.h"
#include "windows/small/join_dialog.h"

namespace lexiflip::windows {

namespace palette = client::palette;

QList<QHostAddress> invitableAddresses()
{
    QList<QHostAddress> addresses;
    for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
        const auto flags = face.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : face.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.isLoopback() || address.isLinkLocal() || address.isNull() || addresses.contains(address))
                continue;
            addresses.append(address);
        }
    }
    std::stable_partition(addresses.begin(), addresses.end(), [](const QHostAddress& address) {
        return address.protocol() == QAbstractSocket::IPv4Protocol;
    });
    return addresses;
}

HostDialog::HostDialog(QWidget* parent)
    : SmallWindow(QStringLiteral("Lexiflip - Host a Network Game"), QStringLiteral("Host a Network Game"), parent,
                  Qt::Dialog),
      m_setup(new QWidget(this)), m_name(new QLineEdit(m_setup)), m_port(new QSpinBox(m_setup)),
      m_host(new QPushButton(QStringLiteral("&Host"), this)), m_invite(new QWidget(this)),
      m_hostingText(new QLabel(m_invite)), m_addresses(new QListWidget(m_invite)),
      m_forwarding(new QLabel(m_invite)), m_copy(new QPushButton(QStringLiteral("&Copy Invite"), this)),
      m_status(new QLabel(this)), m_close(new QPushButton(QStringLiteral("Close"), this))
{
    setObjectName(QStringLiteral("HostDialog"));
    setStyleSheet(dialogStyleSheet());
    setUpNameAndPort(*m_name, QStringLiteral("edit_hostname"), *m_port, QStringLiteral("spin_hostport"));
    m_host->setObjectName(QStringLiteral("button_host"));
    m_copy->setObjectName(QStringLiteral("button_copyinvite"));
    m_close->setObjectName(QStringLiteral("button_hostclose"));
    m_addresses->setObjectName(QStringLiteral("list_addresses"));
    m_addresses->setAccessibleName(QStringLiteral("Addresses to join"));
    // Room for three addresses before the list scrolls.
    m_addresses->setMinimumHeight(m_addresses->fontMetrics().height() * 5);
    m_status->setObjectName(QStringLiteral("label_hoststatus"));
    m_forwarding->setObjectName(QStringLiteral("label_forwarding"));
    // The status line says the invite and a system's words, never markup.
    for (QLabel* label : {m_hostingText, m_forwarding, m_status}) {
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
    }

    auto* nameLabel = new QLabel(QStringLiteral("Your &name:"), m_setup);
    nameLabel->setBuddy(m_name);
    auto* portLabel = new QLabel(QStringLiteral("&Port:"), m_setup);
    portLabel->setBuddy(m_port);
    auto* setup = new QGridLayout(m_setup);
    setup->setContentsMargins(0, 0, 0, 0);
    setup->addWidget(nameLabel, 0, 0);
    setup->addWidget(m_name, 0, 1);
    setup->addWidget(portLabel, 1, 0);
    setup->addWidget(m_port, 1, 1, Qt::AlignLeft);
    auto* note = new QLabel(QStringLiteral("Other players join this computer on this TCP port. "
                                           "7772 is the game's own; pick another only when it is taken."),
                            m_setup);
    note->setWordWrap(true);
    setup->addWidget(note, 2, 0, 1, 2);

    auto* invite = new QVBoxLayout(m_invite);
    invite->setContentsMargins(0, 0, 0, 0);
    invite->addWidget(m_hostingText);
    invite->addWidget(m_addresses, 1);
    invite->addWidget(m_forwarding);

    body()->addWidget(m_setup);
    body()->addWidget(m_invite, 1);
    body()->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_host);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_close);
    body()->addLayout(buttons);
    setTabOrder(m_name, m_port);
    setTabOrder(m_port, m_host);
    setTabOrder(m_host, m_addresses);
    setTabOrder(m_addresses, m_copy);
    setTabOrder(m_copy, m_close);
    resize(440, 300);

    connect(m_host, &QPushButton::clicked, this, &HostDialog::requestHost);
    connect(m_copy, &QPushButton::clicked, this, &HostDialog::copyInvite);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_addresses, &QListWidget::itemActivated, this, &HostDialog::copyInvite);
    showSetup();
}

void HostDialog::setPlayerName(const QString& name)
{
    m_name->setText(name);
}

QString HostDialog::playerName() const
{
    return m_name->text().trimmed();
}

void HostDialog::setPort(int port)
{
    m_port->setValue(port);
}

int HostDialog::port() const
{
    return m_port->value();
}

void HostDialog::showSetup(const QString& problem)
{
    m_hosting = false;
    m_setup->show();
    m_host->show();
    m_invite->hide();
    m_copy->hide();
    showStatus(problem, !problem.isEmpty());
    m_name->setFocus();
    fitToPage(false);
}

void HostDialog::showHosting(const std::vector<portmap::OfferedAddress>& offered, int port,
                             const QString& routerLine)
{
    QList<QHostAddress> addresses;
    for (const portmap::OfferedAddress& address : offered)
        addresses << QHostAddress(QString::fromStdString(address.host));
    showHosting(addresses, port);
    for (int row = 0; row < m_addresses->count() && row < static_cast<int>(offered.size()); ++row) {
        const portmap::OfferedAddress& address = offered[std::size_t(row)];
        const client::invite::Target target{address.host, address.port};
        QListWidgetItem* item = m_addresses->item(row);
        item->setText(
            QStringLiteral("%1 (%2)").arg(QString::fromStdString(client::invite::hostAndPort(target)),
                                          QString::fromStdString(portmap::goodFor(address))));
        item->setData(Qt::UserRole, QString::fromStdString(client::invite::link(target)));
    }
    // Each address says where it reaches from, the internet's among them.
    if (!offered.empty())
        m_hostingText->setText(QStringLiteral("You host a game on port %1. Players join with the address for "
                                              "where they are; on your network they can also find the game "
                                              "with \"Search the Local Network\":")
                                   .arg(port));
    if (!routerLine.isEmpty())
        m_forwarding->setText(routerLine);
    fitToPage(true);
}

void HostDialog::showHosting(const QList<QHostAddress>& addresses, int port)
{
    m_hosting = true;
    m_setup->hide();
    m_host->hide();
    m_invite->show();
    m_copy->show();
    m_addresses->clear();
    for (const QHostAddress& address : addresses) {
        const client::invite::Target target{address.toString().toStdString(), port};
        auto* item = new QListWidgetItem(QString::fromStdString(client::invite::hostAndPort(target)), m_addresses);
        item->setData(Qt::UserRole, QString::fromStdString(client::invite::link(target)));
    }
    m_hostingText->setText(
        addresses.isEmpty()
            ? QStringLiteral("You host a game on port %1, but this computer has no network address: "
                             "only players on this computer can join it.")
                  .arg(port)
            : QStringLiteral("You host a game on port %1. Players on your network join with one of these "
                             "addresses, or find the game with \"Search the Local Network\":")
                  .arg(port));
    m_forwarding->setText(QStringLiteral("Players over the internet need TCP port %1 forwarded to this computer "
                                         "by your router, and a firewall here must let it in; give them your "
                                         "router's public address with the port.")
                              .arg(port));
    m_copy->setEnabled(!addresses.isEmpty());
    if (!addresses.isEmpty())
        m_addresses->setCurrentRow(0);
    showStatus({}, false);
    (addresses.isEmpty() ? static_cast<QWidget*>(m_close) : m_addresses)->setFocus();
    fitToPage(true);
}

// The layouts keep the size hints of the page shown last until the window is
// laid out again, which a hidden dialog never is: without asking afresh, the
// page that opens while hosting got the setup page's height, its lines
// clipped and its list squeezed to a row.
void HostDialog::fitToPage(bool keepTaller)
{
    layout()->invalidate();
    layout()->activate();
    const int needed = sizeHint().height();
    resize(width(), keepTaller ? std::max(height(), needed) : needed);
}

QString HostDialog::chosenInvite() const
{
    const QListWidgetItem* item = m_addresses->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

QString HostDialog::statusText() const
{
    return m_status->text();
}

void HostDialog::requestHost()
{
    if (playerName().isEmpty()) {
        showStatus(QStringLiteral("Type the name the other players will see."), true);
        m_name->setFocus();
        return;
    }
    emit hostRequested(playerName(), port());
}

void HostDialog::copyInvite()
{
    const QString invite = chosenInvite();
    if (invite.isEmpty())
        return;
    QApplication::clipboard()->setText(invite);
    showStatus(QStringLiteral("Copied %1 to the clipboard: paste it to the players you invite.").arg(invite),
               false);
}

void HostDialog::showStatus(const QString& text, bool problem)
{
    showDialogStatus(*m_status, text, problem);
}

void HostDialog::keyPressEvent(QKeyEvent* event)
{
    const auto host = [this] {
        if (!m_hosting)
            requestHost();
    };
    if (!takeDialogKey(*this, *event, host))
        SmallWindow::keyPressEvent(event);
}

} // namespace lexiflip::windows
