#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "wire/connection.h"

// Invite links: "lexiflip://HOST[:PORT]", the way one player hands another
// the address of his game (on the clipboard, in the chat, to the desktop).
// HOST is a host name, a dotted IPv4 address or an IPv6 address in brackets;
// PORT is 1..65535 and 7772 when left out. One "/" may end the link, as
// desktops and browsers add it. Anything else (a user, a path, a query, an
// empty or out-of-range port, a bare IPv6 address) makes the whole link
// malformed: it is refused, never half-used.
namespace lexiflip::client::invite {

inline constexpr std::string_view kScheme = "lexiflip";
inline constexpr int kDefaultPort = wire::kDefaultPort;

// Where a game is hosted. host is without brackets ("::1", "10.0.0.2",
// "game.example.org").
struct Target {
    std::string host;
    int port = kDefaultPort;
    bool operator==(const Target&) const = default;
};

// Whether text claims to be an invite link (starts with "lexiflip:" in any
// letter case), so that a malformed one is refused rather than taken for
// something else, such as a player's name.
bool looksLikeLink(std::string_view text);

// The target of a well-formed invite link; nothing for a malformed one.
std::optional<Target> parseLink(std::string_view link);

// "HOST[:PORT]" as a player types it or the recent hosts keep it: the same
// rules as the link's part after "//", except that an IPv6 address without a
// port may also stand without brackets.
std::optional<Target> parseHostAndPort(std::string_view text, int defaultPort = kDefaultPort);

// A host as typed into the join dialog: a name, an IPv4 address or an IPv6
// address with or without brackets; the host without brackets, or nothing
// when it is none of these.
std::optional<std::string> parseHost(std::string_view text);

// "HOST:PORT" with an IPv6 host in brackets, and the link "lexiflip://HOST:PORT".
std::string hostAndPort(const Target& target);
std::string link(const Target& target);

// Whether host is an IPv6 address (it must then be bracketed before a port).
bool isIpv6(std::string_view host);

} // namespace lexiflip::client::invite
