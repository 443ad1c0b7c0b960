// Grabs the game summary window of a made-up three-seat game, each of its tabs,
// to PNGs, once the best words are in, and the chart as Save Chart As... writes
// it:
//   QT_QPA_PLATFORM=offscreen lexiflip-summary-shots /tmp/shots 2 [ZOOM_PERCENT] [--stay]
// With --stay it then prints the chart's figures, one line a seat (its name,
// a tab, its scores by round), and keeps the window open until it is ended, for
// a screen reader to read it on the accessibility bus.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "windows/summary/missed_words.h"
#include "windows/summary/score_chart.h"
#include "windows/summary/summary_index.h"
#include "windows/summary/summary_window.h"
#include "words/word_index.h"
#include "words/word_search.h"

using namespace lexiflip;

namespace {

std::string draw(std::mt19937& random, int count)
{
    static const std::string bag = "EEEEEEAAAAIIIIOOONNNRRRTTTLLSSSUDDGBCMPFHVWYKJXQZ";
    std::uniform_int_distribution<std::size_t> pick(0, bag.size() - 1);
    std::string letters;
    for (int i = 0; i < count; ++i)
        letters += bag[pick(random)];
    return letters;
}

// A game of three seats to 150: the window's own seat 1 plays the best word
// of its bar alone, the others the best of all their letters.
record::GameRecord sampleGame()
{
    record::GameRecord game;
    game.self = 1;
    game.options.target = 150;
    game.seats = {{1, "Ann"}, {2, "Klot"}, {3, "Bea"}};
    std::mt19937 random(7);
    std::array<int, 3> totals{};
    const words::WordIndex& index = summary::summaryWordIndex();
    for (int round = 0; round < 12 && *std::max_element(totals.begin(), totals.end()) < 150; ++round) {
        for (int seat = 1; seat <= 3; ++seat) {
            game.events.push_back(record::TurnStart{seat});
            const std::string bar = draw(random, 7);
            const std::string flipped = draw(random, 5);
            if (seat == 1)
                game.events.push_back(record::OwnBar{bar});
            for (int i = 0; i < 5; ++i)
                game.events.push_back(
                    record::Flip{i + 1 + round % 5, 1 + seat, flipped[static_cast<std::size_t>(i)]});
            const summary::MissedWord word = seat == 1 ? summary::bestWordFrom(index, bar, "")
                                                       : summary::bestWordFrom(index, bar, flipped);
            if (word.word.empty() || (seat == 3 && round % 4 == 2)) {
                game.events.push_back(record::Pass{seat});
                continue;
            }
            totals[static_cast<std::size_t>(seat - 1)] += word.score;
            game.events.push_back(record::Word{seat, word.word, word.score, std::nullopt,
                                               totals[static_cast<std::size_t>(seat - 1)],
                                               std::vector<record::Source>(word.word.size())});
        }
    }
    const auto best = std::max_element(totals.begin(), totals.end());
    game.events.push_back(record::Winner{game.seatName(static_cast<int>(best - totals.begin()) + 1)});
    game.events.push_back(record::FinalScores{{totals[0], totals[1], totals[2], 0, 0, 0}});
    return game;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: %s DIRECTORY RATIO [ZOOM_PERCENT] [--stay]\n", argv[0]);
        return 2;
    }
    const bool stay = argc == 5 && std::string(argv[4]) == "--stay";
    const QString directory = QString::fromLocal8Bit(argv[1]);
    const QString ratio = QString::fromLocal8Bit(argv[2]);
    const int zoom = argc >= 4 ? std::atoi(argv[3]) : 100;
    qputenv("QT_SCALE_FACTOR", argv[2]);
    QApplication app(argc, argv);
    QDir().mkpath(directory);

    windows::SummaryWindow window;
    window.setZoom(zoom / 100.0);
    window.resize(QSize(640, 560) * zoom / 100);
    QEventLoop filled;
    QObject::connect(&window, &windows::SummaryWindow::analysisFilled, &filled, &QEventLoop::quit);
    window.showRecord(sampleGame());
    if (!window.analysisShown())
        filled.exec();

    const QString suffix = QStringLiteral("@%1x-%2.png").arg(ratio).arg(zoom);
    bool ok = true;
    const char* names[] = {"summary-scores", "summary-words", "summary-turns"};
    for (int tab = 0; tab < window.tabs().count(); ++tab) {
        window.tabs().setCurrentIndex(tab);
        QApplication::processEvents();
        const QString path = QDir(directory).filePath(QString::fromLatin1(names[tab]) + suffix);
        ok = window.grab().save(path) && ok;
        std::printf("%s\n", qPrintable(path));
    }
    const QString chart = QDir(directory).filePath(QStringLiteral("summary-chart") + suffix);
    window.tabs().setCurrentIndex(0);
    QApplication::processEvents();
    ok = window.saveChart(chart) && ok;
    std::printf("%s\n", qPrintable(chart));
    if (!ok || !stay)
        return ok ? 0 : 1;
    for (const summary::SeatFigures& seat : window.chart().figures().seats) {
        std::printf("%s", seat.name.c_str());
        for (int score : seat.scores)
            std::printf("\t%d", score);
        std::printf("\n");
    }
    std::fflush(stdout);
    return app.exec();
}
