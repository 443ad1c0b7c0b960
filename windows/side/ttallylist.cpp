#include "windows/side/ttallylist.h"

#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <filesystem>

#include "client/session/eight_bit_text.h"

namespace lexiflip::windows {

namespace {

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdString());
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A counter: right-aligned so that the digits of a column line up.
QLabel* value(const QString& objectName, QWidget* parent, Qt::Alignment align = Qt::AlignRight)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText); // the best word comes from the host
    label->setAlignment(align | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(48);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

void fillList(QListWidget& list, const std::vector<CheckItem>& items)
{
    const int current = list.currentRow();
    list.clear();
    for (const CheckItem& entry : items) {
        auto* item = new QListWidgetItem(client::shownText(entry.name), &list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
    }
    if (current >= 0 && current < list.count())
        list.setCurrentRow(current);
}

} // namespace

Ttallylist::Ttallylist(TallyModel& model, QWidget* parent)
    : SmallWindow(QStringLiteral("Lexiflip - Tally List"), QStringLiteral("Tally List"), parent),
      m_model(model)
{
    setObjectName(QStringLiteral("Ttallylist"));
    buildControls();
    refresh();
    m_model.setChanged([this](bool listsChanged) {
        if (listsChanged)
            refresh();
        else
            refreshTexts();
    });
}

Ttallylist::~Ttallylist()
{
    m_model.setChanged({});
}

void Ttallylist::buildControls()
{
    QVBoxLayout* layout = body();
    // Top to bottom, which is also the tab order.
    buildOwnTotals(*layout);
    buildLists(*layout);
    buildOpponentDetail(*layout);
    buildButtons(*layout);

    connect(m_reset, &QPushButton::clicked, this, &Ttallylist::button_resetClick);
    connect(m_done, &QPushButton::clicked, this, &Ttallylist::button_doneClick);
    connect(m_listboxTally, &QListWidget::currentRowChanged, this, [this](int row) { m_model.select(row); });
    connect(m_listboxTally, &QListWidget::itemChanged, this, &Ttallylist::onTalliedChanged);
    connect(m_checklist, &QListWidget::itemChanged, this, &Ttallylist::onChecklistChanged);

    resize(520, 500 + kHeaderHeight);
}

// The own totals.
void Ttallylist::buildOwnTotals(QVBoxLayout& layout)
{
    auto* own = new QGroupBox(QStringLiteral("Your Tally"), this);
    auto* ownGrid = new QGridLayout(own);
    ownGrid->setHorizontalSpacing(12);
    const std::array<QString, 4> ownCaptions = {QStringLiteral("Total Games:"), QStringLiteral("Your Wins:"),
                                                QStringLiteral("Total Words:"), QStringLiteral("Best Word:")};
    for (int i = 0; i < 4; ++i) {
        const int row = i % 2;
        const int column = i / 2 * 3;
        m_mylabels[i] = value(QStringLiteral("mylabel_%1").arg(i + 1), own, Qt::AlignLeft);
        ownGrid->addWidget(caption(ownCaptions[i], own), row, column);
        ownGrid->addWidget(m_mylabels[i], row, column + 1);
    }
    ownGrid->setColumnMinimumWidth(1, 70);
    ownGrid->setColumnMinimumWidth(2, 24);
    ownGrid->setColumnStretch(4, 1);
    layout.addWidget(own);
}

// The two lists side by side.
void Ttallylist::buildLists(QVBoxLayout& layout)
{
    auto* lists = new QHBoxLayout();
    lists->setSpacing(10);
    auto* talliedBox = new QGroupBox(QStringLiteral("Players Being Tallied"), this);
    auto* talliedLayout = new QVBoxLayout(talliedBox);
    m_listboxTally = new QListWidget(talliedBox);
    m_listboxTally->setObjectName(QStringLiteral("listbox_tally"));
    m_listboxTally->setToolTip(QStringLiteral("Select a player to see the tally; untick to stop following"));
    talliedLayout->addWidget(m_listboxTally);
    auto* gameBox = new QGroupBox(QStringLiteral("Players In Current Game"), this);
    auto* gameLayout = new QVBoxLayout(gameBox);
    m_checklist = new QListWidget(gameBox);
    m_checklist->setObjectName(QStringLiteral("checklist"));
    m_checklist->setToolTip(QStringLiteral("Tick a player to follow"));
    gameLayout->addWidget(m_checklist);
    for (QListWidget* list : {m_listboxTally, m_checklist}) {
        list->setMinimumSize(180, 120);
        list->setAlternatingRowColors(true);
    }
    lists->addWidget(talliedBox, 1);
    lists->addWidget(gameBox, 1);
    layout.addLayout(lists, 1);
}

// The selected opponent's counters: Total and Session side by side.
void Ttallylist::buildOpponentDetail(QVBoxLayout& layout)
{
    auto* detail = new QFrame(this);
    detail->setFrameShape(QFrame::StyledPanel);
    auto* detailGrid = new QGridLayout(detail);
    detailGrid->setHorizontalSpacing(16);
    // The opponent's name is whatever the network sent: never markup.
    m_hisnametop = new QLabel(detail);
    m_hisnametop->setObjectName(QStringLiteral("label_hisnametop"));
    m_hisnametop->setTextFormat(Qt::PlainText);
    QFont topFont = m_hisnametop->font();
    topFont.setBold(true);
    topFont.setPointSizeF(topFont.pointSizeF() * 1.2);
    m_hisnametop->setFont(topFont);
    detailGrid->addWidget(m_hisnametop, 0, 0, 1, 3);
    auto* total = caption(QStringLiteral("Total"), detail);
    auto* session = caption(QStringLiteral("Session"), detail);
    for (QLabel* header : {total, session}) {
        header->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont font = header->font();
        font.setUnderline(true);
        header->setFont(font);
    }
    detailGrid->addWidget(total, 1, 1);
    detailGrid->addWidget(session, 1, 2);
    m_hisname = new QLabel(detail);
    m_hisname->setObjectName(QStringLiteral("label_hisname"));
    m_hisname->setTextFormat(Qt::PlainText);
    const std::array<QLabel*, 4> rowCaptions = {caption(QStringLiteral("Number of Games"), detail), m_hisname,
                                                caption(QStringLiteral("Your Wins:"), detail),
                                                caption(QStringLiteral("Neither Won:"), detail)};
    for (int i = 0; i < 4; ++i) {
        m_labels[i] = value(QStringLiteral("label_%1").arg(i + 1), detail);
        m_labels[i + 4] = value(QStringLiteral("label_%1").arg(i + 5), detail);
        detailGrid->addWidget(rowCaptions[i], i + 2, 0);
        detailGrid->addWidget(m_labels[i], i + 2, 1);
        detailGrid->addWidget(m_labels[i + 4], i + 2, 2);
    }
    detailGrid->setColumnStretch(0, 1);
    layout.addWidget(detail);
}

void Ttallylist::buildButtons(QVBoxLayout& layout)
{
    auto* buttons = new QHBoxLayout();
    m_reset = new QPushButton(QStringLiteral("Reset Tally"), this);
    m_reset->setObjectName(QStringLiteral("button_reset"));
    m_done = new QPushButton(QStringLiteral("Done"), this);
    m_done->setObjectName(QStringLiteral("button_done"));
    m_done->setDefault(true);
    buttons->addWidget(m_reset);
    buttons->addStretch(1);
    buttons->addWidget(m_done);
    layout.addLayout(buttons);
}

void Ttallylist::refresh()
{
    refreshTexts();
    refreshLists();
}

void Ttallylist::refreshTexts()
{
    const TallyTexts& texts = tally().texts();
    for (std::size_t i = 0; i < m_mylabels.size(); ++i)
        m_mylabels[i]->setText(client::shownText(texts.mylabel[i]));
    for (std::size_t i = 0; i < m_labels.size(); ++i)
        m_labels[i]->setText(client::shownText(texts.label[i]));
    m_hisname->setText(client::shownText(texts.hisname));
    m_hisnametop->setText(client::shownText(texts.hisnametop));
}

void Ttallylist::refreshLists()
{
    const QSignalBlocker talliedQuiet(m_listboxTally);
    const QSignalBlocker checklistQuiet(m_checklist);
    std::vector<CheckItem> tallied;
    for (const std::string& name : tally().tallied())
        tallied.push_back({name, true});
    fillList(*m_listboxTally, tallied);
    m_listboxTally->setCurrentRow(tally().selected());
    fillList(*m_checklist, tally().checklist());
}

// A tick changed by the player. The lists are rebuilt afterwards, which must
// not happen inside the item's own change signal, so the work is queued.
void Ttallylist::onTalliedChanged(QListWidgetItem* item)
{
    if (item->checkState() == Qt::Checked)
        return;
    const int index = m_listboxTally->row(item);
    const QString name = item->text();
    QMetaObject::invokeMethod(
        this,
        [this, index, name] {
            const std::vector<std::string> tallied = tally().tallied();
            if (index < 0 || index >= static_cast<int>(tallied.size()) ||
                client::shownText(tallied[index]) != name)
                return;
            if (ask(client::shownText(unfollowQuestion(tallied[index]))))
                m_model.unfollow(index);
            else
                refresh(); // No ticks it again
        },
        Qt::QueuedConnection);
}

void Ttallylist::onChecklistChanged(QListWidgetItem* item)
{
    const int index = m_checklist->row(item);
    const QString name = item->text();
    const bool ticked = item->checkState() == Qt::Checked;
    QMetaObject::invokeMethod(
        this,
        [this, index, name, ticked] {
            const std::vector<CheckItem>& items = tally().checklist();
            if (index < 0 || index >= static_cast<int>(items.size()) ||
                client::shownText(items[index].name) != name)
                return; // the list was refilled meanwhile
            m_model.setChecklistTick(index, ticked);
        },
        Qt::QueuedConnection);
}

void Ttallylist::button_resetClick()
{
    if (!ask(client::fromEightBit(kResetQuestion)))
        return;
    m_model.reset();
}

bool Ttallylist::ask(const QString& question)
{
    if (m_ask)
        return m_ask(question);
    // The question may hold a player's name: plain text, never markup.
    QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString Ttallylist::loadtallyfile(const QString& path)
{
    const TallyFileRead read = m_model.load(fsPath(path));
    if (read.problem.empty())
        return {};

    // The program's own message about the file, not wire text: it may name the
    // file's path, whose bytes are UTF-8.
    const QString problem = QString::fromStdString(read.problem);
    delete m_problemBox;
    m_problemBox = new QMessageBox(QMessageBox::Warning, QStringLiteral("Lexiflip"), problem, QMessageBox::Ok,
                                   parentWidget());
    m_problemBox->setAttribute(Qt::WA_DeleteOnClose);
    m_problemBox->setInformativeText(
        read.keptAs.empty()
            ? QStringLiteral("The tally starts from what could be read.")
            : QStringLiteral("The tally starts from what could be read. The damaged file was kept as %1.")
                  .arg(QString::fromStdString(read.keptAs.string())));
    connect(m_problemBox, &QObject::destroyed, this, [this] { m_problemBox = nullptr; });
    m_problemBox->open();
    return problem;
}

void Ttallylist::viewTally()
{
    loadchecklist();
    show();
    raise();
    activateWindow();
}

void Ttallylist::loadchecklist()
{
    m_model.loadchecklist();
}

void Ttallylist::moverow(int row)
{
    m_model.moverow(row);
}

} // namespace lexiflip::windows
