#include "words/word_search.h"

#include <algorithm>
#include <array>

#include "words/word_index.h"
#include "words/word_score.h"

namespace lexiflip::words {
namespace {

constexpr int kLetters = 26;
using Counts = std::array<int, kLetters + 1>; // by letter code 1..26

// How many tiles of each letter a word takes from the board tiles and from
// the reserve; the rest come from the bar.
struct Split {
    Counts board{};   // board and reserve together
    Counts reserve{}; // of those, from the reserve
    int boardcount = 0;
    int reservecount = 0;
    int score = -1; // -1: the word cannot be made this way
};

// What the search knows of the tiles, counted once per search.
struct Pool {
    Counts bar{};
    Counts board{};
    Counts reserve{};
    int barSize = 0;
    int boardLimit = 0;
    int reserveLimit = 0;
    std::uint32_t mask = 0;
    std::array<int, kLetters + 1> barPoints{};
    std::array<int, kLetters + 1> boardPoints{};
};

struct Run {
    int letter;
    int count;
};

int scoreOf(const Pool& pool, const Run* runs, int runCount, const Counts& board)
{
    int points = 0;
    int barcount = 0;
    int boardcount = 0;
    for (int i = 0; i < runCount; ++i) {
        const int onBoard = board[runs[i].letter];
        const int onBar = runs[i].count - onBoard;
        points += onBoard * pool.boardPoints[runs[i].letter] + onBar * pool.barPoints[runs[i].letter];
        boardcount += onBoard;
        barcount += onBar;
    }
    return points + wordBonus(barcount, boardcount);
}

// The best way to make the word from the pool: as many board tiles as the
// limits allow, the letters worth most first (board letters count double),
// each letter from the board tiles before the reserve; or, when that differs,
// the whole bar and the rest from the board, for the whole-bar bonus. No
// other split can score more: every board tile of a letter gains the same,
// and the limits nest (the reserve's within the board's), so taking the
// tiles worth most first is best.
Split bestSplit(const Pool& pool, const Run* runs, int runCount)
{
    Split most;
    int barUsed = 0;
    for (int i = 0; i < runCount; ++i) {
        const int letter = runs[i].letter;
        const int count = runs[i].count;
        if (count > pool.bar[letter] + pool.board[letter] + pool.reserve[letter])
            return {};
        const int needed = std::max(0, count - pool.bar[letter]);
        const int fromReserve = std::max(0, needed - pool.board[letter]);
        most.board[letter] = needed;
        most.reserve[letter] = fromReserve;
        most.boardcount += needed;
        most.reservecount += fromReserve;
        barUsed += std::min(count, pool.bar[letter]);
    }
    if (most.boardcount > pool.boardLimit || most.reservecount > pool.reserveLimit)
        return {};
    Split wholeBar = most; // every bar tile of the word's letters, the rest from the board
    if (most.boardcount < pool.boardLimit) {
        std::array<Run, kLetters> byWorth;
        std::copy(runs, runs + runCount, byWorth.begin());
        std::stable_sort(byWorth.begin(), byWorth.begin() + runCount, [&pool](const Run& a, const Run& b) {
            return pool.boardPoints[a.letter] > pool.boardPoints[b.letter];
        });
        for (int i = 0; i < runCount && most.boardcount < pool.boardLimit; ++i) {
            const int letter = byWorth[i].letter;
            const int free = std::min(byWorth[i].count, pool.board[letter]) - (most.board[letter] - most.reserve[letter]);
            const int fromBoard = std::min(pool.boardLimit - most.boardcount, std::max(0, free));
            most.board[letter] += fromBoard;
            most.boardcount += fromBoard;
            const int fromReserve =
                std::min({pool.boardLimit - most.boardcount, pool.reserveLimit - most.reservecount,
                          pool.reserve[letter] - most.reserve[letter], byWorth[i].count - most.board[letter]});
            if (fromReserve > 0) {
                most.board[letter] += fromReserve;
                most.reserve[letter] += fromReserve;
                most.boardcount += fromReserve;
                most.reservecount += fromReserve;
            }
        }
    }
    most.score = scoreOf(pool, runs, runCount, most.board);
    if (pool.barSize == kBarTiles && barUsed == kBarTiles && wholeBar.boardcount != most.boardcount) {
        wholeBar.score = scoreOf(pool, runs, runCount, wholeBar.board);
        if (wholeBar.score > most.score)
            return wholeBar;
    }
    return most;
}

Pool makePool(const std::vector<SearchTile>& bar, const std::vector<SearchTile>& board, int boardLimit,
              const std::vector<SearchTile>& reserve, int reserveLimit)
{
    Pool pool;
    for (const SearchTile& tile : reserve) {
        if (tile.letter >= 1 && tile.letter <= kLetters && reserveLimit > 0) {
            ++pool.reserve[tile.letter];
            pool.mask |= 1u << (tile.letter - 1);
        }
    }
    pool.reserveLimit = reserveLimit;
    for (const SearchTile& tile : bar) {
        if (tile.letter >= 1 && tile.letter <= kLetters) {
            ++pool.bar[tile.letter];
            ++pool.barSize;
            pool.mask |= 1u << (tile.letter - 1);
        }
    }
    for (const SearchTile& tile : board) {
        if (tile.letter >= 1 && tile.letter <= kLetters) {
            ++pool.board[tile.letter];
            pool.mask |= 1u << (tile.letter - 1);
        }
    }
    pool.boardLimit = boardLimit;
    for (int letter = 1; letter <= kLetters; ++letter) {
        pool.barPoints[letter] = tilePoints(letter, false);
        pool.boardPoints[letter] = tilePoints(letter, true);
    }
    return pool;
}

// The tiles of the chosen word in word order: each letter from the board as
// often as the split says, first come first, the reserve after the board
// tiles, then from the bar.
std::vector<SearchTile> layOut(std::string_view word, const Split& split, const std::vector<SearchTile>& bar,
                               const std::vector<SearchTile>& board, const std::vector<SearchTile>& reserve)
{
    std::vector<bool> barTaken(bar.size(), false);
    std::vector<bool> boardTaken(board.size(), false);
    std::vector<bool> reserveTaken(reserve.size(), false);
    Counts fromBoard{};
    for (int letter = 1; letter <= kLetters; ++letter)
        fromBoard[letter] = split.board[letter] - split.reserve[letter];
    Counts fromReserve = split.reserve;
    std::vector<SearchTile> tiles;
    auto take = [](const std::vector<SearchTile>& from, std::vector<bool>& taken, int letter) -> const SearchTile* {
        for (std::size_t i = 0; i < from.size(); ++i) {
            if (!taken[i] && from[i].letter == letter) {
                taken[i] = true;
                return &from[i];
            }
        }
        return nullptr;
    };
    for (char c : word) {
        const int letter = c - 'a' + 1;
        const SearchTile* tile = nullptr;
        if (fromBoard[letter] > 0) {
            --fromBoard[letter];
            tile = take(board, boardTaken, letter);
        } else if (fromReserve[letter] > 0) {
            --fromReserve[letter];
            tile = take(reserve, reserveTaken, letter);
        } else {
            tile = take(bar, barTaken, letter);
        }
        if (tile)
            tiles.push_back(*tile);
    }
    return tiles;
}

} // namespace

BestWord findBestWord(const WordIndex& index, const std::vector<SearchTile>& bar,
                      const std::vector<SearchTile>& board, int boardLimit, const std::vector<SearchTile>& reserve,
                      int reserveLimit, int longest)
{
    const Pool pool = makePool(bar, board, boardLimit, reserve, reserveLimit);
    const int most = std::min(pool.barSize + boardLimit, longest);
    const WordIndex::Entry* best = nullptr;
    Split bestSplitFound;
    std::array<Run, kPlayerTiles> runs;
    for (const WordIndex::Entry& entry : index.entries()) {
        if ((entry.mask & ~pool.mask) != 0 || entry.length > most)
            continue;
        const std::string_view letters = index.letters(entry);
        int runCount = 0;
        for (std::size_t i = 0; i < letters.size(); ++i) {
            if (i > 0 && letters[i] == letters[i - 1])
                ++runs[runCount - 1].count;
            else
                runs[runCount++] = {letters[i], 1};
        }
        const Split split = bestSplit(pool, runs.data(), runCount);
        if (split.score > bestSplitFound.score) {
            bestSplitFound = split;
            best = &entry;
        }
    }
    BestWord result;
    if (!best)
        return result;
    result.word = std::string(index.word(*best));
    result.tiles = layOut(result.word, bestSplitFound, bar, board, reserve);
    result.score = bestSplitFound.score;
    return result;
}

} // namespace lexiflip::words
