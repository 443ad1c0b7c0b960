#include "engine/flip_plan.h"

#include "engine/known_board.h"

namespace lexiflip::engine {
namespace {

// About what one more unknown letter adds to the best word, measured by
// playing Expert against Strong with several values: 7 to 10 do best.
constexpr int kUnknownWorth = 8;

} // namespace

std::optional<SearchTile> nextFlip(const WordIndex& index, const KnownBoard& board,
                                   const std::vector<SearchTile>& bar)
{
    std::vector<SearchTile> tiles; // face up, then known face down
    int faceUp = 0;
    bool unknownLeft = false;
    for (int x = 1; x <= kBoardColumns; ++x) {
        for (int y = 1; y <= kBoardRows; ++y) {
            if (board.faceUp(x, y)) {
                tiles.insert(tiles.begin() + faceUp, {board.letter(x, y), x, y});
                ++faceUp;
            } else if (board.letter(x, y) != 0) {
                tiles.push_back({board.letter(x, y), x, y});
            } else {
                unknownLeft = true;
            }
        }
    }
    const int flipsLeft = kFlipsPerTurn - faceUp;
    if (flipsLeft <= 0)
        return std::nullopt;
    const BestWord best = findBestWord(index, bar, tiles, kFlipsPerTurn);
    std::vector<SearchTile> wanted;
    for (const SearchTile& tile : best.tiles) {
        if (tile.onBoard() && !board.faceUp(tile.x, tile.y))
            wanted.push_back(tile);
    }
    if (wanted.empty() || (unknownLeft && static_cast<int>(wanted.size()) < flipsLeft))
        return std::nullopt;
    // Every flip left is wanted: one of them may still go to an unknown tile
    // when the plan loses less by it than an unknown letter brings on average.
    if (unknownLeft && best.score - findBestWord(index, bar, tiles, kFlipsPerTurn - 1).score < kUnknownWorth)
        return std::nullopt;
    return wanted.front();
}

} // namespace lexiflip::engine
