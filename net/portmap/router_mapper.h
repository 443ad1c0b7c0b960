#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "net/portmap/port_mapper.h"

// The real router conversation: UPnP IGD through miniupnpc first, else
// NAT-PMP (and PCP, which newer routers answer on the same port) through
// libnatpmp. Blocking; run it on a thread of its own.
namespace lexiflip::portmap {

struct RouterMapperOptions {
    // The IGD's description URL; when set, no multicast search is made and
    // this IGD alone is asked (a known router, or a test's own).
    std::string igdDescriptionUrl;
    // The NAT-PMP gateway (IPv4 text); when empty, the default route's.
    std::string natPmpGateway;
    // How long the multicast search for an IGD listens for answers.
    std::chrono::milliseconds discoveryLimit{2000};
    // How long NAT-PMP waits for its answers, retries included.
    std::chrono::milliseconds natPmpLimit{2000};
    // Whether the host may only talk to the addresses named above: local
    // network discovery is confined (LEXIFLIP_DISCOVERY_ADDRESS), so the
    // multicast search and the default route's gateway are never asked.
    bool confined = false;
    // What the router's table shows for the mapping.
    std::string description = "Lexiflip game host";
};

// The options from the environment: LEXIFLIP_IGD_URL and
// LEXIFLIP_NATPMP_GATEWAY, which point the host at one router, and
// LEXIFLIP_DISCOVERY_ADDRESS, which confines it to them.
RouterMapperOptions routerMapperOptionsFromEnvironment();

// Whether options leave any router to ask: a confined host without a named
// router has none, and says nothing about routers at all.
bool hasRouterToAsk(const RouterMapperOptions& options);

std::unique_ptr<PortMapper> makeRouterMapper(RouterMapperOptions options);

} // namespace lexiflip::portmap
