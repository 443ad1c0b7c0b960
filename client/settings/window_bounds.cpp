#include "client/settings/window_bounds.h"

#include <algorithm>
#include <cstdint>

namespace lexiflip::settings {

std::optional<WindowBounds> boundsToStoreAtClose(const WindowBounds& window, const WindowBounds& stored,
                                                 const WindowSize& workArea, bool maximised)
{
    if (window == stored)
        return std::nullopt;
    WindowBounds store = window;
    if (maximised || window.width > workArea.width)
        store.width -= 15;
    if (maximised || window.height > workArea.height)
        store.height -= 15;
    return store;
}

namespace {

// Half-open spans [start, start + length) in 64 bits: no int start and
// length can overflow there.
bool spansMeet(std::int64_t start, std::int64_t length, std::int64_t otherStart, std::int64_t otherLength)
{
    return start < otherStart + otherLength && otherStart < start + length;
}

} // namespace

WindowBounds boundsToOpenAt(const WindowBounds& stored, std::span<const ScreenArea> screens)
{
    if (screens.empty())
        return stored;
    const std::int64_t width = std::max(stored.width, 1);
    const std::int64_t height = std::max(stored.height, 1);
    const bool onAScreen = std::any_of(screens.begin(), screens.end(), [&](const ScreenArea& area) {
        return area.width > 0 && area.height > 0 && spansMeet(stored.left, width, area.left, area.width) &&
               spansMeet(stored.top, height, area.top, area.height);
    });
    return onAScreen ? stored : kResetBounds;
}

} // namespace lexiflip::settings
