#pragma once

namespace lexiflip::client {
class GameWindow;
}

namespace lexiflip::host {
class TServer;
}

namespace lexiflip::app {

// The host of this copy and its window: the host's notices ("Invalid Letter
// (3)") become lines of the window's chat, and the window's "Bot Speed" sets
// the host's computer players' pace and "Klot's Strength" how well they play.
// The connections end with either side.
void attachHost(host::TServer& server, client::GameWindow& window);

} // namespace lexiflip::app
