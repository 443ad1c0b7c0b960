#pragma once

#include <string_view>

namespace lexiflip::words {

// Notices meant only for the host's own user ("Invalid Letter (3)"). They carry
// no game effect and must never block the host: the window shows them in its
// chat view, the dedicated host writes them to standard error.
class NoticeSink {
public:
    virtual ~NoticeSink() = default;
    virtual void notice(std::string_view text) = 0;
};

} // namespace lexiflip::words
