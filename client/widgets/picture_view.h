#pragma once

#include <QPixmap>
#include <QWidget>

#include <functional>

#include "client/widgets/screen_layout.h"

namespace lexiflip::client {

// The painted pictures, declared here without their painter so that the seat
// rows and the word row can place pictures without knowing how they are drawn.
enum class Picture;

// Every painted picture of the game window: the background panel, the winner
// banner, the logo, the markers, the timer's frame and bar, and the tiles of
// the word row, the bar and the their-tiles strip. It only blits what its
// source paints for its index (a tile's picture, the sneaker's frame) at the
// device pixel ratio and zoom of its own window; a picture wider than the view
// (the timer bar) shows clipped to the view. Its place is the layout's
// (zoomed_place.h), so it follows the window's zoom.
class PictureView : public QWidget {
    Q_OBJECT

public:
    // The picture to show for an index at a device pixel ratio and zoom; a
    // null pixmap shows nothing.
    using Source = std::function<QPixmap(int index, qreal ratio, Zoom zoom)>;

    PictureView(const QString& objectName, Source source, QRect where, QWidget* parent);
    // One of the painter's single pictures, the index being its frame.
    PictureView(const QString& objectName, Picture picture, QRect where, QWidget* parent);

    // imagelist_letters and imagelist_little by index, 0 showing nothing.
    static Source letters();
    static Source little();

    int index() const { return m_index; }
    void setIndex(int index);

    // A clickable view reports a release inside it with its button; the others
    // leave mouse events to the widget below.
    void setClickable(bool clickable) { m_clickable = clickable; }
    bool clickable() const { return m_clickable; }
    // What a right click does, named for assistive technology; empty when
    // only the left click means something.
    void setRightClickAction(const QString& name) { m_rightClickAction = name; }
    const QString& rightClickAction() const { return m_rightClickAction; }
    // What a release of the button inside the view does, without a pointer.
    void press(Qt::MouseButton button)
    {
        if (m_clickable)
            emit clicked(button);
    }

signals:
    void clicked(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Source m_source;
    int m_index = 0;
    bool m_clickable = false;
    QString m_rightClickAction;
};

} // namespace lexiflip::client
