#pragma once

namespace lexiflip::words {
class WordIndex;
}

namespace lexiflip::summary {

// The built-in word list's index, built on the first call and kept for the
// program's life. Building it takes a while and some megabytes, so it is made
// only when a summary asks for it, and never on the window's thread.
const words::WordIndex& summaryWordIndex();

} // namespace lexiflip::summary
