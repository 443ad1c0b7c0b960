// Opening the port on the router, the plain side: when the lease is asked for
// again, what the player reads for each answer, and which address the
// invite carries. Tables, no sockets.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "net/portmap/address_reach.h"
#include "net/portmap/lease_schedule.h"
#include "net/portmap/mapping_message.h"
#include "net/portmap/pinhole_address.h"

namespace lexiflip::portmap {
namespace {

using namespace std::chrono_literals;
using Kind = MapAnswer::Kind;

MapAnswer answerOf(Kind kind)
{
    MapAnswer answer;
    answer.kind = kind;
    return answer;
}

MapAnswer opened(std::string address, int port, std::chrono::seconds lease)
{
    return {Kind::Opened, Protocol::UpnpIgd, std::move(address), port, lease, {}};
}

MapAnswer withPinhole(MapAnswer answer, PinholeAnswer::Kind kind, std::string address = "2001:db8:1::2",
                      std::chrono::seconds lease = 3600s)
{
    answer.pinhole = {kind, std::move(address), kind == PinholeAnswer::Kind::Opened ? lease : 0s, {}};
    return answer;
}

TEST(LeaseSchedule, RenewsAtHalfTheGrantedLeaseAndRetriesOnlyALostMapping)
{
    struct Case {
        MapAnswer answer;
        bool hadMapping;
        std::optional<std::chrono::seconds> expected;
    };
    const std::vector<Case> cases = {
        {opened("203.0.113.5", 7772, 3600s), false, 1800s},
        {opened("203.0.113.5", 7772, 7200s), true, 3600s}, // a router may grant more
        {opened("203.0.113.5", 7772, 121s), false, 60s},
        {opened("203.0.113.5", 7772, 1s), false, kShortestWait}, // never a loop
        {opened("203.0.113.5", 7772, 0s), false, std::nullopt},  // no end: nothing to renew
        {answerOf(Kind::NoAnswer), false, std::nullopt},
        {answerOf(Kind::Refused), false, std::nullopt},
        {answerOf(Kind::NoAnswer), true, kRetryAfterLoss},
        {answerOf(Kind::Refused), true, kRetryAfterLoss},
        // One request renews both: the shorter lease sets the pace, and a
        // pinhole beside a refused mapping is renewed all the same.
        {withPinhole(opened("203.0.113.5", 7772, 3600s), PinholeAnswer::Kind::Opened, "2001:db8:1::2", 600s),
         false, 300s},
        {withPinhole(opened("203.0.113.5", 7772, 0s), PinholeAnswer::Kind::Opened), false, 1800s},
        {withPinhole(answerOf(Kind::Refused), PinholeAnswer::Kind::Opened), false, 1800s},
        {withPinhole(answerOf(Kind::Refused), PinholeAnswer::Kind::Opened), true, 1800s},
        {withPinhole(answerOf(Kind::Refused), PinholeAnswer::Kind::Refused), true, kRetryAfterLoss},
        {withPinhole(answerOf(Kind::Refused), PinholeAnswer::Kind::NotOffered), false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nextRequestAfter(c.answer, c.hadMapping), c.expected)
            << "lease " << c.answer.lease.count() << " kind " << static_cast<int>(c.answer.kind);
}

TEST(MappingMessage, SaysInWordsWhatTheRouterDid)
{
    MapAnswer refused = answerOf(Kind::Refused);
    refused.reason = "ConflictInPortMappingEntry";
    const std::vector<std::pair<MapAnswer, std::string>> cases = {
        {opened("203.0.113.5", 7772, 3600s),
         "Your router opened port 7772: friends can join at 203.0.113.5:7772"},
        {opened("203.0.113.5", 7773, 3600s),
         "Port 7772 was taken on your router, which opened port 7773 instead: friends can join at "
         "203.0.113.5:7773"},
        {answerOf(Kind::NoAnswer),
         "Your router did not answer: forward port 7772 by hand, or use an address your friends can reach"},
        {refused, "Your router refused to open port 7772 (ConflictInPortMappingEntry): forward port 7772 by "
                  "hand, or use an address your friends can reach"},
        {answerOf(Kind::Refused),
         "Your router refused to open port 7772: forward port 7772 by hand, or use an address your friends "
         "can reach"},
        // Behind a second router the mapping reaches no further than it.
        {opened("100.64.3.4", 7772, 3600s),
         "Your router opened port 7772, but its address 100.64.3.4 is not on the internet (another router "
         "stands in between): forward port 7772 by hand, or use an address your friends can reach"},
        {opened("", 7772, 3600s),
         "Your router opened port 7772, but would not tell its internet address: friends join at that "
         "address, port 7772"},
    };
    for (const auto& [answer, expected] : cases)
        EXPECT_EQ(mappingMessage(answer, 7772), expected);
}

TEST(MappingMessage, SaysInWordsWhatTheRouterDidForIpv6)
{
    using P = PinholeAnswer::Kind;
    const std::string ifLetIn =
        "friends over IPv6 get in at [2001:db8:1::2]:7772 only if its firewall lets them";
    PinholeAnswer refused{P::Refused, "2001:db8:1::2", 0s, "Action not authorized"};
    const std::vector<std::pair<PinholeAnswer, std::string>> cases = {
        {{P::NotAsked, "", 0s, {}}, ""},
        {{P::Opened, "2001:db8:1::2", 3600s, {}},
         "Your router opened port 7772 over IPv6: friends can join at [2001:db8:1::2]:7772"},
        {{P::FirewallOff, "2001:db8:1::2", 0s, {}},
         "Your router's IPv6 firewall is off: friends can join at [2001:db8:1::2]:7772"},
        {{P::NotOffered, "2001:db8:1::2", 0s, {}},
         "Your router offers no IPv6 pinholes (UPnP IGD version 1): " + ifLetIn},
        {{P::NotAllowed, "2001:db8:1::2", 0s, {}},
         "Your router's IPv6 firewall allows no pinholes: " + ifLetIn},
        {refused, "Your router refused to open port 7772 over IPv6 (Action not authorized): " + ifLetIn},
        {{P::Refused, "2001:db8:1::2", 0s, {}},
         "Your router refused to open port 7772 over IPv6: " + ifLetIn},
    };
    for (const auto& [answer, expected] : cases)
        EXPECT_EQ(pinholeMessage(answer, 7772), expected);
}

TEST(PinholeAddress, TakesAStableGlobalAddressFromTheKernelsTable)
{
    const std::string loopback = "00000000000000000000000000000001 01 80 10 80       lo\n";
    const std::string linkLocal = "fe800000000000000000000000000002 02 40 20 80     eth0\n";
    const std::string uniqueLocal = "fd000000000000000000000000000002 02 40 00 80     eth0\n";
    const std::string stable = "20010db8000100000000000000000002 02 40 00 80     eth0\n";
    const std::string temporary = "20010db80001000012345678abcdef01 02 40 00 01     eth0\n";
    const std::string tentative = "20010db8000100000000000000000003 02 40 00 c0     eth0\n";
    const std::string deprecated = "20010db8000100000000000000000004 02 40 00 a0     eth0\n";
    const std::string failed = "20010db8000100000000000000000005 02 40 00 88     eth0\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {loopback + linkLocal + uniqueLocal, ""},
        {loopback + linkLocal + stable, "2001:db8:1::2"},
        {temporary + stable, "2001:db8:1::2"},                       // a privacy address ends sooner
        {linkLocal + temporary, "2001:db8:1:0:1234:5678:abcd:ef01"}, // but beats none
        {tentative + deprecated + failed, ""},
        {tentative + deprecated + failed + stable, "2001:db8:1::2"},
        {"20010db8 02 40 00 80 eth0\nnot a line\n" + stable, "2001:db8:1::2"},
    };
    for (const auto& [table, expected] : cases)
        EXPECT_EQ(pinholeAddress(table), expected) << table;
}

TEST(AddressReach, ClassifiesEachKindOfAddress)
{
    const std::vector<std::pair<std::string, Reach>> cases = {
        {"127.0.0.1", Reach::Nowhere},
        {"169.254.1.2", Reach::Nowhere},
        {"10.0.0.2", Reach::ThisNetwork},
        {"172.16.0.1", Reach::ThisNetwork},
        {"172.32.0.1", Reach::InternetIpv4},
        {"192.168.1.20", Reach::ThisNetwork},
        {"100.64.0.1", Reach::ThisNetwork},
        {"100.128.0.1", Reach::InternetIpv4},
        {"203.0.113.5", Reach::InternetIpv4},
        {"224.0.0.1", Reach::Nowhere},
        {"::1", Reach::Nowhere},
        {"fe80::1", Reach::Nowhere},
        {"fd12:3456::7", Reach::ThisNetwork},
        {"2001:db8::7", Reach::InternetIpv6},
        {"::ffff:203.0.113.5", Reach::Nowhere},
        {"game.example.org", Reach::Nowhere},
        {"", Reach::Nowhere},
    };
    for (const auto& [address, expected] : cases)
        EXPECT_EQ(reachOf(address), expected) << address;
}

TEST(AddressesToOffer, TheInviteCarriesWhatWorks)
{
    const std::vector<std::string> home = {"127.0.0.1", "192.168.1.20", "fe80::1", "::1"};
    const std::vector<std::string> homeWithIpv6 = {"192.168.1.20", "fd00::5", "2001:db8::20", "192.168.1.20"};
    struct Case {
        std::optional<MapAnswer> mapping;
        std::vector<std::string> machine;
        std::vector<OfferedAddress> expected;
    };
    const std::vector<Case> cases = {
        // No router: the local address as before.
        {std::nullopt, home, {{"192.168.1.20", 7772, Reach::ThisNetwork}}},
        {answerOf(Kind::NoAnswer), home, {{"192.168.1.20", 7772, Reach::ThisNetwork}}},
        // A mapping, on another port when the requested one was taken.
        {opened("203.0.113.5", 7773, 3600s),
         home,
         {{"203.0.113.5", 7773, Reach::InternetIpv4}, {"192.168.1.20", 7772, Reach::ThisNetwork}}},
        // A mapping to a private address reaches nobody outside: not offered.
        {opened("10.1.1.1", 7772, 3600s), home, {{"192.168.1.20", 7772, Reach::ThisNetwork}}},
        // Global IPv6 before this network, each address once.
        {std::nullopt,
         homeWithIpv6,
         {{"2001:db8::20", 7772, Reach::InternetIpv6},
          {"192.168.1.20", 7772, Reach::ThisNetwork},
          {"fd00::5", 7772, Reach::ThisNetwork}}},
        {opened("203.0.113.5", 7772, 3600s),
         homeWithIpv6,
         {{"203.0.113.5", 7772, Reach::InternetIpv4},
          {"2001:db8::20", 7772, Reach::InternetIpv6},
          {"192.168.1.20", 7772, Reach::ThisNetwork},
          {"fd00::5", 7772, Reach::ThisNetwork}}},
        // A machine on the internet itself whose router mapped it too.
        {opened("203.0.113.5", 7772, 3600s), {"203.0.113.5"}, {{"203.0.113.5", 7772, Reach::InternetIpv4}}},
        {std::nullopt, {"127.0.0.1"}, {}},
        // The pinhole's address leads the IPv6 ones, and says what opened it.
        {withPinhole(answerOf(Kind::Refused), PinholeAnswer::Kind::Opened, "2001:db8::30"),
         {"192.168.1.20", "2001:db8::20", "2001:db8::30"},
         {{"2001:db8::30", 7772, Reach::InternetIpv6, "through the pinhole your router opened"},
          {"2001:db8::20", 7772, Reach::InternetIpv6, "if your router's firewall lets friends in"},
          {"192.168.1.20", 7772, Reach::ThisNetwork, ""}}},
        {withPinhole(opened("203.0.113.5", 7772, 3600s), PinholeAnswer::Kind::NotOffered, "2001:db8::20"),
         homeWithIpv6,
         {{"203.0.113.5", 7772, Reach::InternetIpv4, ""},
          {"2001:db8::20", 7772, Reach::InternetIpv6, "if your router's firewall lets friends in"},
          {"192.168.1.20", 7772, Reach::ThisNetwork, ""},
          {"fd00::5", 7772, Reach::ThisNetwork, ""}}},
        {withPinhole(answerOf(Kind::NoAnswer), PinholeAnswer::Kind::FirewallOff, "2001:db8::20"),
         {"2001:db8::20"},
         {{"2001:db8::20", 7772, Reach::InternetIpv6, ""}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(addressesToOffer(c.mapping, c.machine, 7772), c.expected);
    EXPECT_EQ(goodFor({"2001:db8::30", 7772, Reach::InternetIpv6, "through the pinhole your router opened"}),
              "the internet over IPv6, through the pinhole your router opened");
    EXPECT_EQ(goodFor({"192.168.1.20", 7772, Reach::ThisNetwork, ""}), "this network");
}

} // namespace
} // namespace lexiflip::portmap
