#include "client/settings/join_history.h"

#include <algorithm>

#include "client/settings/ini_file.h"
#include "client/settings/lexiflip_settings.h"

namespace lexiflip::settings {
namespace {

std::string recentKey(std::size_t index)
{
    return "RecentHost" + std::to_string(index + 1);
}

} // namespace

void JoinHistory::joined(const std::string& hostAndPort)
{
    std::erase(recentHosts, hostAndPort);
    recentHosts.insert(recentHosts.begin(), hostAndPort);
    if (recentHosts.size() > kRecentHosts)
        recentHosts.resize(kRecentHosts);
}

JoinHistory readJoinHistory(const IniFile& file)
{
    JoinHistory history;
    history.playerName = file.value(kSection, "PlayerName").value_or("");
    for (std::size_t i = 0; i < JoinHistory::kRecentHosts; ++i) {
        const auto host = file.value(kSection, recentKey(i));
        if (host && !host->empty() &&
            std::find(history.recentHosts.begin(), history.recentHosts.end(), *host) == history.recentHosts.end())
            history.recentHosts.push_back(*host);
    }
    return history;
}

void writeJoinHistory(IniFile& file, const JoinHistory& history)
{
    file.setValue(kSection, "PlayerName", history.playerName);
    for (std::size_t i = 0; i < history.recentHosts.size() && i < JoinHistory::kRecentHosts; ++i)
        file.setValue(kSection, recentKey(i), history.recentHosts[i]);
}

} // namespace lexiflip::settings
