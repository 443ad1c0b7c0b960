#pragma once

#include <optional>
#include <span>

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

// A screen's available area (the screen less panels and docks), in the
// desktop's coordinates.
struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Where "Reset Screen Location" puts the window, and the size used when the
// file has none.
inline constexpr WindowBounds kResetBounds{3, 3, 720, 535};

// Where the window opens from the stored bounds: exactly there when they
// meet some screen's area, even in part, else at kResetBounds, so that
// bounds stored on a screen that has gone, or numbers no window could have,
// never open the window where nobody can see it. A size below one pixel
// counts as one (the window takes its own minimum there anyway); with no
// screen known the stored bounds stand.
WindowBounds boundsToOpenAt(const WindowBounds& stored, std::span<const ScreenArea> screens);

// The bounds to store when the window closes, or nothing when it was neither
// moved nor resized since the bounds were last read or stored. A window wider
// (taller) than the desktop's work area, or maximised, is stored 15 pixels
// narrower (shorter), so that it opens next time as a normal window that fits.
std::optional<WindowBounds> boundsToStoreAtClose(const WindowBounds& window, const WindowBounds& stored,
                                                 const WindowSize& workArea, bool maximised);

} // namespace lexiflip::settings
