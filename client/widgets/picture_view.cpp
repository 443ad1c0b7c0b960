#include "client/widgets/picture_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "client/media/pictures.h"

namespace lexiflip::client {

PictureView::PictureView(const QString& objectName, Source source, QRect where, QWidget* parent)
    : QWidget(parent), m_source(std::move(source))
{
    setObjectName(objectName);
    setGeometry(where);
}

PictureView::PictureView(const QString& objectName, Picture which, QRect where, QWidget* parent)
    : PictureView(
          objectName, [which](int frame, qreal ratio) { return picture(which, ratio, Look::Normal, frame); },
          where, parent)
{
}

PictureView::Source PictureView::letters()
{
    return [](int index, qreal ratio) { return index == 0 ? QPixmap() : letterPicture(index, ratio); };
}

PictureView::Source PictureView::little()
{
    return [](int index, qreal ratio) { return index == 0 ? QPixmap() : littlePicture(index, ratio); };
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
    const QPixmap shown = m_source(m_index, devicePixelRatioF());
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
