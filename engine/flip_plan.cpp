#include "engine/flip_plan.h"

#include "engine/known_board.h"

namespace lexiflip::engine {

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
    std::vector<SearchTile> wanted;
    for (const SearchTile& tile : findBestWord(index, bar, tiles, kFlipsPerTurn).tiles) {
        if (tile.onBoard() && !board.faceUp(tile.x, tile.y))
            wanted.push_back(tile);
    }
    if (wanted.empty() || (unknownLeft && static_cast<int>(wanted.size()) < flipsLeft))
        return std::nullopt;
    return wanted.front();
}

} // namespace lexiflip::engine
