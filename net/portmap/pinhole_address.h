#pragma once

#include <string>
#include <string_view>

// Which of this machine's IPv6 addresses the router is asked to open a
// pinhole to.
namespace lexiflip::portmap {

// The address, from the kernel's table of IPv6 addresses in the text of
// /proc/net/if_inet6 (one address a line: 32 hex digits, interface index,
// prefix length, scope, flags, interface name): the first global one that
// is neither tentative, failed, nor deprecated, a stable one before a
// temporary (privacy) one, whose lifetime ends sooner than a game may run.
// Empty when there is none.
std::string pinholeAddress(std::string_view ifInet6);

// The same, read from /proc/net/if_inet6. The kernel's file, rather than
// getifaddrs(), which asks over a netlink socket: the host needs no address
// family but IPv4 and IPv6 for this.
std::string machinePinholeAddress();

} // namespace lexiflip::portmap
