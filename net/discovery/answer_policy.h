#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "net/discovery/datagram.h"

namespace lexiflip::discovery {

// Which queries a host answers, and with what: a well-formed query, from a
// source not answered within the last second, gets the host's facts in no
// more bytes than the query had. Everything else gets nothing, so a garbled
// or spoofed flood costs a third party at most one small datagram per second.
// Time comes from the caller (a steady clock in the programs, a stepped one
// in tests).
class AnswerPolicy {
public:
    using Time = std::chrono::nanoseconds;
    static constexpr Time kQuietTime = std::chrono::seconds(1);
    // Sources remembered at once; while this many were answered within the
    // last second, a new source gets nothing.
    static constexpr std::size_t kDefaultMemory = 4096;

    explicit AnswerPolicy(std::size_t memory = kDefaultMemory) : m_memory(memory) {}

    // The answer to a datagram from source (its address, not its port) at
    // now, or nothing. facts is asked only when there is an answer to give;
    // its nonce is replaced by the query's. now must never go back.
    std::optional<std::string> answer(std::string_view datagram, const std::string& source, Time now,
                                      const std::function<Answer()>& facts);

private:
    // Forgets the sources answered a second or more before now.
    void forget(Time now);

    std::size_t m_memory;
    // When each remembered source was last answered, and the same in the
    // order they were answered, oldest first.
    std::unordered_map<std::string, Time> m_answered;
    std::deque<std::pair<Time, std::string>> m_order;
};

} // namespace lexiflip::discovery
