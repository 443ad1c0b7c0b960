#include "windows/summary/summary_index.h"

#include "assets/embedded.h"
#include "words/word_index.h"

namespace lexiflip::summary {

const words::WordIndex& summaryWordIndex()
{
    // The window has no host's list to ask: it searches the list the game
    // ships, which is the list a host without a list of its own checks with.
    static const words::WordIndex index(assets::dictionaryRecords());
    return index;
}

} // namespace lexiflip::summary
