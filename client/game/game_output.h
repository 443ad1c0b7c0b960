#pragma once

#include <string_view>

#include "client/game/client_screen.h"

namespace lexiflip::client {

// What the roster and the turn say to the player besides their notifications:
// lines in the client's own voice and message boxes, one at a time.
class GameOutput {
public:
    explicit GameOutput(ClientScreen& screen) : m_screen(screen) {}

    ClientScreen& screen() { return m_screen; }
    void chatLine(std::string_view line) { m_screen.systemLine(line); }
    // A hostile host must not stack dialogs: one box at a time, the rest dropped.
    void box(std::string_view text)
    {
        if (m_boxOpen)
            return;
        m_boxOpen = true;
        m_screen.messageBox(text);
    }
    void boxClosed() { m_boxOpen = false; }
    bool boxOpen() const { return m_boxOpen; }

private:
    ClientScreen& m_screen;
    bool m_boxOpen = false;
};

} // namespace lexiflip::client
