#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/portmap/port_mapper.h"

// Which of the host's addresses a friend can reach, and which one the invite
// carries.
namespace lexiflip::portmap {

enum class Reach {
    Nowhere,      // loopback, link-local (needs a zone), or not an address
    ThisNetwork,  // private IPv4, shared (carrier) IPv4, unique local IPv6
    InternetIpv4, // a public IPv4 address
    InternetIpv6, // a global IPv6 address
};

// Where an address (IPv4 dotted or IPv6 text, without brackets) can be
// reached from. The documentation ranges count as public, as they stand for
// public addresses in examples and in the tests' own networks.
Reach reachOf(std::string_view address);

// What the host dialog says an address is good for ("the internet over IPv4").
std::string_view reachText(Reach reach);

struct OfferedAddress {
    std::string host;
    int port = 0;
    Reach reach = Reach::Nowhere;
    // What the router did for a global IPv6 address ("through the pinhole
    // your router opened"); empty when it was not asked.
    std::string note{};
    bool operator==(const OfferedAddress&) const = default;
};

// What the host dialog says an offered address is good for: its reach, and
// what the router did for it.
std::string goodFor(const OfferedAddress& address);

// The addresses to show, the invite's first: the router's mapping when it
// opened one to a public address, then the machine's own public IPv4 and
// global IPv6 addresses (the one the router opened a pinhole to first), then
// those of this network. machineAddresses are the machine's own; port is the
// one it listens on. Nowhere-addresses are left out, and each address is
// offered once.
std::vector<OfferedAddress> addressesToOffer(const std::optional<MapAnswer>& mapping,
                                             const std::vector<std::string>& machineAddresses, int port);

} // namespace lexiflip::portmap
