#pragma once

#include <array>

#include "engine/game_state.h"

namespace lexiflip::engine {

// The board as anybody at the table knows it: which tiles are face up, and
// the letters of tiles turned face up at some time since their letter was
// drawn. It holds no other letter, so a choice made from it alone cannot
// depend on a tile nobody has turned.
class KnownBoard {
public:
    explicit KnownBoard(const GameState& state);

    // The tile's letter, 0 when nobody has seen it.
    int letter(int x, int y) const { return m_cells[x][y].letter; }
    bool faceUp(int x, int y) const { return m_cells[x][y].faceUp; }

private:
    struct Cell {
        int letter = 0;
        bool faceUp = false;
    };
    std::array<std::array<Cell, kBoardRows + 1>, kBoardColumns + 1> m_cells{};
};

} // namespace lexiflip::engine
