// The stronger computer players' search: the best word a bar and the flipped
// tiles make, counted as the host counts a submitted word.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/random_source.h"
#include "engine/letter_draw.h"
#include "support/dictionary_records.h"
#include "words/word_index.h"
#include "words/word_score.h"
#include "words/word_search.h"

using namespace lexiflip;
using words::findBestWord;
using words::SearchTile;
using words::WordIndex;

namespace {

int code(char letter)
{
    return letter - 'a' + 1;
}

std::vector<SearchTile> bar(const std::string& letters)
{
    std::vector<SearchTile> tiles;
    for (std::size_t k = 0; k < letters.size(); ++k)
        tiles.push_back({code(letters[k]), 0, static_cast<int>(k) + 1});
    return tiles;
}

// Board tiles in one column, x 1, y 1, 2, ...
std::vector<SearchTile> board(const std::string& letters)
{
    std::vector<SearchTile> tiles;
    for (std::size_t i = 0; i < letters.size(); ++i)
        tiles.push_back({code(letters[i]), 1, static_cast<int>(i) + 1});
    return tiles;
}

// The best score by trying every way of laying every word from the tiles,
// scored through the host's own count.
// Reserve tiles are board tiles too, at most reserveLimit of them.
int bruteForceBest(const std::vector<std::string>& words, const std::vector<SearchTile>& barTiles,
                   const std::vector<SearchTile>& boardTiles, int boardLimit,
                   const std::vector<SearchTile>& reserve = {}, int reserveLimit = 0)
{
    std::vector<SearchTile> all = barTiles;
    all.insert(all.end(), boardTiles.begin(), boardTiles.end());
    const std::size_t firstReserve = all.size();
    all.insert(all.end(), reserve.begin(), reserve.end());
    int best = 0;
    for (const std::string& word : words) {
        std::vector<bool> taken(all.size(), false);
        std::function<void(std::size_t, int, int, int, int)> lay = [&](std::size_t at, int points, int bars,
                                                                       int boards, int reserves) {
            if (boards > boardLimit || reserves > reserveLimit)
                return;
            if (at == word.size()) {
                best = std::max(best, points + words::wordBonus(bars, boards));
                return;
            }
            for (std::size_t t = 0; t < all.size(); ++t) {
                if (taken[t] || all[t].letter != code(word[at]))
                    continue;
                taken[t] = true;
                const bool onBoard = all[t].onBoard();
                lay(at + 1, points + words::tilePoints(all[t].letter, onBoard), bars + (onBoard ? 0 : 1),
                    boards + (onBoard ? 1 : 0), reserves + (t >= firstReserve ? 1 : 0));
                taken[t] = false;
            }
        };
        lay(0, 0, 0, 0, 0);
    }
    return best;
}

} // namespace

TEST(WordIndex, KeepsLayableWordsOnceByTheirLetters)
{
    // "act" and "cat" share letters; a 13-letter word cannot be laid; "a" is
    // too short for the dictionary's own list to hold.
    const WordIndex index(lexiflip::testing::dictionaryRecords({"cat", "act", "abandonedness", "quiz", "tea"}));
    std::vector<std::string> words;
    for (const auto& entry : index.entries())
        words.emplace_back(index.word(entry));
    std::sort(words.begin(), words.end());
    EXPECT_EQ(words, (std::vector<std::string>{"act", "quiz", "tea"}));
    EXPECT_GT(index.memoryBytes(), 0u);
}

TEST(WordSearch, FindsTheWordTheRulesScoreHighest)
{
    const struct {
        const char* name;
        std::vector<std::string> words;
        std::string bar;
        std::string board;
        std::string word; // empty: no word
        int score;
        int boardTiles;
    } cases[] = {
        // q and t on the board count twice: quit beats tent, which the bar alone makes.
        {"board letters double", {"quit", "tent"}, "uitnexx", "qtmmm", "quit", 10 * 2 + 1 + 1 + 2, 2},
        // Same letters either way: the board's t is taken, worth two.
        {"a letter on both comes from the board", {"tea"}, "teaxxxx", "tmmmm", "tea", 2 + 1 + 1, 1},
        // Five letters earn 5; all five flipped tiles another 5.
        {"length and all five flipped", {"stare"}, "xxxxxxx", "stare", "stare", 10 + 5 + 5, 5},
        // The whole bar (10) beats taking the board's e (one point more).
        {"whole bar", {"antlers"}, "antlers", "emmmm", "antlers", 7 + 15 + 10, 0},
        {"two letters are a word", {"qi"}, "qixxxxx", "mmmmm", "qi", 11, 0},
        {"a letter needed twice must be there twice", {"tee"}, "texxxxx", "mmmmm", "", 0, 0},
        {"nothing fits", {"cat"}, "xxxxxxx", "zzzzz", "", 0, 0},
        // Twelve tiles spell it, but a word row holds ten letters.
        {"longer than the word row", {"mathematics"}, "mathema", "ticsx", "", 0, 0},
    };
    for (const auto& c : cases) {
        const WordIndex index(lexiflip::testing::dictionaryRecords(c.words));
        const words::BestWord best = findBestWord(index, bar(c.bar), board(c.board));
        EXPECT_EQ(best.word, c.word) << c.name;
        EXPECT_EQ(best.score, c.score) << c.name;
        std::string spelled;
        int onBoard = 0;
        for (const SearchTile& tile : best.tiles) {
            spelled += char('a' + tile.letter - 1);
            onBoard += tile.onBoard() ? 1 : 0;
        }
        EXPECT_EQ(spelled, c.word) << c.name << ": the tiles spell the word in order";
        EXPECT_EQ(onBoard, c.boardTiles) << c.name;
    }
}

TEST(WordSearch, WithinTheBoardLimitTakesTheBoardTilesWorthMost)
{
    const WordIndex index(lexiflip::testing::dictionaryRecords({"quiz"}));
    EXPECT_EQ(findBestWord(index, bar("quiz"), board("iq"), 5).score, 20 + 1 + 2 + 10);
    // One board tile only: the q, worth ten more there, not the i.
    EXPECT_EQ(findBestWord(index, bar("quiz"), board("iq"), 1).score, 20 + 1 + 1 + 10);
    EXPECT_TRUE(findBestWord(index, bar("ui"), board("qz"), 1).tiles.empty());
}

TEST(WordSearch, AgreesWithTryingEveryWayOfLayingEveryWord)
{
    // Small words and many repeats, so that the splits between bar and board
    // and both bonuses come up often.
    const std::vector<std::string> words = {"at",    "tea",    "eat",    "seat",   "tease",  "estate",
                                            "aerate", "reseat", "teaser", "eaters", "sera",   "tsetse",
                                            "rates",  "aster",  "sat",    "tee",    "terse",  "restate",
                                            "qat",    "qats",   "qatar"};
    const WordIndex index(lexiflip::testing::dictionaryRecords(words));
    core::RandomSource random(11);
    const std::string letters = "aerstq"; // q: a letter worth more on the board
    for (int round = 0; round < 300; ++round) {
        // Some tiles face up, the rest of the five still to be turned from a
        // reserve of known ones (in column 2).
        std::string barLetters, boardLetters, reserveLetters;
        for (int k = 0; k < 7; ++k)
            barLetters += letters[random.below(6)];
        const int faceUp = static_cast<int>(random.below(6));
        for (int k = 0; k < faceUp; ++k)
            boardLetters += letters[random.below(6)];
        for (int k = 0; k < 4; ++k)
            reserveLetters += letters[random.below(6)];
        std::vector<SearchTile> reserve = board(reserveLetters);
        for (SearchTile& tile : reserve)
            tile.x = 2;
        const int limit = 1 + static_cast<int>(random.below(5));
        const int reserveLimit = static_cast<int>(random.below(3));
        const int expected =
            bruteForceBest(words, bar(barLetters), board(boardLetters), limit, reserve, reserveLimit);
        const words::BestWord best =
            findBestWord(index, bar(barLetters), board(boardLetters), limit, reserve, reserveLimit);
        EXPECT_EQ(best.score, expected) << "bar " << barLetters << ", board " << boardLetters << ", reserve "
                                        << reserveLetters << ", limits " << limit << " " << reserveLimit;
        int fromReserve = 0;
        for (const SearchTile& tile : best.tiles)
            fromReserve += tile.x == 2 ? 1 : 0;
        EXPECT_LE(fromReserve, reserveLimit);
    }
}
