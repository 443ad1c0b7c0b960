#pragma once

#include <optional>
#include <string>

#include "net/portmap/port_mapper.h"

// The line the host dialog and lexiflip-host show for the router's answer.
namespace lexiflip::portmap {

// What the player reads once the router answered (or did not) to a request
// for port, in words: where friends can join, or what to do instead.
std::string mappingMessage(const MapAnswer& answer, int port);

// What the player reads of the router's answer about an IPv6 pinhole for
// port, in words; empty when none was asked for (no global IPv6 address here,
// or no UPnP IGD to ask).
std::string pinholeMessage(const PinholeAnswer& answer, int port);

// The line shown while the router has not answered yet, and the one when
// opening the port is switched off.
std::string askingMessage(int port);
std::string switchedOffMessage(int port);

} // namespace lexiflip::portmap
