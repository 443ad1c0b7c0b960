#pragma once

#include <chrono>
#include <optional>

#include "net/portmap/port_mapper.h"

// When the host asks its router again. It asks for an hour and renews at half
// the lease the router granted, so a missed renewal still leaves half the
// lease to try again before friends are cut off.
namespace lexiflip::portmap {

inline constexpr std::chrono::seconds kAskedLease = std::chrono::hours(1);
// After a renewal went unanswered (a router restarting, say), the next try.
inline constexpr std::chrono::seconds kRetryAfterLoss = std::chrono::minutes(1);
// The shortest wait between two requests, whatever lease a router grants, so
// that a router granting a second is not asked in a loop.
inline constexpr std::chrono::seconds kShortestWait = std::chrono::seconds(1);

// How long after answer the host asks again, or nothing when it need not:
// leases without end, or a first request that found no willing router (the
// player is told to forward the port by hand; asking again every minute
// would only repeat that). The mapping and the IPv6 pinhole are renewed by
// the same request, at half the shorter lease. hadMapping says whether a
// mapping or a pinhole existed before this answer, so that one lost to a
// restarting router is asked for again.
std::optional<std::chrono::seconds> nextRequestAfter(const MapAnswer& answer, bool hadMapping);

} // namespace lexiflip::portmap
