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
