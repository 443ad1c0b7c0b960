#include "client/window/zoom_control.h"

#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QResizeEvent>
#include <QScreen>

#include "client/shell/window_placement.h"
#include "client/widgets/zoomed_place.h"
#include "client/window/main_menu.h"

namespace lexiflip::client {

ZoomControl::ZoomControl(QMainWindow& window, const MainMenu& menu) : QObject(&window), m_window(window)
{
    QAction* in = menu.action(MenuCommand::ZoomIn);
    // Ctrl+= too: on most keyboards "+" needs the shift key.
    in->setShortcuts({QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))});
    connect(in, &QAction::triggered, this, &ZoomControl::zoomIn);
    connect(menu.action(MenuCommand::ZoomOut), &QAction::triggered, this, &ZoomControl::zoomOut);
    connect(menu.action(MenuCommand::ActualSize), &QAction::triggered, this, &ZoomControl::actualSize);
    if (QWidget* client = m_window.centralWidget())
        client->installEventFilter(this);
}

void ZoomControl::zoomIn()
{
    const Zoom larger = m_zoom.larger();
    if (larger != m_zoom && largestZoomFitting(largestClientArea()).step() >= larger.step())
        zoomTo(larger);
}

void ZoomControl::zoomOut()
{
    zoomTo(m_zoom.smaller());
}

void ZoomControl::actualSize()
{
    zoomTo(Zoom());
}

void ZoomControl::placeWindow(const settings::WindowBounds& bounds, Zoom stored)
{
    m_placing = true;
    client::placeWindow(m_window, bounds);
    m_placing = false;
    const Zoom zoom = Zoom::atStep(qMin(stored.step(), largestZoomFitting(largestClientArea()).step()));
    show(zoom);
    // The placed window keeps its size when it holds the zoom already.
    QWidget* client = m_window.centralWidget();
    if (sizedByTheSystem() || !client)
        return;
    const QSize needed = clientSizeAt(zoom);
    if (client->width() < needed.width() || client->height() < needed.height())
        m_window.resize(m_window.size() + (needed.expandedTo(client->size()) - client->size()));
}

void ZoomControl::zoomTo(Zoom zoom)
{
    show(zoom);
    if (sizedByTheSystem() || !m_window.centralWidget())
        return;
    const QSize frame = m_window.size() - m_window.centralWidget()->size();
    m_window.resize(clientSizeAt(zoom) + frame);
}

void ZoomControl::show(Zoom zoom)
{
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    applyZoom(m_window, zoom);
    emit zoomChanged(zoom);
}

QSize ZoomControl::largestClientArea() const
{
    const QWidget* client = m_window.centralWidget();
    if (sizedByTheSystem() || !client)
        return client ? client->size() : QSize();
    const QScreen* screen = m_window.screen();
    if (!screen)
        return client->size();
    // The window's frame and menu bar take their part of the work area.
    const QSize around = m_window.frameGeometry().size() - client->size();
    return screen->availableGeometry().size() - around;
}

bool ZoomControl::sizedByTheSystem() const
{
    return m_window.isMaximized() || m_window.isFullScreen();
}

// A resize of a shown window (by the player, the window manager, or the zoom
// itself) leaves the largest zoom that fits. The first size a window gets when
// it is shown has no old size, and placing it at its stored bounds is no
// player's choice either: the stored zoom holds for both.
bool ZoomControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.centralWidget() && event->type() == QEvent::Resize && m_window.isVisible() &&
        !m_placing) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->oldSize().isValid() && resize->size() != resize->oldSize())
            show(largestZoomFitting(resize->size()));
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lexiflip::client
