#include "net/portmap/mapping_message.h"

#include "net/portmap/address_reach.h"

namespace lexiflip::portmap {

namespace {

std::string byHand(int port)
{
    return "forward port " + std::to_string(port) + " by hand, or use an address your friends can reach";
}

std::string joinAt(const std::string& address, int port)
{
    return address + ":" + std::to_string(port);
}

std::string joinAtIpv6(const std::string& address, int port)
{
    return "[" + address + "]:" + std::to_string(port);
}

// A global IPv6 address with no pinhole may still be reachable: many routers
// let inbound IPv6 in, or are told to by hand.
std::string ifFirewallLetsIn(const std::string& address, int port)
{
    return "friends over IPv6 get in at " + joinAtIpv6(address, port) + " only if its firewall lets them";
}

} // namespace

std::string mappingMessage(const MapAnswer& answer, int port)
{
    const std::string portText = std::to_string(port);
    switch (answer.kind) {
    case MapAnswer::Kind::NoAnswer:
        return "Your router did not answer: " + byHand(port);
    case MapAnswer::Kind::Refused:
        return "Your router refused to open port " + portText +
               (answer.reason.empty() ? std::string() : " (" + answer.reason + ")") + ": " + byHand(port);
    case MapAnswer::Kind::Opened:
        break;
    }
    const std::string opened = answer.externalPort == port
                                   ? "Your router opened port " + portText
                                   : "Port " + portText + " was taken on your router, which opened port " +
                                         std::to_string(answer.externalPort) + " instead";
    if (answer.externalAddress.empty())
        return opened + ", but would not tell its internet address: friends join at that address, port " +
               std::to_string(answer.externalPort);
    // A router whose own address is private sits behind another one (a
    // provider's shared address, or a second router at home): the mapping
    // reaches no further than that one.
    if (reachOf(answer.externalAddress) != Reach::InternetIpv4)
        return opened + ", but its address " + answer.externalAddress +
               " is not on the internet (another router stands in between): " + byHand(port);
    return opened + ": friends can join at " + joinAt(answer.externalAddress, answer.externalPort);
}

std::string pinholeMessage(const PinholeAnswer& answer, int port)
{
    const std::string portText = std::to_string(port);
    switch (answer.kind) {
    case PinholeAnswer::Kind::NotAsked:
        return {};
    case PinholeAnswer::Kind::Opened:
        return "Your router opened port " + portText + " over IPv6: friends can join at " +
               joinAtIpv6(answer.address, port);
    case PinholeAnswer::Kind::FirewallOff:
        return "Your router's IPv6 firewall is off: friends can join at " + joinAtIpv6(answer.address, port);
    case PinholeAnswer::Kind::NotOffered:
        return "Your router offers no IPv6 pinholes (UPnP IGD version 1): " +
               ifFirewallLetsIn(answer.address, port);
    case PinholeAnswer::Kind::NotAllowed:
        return "Your router's IPv6 firewall allows no pinholes: " + ifFirewallLetsIn(answer.address, port);
    case PinholeAnswer::Kind::Refused:
        break;
    }
    return "Your router refused to open port " + portText + " over IPv6" +
           (answer.reason.empty() ? std::string() : " (" + answer.reason + ")") + ": " +
           ifFirewallLetsIn(answer.address, port);
}

std::string askingMessage(int port)
{
    return "Asking your router to open port " + std::to_string(port) + "...";
}

std::string switchedOffMessage(int port)
{
    return "Opening the port on your router is switched off: forward port " + std::to_string(port) +
           " by hand for friends on the internet";
}

} // namespace lexiflip::portmap
