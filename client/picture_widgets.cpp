#include "client/picture_widgets.h"

#include <QPainter>

#include "client/pictures/pictures.h"

namespace lexiflip::client {

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
