#pragma once

#include <string>
#include <string_view>

namespace lexiflip::core {

// Text from outside (a link given on the command line, a name from the
// network) as it may be written to a terminal: printable text stays as it
// is, UTF-8 included, while every byte a terminal could take for a command
// is written as "\xHH": the C0 controls (ESC, line breaks), DEL, the C1
// controls (raw, or encoded in UTF-8) and any byte that is no part of valid
// UTF-8. A backslash is doubled, so that the escaped text reads back
// unambiguously.
std::string terminalSafe(std::string_view text);

} // namespace lexiflip::core
