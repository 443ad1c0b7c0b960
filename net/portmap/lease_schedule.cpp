#include "net/portmap/lease_schedule.h"

#include <algorithm>

namespace lexiflip::portmap {

std::optional<std::chrono::seconds> nextRequestAfter(const MapAnswer& answer, bool hadMapping)
{
    if (answer.kind == MapAnswer::Kind::Opened) {
        if (answer.lease.count() <= 0)
            return std::nullopt;
        return std::max(answer.lease / 2, kShortestWait);
    }
    if (hadMapping)
        return kRetryAfterLoss;
    return std::nullopt;
}

} // namespace lexiflip::portmap
