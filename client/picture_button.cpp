#include "client/picture_button.h"

#include <QPainter>

#include "client/game_art.h"

namespace lexiflip::client {

PictureButton::PictureButton(const QString& objectName, const QString& caption, QRect where, QWidget* parent)
    : QAbstractButton(parent)
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
    painter.drawPixmap(0, 0, buttonPicture(text(), size(), devicePixelRatioF(), isDown()));
}

} // namespace lexiflip::client
