#include "windows/summary/score_chart.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "client/media/palette.h"

namespace lexiflip::windows {
namespace palette = client::palette;

namespace {

// A step of the score axis that gives four to eight lines: 10, 20, 25, 50,
// 100... points.
int axisStep(int top)
{
    for (int step : {10, 20, 25, 50, 100, 200, 250, 500, 1000}) {
        if (top / step <= 8)
            return step;
    }
    return 1000 * (top / 8000 + 1);
}

// Each seat's marker has its own shape, so that the lines are told apart
// without their colours.
void paintMarker(QPainter& painter, int seat, QPointF at, qreal radius)
{
    switch ((seat - 1) % 3) {
    case 0:
        painter.drawEllipse(at, radius, radius);
        break;
    case 1:
        painter.drawRect(QRectF(at.x() - radius, at.y() - radius, 2 * radius, 2 * radius));
        break;
    default: {
        QPainterPath diamond;
        diamond.moveTo(at.x(), at.y() - radius * 1.3);
        diamond.lineTo(at.x() + radius * 1.3, at.y());
        diamond.lineTo(at.x(), at.y() + radius * 1.3);
        diamond.lineTo(at.x() - radius * 1.3, at.y());
        diamond.closeSubpath();
        painter.drawPath(diamond);
        break;
    }
    }
}

} // namespace

ScoreChart::ScoreChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("score_chart"));
    setAccessibleName(QStringLiteral("Score chart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ScoreChart::setFigures(const summary::GameFigures& figures)
{
    m_figures = figures;
    setAccessibleDescription(
        QStringLiteral("Every seat's score after each round, play to %1; the figures are "
                       "in the table below the chart.")
            .arg(figures.target));
    update();
}

void ScoreChart::setScale(qreal scale)
{
    m_scale = scale;
    updateGeometry();
    update();
}

QSize ScoreChart::sizeHint() const
{
    return QSize(560, 300) * m_scale;
}

QSize ScoreChart::minimumSizeHint() const
{
    return QSize(320, 180) * m_scale;
}

QImage ScoreChart::picture(QSize size, qreal ratio) const
{
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)), m_figures, m_scale);
    return image;
}

void ScoreChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QRectF(rect()), m_figures, m_scale);
}

void ScoreChart::paint(QPainter& painter, const QRectF& area, const summary::GameFigures& figures,
                       qreal scale)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient table(area.topLeft(), area.bottomLeft());
    table.setColorAt(0, QColor(palette::kTableTop));
    table.setColorAt(1, QColor(palette::kTableBottom));
    painter.setPen(Qt::NoPen);
    painter.setBrush(table);
    painter.drawRoundedRect(area, 6 * scale, 6 * scale);

    const int pixels = static_cast<int>(std::lround(12 * scale));
    const QFont font = palette::gameFont(pixels, false);
    const QFont bold = palette::gameFont(pixels, true);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const qreal line = metrics.height();

    int top = figures.target;
    for (const summary::SeatFigures& seat : figures.seats) {
        for (int score : seat.scores)
            top = std::max(top, score);
    }
    const int step = axisStep(std::max(top, 10));
    top = ((std::max(top, 1) + step - 1) / step) * step;
    int bottom = 0;
    for (const summary::SeatFigures& seat : figures.seats) {
        for (int score : seat.scores)
            bottom = std::min(bottom, score);
    }
    bottom = -((-bottom + step - 1) / step) * step;

    // The legend above the plot: each seat's marker, colour and name.
    const qreal margin = line * 0.8;
    qreal x = area.left() + margin;
    const qreal legendY = area.top() + margin;
    painter.setFont(bold);
    for (const summary::SeatFigures& seat : figures.seats) {
        const QColor colour = palette::seatColour(seat.seat);
        painter.setPen(QPen(colour, 2 * scale));
        painter.setBrush(colour);
        paintMarker(painter, seat.seat, QPointF(x + line * 0.3, legendY + line / 2), line * 0.22);
        x += line * 0.8;
        const QString name = QString::fromLatin1(seat.name.c_str());
        const QString text = name.isEmpty() ? QStringLiteral("Seat %1").arg(seat.seat) : name;
        painter.drawText(QPointF(x, legendY + metrics.ascent()), text);
        x += QFontMetricsF(bold).horizontalAdvance(text) + line;
    }
    painter.setFont(font);

    const QString widest = QString::number(top);
    const QRectF plot(area.left() + margin + metrics.horizontalAdvance(widest) + line * 0.4,
                      legendY + line * 1.6, 0, 0);
    QRectF box = plot;
    box.setRight(area.right() - margin - line * 0.5);
    box.setBottom(area.bottom() - margin - line * 2.3);
    if (box.width() < 10 || box.height() < 10) {
        painter.restore();
        return;
    }
    const int rounds = std::max(figures.rounds, 1);
    auto toX = [&](int round) { return box.left() + box.width() * round / rounds; };
    auto toY = [&](int score) { return box.bottom() - box.height() * (score - bottom) / (top - bottom); };

    // The grid: a line for each step of points, a mark for each round.
    painter.setPen(QPen(QColor(palette::kChartGrid), scale));
    for (int score = bottom; score <= top; score += step) {
        const qreal y = toY(score);
        painter.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
        painter.setPen(QColor(palette::kChartText));
        painter.drawText(QRectF(area.left(), y - line / 2, box.left() - area.left() - line * 0.3, line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(score));
        painter.setPen(QPen(QColor(palette::kChartGrid), scale));
    }
    const int labelEvery = std::max(
        1,
        static_cast<int>(std::ceil(metrics.horizontalAdvance(QStringLiteral("00 ")) * rounds / box.width())));
    for (int round = 0; round <= rounds; ++round) {
        const qreal rx = toX(round);
        painter.drawLine(QPointF(rx, box.bottom()), QPointF(rx, box.bottom() + line * 0.25));
        if (round % labelEvery == 0) {
            painter.setPen(QColor(palette::kChartText));
            painter.drawText(QRectF(rx - line * 2, box.bottom() + line * 0.25, line * 4, line),
                             Qt::AlignHCenter, QString::number(round));
            painter.setPen(QPen(QColor(palette::kChartGrid), scale));
        }
    }
    painter.setPen(QColor(palette::kChartText));
    painter.drawText(QRectF(box.left(), box.bottom() + line * 1.3, box.width(), line), Qt::AlignHCenter,
                     QStringLiteral("Round"));

    // The target score, dashed across the plot.
    if (figures.target > 0) {
        const qreal y = toY(figures.target);
        QPen dashed(QColor(palette::kChartTarget), 1.5 * scale, Qt::DashLine);
        painter.setPen(dashed);
        painter.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
        painter.setPen(QColor(palette::kChartTarget));
        painter.drawText(QRectF(box.left() + line * 0.3, y - line * 1.1, box.width(), line), Qt::AlignLeft,
                         QStringLiteral("Play to %1").arg(figures.target));
    }

    // Every seat's line, each point marked.
    for (const summary::SeatFigures& seat : figures.seats) {
        const QColor colour = palette::seatColour(seat.seat);
        QPolygonF points;
        for (std::size_t r = 0; r < seat.scores.size(); ++r)
            points << QPointF(toX(static_cast<int>(r)), toY(seat.scores[r]));
        painter.setPen(QPen(colour, 2.2 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(points);
        painter.setBrush(colour);
        painter.setPen(QPen(QColor(palette::kTableBottom), scale));
        for (const QPointF& point : points)
            paintMarker(painter, seat.seat, point, line * 0.22);
    }
    painter.restore();
}

} // namespace lexiflip::windows
