#include "net/portmap/pinhole_address.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <sstream>

#include <arpa/inet.h>

#include "net/portmap/address_reach.h"

namespace lexiflip::portmap {

namespace {

// The kernel's address flags (IFA_F_*), as the file shows their low byte.
constexpr unsigned kTemporary = 0x01;
constexpr unsigned kDadFailed = 0x08;
constexpr unsigned kDeprecated = 0x20;
constexpr unsigned kTentative = 0x40;

// The address text of 32 hex digits, or empty when they are not that.
std::string addressText(const std::string& hex)
{
    std::array<std::uint8_t, 16> bytes{};
    if (hex.size() != 32)
        return {};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned value = 0;
        std::istringstream digits(hex.substr(i * 2, 2));
        if (!(digits >> std::hex >> value))
            return {};
        bytes[i] = static_cast<std::uint8_t>(value);
    }
    char text[INET6_ADDRSTRLEN] = {};
    return inet_ntop(AF_INET6, bytes.data(), text, sizeof text) ? std::string(text) : std::string();
}

} // namespace

std::string pinholeAddress(std::string_view ifInet6)
{
    std::string temporary;
    std::istringstream lines{std::string(ifInet6)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string hex;
        unsigned index = 0, prefix = 0, scope = 0, flags = 0;
        if (!(fields >> hex >> std::hex >> index >> prefix >> scope >> flags))
            continue;
        const std::string address = addressText(hex);
        if (address.empty() || reachOf(address) != Reach::InternetIpv6 ||
            (flags & (kDadFailed | kDeprecated | kTentative)) != 0)
            continue;
        if ((flags & kTemporary) == 0)
            return address;
        if (temporary.empty())
            temporary = address;
    }
    return temporary;
}

std::string machinePinholeAddress()
{
    std::ifstream file("/proc/net/if_inet6");
    std::stringstream text;
    text << file.rdbuf();
    return pinholeAddress(text.str());
}

} // namespace lexiflip::portmap
