#include "net/portmap/lease_schedule.h"

#include <algorithm>

namespace lexiflip::portmap {

std::optional<std::chrono::seconds> nextRequestAfter(const MapAnswer& answer, bool hadMapping)
{
    std::optional<std::chrono::seconds> wait;
    const auto renewWithin = [&wait](std::chrono::seconds lease) {
        if (lease.count() <= 0)
            return;
        const std::chrono::seconds half = std::max(lease / 2, kShortestWait);
        wait = wait ? std::min(*wait, half) : half;
    };
    const bool mapped = answer.kind == MapAnswer::Kind::Opened;
    const bool pinholed = answer.pinhole.kind == PinholeAnswer::Kind::Opened;
    // One request renews both, so the shorter lease sets the pace: a pinhole
    // open beside a refused mapping (a router with no IPv4 to share) must be
    // renewed all the same.
    if (mapped)
        renewWithin(answer.lease);
    if (pinholed)
        renewWithin(answer.pinhole.lease);
    if (!mapped && !pinholed && hadMapping)
        return kRetryAfterLoss;
    return wait;
}

} // namespace lexiflip::portmap
