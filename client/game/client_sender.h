#pragma once

#include <string_view>

namespace lexiflip::client {

// Where the game's moves go: the session's socket in the window, a recorder in
// tests. Each message arrives whole, built by lexiflip_wire, with its
// terminator, and is handed to the socket in one Send.
class ClientSender {
public:
    virtual ~ClientSender() = default;
    virtual void send(std::string_view message) = 0;
};

} // namespace lexiflip::client
