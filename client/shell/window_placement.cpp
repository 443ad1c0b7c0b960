#include "client/shell/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace lexiflip::client {

settings::WindowBounds windowBounds(const QWidget& window)
{
    return {window.x(), window.y(), window.width(), window.height()};
}

void placeWindow(QWidget& window, const settings::WindowBounds& bounds)
{
    const settings::WindowBounds placed = settings::boundsToOpenAt(bounds, screenAreas());
    window.move(placed.left, placed.top);
    window.resize(placed.width, placed.height);
}

std::vector<settings::ScreenArea> screenAreas()
{
    std::vector<settings::ScreenArea> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        areas.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    return areas;
}

settings::WindowSize workArea(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {window.width(), window.height()};
    const QRect area = screen->availableGeometry();
    return {area.width(), area.height()};
}

bool saveWindowAtClose(settings::SettingsFile& settings, const QWidget& window)
{
    return settings.saveBoundsAtClose(windowBounds(window), workArea(window), window.isMaximized());
}

} // namespace lexiflip::client
