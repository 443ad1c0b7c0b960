#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace lexiflip::wire {

// The byte that ends every message. There is no length prefix and no escaping.
inline constexpr char kTerminator = '\xFF';

// A message is handled only up to its first 4096 bytes. Keeping only that much
// while its terminator is awaited means a peer that never sends 0xFF cannot make
// the receiver's memory grow.
inline constexpr std::size_t kMaxMessageBytes = 4096;

// Cuts one connection's byte stream into messages at the terminator. Bytes after
// the last terminator wait for the data that completes them. Each connection has
// its own accumulator, which starts empty when the connection is made.
class ReceiveAccumulator {
public:
    // Appends bytes and hands every completed message (without its terminator,
    // at most kMaxMessageBytes long) to onMessage, oldest first. Empty messages
    // are handed on too: dropping them is the dispatcher's job.
    template <class OnMessage> void feed(std::string_view bytes, OnMessage&& onMessage);

    // Bytes held for a message whose terminator has not arrived yet.
    std::size_t pendingBytes() const { return m_partial.size(); }

    void clear() { m_partial.clear(); }

private:
    // Appends to the partial message, keeping no more than kMaxMessageBytes.
    void keep(std::string_view bytes);

    std::string m_partial;
};

template <class OnMessage> void ReceiveAccumulator::feed(std::string_view bytes, OnMessage&& onMessage)
{
    while (!bytes.empty()) {
        const std::size_t end = bytes.find(kTerminator);
        if (end == std::string_view::npos) {
            keep(bytes);
            return;
        }
        if (m_partial.empty()) {
            // The common case: a whole message inside one read needs no copy
            // into the partial buffer.
            onMessage(bytes.substr(0, std::min(end, kMaxMessageBytes)));
        } else {
            keep(bytes.substr(0, end));
            const std::string message = std::move(m_partial);
            m_partial.clear();
            onMessage(std::string_view(message));
        }
        bytes.remove_prefix(end + 1);
    }
}

} // namespace lexiflip::wire
