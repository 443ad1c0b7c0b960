#include "windows/replay/open_record_dialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/session/eight_bit_text.h"
#include "record/record_files.h"
#include "windows/replay/recent_records.h"

namespace lexiflip::windows {

namespace {

QString pathText(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

enum Column { Date, Players, Scores, Winner, Columns };

} // namespace

OpenRecordDialog::OpenRecordDialog(QWidget* parent)
    : SmallWindow(QStringLiteral("Lexiflip - Open Game Record"), QStringLiteral("Open Game Record"), parent,
                  Qt::Window)
{
    setObjectName(QStringLiteral("OpenRecordDialog"));
    QVBoxLayout* layout = body();
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("label_note"));
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    layout->addWidget(m_note);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list_records"));
    m_list->setAccessibleName(QStringLiteral("Recent games"));
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setColumnCount(Columns);
    m_list->setHeaderLabels({QStringLiteral("Date"), QStringLiteral("Players"), QStringLiteral("Scores"),
                             QStringLiteral("Winner")});
    m_list->header()->setStretchLastSection(true);
    m_list->setMinimumSize(560, 260);
    layout->addWidget(m_list, 1);

    auto* buttons = new QHBoxLayout;
    auto* another = new QPushButton(QStringLiteral("Open &Another File..."), this);
    another->setObjectName(QStringLiteral("button_another"));
    m_open = new QPushButton(QStringLiteral("&Open"), this);
    m_open->setObjectName(QStringLiteral("button_open"));
    m_open->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("button_cancel"));
    buttons->addWidget(another);
    buttons->addStretch(1);
    buttons->addWidget(m_open);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_open, &QPushButton::clicked, this, &OpenRecordDialog::openSelected);
    connect(another, &QPushButton::clicked, this, &OpenRecordDialog::openAnother);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_list, &QTreeWidget::itemActivated, this, &OpenRecordDialog::openSelected);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { m_open->setEnabled(current && !current->isDisabled()); });
}

void OpenRecordDialog::showRecords(const std::filesystem::path& folder)
{
    m_folder = folder;
    m_list->clear();
    const std::vector<RecordEntry> entries = recentRecords(folder);
    for (const RecordEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(Date, client::shownText(entry.date));
        if (entry.problem.empty()) {
            item->setText(Players, client::shownText(entry.players));
            item->setText(Scores, client::shownText(entry.scores));
            item->setText(Winner, entry.winner.empty() ? QStringLiteral("not finished")
                                                       : client::shownText(entry.winner));
        } else {
            // Listed, so that a damaged record is seen, but it cannot be opened.
            item->setText(Players,
                          QStringLiteral("Cannot be replayed: %1").arg(client::shownText(entry.problem)));
            item->setFirstColumnSpanned(false);
            item->setDisabled(true);
        }
        item->setData(Date, Qt::UserRole, pathText(entry.file));
        item->setToolTip(Date, pathText(entry.file));
    }
    for (int column = 0; column < Columns - 1; ++column)
        m_list->resizeColumnToContents(column);
    m_note->setText(entries.empty()
                        ? QStringLiteral("No games are recorded in %1 yet.").arg(pathText(folder))
                        : QStringLiteral("The games recorded in %1, newest first.").arg(pathText(folder)));
    m_list->setCurrentItem(m_list->topLevelItem(0));
    m_open->setEnabled(m_list->currentItem() && !m_list->currentItem()->isDisabled());
    show();
    raise();
    activateWindow();
    m_list->setFocus(Qt::OtherFocusReason);
}

void OpenRecordDialog::openSelected()
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item || item->isDisabled())
        return;
    const QString path = item->data(Date, Qt::UserRole).toString();
    close();
    emit recordChosen(path);
}

void OpenRecordDialog::openAnother()
{
    const QString folder = pathText(m_folder);
    const QString path = m_choose
                             ? m_choose(folder)
                             : QFileDialog::getOpenFileName(
                                   this, QStringLiteral("Open Game Record"), folder,
                                   QStringLiteral("Game records (*%1);;All files (*)")
                                       .arg(QString::fromLatin1(record::kRecordSuffix.data(),
                                                                qsizetype(record::kRecordSuffix.size()))));
    if (path.isEmpty())
        return;
    close();
    emit recordChosen(path);
}

} // namespace lexiflip::windows
