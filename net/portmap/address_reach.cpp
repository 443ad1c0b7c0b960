#include "net/portmap/address_reach.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <arpa/inet.h>

namespace lexiflip::portmap {

namespace {

Reach reachOfIpv4(const std::array<std::uint8_t, 4>& a)
{
    if (a[0] == 127 || a[0] == 0 || (a[0] == 169 && a[1] == 254) || a[0] >= 224)
        return Reach::Nowhere;
    const bool privateRange = a[0] == 10 || (a[0] == 172 && (a[1] & 0xF0) == 16) ||
                              (a[0] == 192 && a[1] == 168) || (a[0] == 100 && (a[1] & 0xC0) == 64);
    return privateRange ? Reach::ThisNetwork : Reach::InternetIpv4;
}

Reach reachOfIpv6(const std::array<std::uint8_t, 16>& a)
{
    if ((a[0] & 0xFE) == 0xFC)
        return Reach::ThisNetwork;
    // Only global unicast (2000::/3) is reachable from the internet; the
    // rest is loopback, link-local, multicast or a mapped IPv4 address.
    if ((a[0] & 0xE0) == 0x20)
        return Reach::InternetIpv6;
    return Reach::Nowhere;
}

// Internet first (the mapping, then IPv4, then IPv6), then this network.
int rank(Reach reach)
{
    switch (reach) {
    case Reach::InternetIpv4:
        return 0;
    case Reach::InternetIpv6:
        return 1;
    case Reach::ThisNetwork:
        return 2;
    case Reach::Nowhere:
        break;
    }
    return 3;
}

// What the router's answer about a pinhole means for a global IPv6 address
// of this machine: friends get in through the pinhole, or only where the
// router's firewall lets them.
std::string ipv6Note(const PinholeAnswer& pinhole, const std::string& address)
{
    switch (pinhole.kind) {
    case PinholeAnswer::Kind::Opened:
        if (pinhole.address == address)
            return "through the pinhole your router opened";
        return "if your router's firewall lets friends in";
    case PinholeAnswer::Kind::NotOffered:
    case PinholeAnswer::Kind::NotAllowed:
    case PinholeAnswer::Kind::Refused:
        return "if your router's firewall lets friends in";
    case PinholeAnswer::Kind::NotAsked:
    case PinholeAnswer::Kind::FirewallOff:
        break;
    }
    return {};
}

} // namespace

Reach reachOf(std::string_view address)
{
    const std::string text(address);
    std::array<std::uint8_t, 4> v4{};
    if (inet_pton(AF_INET, text.c_str(), v4.data()) == 1)
        return reachOfIpv4(v4);
    std::array<std::uint8_t, 16> v6{};
    if (inet_pton(AF_INET6, text.c_str(), v6.data()) == 1)
        return reachOfIpv6(v6);
    return Reach::Nowhere;
}

std::string_view reachText(Reach reach)
{
    switch (reach) {
    case Reach::ThisNetwork:
        return "this network";
    case Reach::InternetIpv4:
        return "the internet over IPv4";
    case Reach::InternetIpv6:
        return "the internet over IPv6";
    case Reach::Nowhere:
        break;
    }
    return "this machine";
}

std::string goodFor(const OfferedAddress& address)
{
    std::string text(reachText(address.reach));
    if (!address.note.empty())
        text += ", " + address.note;
    return text;
}

std::vector<OfferedAddress> addressesToOffer(const std::optional<MapAnswer>& mapping,
                                             const std::vector<std::string>& machineAddresses, int port)
{
    std::vector<OfferedAddress> offered;
    if (mapping && mapping->kind == MapAnswer::Kind::Opened &&
        reachOf(mapping->externalAddress) == Reach::InternetIpv4)
        offered.push_back({mapping->externalAddress, mapping->externalPort, Reach::InternetIpv4, {}});
    const PinholeAnswer pinhole = mapping ? mapping->pinhole : PinholeAnswer{};
    // The address the router opened a pinhole to leads the global IPv6
    // addresses (the sort below is stable).
    std::vector<std::string> candidates;
    if (pinhole.kind == PinholeAnswer::Kind::Opened)
        candidates.push_back(pinhole.address);
    candidates.insert(candidates.end(), machineAddresses.begin(), machineAddresses.end());
    std::vector<OfferedAddress> own;
    for (const std::string& address : candidates) {
        const Reach reach = reachOf(address);
        const auto same = [&](const OfferedAddress& other) { return other.host == address; };
        const bool seen =
            std::any_of(own.begin(), own.end(), same) || std::any_of(offered.begin(), offered.end(), same);
        if (reach != Reach::Nowhere && !seen)
            own.push_back(
                {address, port, reach, reach == Reach::InternetIpv6 ? ipv6Note(pinhole, address) : ""});
    }
    std::stable_sort(own.begin(), own.end(), [](const OfferedAddress& a, const OfferedAddress& b) {
        return rank(a.reach) < rank(b.reach);
    });
    offered.insert(offered.end(), own.begin(), own.end());
    return offered;
}

} // namespace lexiflip::portmap
