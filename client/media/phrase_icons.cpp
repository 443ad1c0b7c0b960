#include "client/media/phrase_icons.h"

#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

#include "client/media/palette.h"
#include "client/media/rounded_box.h"

namespace lexiflip::client {

namespace {

constexpr qreal kW = kPhraseIconSize.width();
constexpr qreal kH = kPhraseIconSize.height();

void paintKey(QPainter& p, Look look)
{
    const bool pressed = look == Look::Pressed;
    const QRectF body(0.5, 0.5, kW - 1, kH - 1);
    const QColor paper(palette::kSeatPanel);
    paintRoundedBox(p, body, 4, pressed ? paper.darker(112) : paper.lighter(106),
                    pressed ? paper.darker(104) : paper.darker(108),
                    QPen(QColor(palette::kSeatPanelEdge).darker(pressed ? 125 : 100), 1));
    if (!pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 170), 1));
        p.drawLine(QPointF(3, 1.5), QPointF(kW - 3, 1.5));
    }
}

// 1: a tick, "well done".
void paintTick(QPainter& p)
{
    QPainterPath tick;
    tick.moveTo(5.5, 11.5);
    tick.lineTo(9.5, 16);
    tick.lineTo(17.5, 6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 110, 40), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(70, 190, 80), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

// 2: a gold star.
void paintStar(QPainter& p)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 == 0 ? 8.2 : 3.6;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(kW / 2 + radius * std::cos(angle), 12 + radius * std::sin(angle));
    }
    QLinearGradient gold(0, 4, 0, 20);
    gold.setColorAt(0, QColor(255, 224, 90));
    gold.setColorAt(1, QColor(236, 150, 20));
    p.setPen(QPen(QColor(150, 84, 0), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(gold);
    p.drawPolygon(star);
}

// 3: a target, "nearly".
void paintTarget(QPainter& p)
{
    const QPointF centre(kW / 2, kH / 2);
    const QColor red(206, 36, 44);
    p.setPen(Qt::NoPen);
    for (int ring = 0; ring < 4; ++ring) {
        p.setBrush(ring % 2 == 0 ? red : QColor(255, 255, 255));
        const qreal r = 8.0 - ring * 2.2;
        p.drawEllipse(centre, r, r);
    }
}

// 4: a trophy.
void paintTrophy(QPainter& p)
{
    QLinearGradient gold(5, 0, 18, 0);
    gold.setColorAt(0, QColor(255, 226, 110));
    gold.setColorAt(0.5, QColor(244, 178, 30));
    gold.setColorAt(1, QColor(196, 120, 10));
    const QColor edge(130, 76, 0);
    p.setPen(QPen(edge, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.5, 5.5, 6, 6), 90 * 16, 180 * 16);
    p.drawArc(QRectF(13.5, 5.5, 6, 6), -90 * 16, 180 * 16);
    QPainterPath cup;
    cup.moveTo(6, 4.5);
    cup.lineTo(17, 4.5);
    cup.cubicTo(17, 11, 15, 13.5, 11.5, 13.5);
    cup.cubicTo(8, 13.5, 6, 11, 6, 4.5);
    cup.closeSubpath();
    p.setPen(QPen(edge, 1));
    p.setBrush(gold);
    p.drawPath(cup);
    p.drawRect(QRectF(10.3, 13.5, 2.4, 3));
    p.drawRoundedRect(QRectF(7.5, 16.5, 8, 3), 1, 1);
}

// 5: a cut gem, "brilliant".
void paintGem(QPainter& p)
{
    const QPointF top1(7, 6), top2(16, 6), left(3.5, 10), right(19.5, 10), bottom(11.5, 19);
    QPolygonF outline;
    outline << top1 << top2 << right << bottom << left;
    QLinearGradient fill(0, 6, 0, 19);
    fill.setColorAt(0, QColor(150, 220, 255));
    fill.setColorAt(1, QColor(30, 110, 210));
    p.setPen(QPen(QColor(18, 70, 150), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPolygon(outline);
    p.setPen(QPen(QColor(18, 70, 150, 180), 0.8));
    p.drawLine(left, right);
    p.drawLine(top1, QPointF(9.5, 10));
    p.drawLine(QPointF(9.5, 10), bottom);
    p.drawLine(top2, QPointF(13.5, 10));
    p.drawLine(QPointF(13.5, 10), bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawPolygon(QPolygonF({QPointF(7.5, 6.8), QPointF(10.5, 6.8), QPointF(9, 9)}));
}

// 6: two exclamation marks, "wow".
void paintWow(QPainter& p)
{
    const QColor ink(214, 60, 24);
    for (qreal x : {8.5, 14.5}) {
        QPainterPath bar;
        bar.moveTo(x - 2, 4);
        bar.lineTo(x + 2, 4);
        bar.lineTo(x + 1, 14);
        bar.lineTo(x - 1, 14);
        bar.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(bar);
        p.drawEllipse(QPointF(x, 17.5), 1.7, 1.7);
    }
}

// 7: a heart, "thanks".
void paintHeart(QPainter& p)
{
    QPainterPath heart;
    heart.moveTo(11.5, 19);
    heart.cubicTo(4, 13.5, 3, 10, 3.5, 7.5);
    heart.cubicTo(4.2, 4, 9.5, 3.2, 11.5, 7.5);
    heart.cubicTo(13.5, 3.2, 18.8, 4, 19.5, 7.5);
    heart.cubicTo(20, 10, 19, 13.5, 11.5, 19);
    QRadialGradient fill(QPointF(9, 8), 12);
    fill.setColorAt(0, QColor(255, 120, 130));
    fill.setColorAt(1, QColor(200, 20, 50));
    p.setPen(QPen(QColor(130, 10, 30), 1));
    p.setBrush(fill);
    p.drawPath(heart);
}

// 8: two players side by side, "teamie".
void paintTeam(QPainter& p)
{
    const QColor back(90, 130, 200), front(30, 80, 170);
    auto person = [&p](qreal x, QColor colour) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QPointF(x, 8), 3, 3);
        QPainterPath body;
        body.moveTo(x - 5, 19);
        body.cubicTo(x - 5, 12, x + 5, 12, x + 5, 19);
        body.closeSubpath();
        p.drawPath(body);
    };
    person(14.5, back);
    person(8.5, front);
}

// 9: a smile, "good game everyone".
void paintSmile(QPainter& p)
{
    QRadialGradient fill(QPointF(9, 8), 11);
    fill.setColorAt(0, QColor(255, 236, 110));
    fill.setColorAt(1, QColor(240, 180, 20));
    p.setPen(QPen(QColor(150, 96, 0), 1));
    p.setBrush(fill);
    p.drawEllipse(QPointF(kW / 2, kH / 2), 8.5, 8.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 40, 0));
    p.drawEllipse(QPointF(8.7, 9.3), 1.2, 1.6);
    p.drawEllipse(QPointF(14.3, 9.3), 1.2, 1.6);
    p.setPen(QPen(QColor(70, 40, 0), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(7, 8, 9, 8), 200 * 16, 140 * 16);
}

// 10: a loudspeaker, the chatter sounds.
void paintSpeaker(QPainter& p)
{
    const QColor ink(44, 62, 90);
    QPolygonF cone;
    cone << QPointF(4, 9) << QPointF(7.5, 9) << QPointF(12, 5) << QPointF(12, 18) << QPointF(7.5, 14)
         << QPointF(4, 14);
    p.setPen(QPen(ink, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    p.drawPolygon(cone);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 120, 200), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(9, 8, 6, 7), -50 * 16, 100 * 16);
    p.drawArc(QRectF(8, 5, 11, 13), -50 * 16, 100 * 16);
}

using Sign = void (*)(QPainter&);
constexpr Sign kSigns[kPhraseIconCount] = {paintTick, paintStar,  paintTarget, paintTrophy, paintGem,
                                           paintWow,  paintHeart, paintTeam,   paintSmile,  paintSpeaker};

QPixmap render(int button, qreal ratio, Look look, Zoom zoom)
{
    const QSize shown = zoom.scaled(kPhraseIconSize);
    const QSize device(qRound(shown.width() * ratio), qRound(shown.height() * ratio));
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        p.scale(device.width() / kW, device.height() / kH);
        paintKey(p, look);
        if (look == Look::Pressed)
            p.translate(0, 1);
        if (look == Look::Disabled)
            p.setOpacity(0.4);
        kSigns[button - 1](p);
    }
    image.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(image);
}

} // namespace

QPixmap phraseIcon(int button, qreal devicePixelRatio, Look look, Zoom zoom)
{
    if (button < 1 || button > kPhraseIconCount)
        return {};
    const qreal ratio = snappedRatio(devicePixelRatio);
    static QHash<quint64, QPixmap> cache;
    const quint64 key = (quint64(button) << 32) | (quint64(look) << 16) | (quint64(zoom.step()) << 8) |
                        quint64(qRound(ratio * 4));
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    QPixmap icon = render(button, ratio, look, zoom);
    cache.insert(key, icon);
    return icon;
}

} // namespace lexiflip::client
