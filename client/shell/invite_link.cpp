#include "client/shell/invite_link.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace lexiflip::client::invite {
namespace {

// Longer than any host name (253) with brackets and a port.
constexpr std::size_t kMaxLength = 300;

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool isIpv4(std::string_view text)
{
    in_addr address{};
    return ::inet_pton(AF_INET, std::string(text).c_str(), &address) == 1;
}

// A host name: dot-separated labels of letters, digits and hyphens, none
// empty, none longer than 63 or starting or ending with a hyphen. A name
// made only of digits and dots would be a mistyped IPv4 address: refused.
bool isHostName(std::string_view text)
{
    if (text.empty() || text.size() > 253)
        return false;
    if (text.find_first_not_of("0123456789.") == std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t dot = std::min(text.find('.', start), text.size());
        const std::string_view label = text.substr(start, dot - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
            return false;
        for (const char c : label) {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-')
                return false;
        }
        start = dot + 1;
    }
    return true;
}

std::optional<int> parsePort(std::string_view text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int port = 0;
    std::from_chars(text.data(), text.data() + text.size(), port);
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

// "HOST[:PORT]" with IPv6 in brackets; bareIpv6 also takes "::1" alone.
std::optional<Target> parseAuthority(std::string_view text, int defaultPort, bool bareIpv6)
{
    if (text.empty() || text.size() > kMaxLength)
        return std::nullopt;
    Target target;
    target.port = defaultPort;
    std::string_view rest;
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        const std::string_view host = text.substr(1, close - 1);
        if (!isIpv6(host))
            return std::nullopt;
        target.host = host;
        rest = text.substr(close + 1);
    } else if (bareIpv6 && isIpv6(text)) {
        target.host = text;
        return target;
    } else {
        const std::size_t colon = text.find(':');
        const std::string_view host = text.substr(0, colon);
        if (!isIpv4(host) && !isHostName(host))
            return std::nullopt;
        target.host = host;
        rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
    }
    if (rest.empty())
        return target;
    if (rest.front() != ':')
        return std::nullopt;
    const std::optional<int> port = parsePort(rest.substr(1));
    if (!port)
        return std::nullopt;
    target.port = *port;
    return target;
}

} // namespace

bool isIpv6(std::string_view host)
{
    in6_addr address{};
    return host.find(':') != std::string_view::npos && host.size() < 64 &&
           ::inet_pton(AF_INET6, std::string(host).c_str(), &address) == 1;
}

bool looksLikeLink(std::string_view text)
{
    return text.size() > kScheme.size() && equalsIgnoringCase(text.substr(0, kScheme.size()), kScheme) &&
           text[kScheme.size()] == ':';
}

std::optional<Target> parseLink(std::string_view text)
{
    if (!looksLikeLink(text) || text.size() > kMaxLength)
        return std::nullopt;
    std::string_view rest = text.substr(kScheme.size() + 1);
    if (rest.substr(0, 2) != "//")
        return std::nullopt;
    rest.remove_prefix(2);
    if (!rest.empty() && rest.back() == '/')
        rest.remove_suffix(1);
    return parseAuthority(rest, kDefaultPort, false);
}

std::optional<Target> parseHostAndPort(std::string_view text, int defaultPort)
{
    return parseAuthority(text, defaultPort, true);
}

std::optional<std::string> parseHost(std::string_view text)
{
    if (text.size() > 2 && text.front() == '[' && text.back() == ']')
        text = text.substr(1, text.size() - 2);
    if (isIpv6(text) || isIpv4(text) || isHostName(text))
        return std::string(text);
    return std::nullopt;
}

std::string hostAndPort(const Target& target)
{
    const std::string host = isIpv6(target.host) ? "[" + target.host + "]" : target.host;
    return host + ":" + std::to_string(target.port);
}

std::string link(const Target& target)
{
    return std::string(kScheme) + "://" + hostAndPort(target);
}

} // namespace lexiflip::client::invite
