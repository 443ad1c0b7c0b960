#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "net/discovery/datagram.h"

namespace lexiflip::discovery {

// Which answers a search reports: only answers to its own query, each game
// (the address an answer came from and the port it names) once, at most
// kMaxPerSource games from one address and kMaxGames in all. Anybody who
// sees a query may answer it as often and with as many ports as he likes;
// these bounds keep such a flood from growing the list, or the memory behind
// it, and a game already kept is found in constant time.
class FoundGames {
public:
    static constexpr std::size_t kMaxGames = 64;
    // Several hosts may run on one machine, one address, each on its port.
    static constexpr std::size_t kMaxPerSource = 8;

    // Forgets every game kept, and takes answers to nonce from now on.
    void restart(std::uint32_t nonce);

    // The answer in datagram from source (its address, not its port) when it
    // names a game not kept yet and there is room for it; the game is kept
    // then. Nothing for anything else.
    std::optional<Answer> take(std::string_view datagram, const std::string& source);

    std::size_t size() const { return m_games.size(); }
    // Whether every further answer is dropped unread.
    bool full() const { return m_games.size() >= kMaxGames; }

private:
    std::uint32_t m_nonce = 0;
    // Each game kept: its source followed by the port's two bytes, which
    // tells apart any two sources and ports.
    std::unordered_set<std::string> m_games;
    std::unordered_map<std::string, std::size_t> m_perSource;
};

} // namespace lexiflip::discovery
