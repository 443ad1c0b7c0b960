#pragma once

#include <optional>
#include <vector>

#include "words/word_search.h"

namespace lexiflip::engine {

class KnownBoard;

// Expert's next flip, chosen one at a time so that each letter turned can
// change the plan. The best word from the bar, the tiles face up and the
// face-down tiles whose letters are known (at most five board tiles in all)
// wants some known tiles: while more flips are left than it wants, an unknown
// tile is turned (nothing: the caller draws one at random), since its letter
// may make a better word still; then the wanted ones, one by one, unless the
// best plan with one known tile fewer scores so nearly as well that an
// unknown letter is likely worth more. With no unknown tile left, a wanted one or
// nothing. Only the known board is consulted, so hidden letters cannot change
// the choice.
std::optional<words::SearchTile> nextFlip(const words::WordIndex& index, const KnownBoard& board,
                                          const std::vector<words::SearchTile>& bar);

} // namespace lexiflip::engine
