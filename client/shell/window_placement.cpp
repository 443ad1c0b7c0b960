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
    window.move(bounds.left, bounds.top);
    window.resize(bounds.width, bounds.height);
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
