#include "engine/flip_plan.h"

#include "engine/known_board.h"

namespace lexiflip::engine {
namespace {

// About what one more unknown letter adds to the best word: measured by
// playing Expert against Strong with several values, 8 to 12 do best (4 and
// 24 clearly worse).
constexpr int kUnknownWorth = 10;

} // namespace

std::optional<words::SearchTile> nextFlip(const words::WordIndex& index, const KnownBoard& board,
                                          const std::vector<words::SearchTile>& bar)
{
    std::vector<words::SearchTile> faceUp;
    std::vector<words::SearchTile> known; // face down, letter seen
    bool unknownLeft = false;
    for (int x = 1; x <= kBoardColumns; ++x) {
        for (int y = 1; y <= kBoardRows; ++y) {
            if (board.faceUp(x, y))
                faceUp.push_back({board.letter(x, y), x, y});
            else if (board.letter(x, y) != 0)
                known.push_back({board.letter(x, y), x, y});
            else
                unknownLeft = true;
        }
    }
    const int flipsLeft = kFlipsPerTurn - static_cast<int>(faceUp.size());
    if (flipsLeft <= 0)
        return std::nullopt;
    const words::BestWord best = words::findBestWord(index, bar, faceUp, kFlipsPerTurn, known, flipsLeft);
    std::vector<words::SearchTile> wanted;
    for (const words::SearchTile& tile : best.tiles) {
        if (tile.onBoard() && !board.faceUp(tile.x, tile.y))
            wanted.push_back(tile);
    }
    if (wanted.empty() || (unknownLeft && static_cast<int>(wanted.size()) < flipsLeft))
        return std::nullopt;
    // Every flip left is wanted: one of them still goes to an unknown tile
    // when the plan loses less by it than an unknown letter brings on average.
    if (unknownLeft &&
        best.score - words::findBestWord(index, bar, faceUp, kFlipsPerTurn, known, flipsLeft - 1).score <
            kUnknownWorth)
        return std::nullopt;
    return wanted.front();
}

} // namespace lexiflip::engine
