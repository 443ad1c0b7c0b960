#include "client/tile_art.h"

#include <QHash>
#include <QPainter>

namespace lexiflip::client {

namespace {

QPixmap paintTile(int index, int side, qreal ratio)
{
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    if (index <= 0)
        return pixmap;
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool back = index == 27;
    const bool used = index > 27;
    const int letter = used ? index - 27 : index;
    painter.setBrush(back ? QColor(40, 90, 150) : used ? QColor(170, 170, 170) : QColor(245, 225, 170));
    painter.setPen(QColor(60, 50, 30));
    painter.drawRoundedRect(QRectF(0.5, 0.5, side - 1, side - 1), 4, 4);
    if (!back) {
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(side * 5 / 8);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, QString(QChar('A' + letter - 1)));
    }
    return pixmap;
}

const QPixmap& cached(int index, int side, qreal ratio)
{
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1/%2/%3").arg(index).arg(side).arg(ratio);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, paintTile(index, side, ratio));
    return *it;
}

} // namespace

const QPixmap& letterPicture(int index, qreal ratio)
{
    return cached(index, kLetterPixels, ratio);
}

const QPixmap& littlePicture(int index, qreal ratio)
{
    return cached(index, kLittlePixels, ratio);
}

} // namespace lexiflip::client
