#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexiflip::discovery {

// The datagrams of local network discovery, which runs beside the game on
// UDP and never touches the game's own messages. A searcher sends a query; a
// host answers it with what a player needs to choose a game. Both begin with
// the same header:
//
//     "LEXIFLIP"  kind ('Q' or 'A')  format (1)  nonce (4 bytes, big-endian)
//
// A query is the header and zero bytes up to its size. The searcher pads it
// so that an answer fits: a host never answers with more bytes than it was
// sent, so the service cannot amplify traffic aimed at a third party.
//
// An answer is the header (the query's nonce), then
//
//     game port (2 bytes, big-endian)  flags (1: bit 0 a game is running)
//     free seats (1)  free places (1)
//     version length (1)  version bytes  name length (1)  name bytes
//
// and nothing after. Numbers are big-endian; texts are the game's 8-bit text.

inline constexpr std::size_t kHeaderSize = 14;
// The size of the queries our searcher sends.
inline constexpr std::size_t kQuerySize = 128;
// Nothing longer is read as either kind.
inline constexpr std::size_t kMaxDatagramSize = 512;
inline constexpr std::size_t kMaxVersionBytes = 16;
// A longer host name is cut to this many bytes, or fewer to fit the query.
inline constexpr std::size_t kMaxNameBytes = 64;
// Seats 1..6 play; nine connections at most.
inline constexpr int kMaxFreeSeats = 6;
inline constexpr int kMaxFreePlaces = 9;

struct Query {
    std::uint32_t nonce = 0;
};

// What a host tells a searcher.
struct Answer {
    std::uint32_t nonce = 0;
    // The TCP port the game listens on.
    std::uint16_t gamePort = 0;
    bool gameRunning = false;
    // Playing seats nobody holds (the computer's seat counts as free).
    int freeSeats = 0;
    // Connections the host still takes, as a player or a watcher; 0 is full.
    int freePlaces = 0;
    std::string version;
    // The host's own player, empty before he has logged in.
    std::string hostName;

    bool operator==(const Answer&) const = default;
};

// A query of size bytes (at least the header).
std::string buildQuery(std::uint32_t nonce, std::size_t size = kQuerySize);

// Nothing for a datagram that is not a well-formed query: wrong header,
// format or kind, padding that is not zero, or too long.
std::optional<Query> readQuery(std::string_view datagram);

// The answer in at most limit bytes: the host name is cut to fit, and when
// even the rest does not fit there is no answer. Counts outside their range
// are clamped; a version longer than kMaxVersionBytes means no answer.
std::optional<std::string> buildAnswer(const Answer& answer, std::size_t limit);

// Nothing for a datagram that is not exactly a well-formed answer.
std::optional<Answer> readAnswer(std::string_view datagram);

} // namespace lexiflip::discovery
