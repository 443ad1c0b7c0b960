#pragma once

#include <stdexcept>
#include <string>

namespace lexiflip::net {

// The one exception the socket component raises. It carries a fixed message
// text ("Send - Socket Not Connected", "Listen - Error Binding Socket", ...)
// that reaches the general error report unchanged.
class ESockException : public std::runtime_error {
public:
    explicit ESockException(const std::string& message) : std::runtime_error(message) {}
};

} // namespace lexiflip::net
