#include "client/picture_widgets.h"

#include <QPainter>

#include "client/pictures/pictures.h"

namespace lexiflip::client {

PictureButton::PictureButton(const QString& objectName, Picture picture, const QString& caption, QRect where,
                             QWidget* parent)
    : QAbstractButton(parent), m_picture(picture)
{
    setObjectName(objectName);
    setText(caption);
    setAccessibleName(caption);
    setGeometry(where);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const Look look = !isEnabled() ? Look::Disabled : isDown() ? Look::Pressed : Look::Normal;
    painter.drawPixmap(0, 0, picture(m_picture, devicePixelRatioF(), look));
}

PictureView::PictureView(const QString& objectName, Picture picture, QRect where, QWidget* parent)
    : QWidget(parent), m_picture(picture)
{
    setObjectName(objectName);
    setGeometry(where);
}

void PictureView::setFrame(int frame)
{
    if (frame == m_frame)
        return;
    m_frame = frame;
    update();
}

void PictureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture(m_picture, devicePixelRatioF(), Look::Normal, m_frame));
}

} // namespace lexiflip::client
