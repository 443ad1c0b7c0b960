#pragma once

// What host and client agree on about a connection, beside its messages.
namespace lexiflip::wire {

// The TCP port a host listens on, and an invite link or the join dialog
// names, when no other is given.
inline constexpr int kDefaultPort = 7772;

// Messages one connection may have waiting in a receive queue at a time;
// more are dropped until it drains, so that no peer can make the other side
// hold its messages without bound.
inline constexpr int kQueueLimitPerConnection = 256;

} // namespace lexiflip::wire
