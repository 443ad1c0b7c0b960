#include "client/media/tile_painter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "client/media/palette.h"
#include "client/media/rounded_box.h"
#include "core/letters.h"

namespace lexiflip::client::tiles {
namespace {

// The tile's body: one pixel of table shows around it, so that neighbouring
// tiles read as separate pieces.
QRectF bodyRect(int size)
{
    return QRectF(1, 1, size - 2, size - 2);
}

qreal cornerRadius(int size)
{
    return size >= 30 ? 4.0 : 3.0;
}

struct TileColours {
    QColor top;
    QColor bottom;
    QColor ink;
};

TileColours coloursFor(Face face)
{
    if (face == Face::Used)
        return {QColor(palette::kTileUsed).lighter(112), QColor(palette::kTileUsedShade),
                QColor(palette::kTileUsedInk)};
    return {QColor(palette::kTileFace), QColor(palette::kTileFaceShade), QColor(palette::kTileInk)};
}

// A raised piece: a gradient body, a light rim along the top and left and a
// darker one along the bottom and right, and a dark outline.
void paintBody(QPainter& painter, int size, const QColor& top, const QColor& bottom)
{
    const QRectF body = bodyRect(size);
    const qreal radius = cornerRadius(size);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kTileShadow);
    painter.drawRoundedRect(body.translated(0.5, 0.8), radius, radius);
    painter.setBrush(fill);
    painter.drawRoundedRect(body, radius, radius);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(top.lighter(125), 1));
    painter.drawRoundedRect(body.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    painter.setPen(QPen(bottom.darker(150), 1));
    painter.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

} // namespace

void paintLetterTile(QPainter& painter, int size, int letter, Face face, bool withValue)
{
    const TileColours colours = coloursFor(face);
    paintBody(painter, size, colours.top, colours.bottom);

    const QString text(QChar(u'A' + (letter - 1)));
    const QRectF body = bodyRect(size);
    // The letter sits a little up and left of centre when a value shares the
    // face, as on a printed tile.
    QRectF letterBox = body;
    if (withValue)
        letterBox.adjust(0, -1, -4, -3);
    painter.setFont(palette::gameFont(qRound(size * 0.56)));
    if (face == Face::Up) {
        painter.setPen(palette::kTileInkHighlight);
        painter.drawText(letterBox.translated(0, 1), Qt::AlignCenter, text);
    }
    painter.setPen(colours.ink);
    painter.drawText(letterBox, Qt::AlignCenter, text);

    if (withValue) {
        const int worth = core::letterworth(letter);
        painter.setFont(palette::gameFont(qMax(8, qRound(size * 0.24))));
        const QRectF valueBox(body.left(), body.top(), body.width() - 3, body.height() - 1.5);
        painter.drawText(valueBox, Qt::AlignRight | Qt::AlignBottom, QString::number(worth));
    }
}

void paintTileBack(QPainter& painter, int size)
{
    paintBody(painter, size, QColor(palette::kTileBack), QColor(palette::kTileBackDark));

    // A diamond lattice inside an inner border, like the back of a card.
    const QRectF inner = bodyRect(size).adjusted(4, 4, -4, -4);
    QPainterPath clip;
    clip.addRoundedRect(inner, 2, 2);
    painter.save();
    painter.setClipPath(clip);
    painter.setPen(QPen(QColor(palette::kTileBackPattern), 1));
    const qreal step = size / 6.0;
    for (qreal d = -size; d < 2 * size; d += step) {
        painter.drawLine(QPointF(d, 0), QPointF(d + size, size));
        painter.drawLine(QPointF(d + size, 0), QPointF(d, size));
    }
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(palette::kTileBackPattern).lighter(120), 1));
    painter.drawRoundedRect(inner, 2, 2);

    // A light diamond in the middle.
    const QPointF c = bodyRect(size).center();
    const qreal r = size * 0.16;
    const QPointF diamond[] = {
        {c.x(), c.y() - r}, {c.x() + r, c.y()}, {c.x(), c.y() + r}, {c.x() - r, c.y()}};
    painter.setPen(QPen(QColor(palette::kTileBackDark), 1));
    painter.setBrush(QColor(palette::kTileFace));
    painter.drawPolygon(diamond, 4);
}

void paintTickBox(QPainter& painter, bool ticked)
{
    const QRectF box(8.5, 2.5, 15, 15);
    paintRoundedBox(painter, box, 2.5, QColor(palette::kTickBoxTop), QColor(palette::kTickBoxBottom),
                    QPen(QColor(palette::kTableWell), 1));
    if (!ticked)
        return;
    QPainterPath tick;
    tick.moveTo(box.left() + 3, box.top() + 8);
    tick.lineTo(box.left() + 6.5, box.top() + 11.5);
    tick.lineTo(box.left() + 13, box.top() + 3);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(palette::kTick), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
}

} // namespace lexiflip::client::tiles
