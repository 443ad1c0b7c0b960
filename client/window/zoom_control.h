#pragma once

#include <QObject>
#include <QSize>

#include "client/settings/window_bounds.h"
#include "client/widgets/screen_layout.h"

class QMainWindow;

namespace lexiflip::client {

class MainMenu;

// The zoom of the game window: the game area and the chat column are drawn at
// one of the zoom steps. Zoom In, Zoom Out and Actual Size pick the next step
// and size the window to it; when the player resizes or maximises the window,
// the zoom becomes the largest step that fits. The zoom never exceeds what the
// window's client area holds, so nothing of the game is ever cut off.
class ZoomControl : public QObject {
    Q_OBJECT

public:
    ZoomControl(QMainWindow& window, const MainMenu& menu);

    Zoom zoom() const { return m_zoom; }

    // The menu's commands.
    void zoomIn();
    void zoomOut();
    void actualSize();

    // Places the window at stored bounds with a stored zoom: the placing is no
    // player's resize, so the stored zoom holds (as far as the screen allows),
    // and the window grows to hold it when it is too small.
    void placeWindow(const settings::WindowBounds& bounds, Zoom stored);

signals:
    // The zoom changed (by the menu or by a resize), for the settings.
    void zoomChanged(Zoom zoom);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the game at a zoom, and, unless the window is maximised or full
    // screen, sizes the window so that its client area is the zoom's.
    void zoomTo(Zoom zoom);
    void show(Zoom zoom);
    // The largest client area the window can have on its screen now.
    QSize largestClientArea() const;
    bool sizedByTheSystem() const;

    QMainWindow& m_window;
    Zoom m_zoom;
    bool m_placing = false;
};

} // namespace lexiflip::client
