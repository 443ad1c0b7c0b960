#include "client/game_art.h"

#include <QLinearGradient>
#include <QPainter>

namespace lexiflip::client {

namespace {

QPixmap canvas(QSize size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap buttonPicture(const QString& caption, QSize size, qreal ratio, bool pressed)
{
    QPixmap pixmap = canvas(size, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(pressed ? QColor(150, 40, 30) : QColor(190, 60, 40));
    p.setPen(QColor(80, 20, 10));
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 5, 5);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(size.height() / 2);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, caption);
    return pixmap;
}

QPixmap eyesPicture(int frame, qreal ratio)
{
    QPixmap pixmap = canvas({18, 15}, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::white);
    p.setPen(Qt::black);
    p.drawEllipse(QRectF(1, 3, 7, 9));
    p.drawEllipse(QRectF(10, 3, 7, 9));
    p.setBrush(Qt::black);
    const qreal dx = (frame % 5 - 2) * 0.8;
    p.drawEllipse(QPointF(4.5 + dx, 8), 1.6, 1.6);
    p.drawEllipse(QPointF(13.5 + dx, 8), 1.6, 1.6);
    return pixmap;
}

QPixmap notPlayingPicture(qreal ratio)
{
    return buttonPicture(QStringLiteral("NOT PLAYING"), {99, 19}, ratio);
}

QPixmap doublePicture(qreal ratio)
{
    QPixmap pixmap = canvas({16, 13}, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(200, 30, 30));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, 16, 13), 3, 3);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 13), Qt::AlignCenter, QStringLiteral("x2"));
    return pixmap;
}

QPixmap backgroundPicture(QSize size, qreal ratio)
{
    QPixmap pixmap = canvas(size, ratio);
    QPainter p(&pixmap);
    QLinearGradient green(0, 0, 0, size.height());
    green.setColorAt(0, QColor(20, 90, 60));
    green.setColorAt(1, QColor(10, 60, 40));
    p.fillRect(QRect(QPoint(0, 0), size), green);
    p.fillRect(QRect(450, 48, size.width() - 452, 132), QColor(235, 240, 245));
    return pixmap;
}

QPixmap shufflePicture(qreal ratio)
{
    return buttonPicture(QStringLiteral("\u21c4"), {27, 28}, ratio);
}

} // namespace lexiflip::client
