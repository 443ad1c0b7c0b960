#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexiflip::engine {

// The computer player's word list from its embedded text: one word per line,
// in the list's own (sorted) order. Empty lines are skipped; a line may end in
// "\r\n". Entries are kept as they are, repeats included, since the computer
// picks entries by their position in the list.
std::vector<std::string> loadComputerWords(std::string_view text);

} // namespace lexiflip::engine
