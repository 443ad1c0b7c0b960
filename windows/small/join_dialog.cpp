#include "windows/small/join_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "client/media/palette.h"
#include "client/shell/invite_link.h"

namespace lexiflip::windows {

namespace palette = client::palette;
namespace {

constexpr int kHostRole = Qt::UserRole;
constexpr int kPortRole = Qt::UserRole + 1;

QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QListWidget* hostList(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setMinimumHeight(64);
    return list;
}

} // namespace

void setUpNameAndPort(QLineEdit& name, const QString& nameObject, QSpinBox& port, const QString& portObject)
{
    name.setObjectName(nameObject);
    name.setAccessibleName(QStringLiteral("Your name"));
    port.setObjectName(portObject);
    port.setAccessibleName(QStringLiteral("Port"));
    port.setRange(1, 65535);
    port.setValue(client::invite::kDefaultPort);
}

void showDialogStatus(QLabel& status, const QString& text, bool problem)
{
    status.setText(text);
    status.setStyleSheet(problem ? QStringLiteral("color: %1;").arg(palette::styleColour(palette::kWarningText))
                                 : QString());
    status.setAccessibleName(text);
}

bool takeDialogKey(QWidget& dialog, const QKeyEvent& event, const std::function<void()>& act)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (qobject_cast<QListWidget*>(dialog.focusWidget()))
            return true;
        if (auto* button = qobject_cast<QPushButton*>(dialog.focusWidget()))
            button->click();
        else
            act();
        return true;
    case Qt::Key_Escape:
        dialog.close();
        return true;
    default:
        return false;
    }
}

QString dialogStyleSheet()
{
    const QString focus = palette::styleColour(palette::kTableTop);
    return smallWindowStyleSheet() +
           QStringLiteral("QPushButton:focus { border: 2px solid %1; }"
                          "QLineEdit:focus, QListWidget:focus { border: 2px solid %1; }")
               .arg(focus);
}

JoinDialog::JoinDialog(QWidget* parent)
    : SmallWindow(QStringLiteral("Lexiflip - Join a Network Game"), QStringLiteral("Join a Network Game"), parent,
                  Qt::Dialog),
      m_name(new QLineEdit(this)), m_host(new QLineEdit(this)), m_port(new QSpinBox(this)),
      m_recent(hostList(QStringLiteral("list_recent"), QStringLiteral("Recent hosts"), this)),
      m_search(new QPushButton(QStringLiteral("Search the &Local Network"), this)),
      m_found(hostList(QStringLiteral("list_found"), QStringLiteral("Games on the local network"), this)),
      m_foundNote(new QLabel(QStringLiteral("Nothing is searched until you ask."), this)),
      m_status(new QLabel(this)), m_join(new QPushButton(QStringLiteral("&Join"), this)),
      m_close(new QPushButton(QStringLiteral("Close"), this))
{
    setObjectName(QStringLiteral("JoinDialog"));
    setStyleSheet(dialogStyleSheet());
    setUpNameAndPort(*m_name, QStringLiteral("edit_name"), *m_port, QStringLiteral("spin_port"));
    m_host->setObjectName(QStringLiteral("edit_host"));
    m_host->setAccessibleName(QStringLiteral("Host"));
    m_host->setPlaceholderText(QStringLiteral("a name, or an IPv4 or IPv6 address"));
    m_search->setObjectName(QStringLiteral("button_search"));
    m_join->setObjectName(QStringLiteral("button_join"));
    m_close->setObjectName(QStringLiteral("button_joinclose"));
    m_status->setObjectName(QStringLiteral("label_joinstatus"));
    m_status->setWordWrap(true);
    m_status->setMinimumHeight(m_status->fontMetrics().height() * 2);
    m_foundNote->setObjectName(QStringLiteral("label_found"));
    m_foundNote->setWordWrap(true);
    // Both carry text from outside (an invite link, a host as given, a
    // system's error), which must never be read as markup.
    for (QLabel* label : {m_status, m_foundNote})
        label->setTextFormat(Qt::PlainText);

    auto* fields = new QGridLayout;
    fields->addWidget(labelFor(QStringLiteral("Your &name:"), m_name, this), 0, 0);
    fields->addWidget(m_name, 0, 1, 1, 3);
    fields->addWidget(labelFor(QStringLiteral("&Host:"), m_host, this), 1, 0);
    fields->addWidget(m_host, 1, 1);
    fields->addWidget(labelFor(QStringLiteral("&Port:"), m_port, this), 1, 2);
    fields->addWidget(m_port, 1, 3);
    fields->setColumnStretch(1, 1);
    body()->addLayout(fields);
    body()->addWidget(labelFor(QStringLiteral("&Recent hosts:"), m_recent, this));
    body()->addWidget(m_recent, 1);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(labelFor(QStringLiteral("Games on the local network:"), m_found, this), 1);
    searchRow->addWidget(m_search);
    body()->addLayout(searchRow);
    body()->addWidget(m_found, 1);
    body()->addWidget(m_foundNote);
    body()->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_join);
    buttons->addWidget(m_close);
    body()->addLayout(buttons);

    setTabOrder(m_name, m_host);
    setTabOrder(m_host, m_port);
    setTabOrder(m_port, m_recent);
    setTabOrder(m_recent, m_search);
    setTabOrder(m_search, m_found);
    setTabOrder(m_found, m_join);
    setTabOrder(m_join, m_close);
    resize(440, 480);

    connect(m_join, &QPushButton::clicked, this, &JoinDialog::requestJoin);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_search, &QPushButton::clicked, this, &JoinDialog::searchRequested);
    for (QListWidget* list : {m_recent, m_found}) {
        connect(list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) { takeItem(item); });
        connect(list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
            takeItem(item);
            requestJoin();
        });
    }
}

void JoinDialog::setPlayerName(const QString& name)
{
    m_name->setText(name);
}

QString JoinDialog::playerName() const
{
    return m_name->text().trimmed();
}

void JoinDialog::setTarget(const QString& host, int port)
{
    m_host->setText(host);
    m_port->setValue(port);
}

QString JoinDialog::host() const
{
    return m_host->text().trimmed();
}

int JoinDialog::port() const
{
    return m_port->value();
}

void JoinDialog::setRecentHosts(const QStringList& hostsAndPorts)
{
    m_recent->clear();
    for (const QString& entry : hostsAndPorts) {
        const auto target = client::invite::parseHostAndPort(entry.toStdString());
        if (!target)
            continue;
        auto* item = new QListWidgetItem(QString::fromStdString(client::invite::hostAndPort(*target)), m_recent);
        item->setData(kHostRole, QString::fromStdString(target->host));
        item->setData(kPortRole, target->port);
    }
}

void JoinDialog::searchStarted()
{
    m_found->clear();
    m_foundCount = 0;
    m_search->setEnabled(false);
    m_foundNote->setText(QStringLiteral("Searching the local network..."));
}

void JoinDialog::addLocalGame(const LocalGame& game)
{
    auto* item = new QListWidgetItem(game.description, m_found);
    item->setData(kHostRole, game.host);
    item->setData(kPortRole, game.port);
    ++m_foundCount;
    if (m_foundCount == 1)
        m_found->setCurrentRow(0);
}

void JoinDialog::searchFinished(const QString& problem)
{
    m_search->setEnabled(true);
    if (!problem.isEmpty())
        m_foundNote->setText(QStringLiteral("The search could not be sent: ") + problem);
    else if (m_foundCount == 0)
        m_foundNote->setText(QStringLiteral("No game answered. A host's firewall may block UDP port 7772, "
                                            "or the game is on another network: type its address."));
    else
        m_foundNote->setText(m_foundCount == 1 ? QStringLiteral("One game answered.")
                                               : QStringLiteral("%1 games answered.").arg(m_foundCount));
}

void JoinDialog::takeItem(QListWidgetItem* item)
{
    if (item)
        setTarget(item->data(kHostRole).toString(), item->data(kPortRole).toInt());
}

void JoinDialog::requestJoin()
{
    if (!m_join->isEnabled())
        return;
    if (playerName().isEmpty()) {
        showProblem(QStringLiteral("Type the name the other players will see."));
        m_name->setFocus();
        return;
    }
    const auto target = client::invite::parseHost(host().toStdString());
    if (!target) {
        showProblem(host().isEmpty() ? QStringLiteral("Type the host's name or address.")
                                     : QStringLiteral("\"%1\" is no host name or address.").arg(this->host()));
        m_host->setFocus();
        return;
    }
    emit joinRequested(playerName(), QString::fromStdString(*target), port());
}

void JoinDialog::showWorking(const QString& text)
{
    m_join->setEnabled(false);
    showStatus(text, false);
}

void JoinDialog::showProblem(const QString& text)
{
    m_join->setEnabled(true);
    showStatus(text, true);
}

void JoinDialog::showReady()
{
    m_join->setEnabled(true);
    showStatus({}, false);
}

QString JoinDialog::statusText() const
{
    return m_status->text();
}

void JoinDialog::showStatus(const QString& text, bool problem)
{
    showDialogStatus(*m_status, text, problem);
}

void JoinDialog::keyPressEvent(QKeyEvent* event)
{
    if (!takeDialogKey(*this, *event, [this] { requestJoin(); }))
        SmallWindow::keyPressEvent(event);
}

} // namespace lexiflip::windows
