// Invite links and the host-and-port texts of the join dialog and the recent
// hosts: what is taken, and that anything malformed is refused whole.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "client/game/chat_rules.h"
#include "client/shell/invite_link.h"

namespace lexiflip::client {
namespace {

using invite::Target;

struct LinkCase {
    std::string text;
    std::optional<Target> target;
};

TEST(InviteLink, ReadsHostsAndPortsAndRefusesAnythingMalformedWhole)
{
    const LinkCase cases[] = {
        {"lexiflip://game.example.org", Target{"game.example.org", 7772}},
        {"LexiFlip://10.0.0.2:7000", Target{"10.0.0.2", 7000}},
        {"lexiflip://10.0.0.2:7000/", Target{"10.0.0.2", 7000}},
        {"lexiflip://[::1]", Target{"::1", 7772}},
        {"lexiflip://[fe80::1:2]:65535", Target{"fe80::1:2", 65535}},
        {"lexiflip://a-b.c1:1", Target{"a-b.c1", 1}},
        {"lexiflip://host:0", std::nullopt},
        {"lexiflip://host:65536", std::nullopt},
        {"lexiflip://host:", std::nullopt},
        {"lexiflip://host:+7", std::nullopt},
        {"lexiflip://host:7772x", std::nullopt},
        {"lexiflip://host:7772/path", std::nullopt},
        {"lexiflip://host//", std::nullopt},
        {"lexiflip://host?x=1", std::nullopt},
        {"lexiflip://bob@host", std::nullopt},
        {"lexiflip://::1", std::nullopt},
        {"lexiflip://[::1", std::nullopt},
        {"lexiflip://[10.0.0.2]", std::nullopt},
        {"lexiflip://[::1]7772", std::nullopt},
        {"lexiflip://999.1.1.1", std::nullopt},
        {"lexiflip://10.0.0", std::nullopt},
        {"lexiflip://-host", std::nullopt},
        {"lexiflip://a..b", std::nullopt},
        {"lexiflip://", std::nullopt},
        {"lexiflip:host", std::nullopt},
        {"lexiflop://host", std::nullopt},
        {"lexiflip://" + std::string(300, 'a'), std::nullopt},
    };
    for (const LinkCase& c : cases)
        EXPECT_EQ(invite::parseLink(c.text), c.target) << c.text;
}

TEST(InviteLink, HostAndPortAsTypedOrKeptAndLinksMadeFromThem)
{
    EXPECT_EQ(invite::parseHostAndPort("::1"), (Target{"::1", 7772}));
    EXPECT_EQ(invite::parseHostAndPort("[::1]:99"), (Target{"::1", 99}));
    EXPECT_EQ(invite::parseHostAndPort("box", 4000), (Target{"box", 4000}));
    EXPECT_EQ(invite::parseHostAndPort("box:"), std::nullopt);
    EXPECT_EQ(invite::parseHostAndPort(""), std::nullopt);

    EXPECT_EQ(invite::parseHost("[2001:db8::7]"), "2001:db8::7");
    EXPECT_EQ(invite::parseHost("192.168.1.20"), "192.168.1.20");
    EXPECT_EQ(invite::parseHost("box:7772"), std::nullopt) << "the port has its own field";
    EXPECT_EQ(invite::parseHost("my host"), std::nullopt);

    // What is made reads back as it was.
    for (const Target& target : {Target{"2001:db8::7", 7772}, Target{"10.1.2.3", 1}, Target{"pc.lan", 65535}})
        EXPECT_EQ(invite::parseLink(invite::link(target)), target) << invite::link(target);
    EXPECT_EQ(invite::link({"::1", 7000}), "lexiflip://[::1]:7000");

    EXPECT_TRUE(invite::looksLikeLink("LEXIFLIP:whatever"));
    EXPECT_FALSE(invite::looksLikeLink("lexiflip"));
    EXPECT_FALSE(invite::looksLikeLink("Ann"));
    EXPECT_TRUE(chat::linkNeedsConfirmation("lexiflip://host")) << "an invite never acts unasked";
}

} // namespace
} // namespace lexiflip::client
