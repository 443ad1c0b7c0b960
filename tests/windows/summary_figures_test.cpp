// The game summary's figures and the words the player missed, from records
// made by hand; the best words checked against a search of the whole list
// written here, apart from the game's.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "core/letters.h"
#include "windows/summary/game_figures.h"
#include "windows/summary/missed_words.h"
#include "windows/summary/summary_index.h"

namespace lexiflip::summary {
namespace {

using record::Buy;
using record::Flip;
using record::GameRecord;
using record::OwnBar;
using record::Pass;
using record::Source;
using record::TimeOut;
using record::TurnStart;
using record::Word;

// The shipped list's words a word row can hold: 2 to 10 letters A..Z.
const std::vector<std::string>& layableWords()
{
    static const std::vector<std::string> words = [] {
        std::vector<std::string> list;
        const std::string_view records = assets::dictionaryRecords();
        for (std::size_t at = 0; at + 15 <= records.size(); at += 15) {
            std::string word(records.substr(at + 1, 14));
            word.erase(word.find_last_not_of(' ') + 1);
            const bool letters =
                std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
            if (letters && word.size() >= 2 && word.size() <= 10)
                list.push_back(word);
        }
        return list;
    }();
    return words;
}

// The game's count of a word, from its rules: a bar letter its worth, a
// turned tile twice that; 5 to 10 letters earn 5 to 30; all five turned tiles
// 5 more; the whole bar of seven 10 more. Every way of taking the letters is
// tried; -1 when the word cannot be made.
int bestCount(const std::string& word, const std::string& bar, const std::string& flipped)
{
    std::map<char, int> need, onBar, turned;
    for (char c : word)
        ++need[c];
    for (char c : bar)
        ++onBar[c];
    for (char c : flipped)
        ++turned[c];
    std::vector<std::pair<char, int>> letters(need.begin(), need.end());
    int best = -1;
    std::vector<int> fromBoard(letters.size());
    auto tryAll = [&](auto& self, std::size_t i) -> void {
        if (i == letters.size()) {
            int points = 0, boardcount = 0, barcount = 0;
            for (std::size_t k = 0; k < letters.size(); ++k) {
                const int worth = core::letterworth(letters[k].first - 'A' + 1);
                points += fromBoard[k] * 2 * worth + (letters[k].second - fromBoard[k]) * worth;
                boardcount += fromBoard[k];
                barcount += letters[k].second - fromBoard[k];
            }
            const int length = boardcount + barcount;
            if (length >= 5)
                points += (length - 4) * 5;
            if (boardcount == 5)
                points += 5;
            if (barcount == 7)
                points += 10;
            best = std::max(best, points);
            return;
        }
        const auto [letter, count] = letters[i];
        for (int b = std::max(0, count - onBar[letter]); b <= std::min(count, turned[letter]); ++b) {
            fromBoard[i] = b;
            self(self, i + 1);
        }
    };
    tryAll(tryAll, 0);
    return best;
}

std::string twelveLetterWord()
{
    const std::string_view records = assets::dictionaryRecords();
    for (std::size_t at = 0; at + 15 <= records.size(); at += 15) {
        const std::string_view word = records.substr(at + 1, 14);
        if (word.substr(12) == "  " &&
            std::all_of(word.begin(), word.begin() + 12, [](char c) { return c >= 'A' && c <= 'Z'; }))
            return std::string(word.substr(0, 12));
    }
    return {};
}

int bruteBest(const std::string& bar, const std::string& flipped)
{
    int best = 0;
    for (const std::string& word : layableWords())
        best = std::max(best, bestCount(word, bar, flipped));
    return best;
}

std::string drawLetters(std::mt19937& random, int count)
{
    // Weighted towards the common letters, so that long words turn up.
    static const std::string bag = "EEEEEEAAAAIIIIOOONNNRRRTTTLLSSSUDDGBCMPFHVWYKJXQZ";
    std::uniform_int_distribution<std::size_t> pick(0, bag.size() - 1);
    std::string letters;
    for (int i = 0; i < count; ++i)
        letters += bag[pick(random)];
    return letters;
}

TEST(MissedWords, BestWordOfEachOwnTurnMatchesASearchOfTheWholeList)
{
    std::mt19937 random(20261209);
    GameRecord game;
    game.self = 2;
    game.seats = {{1, "Ann"}, {2, "Bob"}};
    std::vector<std::pair<std::string, std::string>> seen;
    int cell = 0;
    auto flips = [&](const std::string& letters) {
        for (char c : letters) {
            game.events.push_back(Flip{cell % 10 + 1, cell / 10 % 8 + 1, c});
            ++cell;
        }
    };
    for (int turn = 0; turn < 12; ++turn) {
        // The other seat's turn shows letters the player must not be credited with.
        game.events.push_back(TurnStart{1});
        flips("QZJXK");
        game.events.push_back(Pass{1});
        std::string bar = drawLetters(random, 7);
        std::string flipped = drawLetters(random, 5);
        if (turn == 0) {
            // Letters that make a twelve-letter word, which no word row holds: the
            // best is a shorter one.
            const std::string twelve = twelveLetterWord();
            ASSERT_EQ(twelve.size(), 12u);
            bar = twelve.substr(0, 7);
            flipped = twelve.substr(7);
        }
        game.events.push_back(TurnStart{2});
        game.events.push_back(OwnBar{bar});
        flips(flipped);
        game.events.push_back(TimeOut{2});
        seen.emplace_back(bar, flipped);
    }
    const std::vector<OwnTurn> turns = ownTurns(game);
    ASSERT_EQ(turns.size(), seen.size());
    const std::vector<MissedWord> best = bestWords(summaryWordIndex(), turns);
    int total = 0;
    for (std::size_t i = 0; i < turns.size(); ++i) {
        SCOPED_TRACE(seen[i].first + " + " + seen[i].second);
        EXPECT_EQ(turns[i].bar, seen[i].first);
        EXPECT_EQ(turns[i].flipped, seen[i].second);
        const int expected = bruteBest(seen[i].first, seen[i].second);
        EXPECT_EQ(best[i].score, expected);
        // The word named is a word of the list that those letters make for that score.
        EXPECT_TRUE(std::binary_search(layableWords().begin(), layableWords().end(), best[i].word) ||
                    (expected == 0 && best[i].word.empty()));
        if (!best[i].word.empty()) {
            EXPECT_EQ(bestCount(best[i].word, seen[i].first, seen[i].second), expected);
        }
        total += expected;
    }
    EXPECT_EQ(pointsLeft(turns, best), total) << "every turn timed out: all of it was left";
}

TEST(MissedWords, OwnTurnsTakeOnlyWhatThePlayerSawAndDid)
{
    GameRecord game;
    game.self = 1;
    game.events = {
        TurnStart{1}, OwnBar{"CATS?XY"}, Flip{1, 1, 'E'}, Flip{2, 1, '?'},
        Word{1, "CATS", 6, 0, 6, {Source{}, Source{}, Source{}, Source{}}}, TurnStart{2}, Flip{1, 1, 'Q'},
        Pass{2},
        // A bar bought during the turn: the word was made from the new one.
        TurnStart{1}, OwnBar{"AAAAAAA"}, Flip{3, 3, 'D'}, Buy{1, 0}, OwnBar{"BEEHIVE"}, Pass{1}, TurnStart{2},
        Pass{2}, TurnStart{1}, Flip{5, 5, 'R'}, TimeOut{1}, // its bar never seen: no turn to weigh
    };
    const std::vector<OwnTurn> turns = ownTurns(game);
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_EQ(turns[0].bar, "CATSXY");
    EXPECT_EQ(turns[0].flipped, "E");
    EXPECT_EQ(turns[0].played, "CATS");
    EXPECT_EQ(turns[0].playedScore, 6);
    EXPECT_EQ(turns[0].ending, OwnTurn::Ending::word);
    EXPECT_EQ(turns[1].number, 2);
    EXPECT_EQ(turns[1].bar, "BEEHIVE");
    EXPECT_EQ(turns[1].flipped, "D");
    EXPECT_EQ(turns[1].ending, OwnTurn::Ending::pass);

    // A played word worth more than the best found (the host's own list) leaves nothing.
    EXPECT_EQ(pointsLeft(turns, {{"CAST", 4}, {"BEEHIVED", 20}}), 20);

    game.self = 8; // a watcher's record
    EXPECT_TRUE(ownTurns(game).empty());
}

TEST(GameFigures, ScoresByRoundWordsAndTheGamesBest)
{
    GameRecord game;
    game.options.target = 50;
    game.seats = {{1, "Ann"}, {3, "Cy"}};
    const Source bar{Source::Kind::bar};
    game.events = {
        TurnStart{1},
        Word{1, "CAT", 10, 0, 10, {bar, bar, bar}},
        TurnStart{3},
        Word{3, "QUIZ", 30, 0, 30, {bar, bar, bar, bar}},
        record::Join{{2, "Bea"}},
        TurnStart{1},
        Word{1, "STRANGE", 30, 15, 40, {bar, bar, bar, bar, bar, bar, bar}},
        TurnStart{2},
        Pass{2},
        TurnStart{3},
        Buy{3, 10},
        Pass{3},
        TurnStart{1},
        Word{1, "ZAX", 30, 0, 70, {bar, bar, bar}},
        TurnStart{2},
        TimeOut{2},
        TurnStart{3},
        Pass{3},
        record::Winner{"Ann"},
        record::FinalScores{{70, 0, 10, 0, 0, 0}},
    };
    const GameFigures figures = gameFigures(game);
    EXPECT_EQ(figures.target, 50);
    EXPECT_EQ(figures.winner, "Ann");
    EXPECT_EQ(figures.rounds, 3);
    ASSERT_EQ(figures.seats.size(), 3u) << "a seat that joined later takes part";
    EXPECT_EQ(figures.seats[0].name, "Ann");
    EXPECT_EQ(figures.seats[0].scores, (std::vector<int>{0, 10, 40, 70}));
    EXPECT_EQ(figures.seats[1].seat, 2);
    EXPECT_EQ(figures.seats[1].scores, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(figures.seats[2].scores, (std::vector<int>{0, 30, 10, 10})) << "a bought bar costs points";
    EXPECT_EQ(figures.seats[0].wordPoints(), 70);
    ASSERT_TRUE(figures.bestWord && figures.longestWord);
    EXPECT_EQ(figures.bestWord->letters, "QUIZ") << "the first of equal scores";
    EXPECT_EQ(figures.longestWord->letters, "STRANGE");
}

} // namespace
} // namespace lexiflip::summary
