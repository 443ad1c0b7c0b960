#pragma once

#include <chrono>
#include <string>

// Asking the home router to forward a TCP port to this machine, so that
// friends on the internet can join without anybody touching the router.
namespace lexiflip::portmap {

// Which of the router's protocols gave an answer.
enum class Protocol { None, UpnpIgd, NatPmp };

// What the router's IPv6 firewall said to a request for a pinhole: a way in
// from the internet to this machine's own global IPv6 address and the port.
// IPv6 needs no address translation, only the firewall's leave.
struct PinholeAnswer {
    enum class Kind {
        NotAsked,    // no global IPv6 address here, or no UPnP IGD answered
        NotOffered,  // the IGD has no IPv6 firewall control (UPnP IGD version 1)
        FirewallOff, // the router's IPv6 firewall is off: nothing to open
        NotAllowed,  // the router's IPv6 firewall allows no pinholes
        Opened,      // the pinhole exists
        Refused,     // the router said no to this pinhole
    };
    Kind kind = Kind::NotAsked;
    // This machine's global IPv6 address the pinhole is (or was asked) for.
    std::string address;
    // How long the router keeps the pinhole open.
    std::chrono::seconds lease{0};
    // The router's own words for a refusal.
    std::string reason;
};

// What the router said to one request for a mapping.
struct MapAnswer {
    enum class Kind {
        Opened,   // the mapping exists (perhaps on another external port)
        Refused,  // a router answered and said no
        NoAnswer, // no router answered within the time limit
    };
    Kind kind = Kind::NoAnswer;
    Protocol protocol = Protocol::None;
    // The router's address on the internet side ("203.0.113.5"); may be
    // empty when the router would not tell it.
    std::string externalAddress;
    int externalPort = 0;
    // How long the router keeps the mapping; zero means until it is removed.
    std::chrono::seconds lease{0};
    // The router's own words for a refusal ("ConflictInPortMappingEntry").
    std::string reason;
    // The same port over IPv6, asked for in the same conversation.
    PinholeAnswer pinhole{};
};

// One router conversation. Every call blocks for at most the mapper's own
// time limit, so it is called off the window's thread; an implementation
// never throws.
class PortMapper {
public:
    virtual ~PortMapper() = default;
    // Asks for internalPort of this machine over TCP, preferably on the same
    // external port, for lease, and a pinhole to this machine's global IPv6
    // address where the router offers one. Asking again renews both.
    virtual MapAnswer map(int internalPort, std::chrono::seconds lease) = 0;
    // Removes the mapping and the pinhole the last map() opened; nothing when
    // there is none.
    virtual void unmap() = 0;
};

} // namespace lexiflip::portmap
