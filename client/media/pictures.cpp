#include "client/media/pictures.h"

#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <functional>

#include "client/media/palette.h"
#include "client/media/rounded_box.h"
#include "client/media/tile_painter.h"
#include "client/widgets/screen_layout.h"

namespace lexiflip::client {
namespace {

using Paint = std::function<void(QPainter&)>;

// Paints a picture of the given device-independent size at a zoom into a copy
// whose device size is whole pixels: the painter is scaled so that the
// picture's area, drawn in the layout's numbers, fills the copy exactly, and
// the copy carries the ratio so that it blits one to one.
QPixmap render(QSize size, qreal ratio, Zoom zoom, const Paint& paint)
{
    const QSize shown = zoom.scaled(size);
    const QSize device(qMax(1, qRound(shown.width() * ratio)), qMax(1, qRound(shown.height() * ratio)));
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        painter.scale(qreal(device.width()) / size.width(), qreal(device.height()) / size.height());
        paint(painter);
    }
    image.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(image);
}

// Cached copies under their picture, variant, zoom and ratio.
enum class Set : quint64 { Letters, Little, Box, Single };

QHash<quint64, QPixmap>& cache()
{
    static QHash<quint64, QPixmap> pictures;
    return pictures;
}

quint64 cacheKey(Set set, int index, int variant, qreal ratio, Zoom zoom)
{
    return (quint64(set) << 56) | (quint64(quint16(index)) << 40) | (quint64(quint16(variant)) << 24) |
           (quint64(quint16(zoom.step())) << 8) | quint64(quint8(qRound(ratio * 4)));
}

QPixmap cached(Set set, int index, int variant, qreal ratio, Zoom zoom, QSize size, const Paint& paint)
{
    const qreal snapped = snappedRatio(ratio);
    const quint64 key = cacheKey(set, index, variant, snapped, zoom);
    auto found = cache().constFind(key);
    if (found != cache().constEnd())
        return *found;
    QPixmap pixmap = render(size, snapped, zoom, paint);
    cache().insert(key, pixmap);
    return pixmap;
}

QColor rgb(QRgb value)
{
    return QColor(value);
}

// --- Buttons ------------------------------------------------------------------

struct ButtonStyle {
    QColor top;
    QColor bottom;
    QColor edge;
    QColor ink;
    QColor inkShadow;
};

ButtonStyle goldStyle()
{
    return {rgb(palette::kButtonTop), rgb(palette::kButtonBottom), rgb(palette::kButtonEdge),
            rgb(palette::kButtonInk), palette::kButtonInkShadow};
}

ButtonStyle greenStyle()
{
    return {rgb(palette::kStartTop), rgb(palette::kStartBottom), rgb(palette::kStartEdge),
            rgb(palette::kStartInk), palette::kStartInkShadow};
}

void paintButtonBody(QPainter& painter, QSize size, ButtonStyle style, Look look)
{
    if (look == Look::Disabled) {
        const int grey = qGray(style.top.rgb());
        style.top = QColor(grey, grey, grey).lighter(105);
        style.bottom = rgb(palette::kButtonDisabled);
        style.edge = rgb(palette::kButtonDisabledEdge);
        style.ink = rgb(palette::kButtonDisabledInk);
        style.inkShadow = palette::kButtonDisabledInkShadow;
    }
    const bool pressed = look == Look::Pressed;
    const QRectF body(0.5, 0.5, size.width() - 1, size.height() - 1);
    const qreal radius = qMin(6.0, size.height() / 4.0);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, pressed ? style.bottom : style.top);
    fill.setColorAt(pressed ? 0.3 : 0.55, pressed ? style.bottom.darker(108) : style.top.darker(104));
    fill.setColorAt(1, pressed ? style.top.darker(110) : style.bottom);
    painter.setPen(QPen(style.edge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, radius, radius);
    if (!pressed) {
        // A soft gloss on the upper half.
        QRectF gloss = body.adjusted(1.5, 1.5, -1.5, -body.height() / 2);
        QLinearGradient shine(gloss.topLeft(), gloss.bottomLeft());
        shine.setColorAt(0, look == Look::Disabled ? palette::kGlossTopDisabled : palette::kGlossTop);
        shine.setColorAt(1, palette::kGlossBottom);
        painter.setPen(Qt::NoPen);
        painter.setBrush(shine);
        painter.drawRoundedRect(gloss, radius - 1, radius - 1);
    }
}

void paintButton(QPainter& painter, QSize size, const QString& caption, const ButtonStyle& style, Look look,
                 int pixelSize)
{
    paintButtonBody(painter, size, style, look);
    ButtonStyle ink = style;
    if (look == Look::Disabled) {
        ink.ink = rgb(palette::kButtonDisabledInk);
        ink.inkShadow = palette::kButtonDisabledInkShadow;
    }
    const QRectF area =
        QRectF(0, 0, size.width(), size.height()).translated(0, look == Look::Pressed ? 1 : 0);
    QFont font = palette::gameFont(pixelSize);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    painter.setFont(font);
    painter.setPen(ink.inkShadow);
    painter.drawText(area.translated(0, 1), Qt::AlignCenter, caption);
    painter.setPen(ink.ink);
    painter.drawText(area, Qt::AlignCenter, caption);
}

void paintShuffle(QPainter& painter, QSize size, Look look)
{
    paintButtonBody(painter, size, goldStyle(), look);
    const qreal dy = look == Look::Pressed ? 1 : 0;
    const QColor ink = rgb(look == Look::Disabled ? palette::kButtonDisabledInk : palette::kButtonInk);
    painter.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    // Two crossing arrows, the usual sign for "mix the order".
    const qreal l = 5, r = size.width() - 7, t = 9 + dy, b = size.height() - 9 + dy;
    QPainterPath down;
    down.moveTo(l, t);
    down.cubicTo(l + 8, t, r - 8, b, r, b);
    QPainterPath up;
    up.moveTo(l, b);
    up.cubicTo(l + 8, b, r - 8, t, r, t);
    painter.drawPath(down);
    painter.drawPath(up);
    painter.setBrush(ink);
    painter.setPen(Qt::NoPen);
    for (qreal y : {t, b}) {
        const QPointF head[] = {{r + 3, y}, {r - 1.5, y - 3.5}, {r - 1.5, y + 3.5}};
        painter.drawPolygon(head, 3);
    }
}

// --- Markers and banners ------------------------------------------------------

void paintBoardMarker(QPainter& painter, QSize size)
{
    const QRectF badge(0.5, 0.5, size.width() - 1, size.height() - 1);
    paintRoundedBox(painter, badge, 3, rgb(palette::kMarkerRed).lighter(125), rgb(palette::kMarkerRed).darker(110),
                    QPen(rgb(palette::kMarkerEdge), 1));
    painter.setFont(palette::gameFont(10));
    painter.setPen(rgb(palette::kMarkerInk));
    painter.drawText(QRectF(0, -0.5, size.width(), size.height()), Qt::AlignCenter, QStringLiteral("x2"));
}

// A pair of eyes in rect; look -1..1 moves the pupils left to right and lid
// 0..1 lowers the eyelids, 1 being closed.
void paintEyePair(QPainter& painter, const QRectF& rect, qreal look, qreal lid)
{
    const qreal w = rect.width() / 2 - 0.5;
    const QColor ink = rgb(palette::kEyeInk);
    for (int side = 0; side < 2; ++side) {
        const QRectF eye(rect.left() + side * (w + 1), rect.top(), w, rect.height());
        if (lid >= 1) {
            painter.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
            painter.setBrush(Qt::NoBrush);
            painter.drawArc(eye.adjusted(0.5, eye.height() * 0.2, -0.5, -eye.height() * 0.2), 200 * 16,
                            140 * 16);
            continue;
        }
        const QRectF ball = eye.adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(rgb(palette::kEyeWhite));
        painter.drawEllipse(ball);
        const qreal pupil = qMin(eye.width(), eye.height()) * 0.45;
        const QPointF centre(eye.center().x() + look * (eye.width() / 2 - pupil / 2 - 1),
                             eye.center().y() + 0.5);
        painter.setBrush(rgb(palette::kPupil));
        painter.drawEllipse(centre, pupil / 2, pupil / 2);
        painter.setBrush(rgb(palette::kEyeWhite));
        painter.drawEllipse(centre + QPointF(-pupil * 0.18, -pupil * 0.18), pupil * 0.12, pupil * 0.12);
        if (lid > 0) {
            QPainterPath inside;
            inside.addEllipse(ball);
            painter.save();
            painter.setClipPath(inside);
            painter.setBrush(rgb(palette::kEyelid));
            painter.drawRect(QRectF(ball.left(), ball.top(), ball.width(), ball.height() * lid));
            painter.setPen(QPen(ink, 1));
            painter.drawLine(QPointF(ball.left(), ball.top() + ball.height() * lid),
                             QPointF(ball.right(), ball.top() + ball.height() * lid));
            painter.restore();
        }
        painter.setPen(QPen(ink, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(ball);
    }
}

void paintEyes(QPainter& painter, QSize size)
{
    paintEyePair(painter, QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 0, 0);
}

void paintSneaker(QPainter& painter, QSize size, int frame)
{
    // A bandit's mask behind the eyes: the seat that gets a sneak peek.
    QPainterPath mask;
    const qreal w = size.width(), h = size.height();
    mask.moveTo(0.5, h * 0.35);
    mask.quadTo(w / 2, h * 0.05, w - 0.5, h * 0.35);
    mask.lineTo(w - 0.5, h * 0.7);
    mask.quadTo(w / 2, h * 0.95, 0.5, h * 0.7);
    mask.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(rgb(palette::kSneakerMask));
    painter.drawPath(mask);
    // Glancing left, ahead and right, narrowing, and a blink.
    static constexpr qreal kLooks[kSneakerFrames] = {-1, 0, 1, 0, 0};
    static constexpr qreal kLids[kSneakerFrames] = {0, 0, 0, 0.45, 1};
    const int f = ((frame % kSneakerFrames) + kSneakerFrames) % kSneakerFrames;
    paintEyePair(painter, QRectF(2, h * 0.22, w - 4, h * 0.56), kLooks[f], kLids[f]);
}

void paintWinnerBanner(QPainter& painter, QSize size)
{
    const QRectF body(0.5, 0.5, size.width() - 1, size.height() - 1);
    paintRoundedBox(painter, body, 6, rgb(palette::kBannerTop), rgb(palette::kBannerBottom),
                    QPen(rgb(palette::kBannerEdge), 1));
    painter.setPen(QPen(palette::kBannerInnerEdge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(body.adjusted(2, 2, -2, -2), 4, 4);
    // A star at each end.
    painter.setPen(Qt::NoPen);
    painter.setBrush(rgb(palette::kBannerStar));
    for (qreal cx : {16.0, size.width() - 16.0}) {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal radius = i % 2 == 0 ? 8.0 : 3.4;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(cx + radius * std::cos(angle),
                            size.height() / 2.0 + 0.5 + radius * std::sin(angle));
        }
        painter.drawPolygon(star);
    }
}

void paintNotPlaying(QPainter& painter, QSize size)
{
    const QRectF body(0.5, 0.5, size.width() - 1, size.height() - 1);
    paintRoundedBox(painter, body, 3, rgb(palette::kNotPlayingTop), rgb(palette::kNotPlayingBottom),
                    QPen(rgb(palette::kNotPlayingEdge), 1));
    painter.setFont(palette::gameFont(11));
    painter.setPen(rgb(palette::kNotPlayingInk));
    painter.drawText(QRectF(0, 0, size.width(), size.height()), Qt::AlignCenter,
                     QStringLiteral("NOT PLAYING"));
}

void paintTimerBar(QPainter& painter, QSize size)
{
    const QRectF body(1, 1, size.width() - 1, size.height() - 2);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, rgb(palette::kTimerBarTop).lighter(118));
    fill.setColorAt(0.45, rgb(palette::kTimerBarTop));
    fill.setColorAt(1, rgb(palette::kTimerBarBottom));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRect(body);
    painter.setBrush(palette::kTimerBarShine);
    painter.drawRect(QRectF(body.left(), body.top(), body.width(), 2));
}

void paintTimerFrame(QPainter& painter, QSize size)
{
    const QRectF body(0.5, 0.5, size.width() - 1, size.height() - 1);
    painter.setPen(QPen(rgb(palette::kTableLine), 1));
    painter.setBrush(rgb(palette::kTimerTrack));
    painter.drawRoundedRect(body, 2, 2);
}

void paintTurnFrame(QPainter& painter, QSize size)
{
    const QRectF body(0.75, 0.75, size.width() - 1.5, size.height() - 1.5);
    painter.setPen(QPen(rgb(palette::kSeatTextOnTurn), 1.5));
    painter.setBrush(palette::kTurnFrameFill);
    painter.drawRoundedRect(body, 4, 4);
}

void paintLogo(QPainter& painter, QSize size)
{
    // The name spelled in little tiles, the way it would lie on the board.
    const QString name = QStringLiteral("LEXIFLIP");
    const int tile = 20; // painted with a one-pixel margin, so 18 of face
    const qreal pitch = (size.width() - 18.0) / (name.size() - 1);
    for (int i = 0; i < name.size(); ++i) {
        painter.save();
        painter.translate(i * pitch - 1, (size.height() - tile) / 2.0);
        tiles::paintLetterTile(painter, tile, name.at(i).unicode() - u'A' + 1, tiles::Face::Up, false);
        painter.restore();
    }
}

// --- The background -----------------------------------------------------------

void paintSlot(QPainter& painter, const QRectF& cell)
{
    painter.setPen(QPen(QColor(palette::kTableLine).darker(130), 1));
    painter.setBrush(QColor(palette::kTableWell));
    painter.drawRoundedRect(cell.adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
}

void paintWell(QPainter& painter, const QRectF& rect)
{
    painter.setPen(QPen(QColor(palette::kTableLine), 1));
    painter.setBrush(QColor(palette::kTableWell).lighter(115));
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}

// The board's well and its slots, from the panel's own top left corner: the
// background paints it in place, and a window that shows a board without the
// rest of the game area (the replay) shows it as a picture of its own.
void paintBoardWell(QPainter& painter)
{
    using namespace layout;
    paintWell(painter, QRect(QPoint(0, 0), kBoardPanel.size()));
    for (int c = 1; c <= kBoardColumns; ++c) {
        for (int r = 1; r <= kBoardRows; ++r)
            paintSlot(painter, cellRect({c, r}).translated(kBoardSurface.topLeft()));
    }
}

void paintBackground(QPainter& painter, QSize size)
{
    QLinearGradient table(0, 0, 0, size.height());
    table.setColorAt(0, rgb(palette::kTableTop));
    table.setColorAt(1, rgb(palette::kTableBottom));
    painter.fillRect(QRect(QPoint(0, 0), size), table);

    // A soft light over the middle of the game area.
    QRadialGradient light(QPointF(layout::kGameAreaRight / 2.0, size.height() / 2.0), size.height() * 0.7);
    light.setColorAt(0, palette::kTableLight);
    light.setColorAt(1, palette::kTableLightEnd);
    painter.fillRect(QRect(0, 0, layout::kGameAreaRight, size.height()), light);

    // The right-hand column is set off from the game area by a thin rule.
    painter.setPen(QPen(QColor(palette::kTableLine), 1));
    painter.drawLine(QPointF(layout::kGameAreaRight + 4.5, 8),
                     QPointF(layout::kGameAreaRight + 4.5, size.height() - 8));

    // Word row, board and bar sit in recessed wells with a slot per place.
    using namespace layout;
    const QRect firstWord = wordRect(1);
    paintWell(painter, QRectF(firstWord.left() - 3, firstWord.top() - 2,
                              wordRect(kWordPositions).right() + 1 - firstWord.left() + 6, kTile + 4));
    for (int i = 1; i <= kWordPositions; ++i)
        paintSlot(painter, wordRect(i));

    painter.save();
    painter.translate(kBoardPanel.topLeft());
    paintBoardWell(painter);
    painter.restore();

    const int barLeft = kBarLefts[0] - 5;
    paintWell(painter,
              QRectF(barLeft, kBarTop - 5, kBarLefts[kBarPositions - 1] + kTile + 5 - barLeft, kTile + 6));
    for (int left : kBarLefts)
        paintSlot(painter, QRect(left, kBarTop, kTile, kTile));

    // The light seat panel.
    const QRectF seats = QRectF(kSeatPanel).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kSeatPanelShadow);
    painter.drawRoundedRect(seats.translated(1, 2), 6, 6);
    paintRoundedBox(painter, seats, 6, rgb(palette::kSeatPanel).lighter(103), rgb(palette::kSeatPanel),
                    QPen(rgb(palette::kSeatPanelEdge), 1));
    // Faint rules between the six seat rows.
    painter.setPen(QPen(QColor(rgb(palette::kSeatPanelEdge).red(), rgb(palette::kSeatPanelEdge).green(),
                               rgb(palette::kSeatPanelEdge).blue(), 110),
                        1));
    for (int k = 1; k < 6; ++k) {
        const qreal y = kSeatTops[k] - 2.5;
        painter.drawLine(QPointF(seats.left() + 8, y), QPointF(seats.right() - 8, y));
    }
}

} // namespace

QSize pictureSize(Picture picture)
{
    // Each picture is the size of the place the layout gives it.
    using namespace layout;
    switch (picture) {
    case Picture::Background:
        return kBackgroundPicture;
    case Picture::ButtonClear:
    case Picture::ButtonBuy:
    case Picture::ButtonPass:
    case Picture::ButtonDone:
    case Picture::ButtonStart:
        return kButtonSize;
    case Picture::ButtonStartGame:
        return kStart.size();
    case Picture::ButtonShuffle:
        return kShuffle.size();
    case Picture::Logo:
        return kLogo.size();
    case Picture::BoardMarker:
        return bonusRect(1).size();
    case Picture::Eyes:
        return seatEyesRect(1).size();
    case Picture::Sneaker:
        return sneakerRect(1).size();
    case Picture::WinnerBanner:
        return kWinnerBanner.size();
    case Picture::NotPlaying:
        return kNotPlaying5.size();
    case Picture::TimerBar:
        return {kTimerBarMaxWidth, kTimerFrame.height()};
    case Picture::TimerFrame:
        return kTimerFrame.size();
    case Picture::TurnFrame:
        return turnFrameRect(1).size();
    case Picture::BoardWell:
        return kBoardPanel.size();
    }
    return {};
}

qreal snappedRatio(qreal devicePixelRatio)
{
    if (!(devicePixelRatio >= 1))
        return 1;
    return qMin<qreal>(4, qRound(devicePixelRatio * 4) / 4.0);
}

QPixmap letterPicture(int index, qreal devicePixelRatio, Zoom zoom)
{
    if (index < 0 || index >= kLetterPictureCount)
        return {};
    const QSize size(layout::kTile, layout::kTile);
    return cached(Set::Letters, index, 0, devicePixelRatio, zoom, size, [index](QPainter& painter) {
        if (index == 0)
            return;
        if (index == kTileBack)
            tiles::paintTileBack(painter, layout::kTile);
        else if (index < kTileBack)
            tiles::paintLetterTile(painter, layout::kTile, index, tiles::Face::Up, true);
        else
            tiles::paintLetterTile(painter, layout::kTile, index - kUsedOffset, tiles::Face::Used, true);
    });
}

QPixmap littlePicture(int index, qreal devicePixelRatio, Zoom zoom)
{
    if (index < 0 || index >= kLittlePictureCount)
        return {};
    const QSize size(layout::kLittleTile, layout::kLittleTile);
    return cached(Set::Little, index, 0, devicePixelRatio, zoom, size, [index](QPainter& painter) {
        if (index != 0)
            tiles::paintLetterTile(painter, layout::kLittleTile, index, tiles::Face::Up, false);
    });
}

QPixmap boxPicture(int index, qreal devicePixelRatio)
{
    if (index < 0 || index >= kBoxPictureCount)
        return {};
    return cached(Set::Box, index, 0, devicePixelRatio, Zoom(), kBoxSize,
                  [index](QPainter& painter) { tiles::paintTickBox(painter, index == 1); });
}

QPixmap picture(Picture which, qreal devicePixelRatio, Look look, int frame, Zoom zoom)
{
    const QSize size = pictureSize(which);
    if (size.isEmpty())
        return {};
    const bool isButton = which >= Picture::ButtonClear && which <= Picture::ButtonShuffle;
    int variant = 0;
    if (isButton)
        variant = int(look);
    else if (which == Picture::Sneaker)
        variant = ((frame % kSneakerFrames) + kSneakerFrames) % kSneakerFrames;

    return cached(Set::Single, int(which), variant, devicePixelRatio, zoom, size, [=](QPainter& painter) {
        switch (which) {
        case Picture::Background:
            paintBackground(painter, size);
            break;
        case Picture::ButtonClear:
            paintButton(painter, size, QStringLiteral("CLEAR"), goldStyle(), look, 13);
            break;
        case Picture::ButtonBuy:
            paintButton(painter, size, QStringLiteral("BUY"), goldStyle(), look, 13);
            break;
        case Picture::ButtonPass:
            paintButton(painter, size, QStringLiteral("PASS"), goldStyle(), look, 13);
            break;
        case Picture::ButtonDone:
            paintButton(painter, size, QStringLiteral("DONE"), goldStyle(), look, 13);
            break;
        case Picture::ButtonStartGame:
            paintButton(painter, size, QStringLiteral("START GAME"), greenStyle(), look, 14);
            break;
        case Picture::ButtonStart:
            paintButton(painter, size, QStringLiteral("START"), greenStyle(), look, 13);
            break;
        case Picture::ButtonShuffle:
            paintShuffle(painter, size, look);
            break;
        case Picture::Logo:
            paintLogo(painter, size);
            break;
        case Picture::BoardMarker:
            paintBoardMarker(painter, size);
            break;
        case Picture::Eyes:
            paintEyes(painter, size);
            break;
        case Picture::Sneaker:
            paintSneaker(painter, size, variant);
            break;
        case Picture::WinnerBanner:
            paintWinnerBanner(painter, size);
            break;
        case Picture::NotPlaying:
            paintNotPlaying(painter, size);
            break;
        case Picture::TimerBar:
            paintTimerBar(painter, size);
            break;
        case Picture::TimerFrame:
            paintTimerFrame(painter, size);
            break;
        case Picture::TurnFrame:
            paintTurnFrame(painter, size);
            break;
        case Picture::BoardWell:
            paintBoardWell(painter);
            break;
        }
    });
}

void paintShadowText(QPainter& painter, const QRect& rect, const QString& text)
{
    painter.save();
    painter.setFont(palette::winnerFont());
    painter.setPen(QColor(palette::kWinnerShadow));
    painter.drawText(rect.translated(1, -1), Qt::AlignCenter, text);
    painter.setPen(QColor(palette::kWinnerText));
    painter.drawText(rect, Qt::AlignCenter, text);
    painter.restore();
}

void clearPictureCache()
{
    cache().clear();
}

} // namespace lexiflip::client
