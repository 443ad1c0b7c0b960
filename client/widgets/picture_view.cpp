#include "client/widgets/picture_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "client/media/pictures.h"
#include "client/widgets/zoomed_place.h"
#include "client/widgets/accessibles.h"

namespace lexiflip::client {

PictureView::PictureView(const QString& objectName, Source source, QRect where, QWidget* parent)
    : QWidget(parent), m_source(std::move(source))
{
    setObjectName(objectName);
    place(*this, where);
    accessibles::installFactories();
}

PictureView::PictureView(const QString& objectName, Picture which, QRect where, QWidget* parent)
    : PictureView(
          objectName,
          [which](int frame, qreal ratio, Zoom zoom) {
              return picture(which, ratio, Look::Normal, frame, zoom);
          },
          where, parent)
{
}

PictureView::Source PictureView::letters()
{
    return [](int index, qreal ratio, Zoom zoom) {
        return index == 0 ? QPixmap() : letterPicture(index, ratio, zoom);
    };
}

PictureView::Source PictureView::little()
{
    return [](int index, qreal ratio, Zoom zoom) {
        return index == 0 ? QPixmap() : littlePicture(index, ratio, zoom);
    };
}

void PictureView::setIndex(int index)
{
    if (index == m_index)
        return;
    m_index = index;
    update();
}

void PictureView::paintEvent(QPaintEvent*)
{
    const QPixmap shown = m_source(m_index, devicePixelRatioF(), zoomOf(*this));
    if (shown.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, shown);
}

void PictureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_clickable) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (rect().contains(event->position().toPoint()))
        emit clicked(event->button());
}

} // namespace lexiflip::client
