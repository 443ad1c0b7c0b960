#pragma once

#include <QString>

namespace lexiflip::app {

// The name of the desktop entry, the icon and the AppStream component: one
// reverse-DNS id, set by the build.
QString desktopEntryId();

// Ties the running program to its desktop entry: the desktop file name (the
// Wayland application id; on X11 the window class is the application name,
// which the entry's StartupWMClass names), and the window icon from the icon
// theme, or the picture built into the program when the theme has none (a
// copy run from its build folder). Call after the application's name is set
// and before the first window is created.
void tieToDesktopEntry();

} // namespace lexiflip::app
