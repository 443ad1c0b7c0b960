#pragma once

namespace lexiflip::net {

// The port a host listens on when none is given: LEXIFLIP_PORT when that is a
// port number, else the game's own port (7772).
int defaultHostPort();

} // namespace lexiflip::net
