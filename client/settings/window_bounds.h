#pragma once

#include <optional>

namespace lexiflip::settings {

// The main window's place as the settings file stores it: the window's left
// and top, and its width and height.
struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowBounds&) const = default;
};

struct WindowSize {
    int width = 0;
    int height = 0;

    bool operator==(const WindowSize&) const = default;
};

// Where "Reset Screen Location" puts the window, and the size used when the
// file has none.
inline constexpr WindowBounds kResetBounds{3, 3, 720, 535};

// The bounds to store when the window closes, or nothing when it was neither
// moved nor resized since the bounds were last read or stored. A window wider
// (taller) than the desktop's work area, or maximised, is stored 15 pixels
// narrower (shorter), so that it opens next time as a normal window that fits.
std::optional<WindowBounds> boundsToStoreAtClose(const WindowBounds& window, const WindowBounds& stored,
                                                 const WindowSize& workArea, bool maximised);

} // namespace lexiflip::settings
