#include "client/settings/window_bounds.h"

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

} // namespace lexiflip::settings
