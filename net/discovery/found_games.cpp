#include "net/discovery/found_games.h"

namespace lexiflip::discovery {

void FoundGames::restart(std::uint32_t nonce)
{
    m_nonce = nonce;
    m_games.clear();
    m_perSource.clear();
}

std::optional<Answer> FoundGames::take(std::string_view datagram, const std::string& source)
{
    if (full())
        return std::nullopt;
    std::optional<Answer> answer = readAnswer(datagram);
    if (!answer || answer->nonce != m_nonce)
        return std::nullopt;
    std::string game = source;
    game.push_back(static_cast<char>(answer->gamePort >> 8));
    game.push_back(static_cast<char>(answer->gamePort & 0xFF));
    if (m_games.count(game) != 0)
        return std::nullopt;
    std::size_t& fromSource = m_perSource[source];
    if (fromSource >= kMaxPerSource)
        return std::nullopt;
    ++fromSource;
    m_games.insert(std::move(game));
    return answer;
}

} // namespace lexiflip::discovery
