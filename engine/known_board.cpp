#include "engine/known_board.h"

namespace lexiflip::engine {

KnownBoard::KnownBoard(const GameState& state)
{
    for (int x = 1; x <= kBoardColumns; ++x) {
        for (int y = 1; y <= kBoardRows; ++y) {
            const tboardtile& tile = state.cell(x, y);
            m_cells[x][y].faceUp = tile.flipped != 0;
            if (tile.seen || tile.flipped)
                m_cells[x][y].letter = tile.letter;
        }
    }
}

} // namespace lexiflip::engine
