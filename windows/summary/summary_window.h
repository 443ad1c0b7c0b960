#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

#include "record/game_record.h"
#include "windows/summary/game_figures.h"
#include "windows/summary/missed_words.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace lexiflip::windows {

class ScoreChart;

// The summary of a game, offered when the winner is announced and from
// View > Game Summary, never in the player's way: the score chart with its
// figures as a table (what a screen reader reads of the chart), each seat's
// words, the game's best and longest word, and the player's own turns beside
// the best word he could have made. The figures show at once; the best words
// are searched off the window's thread and filled in when they are found.
class SummaryWindow : public QWidget {
    Q_OBJECT

public:
    explicit SummaryWindow(QWidget* parent = nullptr);
    ~SummaryWindow() override;

    // Shows the game's summary, in front. A search still running for a game
    // shown before is left to finish unseen.
    void showRecord(const record::GameRecord& game);
    // The game window's zoom: the texts and the chart grow with it.
    void setZoom(qreal factor);

    // Writes the chart as a PNG at the screen's pixel ratio; false when it
    // could not be written.
    bool saveChart(const QString& path) const;
    bool analysisShown() const { return m_analysisShown; }

    ScoreChart& chart() { return *m_chart; }
    QTabWidget& tabs() { return *m_tabs; }
    QTableWidget& chartTable() { return *m_chartTable; }
    QTableWidget& wordsTable() { return *m_wordsTable; }
    QTableWidget& turnsTable() { return *m_turnsTable; }
    QLabel& pointsLeftLine() { return *m_pointsLeft; }

signals:
    // The best words of the game shown last are in the table.
    void analysisFilled();

private:
    void buildScoresTab();
    void buildWordsTab();
    void buildTurnsTab();
    void fillChartTable(const summary::GameFigures& figures);
    void fillWords(const summary::GameFigures& figures);
    void fillTurns();
    void showBestWords(std::uint64_t generation, const std::vector<summary::MissedWord>& best);
    void saveChartAs();

    QTabWidget* m_tabs = nullptr;
    ScoreChart* m_chart = nullptr;
    QPushButton* m_saveChart = nullptr;
    QTableWidget* m_chartTable = nullptr;
    QTableWidget* m_wordsTable = nullptr;
    QLabel* m_bestWords = nullptr;
    QTableWidget* m_turnsTable = nullptr;
    QLabel* m_pointsLeft = nullptr;
    QFont m_baseFont;

    std::vector<summary::OwnTurn> m_turns;
    bool m_watched = false;
    // Which showRecord() a search answers: only the last one's answer shows.
    std::uint64_t m_generation = 0;
    bool m_analysisShown = false;
};

} // namespace lexiflip::windows
