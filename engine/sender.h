#pragma once

#include <string_view>

namespace lexiflip::engine {

// Where the engine's messages go: the host session sends them on the slot's
// connection; tests record them.
class Sender {
public:
    virtual ~Sender() = default;
    // message is whole, terminator included.
    virtual void send(int slot, std::string_view message) = 0;
};

} // namespace lexiflip::engine
