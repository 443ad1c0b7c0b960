#include "client/media/picture_button.h"

#include <QPainter>

namespace lexiflip::client {

PictureButton::PictureButton(Picture picture, const QString& name, const QString& caption, QWidget* parent)
    : QAbstractButton(parent), m_picture(picture)
{
    setObjectName(name);
    setAccessibleName(caption);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(pictureSize(picture));
}

QSize PictureButton::sizeHint() const
{
    return m_zoom.scaled(pictureSize(m_picture));
}

void PictureButton::setZoom(Zoom zoom)
{
    m_zoom = zoom;
    setFixedSize(zoom.scaled(pictureSize(m_picture)));
    update();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0),
                       client::picture(m_picture, devicePixelRatioF(), lookOf(*this), 0, m_zoom));
}

Look lookOf(const QAbstractButton& button)
{
    if (!button.isEnabled())
        return Look::Disabled;
    return button.isDown() ? Look::Pressed : Look::Normal;
}

} // namespace lexiflip::client
