#pragma once

#include <stdexcept>
#include <string>

namespace lexiflip::compress {

// Every failure of the tally compression component reaches its caller as this
// exception, carrying one fixed message text (most of them naming the file).
// The application shows the text in its general error report.
class ELzrw1Exception : public std::runtime_error {
public:
    explicit ELzrw1Exception(const std::string& message) : std::runtime_error(message) {}
};

} // namespace lexiflip::compress
