#include "client/tile_picture.h"

#include <QMouseEvent>
#include <QPainter>

#include "client/pictures/pictures.h"
#include "client/screen_layout.h"

namespace lexiflip::client {

TilePicture::TilePicture(const QString& objectName, Set set, QWidget* parent) : QWidget(parent), m_set(set)
{
    setObjectName(objectName);
    const int side = set == Set::Letters ? layout::kTile : layout::kLittleTile;
    setFixedSize(side, side);
}

void TilePicture::setPicture(int index)
{
    if (index == m_picture)
        return;
    m_picture = index;
    update();
}

void TilePicture::paintEvent(QPaintEvent*)
{
    if (m_picture == 0)
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    painter.drawPixmap(
        0, 0, m_set == Set::Letters ? letterPicture(m_picture, ratio) : littlePicture(m_picture, ratio));
}

void TilePicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        emit clicked(event->button());
}

} // namespace lexiflip::client
