#include "windows/summary/summary_window.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QThreadPool>
#include <QVBoxLayout>

#include "windows/summary/score_chart.h"
#include "windows/summary/summary_index.h"

namespace lexiflip::windows {
namespace {

QString nameOf(const summary::SeatFigures& seat)
{
    return seat.name.empty() ? QStringLiteral("Seat %1").arg(seat.seat)
                             : QString::fromLatin1(seat.name.c_str());
}

QTableWidget* makeTable(const QString& objectName, const QString& accessibleName, QWidget* parent)
{
    auto* table = new QTableWidget(parent);
    table->setObjectName(objectName);
    table->setAccessibleName(accessibleName);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return table;
}

QTableWidgetItem* cell(const QString& text, bool number = false)
{
    auto* item = new QTableWidgetItem(text);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString ending(const summary::OwnTurn& turn)
{
    switch (turn.ending) {
    case summary::OwnTurn::Ending::word:
        return QString::fromLatin1(turn.played.c_str());
    case summary::OwnTurn::Ending::pass:
        return QStringLiteral("(passed)");
    case summary::OwnTurn::Ending::buy:
        return QStringLiteral("(bought a bar)");
    case summary::OwnTurn::Ending::timeOut:
        return QStringLiteral("(time ran out)");
    case summary::OwnTurn::Ending::none:
        break;
    }
    return QStringLiteral("(no word)");
}

} // namespace

SummaryWindow::SummaryWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("form_summary"));
    setWindowTitle(QStringLiteral("Game Summary"));
    m_baseFont = font();
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs_summary"));
    buildScoresTab();
    buildWordsTab();
    buildTurnsTab();
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("button_close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    // Escape closes it, as it closes every side window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    resize(640, 520);
}

SummaryWindow::~SummaryWindow() = default;

void SummaryWindow::buildScoresTab()
{
    auto* page = new QWidget(m_tabs);
    m_chart = new ScoreChart(page);
    m_saveChart = new QPushButton(QStringLiteral("Save Chart As..."), page);
    m_saveChart->setObjectName(QStringLiteral("button_savechart"));
    connect(m_saveChart, &QPushButton::clicked, this, &SummaryWindow::saveChartAs);
    m_chartTable = makeTable(QStringLiteral("table_chart"), QStringLiteral("Scores after each round"), page);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_saveChart);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_chart, 3);
    layout->addLayout(row);
    layout->addWidget(m_chartTable, 2);
    m_tabs->addTab(page, QStringLiteral("&Scores"));
}

void SummaryWindow::buildWordsTab()
{
    auto* page = new QWidget(m_tabs);
    m_bestWords = new QLabel(page);
    m_bestWords->setObjectName(QStringLiteral("label_bestwords"));
    m_bestWords->setTextFormat(Qt::PlainText);
    m_bestWords->setWordWrap(true);
    m_wordsTable = makeTable(QStringLiteral("table_words"), QStringLiteral("Every seat's words"), page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_bestWords);
    layout->addWidget(m_wordsTable);
    m_tabs->addTab(page, QStringLiteral("&Words"));
}

void SummaryWindow::buildTurnsTab()
{
    auto* page = new QWidget(m_tabs);
    m_pointsLeft = new QLabel(page);
    m_pointsLeft->setObjectName(QStringLiteral("label_pointsleft"));
    m_pointsLeft->setTextFormat(Qt::PlainText);
    m_pointsLeft->setWordWrap(true);
    m_turnsTable =
        makeTable(QStringLiteral("table_turns"), QStringLiteral("Your turns and the best words"), page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_pointsLeft);
    layout->addWidget(m_turnsTable);
    m_tabs->addTab(page, QStringLiteral("&Your Turns"));
}

void SummaryWindow::showRecord(const record::GameRecord& game)
{
    const summary::GameFigures figures = summary::gameFigures(game);
    m_chart->setFigures(figures);
    fillChartTable(figures);
    fillWords(figures);
    m_turns = summary::ownTurns(game);
    m_watched = game.self < 1 || game.self > record::kSeats;
    m_analysisShown = false;
    fillTurns();

    const std::uint64_t generation = ++m_generation;
    if (!m_turns.empty()) {
        // The index is built on the first summary and the search takes a
        // moment a turn: neither may hold up the window.
        QPointer<SummaryWindow> self(this);
        QThreadPool::globalInstance()->start([self, generation, turns = m_turns] {
            std::vector<summary::MissedWord> best = summary::bestWords(summary::summaryWordIndex(), turns);
            QMetaObject::invokeMethod(
                qApp,
                [self, generation, best = std::move(best)] {
                    if (self)
                        self->showBestWords(generation, best);
                },
                Qt::QueuedConnection);
        });
    } else {
        m_analysisShown = true;
    }
    show();
    raise();
    activateWindow();
}

void SummaryWindow::fillChartTable(const summary::GameFigures& figures)
{
    m_chartTable->clear();
    m_chartTable->setColumnCount(static_cast<int>(figures.seats.size()));
    m_chartTable->setRowCount(figures.rounds + 1);
    QStringList seats;
    for (const summary::SeatFigures& seat : figures.seats)
        seats << nameOf(seat);
    m_chartTable->setHorizontalHeaderLabels(seats);
    QStringList rounds{QStringLiteral("Start")};
    for (int round = 1; round <= figures.rounds; ++round)
        rounds << QStringLiteral("Round %1").arg(round);
    m_chartTable->setVerticalHeaderLabels(rounds);
    for (int column = 0; column < static_cast<int>(figures.seats.size()); ++column) {
        const std::vector<int>& scores = figures.seats[static_cast<std::size_t>(column)].scores;
        for (int row = 0; row < static_cast<int>(scores.size()); ++row)
            m_chartTable->setItem(row, column,
                                  cell(QString::number(scores[static_cast<std::size_t>(row)]), true));
    }
    m_chartTable->setAccessibleDescription(
        QStringLiteral("The chart's figures: every seat's score after each "
                       "round; the game was played to %1.")
            .arg(figures.target));
}

void SummaryWindow::fillWords(const summary::GameFigures& figures)
{
    auto describe = [](const std::optional<summary::PlayedWord>& word, const summary::GameFigures& game) {
        if (!word)
            return QStringLiteral("none");
        QString who;
        for (const summary::SeatFigures& seat : game.seats) {
            if (seat.seat == word->seat)
                who = nameOf(seat);
        }
        return QStringLiteral("%1 by %2, %3 points")
            .arg(QString::fromLatin1(word->letters.c_str()), who)
            .arg(word->score);
    };
    QString text = QStringLiteral("The game's best word: %1.\nThe game's longest word: %2.")
                       .arg(describe(figures.bestWord, figures), describe(figures.longestWord, figures));
    if (!figures.winner.empty())
        text.prepend(QStringLiteral("%1 won.\n").arg(QString::fromLatin1(figures.winner.c_str())));
    m_bestWords->setText(text);

    m_wordsTable->clear();
    m_wordsTable->setColumnCount(3);
    m_wordsTable->setHorizontalHeaderLabels(
        {QStringLiteral("Seat"), QStringLiteral("Word"), QStringLiteral("Points")});
    int rows = 0;
    for (const summary::SeatFigures& seat : figures.seats)
        rows += static_cast<int>(seat.words.size()) + 1;
    m_wordsTable->setRowCount(rows);
    m_wordsTable->verticalHeader()->hide();
    m_wordsTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    int row = 0;
    for (const summary::SeatFigures& seat : figures.seats) {
        for (const summary::PlayedWord& word : seat.words) {
            m_wordsTable->setItem(row, 0, cell(nameOf(seat)));
            m_wordsTable->setItem(row, 1, cell(QString::fromLatin1(word.letters.c_str())));
            m_wordsTable->setItem(row, 2, cell(QString::number(word.score), true));
            ++row;
        }
        QTableWidgetItem* total = cell(QStringLiteral("%1 words").arg(seat.words.size()));
        QFont bold = total->font();
        bold.setBold(true);
        m_wordsTable->setItem(row, 0, cell(nameOf(seat)));
        m_wordsTable->setItem(row, 1, total);
        m_wordsTable->setItem(row, 2, cell(QString::number(seat.wordPoints()), true));
        for (int column = 0; column < 3; ++column)
            m_wordsTable->item(row, column)->setFont(bold);
        ++row;
    }
}

void SummaryWindow::fillTurns()
{
    m_turnsTable->clear();
    m_turnsTable->setColumnCount(6);
    m_turnsTable->setHorizontalHeaderLabels({QStringLiteral("Turn"), QStringLiteral("Your letters"),
                                             QStringLiteral("You played"), QStringLiteral("Your points"),
                                             QStringLiteral("Best word"), QStringLiteral("Best points")});
    m_turnsTable->verticalHeader()->hide();
    for (int column : {0, 3, 5})
        m_turnsTable->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_turnsTable->setRowCount(static_cast<int>(m_turns.size()));
    for (int row = 0; row < static_cast<int>(m_turns.size()); ++row) {
        const summary::OwnTurn& turn = m_turns[static_cast<std::size_t>(row)];
        m_turnsTable->setItem(row, 0, cell(QString::number(turn.number), true));
        m_turnsTable->setItem(row, 1,
                              cell(QStringLiteral("%1 + %2").arg(QString::fromLatin1(turn.bar.c_str()),
                                                                 QString::fromLatin1(turn.flipped.c_str()))));
        m_turnsTable->setItem(row, 2, cell(ending(turn)));
        m_turnsTable->setItem(row, 3, cell(QString::number(turn.playedScore), true));
        m_turnsTable->setItem(row, 4, cell(QStringLiteral("...")));
        m_turnsTable->setItem(row, 5, cell(QString()));
    }
    if (m_watched)
        m_pointsLeft->setText(
            QStringLiteral("You watched this game: there are no turns of yours to look at."));
    else if (m_turns.empty())
        m_pointsLeft->setText(QStringLiteral("The record holds no turn of yours whose letters you saw."));
    else
        m_pointsLeft->setText(QStringLiteral("Finding the best word of each of your turns..."));
}

void SummaryWindow::showBestWords(std::uint64_t generation, const std::vector<summary::MissedWord>& best)
{
    if (generation != m_generation)
        return;
    for (int row = 0; row < static_cast<int>(best.size()) && row < m_turnsTable->rowCount(); ++row) {
        const summary::MissedWord& word = best[static_cast<std::size_t>(row)];
        m_turnsTable->setItem(
            row, 4,
            cell(word.word.empty() ? QStringLiteral("(no word)") : QString::fromLatin1(word.word.c_str())));
        m_turnsTable->setItem(row, 5, cell(QString::number(word.score), true));
    }
    const int left = summary::pointsLeft(m_turns, best);
    m_pointsLeft->setText(left == 0 ? QStringLiteral("You made the best word of every turn.")
                                    : QStringLiteral("Points you left on the table: %1.").arg(left));
    m_analysisShown = true;
    emit analysisFilled();
}

void SummaryWindow::setZoom(qreal factor)
{
    QFont zoomed = m_baseFont;
    if (zoomed.pointSizeF() > 0)
        zoomed.setPointSizeF(m_baseFont.pointSizeF() * factor);
    else
        zoomed.setPixelSize(static_cast<int>(m_baseFont.pixelSize() * factor));
    setFont(zoomed);
    m_chart->setScale(factor);
}

bool SummaryWindow::saveChart(const QString& path) const
{
    const qreal ratio = std::max<qreal>(m_chart->devicePixelRatioF(), 1);
    const QImage picture = m_chart->picture(m_chart->size(), ratio);
    QImageWriter writer(path, "png");
    return writer.write(picture);
}

void SummaryWindow::saveChartAs()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Chart As"),
                                                folder + QStringLiteral("/lexiflip-scores.png"),
                                                QStringLiteral("PNG pictures (*.png)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    if (!saveChart(path))
        QMessageBox::warning(this, QStringLiteral("Save Chart As"),
                             QStringLiteral("The chart could not be saved to %1.").arg(path));
}

} // namespace lexiflip::windows
