#include "net/portmap/router_mapper.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <arpa/inet.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>
// Debian's libnatpmp is built with its error texts; the header declares
// them only on request.
#define ENABLE_STRNATPMPERR
#include <natpmp.h>
#include <sys/select.h>

#include "net/portmap/pinhole_address.h"

namespace lexiflip::portmap {

namespace {

using Clock = std::chrono::steady_clock;

// UPnP's error for an external port another machine holds, and for a router
// that keeps only leases without end.
constexpr int kUpnpConflict = 718;
constexpr int kUpnpOnlyPermanentLeases = 725;
// A pinhole's lease is 1 to 86400 seconds, whatever is asked.
constexpr std::chrono::seconds kLongestPinholeLease = std::chrono::hours(24);
// The IANA number for TCP, which the IPv6 firewall takes for the protocol.
constexpr const char* kPinholeTcp = "6";

std::string upnpReason(int result)
{
    const char* reason = strupnperror(result);
    return reason ? reason : "error " + std::to_string(result);
}

// The IGD found (or named), with the address of this machine it sees.
struct Igd {
    UPNPUrls urls{};
    IGDdatas data{};
    std::string lanAddress;
    Igd() = default;
    Igd(const Igd&) = delete;
    Igd& operator=(const Igd&) = delete;
    ~Igd() { FreeUPNPUrls(&urls); }
};

// A NAT-PMP conversation with the gateway, each answer awaited until a
// deadline.
class NatPmp {
public:
    explicit NatPmp(const std::string& gateway)
    {
        in_addr forced{};
        const bool force = !gateway.empty() && inet_pton(AF_INET, gateway.c_str(), &forced) == 1;
        m_open = initnatpmp(&m_natpmp, force ? 1 : 0, force ? forced.s_addr : 0) == 0;
    }
    NatPmp(const NatPmp&) = delete;
    NatPmp& operator=(const NatPmp&) = delete;
    ~NatPmp()
    {
        if (m_open)
            closenatpmp(&m_natpmp);
    }

    bool open() const { return m_open; }
    natpmp_t* get() { return &m_natpmp; }

    // The answer to the request just sent, or its error; NATPMP_TRYAGAIN
    // when the deadline passed first.
    int await(natpmpresp_t& response, Clock::time_point deadline)
    {
        for (;;) {
            timeval wait{};
            getnatpmprequesttimeout(&m_natpmp, &wait);
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return NATPMP_TRYAGAIN;
            const auto asked = std::chrono::seconds(wait.tv_sec) + std::chrono::microseconds(wait.tv_usec);
            const auto slice = std::min<std::chrono::microseconds>(asked, left);
            wait.tv_sec = static_cast<time_t>(slice.count() / 1000000);
            wait.tv_usec = static_cast<suseconds_t>(slice.count() % 1000000);
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(m_natpmp.s, &readable);
            select(m_natpmp.s + 1, &readable, nullptr, nullptr, &wait);
            const int result = readnatpmpresponseorretry(&m_natpmp, &response);
            if (result != NATPMP_TRYAGAIN)
                return result;
        }
    }

private:
    natpmp_t m_natpmp{};
    bool m_open = false;
};

// Whether a NAT-PMP error means no router answered, rather than one that
// said no (a gateway that refuses the datagram itself speaks no NAT-PMP).
bool silent(int result)
{
    return result == NATPMP_TRYAGAIN || result == NATPMP_ERR_NOGATEWAYSUPPORT ||
           result == NATPMP_ERR_CANNOTGETGATEWAY || result == NATPMP_ERR_SOCKETERROR ||
           result == NATPMP_ERR_CONNECTERR || result == NATPMP_ERR_SENDERR || result == NATPMP_ERR_RECVFROM;
}

class RouterMapper final : public PortMapper {
public:
    explicit RouterMapper(RouterMapperOptions options) : m_options(std::move(options)) {}
    ~RouterMapper() override = default;

    MapAnswer map(int internalPort, std::chrono::seconds lease) override
    {
        if (m_protocol != Protocol::NatPmp) {
            if (std::optional<MapAnswer> answer = mapByUpnp(internalPort, lease)) {
                answer->pinhole = pinholeByUpnp(internalPort, lease);
                return *answer;
            }
        }
        return mapByNatPmp(internalPort, lease);
    }

    void unmap() override
    {
        removePinhole();
        if (m_externalPort == 0)
            return;
        if (m_protocol == Protocol::UpnpIgd) {
            if (findIgd()) {
                const std::string external = std::to_string(m_externalPort);
                UPNP_DeletePortMapping(m_igd->urls.controlURL, m_igd->data.first.servicetype,
                                       external.c_str(), "TCP", nullptr);
            }
        } else if (m_protocol == Protocol::NatPmp) {
            NatPmp natpmp(m_options.natPmpGateway);
            natpmpresp_t response{};
            // A lease of nothing removes the mapping.
            if (natpmp.open() && sendnewportmappingrequest(natpmp.get(), NATPMP_PROTOCOL_TCP,
                                                           static_cast<uint16_t>(m_internalPort), 0, 0) >= 0)
                natpmp.await(response, Clock::now() + m_options.natPmpLimit);
        }
        m_externalPort = 0;
    }

private:
    // The IGD, found once and kept for renewals and the removal.
    bool findIgd()
    {
        if (m_igd)
            return true;
        auto igd = std::make_unique<Igd>();
        char lan[64] = {};
        int found = 0;
        if (m_options.confined && m_options.igdDescriptionUrl.empty())
            return false;
        if (!m_options.igdDescriptionUrl.empty()) {
            found = UPNP_GetIGDFromUrl(m_options.igdDescriptionUrl.c_str(), &igd->urls, &igd->data, lan,
                                       sizeof lan);
        } else {
            // One search, for the gateway device: the library's own search
            // walks four types one after the other, each waiting the whole
            // limit, so a network without an IGD cost four times the limit
            // before NAT-PMP was even tried. A version 2 gateway answers a
            // search for version 1, as every newer device version must.
            int error = 0;
            UPNPDev* devices = upnpDiscoverDevice("urn:schemas-upnp-org:device:InternetGatewayDevice:1",
                                                  static_cast<int>(m_options.discoveryLimit.count()), nullptr,
                                                  nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
            if (devices) {
                // 1 is a connected IGD; 2 and 3 are IGDs that say they are
                // not connected, which cannot map anything useful.
                found = UPNP_GetValidIGD(devices, &igd->urls, &igd->data, lan, sizeof lan) == 1 ? 1 : 0;
                freeUPNPDevlist(devices);
            }
        }
        if (found != 1)
            return false;
        igd->lanAddress = lan;
        m_igd = std::move(igd);
        return true;
    }

    int addUpnpMapping(int externalPort, int internalPort, std::chrono::seconds lease)
    {
        const std::string external = std::to_string(externalPort);
        const std::string internal = std::to_string(internalPort);
        const std::string seconds = std::to_string(lease.count());
        return UPNP_AddPortMapping(m_igd->urls.controlURL, m_igd->data.first.servicetype, external.c_str(),
                                   internal.c_str(), m_igd->lanAddress.c_str(), m_options.description.c_str(),
                                   "TCP", nullptr, seconds.c_str());
    }

    // The IGD's answer, or nothing when there is no IGD to ask.
    std::optional<MapAnswer> mapByUpnp(int internalPort, std::chrono::seconds lease)
    {
        if (!findIgd())
            return std::nullopt;
        MapAnswer answer;
        answer.protocol = Protocol::UpnpIgd;
        const int wanted = m_externalPort != 0 ? m_externalPort : internalPort;
        int result = addUpnpMapping(wanted, internalPort, lease);
        if (result == kUpnpOnlyPermanentLeases) {
            lease = std::chrono::seconds(0);
            result = addUpnpMapping(wanted, internalPort, lease);
        }
        int external = wanted;
        // Another machine holds the port: the next few are tried, as a
        // friend's client takes any port the invite names.
        for (int next = wanted + 1; result == kUpnpConflict && next <= std::min(wanted + 8, 65535); ++next) {
            result = addUpnpMapping(next, internalPort, lease);
            external = next;
        }
        if (result != UPNPCOMMAND_SUCCESS) {
            if (result == UPNPCOMMAND_HTTP_ERROR || result == UPNPCOMMAND_UNKNOWN_ERROR) {
                // The IGD stopped answering; perhaps NAT-PMP still does.
                m_igd.reset();
                return std::nullopt;
            }
            answer.kind = MapAnswer::Kind::Refused;
            answer.reason = upnpReason(result);
            return answer;
        }
        char address[64] = {};
        if (UPNP_GetExternalIPAddress(m_igd->urls.controlURL, m_igd->data.first.servicetype, address) ==
            UPNPCOMMAND_SUCCESS)
            answer.externalAddress = address;
        answer.kind = MapAnswer::Kind::Opened;
        answer.externalPort = external;
        answer.lease = lease;
        remember(Protocol::UpnpIgd, internalPort, external);
        return answer;
    }

    // Whether the IGD found offers IPv6 firewall control (UPnP IGD version 2).
    bool igdOffersPinholes() const
    {
        return m_igd && m_igd->urls.controlURL_6FC && m_igd->urls.controlURL_6FC[0] != '\0' &&
               m_igd->data.IPv6FC.servicetype[0] != '\0';
    }

    // The IPv6 side of the same port: this machine's global IPv6 address is
    // reached without translation, so only the router's firewall has to let
    // friends in, through a pinhole the IGD opens for a lease.
    PinholeAnswer pinholeByUpnp(int internalPort, std::chrono::seconds lease)
    {
        PinholeAnswer answer;
        answer.address = machinePinholeAddress();
        if (answer.address.empty()) {
            removePinhole(); // the address went: its pinhole leads nowhere
            return answer;
        }
        if (!igdOffersPinholes()) {
            answer.kind = PinholeAnswer::Kind::NotOffered;
            return answer;
        }
        const char* url = m_igd->urls.controlURL_6FC;
        const char* service = m_igd->data.IPv6FC.servicetype;
        lease = std::clamp(lease, std::chrono::seconds(1), kLongestPinholeLease);
        const std::string seconds = std::to_string(lease.count());
        if (!m_pinholeId.empty() && m_pinholeAddress == answer.address) {
            if (UPNP_UpdatePinhole(url, service, m_pinholeId.c_str(), seconds.c_str()) ==
                UPNPCOMMAND_SUCCESS) {
                answer.kind = PinholeAnswer::Kind::Opened;
                answer.lease = lease;
                return answer;
            }
            // The router forgot it (restarted, say): opened afresh below.
            m_pinholeId.clear();
        }
        removePinhole();
        int enabled = 0;
        int inboundAllowed = 0;
        int result = UPNP_GetFirewallStatus(url, service, &enabled, &inboundAllowed);
        if (result != UPNPCOMMAND_SUCCESS) {
            answer.kind = PinholeAnswer::Kind::Refused;
            answer.reason = upnpReason(result);
            return answer;
        }
        if (!enabled) {
            answer.kind = PinholeAnswer::Kind::FirewallOff;
            return answer;
        }
        if (!inboundAllowed) {
            answer.kind = PinholeAnswer::Kind::NotAllowed;
            return answer;
        }
        const std::string port = std::to_string(internalPort);
        // The library copies at most 8 bytes of the router's identifier.
        char id[16] = {};
        // Any remote host and port: friends come from anywhere.
        result = UPNP_AddPinhole(url, service, "", "0", answer.address.c_str(), port.c_str(), kPinholeTcp,
                                 seconds.c_str(), id);
        if (result != UPNPCOMMAND_SUCCESS || id[0] == '\0') {
            answer.kind = PinholeAnswer::Kind::Refused;
            if (result != UPNPCOMMAND_SUCCESS)
                answer.reason = upnpReason(result);
            return answer;
        }
        m_pinholeId = id;
        m_pinholeAddress = answer.address;
        answer.kind = PinholeAnswer::Kind::Opened;
        answer.lease = lease;
        return answer;
    }

    void removePinhole()
    {
        if (m_pinholeId.empty())
            return;
        if (findIgd() && igdOffersPinholes())
            UPNP_DeletePinhole(m_igd->urls.controlURL_6FC, m_igd->data.IPv6FC.servicetype,
                               m_pinholeId.c_str());
        m_pinholeId.clear();
        m_pinholeAddress.clear();
    }

    MapAnswer mapByNatPmp(int internalPort, std::chrono::seconds lease)
    {
        MapAnswer answer;
        answer.protocol = Protocol::NatPmp;
        if (m_options.confined && m_options.natPmpGateway.empty())
            return answer;
        NatPmp natpmp(m_options.natPmpGateway);
        if (!natpmp.open())
            return answer;
        const auto deadline = Clock::now() + m_options.natPmpLimit;
        natpmpresp_t response{};
        const int wanted = m_externalPort != 0 ? m_externalPort : internalPort;
        if (sendnewportmappingrequest(natpmp.get(), NATPMP_PROTOCOL_TCP, static_cast<uint16_t>(internalPort),
                                      static_cast<uint16_t>(wanted),
                                      static_cast<uint32_t>(lease.count())) < 0)
            return answer;
        int result = natpmp.await(response, deadline);
        if (result < 0) {
            if (!silent(result)) {
                answer.kind = MapAnswer::Kind::Refused;
                answer.reason = strnatpmperr(result);
            }
            return answer;
        }
        answer.kind = MapAnswer::Kind::Opened;
        answer.externalPort = response.pnu.newportmapping.mappedpublicport;
        answer.lease = std::chrono::seconds(response.pnu.newportmapping.lifetime);
        remember(Protocol::NatPmp, internalPort, answer.externalPort);
        if (sendpublicaddressrequest(natpmp.get()) >= 0) {
            result = natpmp.await(response, deadline + m_options.natPmpLimit);
            char text[INET_ADDRSTRLEN] = {};
            if (result >= 0 && inet_ntop(AF_INET, &response.pnu.publicaddress.addr, text, sizeof text))
                answer.externalAddress = text;
        }
        return answer;
    }

    void remember(Protocol protocol, int internalPort, int externalPort)
    {
        m_protocol = protocol;
        m_internalPort = internalPort;
        m_externalPort = externalPort;
    }

    RouterMapperOptions m_options;
    std::unique_ptr<Igd> m_igd;
    Protocol m_protocol = Protocol::None;
    int m_internalPort = 0;
    int m_externalPort = 0;
    // The pinhole open on the IGD: its identifier there and its address.
    std::string m_pinholeId;
    std::string m_pinholeAddress;
};

} // namespace

RouterMapperOptions routerMapperOptionsFromEnvironment()
{
    RouterMapperOptions options;
    if (const char* url = std::getenv("LEXIFLIP_IGD_URL"))
        options.igdDescriptionUrl = url;
    if (const char* gateway = std::getenv("LEXIFLIP_NATPMP_GATEWAY"))
        options.natPmpGateway = gateway;
    options.confined = std::getenv("LEXIFLIP_DISCOVERY_ADDRESS") != nullptr;
    return options;
}

bool hasRouterToAsk(const RouterMapperOptions& options)
{
    return !options.confined || !options.igdDescriptionUrl.empty() || !options.natPmpGateway.empty();
}

std::unique_ptr<PortMapper> makeRouterMapper(RouterMapperOptions options)
{
    return std::make_unique<RouterMapper>(std::move(options));
}

} // namespace lexiflip::portmap
