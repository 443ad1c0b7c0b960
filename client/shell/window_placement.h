#pragma once

#include "client/settings/lexiflip_settings.h"
#include "client/settings/window_bounds.h"

#include <vector>

class QWidget;

namespace lexiflip::client {

// The main window's bounds as the settings file keeps them: the position of
// its frame (what move() takes) and the size of its contents (what resize()
// takes), so that placing a window and reading it back gives the same four
// numbers and an untouched window is recognised at close. Bounds that meet
// no screen's available area place the window at the reset bounds instead
// (settings::boundsToOpenAt).
settings::WindowBounds windowBounds(const QWidget& window);
void placeWindow(QWidget& window, const settings::WindowBounds& bounds);

// The available area of every screen of the desktop.
std::vector<settings::ScreenArea> screenAreas();

// The work area (the screen less panels and docks) of the window's screen.
settings::WindowSize workArea(const QWidget& window);

// The close path: stores the window's bounds and saves, unless the window was
// neither moved nor resized, or the settings were never read in this run.
bool saveWindowAtClose(settings::SettingsFile& settings, const QWidget& window);

} // namespace lexiflip::client
