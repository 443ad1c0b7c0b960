#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexiflip::settings {

class IniFile;

// What the join dialog remembers, kept in our section after the other keys:
// the name last used to host or join (PlayerName) and the hosts last joined,
// the most recent first, as "HOST:PORT" (RecentHost1 .. RecentHost10).
struct JoinHistory {
    static constexpr std::size_t kRecentHosts = 10;

    std::string playerName;
    std::vector<std::string> recentHosts;

    // hostAndPort becomes the most recent; an earlier entry of it goes, and
    // the list keeps kRecentHosts entries at most.
    void joined(const std::string& hostAndPort);

    bool operator==(const JoinHistory&) const = default;
};

JoinHistory readJoinHistory(const IniFile& file);
void writeJoinHistory(IniFile& file, const JoinHistory& history);

} // namespace lexiflip::settings
