#include "wire/accumulator.h"

#include <algorithm>

namespace lexiflip::wire {

void ReceiveAccumulator::keep(std::string_view bytes)
{
    const std::size_t room = kMaxMessageBytes - std::min(m_partial.size(), kMaxMessageBytes);
    m_partial.append(bytes.substr(0, std::min(room, bytes.size())));
}

} // namespace lexiflip::wire
