// Arbitrary bytes as a discovery datagram, read both as a query (the host's
// side) and as an answer (the searcher's side): whatever either reader takes
// is written back to the very same bytes, so nothing is read that the writers
// could not have written, and an answer to it is never larger than it is.
// Then the same bytes as a stream of datagrams from a few addresses arriving
// at one search, which keeps exactly the answers a plain model of its rules
// keeps: its own query's, each game once, a few per address, a bounded list.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "net/discovery/answer_policy.h"
#include "net/discovery/datagram.h"
#include "net/discovery/found_games.h"

using namespace lexiflip::discovery;

namespace {

void check(bool condition, const char* promise)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

// The input as datagrams arriving at a search for nonce 1. A record's first
// byte names its source among eight addresses (bits 0-2); with its top bit
// set, the record is that byte and one more, and makes a well-formed answer
// (to another query when bit 3 is set; of 32 ports, so that games repeat),
// else the next byte is the length of a datagram of arbitrary bytes that
// follows.
void feedSearch(std::string_view input)
{
    constexpr std::uint32_t kNonce = 1;
    FoundGames found;
    found.restart(kNonce);
    std::set<std::pair<std::string, std::uint16_t>> kept;
    std::map<std::string, std::size_t> perSource;
    while (input.size() >= 2) {
        const auto head = static_cast<std::uint8_t>(input[0]);
        const auto next = static_cast<std::uint8_t>(input[1]);
        const std::string source = "192.0.2." + std::to_string(head & 0x07);
        std::string datagram;
        if (head & 0x80) {
            Answer answer;
            answer.nonce = (head & 0x08) ? kNonce + 1 : kNonce;
            answer.gamePort = static_cast<std::uint16_t>(1 + (next & 0x1F));
            answer.hostName = std::string(next >> 5, 'n');
            datagram = *buildAnswer(answer, kQuerySize);
            input.remove_prefix(2);
        } else {
            const std::size_t length = std::min<std::size_t>(next, input.size() - 2);
            datagram = std::string(input.substr(2, length));
            input.remove_prefix(2 + length);
        }

        const auto read = readAnswer(datagram);
        const bool expected = read && read->nonce == kNonce && kept.size() < FoundGames::kMaxGames &&
                              kept.count({source, read->gamePort}) == 0 &&
                              perSource[source] < FoundGames::kMaxPerSource;
        const auto taken = found.take(datagram, source);
        check(taken.has_value() == expected, "a search keeps what its rules keep");
        if (taken) {
            check(*taken == *read, "a kept answer is the answer sent");
            kept.insert({source, read->gamePort});
            ++perSource[source];
        }
        check(found.size() == kept.size() && found.size() <= FoundGames::kMaxGames, "the list is bounded");
        check(found.full() == (kept.size() == FoundGames::kMaxGames), "full only at the bound");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (const auto query = readQuery(bytes))
        check(buildQuery(query->nonce, bytes.size()) == bytes, "a query read is the query written");

    if (const auto answer = readAnswer(bytes)) {
        check(buildAnswer(*answer, bytes.size()) == std::string(bytes),
              "an answer read is the answer written");
        check(answer->freeSeats <= answer->freePlaces, "a free seat is a free place");
    }

    // A host with the longest name and version answers within the query's
    // size, once, and the answer reads back with the query's nonce.
    AnswerPolicy policy;
    auto facts = [] {
        Answer answer;
        answer.gamePort = 7772;
        answer.freeSeats = 5;
        answer.freePlaces = 8;
        answer.version = std::string(kMaxVersionBytes, 'v');
        answer.hostName = std::string(300, 'n');
        return answer;
    };
    const auto first = policy.answer(bytes, "192.0.2.1", std::chrono::seconds(5), facts);
    if (first) {
        check(first->size() <= bytes.size(), "an answer is never larger than its query");
        const auto read = readAnswer(*first);
        check(read && read->nonce == readQuery(bytes)->nonce, "an answer reads back with the query's nonce");
    }
    check(!policy.answer(bytes, "192.0.2.1", std::chrono::milliseconds(5999), facts),
          "one answer a second per source");

    feedSearch(bytes);
    return 0;
}
