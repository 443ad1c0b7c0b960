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

namespace {

// Where the chart's figures fall: the plot's box, its score axis in whole
// steps from the lowest score (or 0) to the highest or the target, and the rounds.
struct Plot {
    QRectF box;
    int bottom = 0;
    int top = 0;
    int step = 10;
    int rounds = 1;
    qreal line = 0; // the text's line height, the unit of every gap
    qreal scale = 1;

    qreal x(int round) const { return box.left() + box.width() * round / rounds; }
    qreal y(int score) const { return box.bottom() - box.height() * (score - bottom) / (top - bottom); }
};

Plot axesFor(const summary::GameFigures& figures)
{
    int top = figures.target;
    int bottom = 0;
    for (const summary::SeatFigures& seat : figures.seats) {
        for (int score : seat.scores) {
            top = std::max(top, score);
            bottom = std::min(bottom, score);
        }
    }
    Plot plot;
    plot.step = axisStep(std::max(top, 10));
    plot.top = ((std::max(top, 1) + plot.step - 1) / plot.step) * plot.step;
    plot.bottom = -((-bottom + plot.step - 1) / plot.step) * plot.step;
    plot.rounds = std::max(figures.rounds, 1);
    return plot;
}

// Each seat's marker, colour and name, in a row from the top left.
void paintLegend(QPainter& painter, QPointF at, const summary::GameFigures& figures, const Plot& plot,
                 const QFont& bold)
{
    const QFontMetricsF metrics(bold);
    painter.setFont(bold);
    qreal x = at.x();
    for (const summary::SeatFigures& seat : figures.seats) {
        const QColor colour = palette::seatColour(seat.seat);
        painter.setPen(QPen(colour, 2 * plot.scale));
        painter.setBrush(colour);
        paintMarker(painter, seat.seat, QPointF(x + plot.line * 0.3, at.y() + plot.line / 2),
                    plot.line * 0.22);
        x += plot.line * 0.8;
        const QString name = QString::fromLatin1(seat.name.c_str());
        const QString text = name.isEmpty() ? QStringLiteral("Seat %1").arg(seat.seat) : name;
        painter.drawText(QPointF(x, at.y() + metrics.ascent()), text);
        x += metrics.horizontalAdvance(text) + plot.line;
    }
}

// A line for each step of points with its figure, a mark for each round with
// its number (every so many when they are close), and the axis' name.
void paintGrid(QPainter& painter, qreal left, const Plot& plot, const QFontMetricsF& metrics)
{
    const QPen grid(QColor(palette::kChartGrid), plot.scale);
    for (int score = plot.bottom; score <= plot.top; score += plot.step) {
        const qreal y = plot.y(score);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.box.left(), y), QPointF(plot.box.right(), y));
        painter.setPen(QColor(palette::kChartText));
        painter.drawText(QRectF(left, y - plot.line / 2, plot.box.left() - left - plot.line * 0.3, plot.line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(score));
    }
    const qreal labelWidth = metrics.horizontalAdvance(QStringLiteral("00 "));
    const int labelEvery =
        std::max(1, static_cast<int>(std::ceil(labelWidth * plot.rounds / plot.box.width())));
    for (int round = 0; round <= plot.rounds; ++round) {
        const qreal x = plot.x(round);
        painter.setPen(grid);
        painter.drawLine(QPointF(x, plot.box.bottom()), QPointF(x, plot.box.bottom() + plot.line * 0.25));
        if (round % labelEvery == 0) {
            painter.setPen(QColor(palette::kChartText));
            painter.drawText(
                QRectF(x - plot.line * 2, plot.box.bottom() + plot.line * 0.25, plot.line * 4, plot.line),
                Qt::AlignHCenter, QString::number(round));
        }
    }
    painter.setPen(QColor(palette::kChartText));
    painter.drawText(
        QRectF(plot.box.left(), plot.box.bottom() + plot.line * 1.3, plot.box.width(), plot.line),
        Qt::AlignHCenter, QStringLiteral("Round"));
}

// The target score, dashed across the plot.
void paintTarget(QPainter& painter, int target, const Plot& plot)
{
    if (target <= 0)
        return;
    const qreal y = plot.y(target);
    painter.setPen(QPen(QColor(palette::kChartTarget), 1.5 * plot.scale, Qt::DashLine));
    painter.drawLine(QPointF(plot.box.left(), y), QPointF(plot.box.right(), y));
    painter.setPen(QColor(palette::kChartTarget));
    painter.drawText(
        QRectF(plot.box.left() + plot.line * 0.3, y - plot.line * 1.1, plot.box.width(), plot.line),
        Qt::AlignLeft, QStringLiteral("Play to %1").arg(target));
}

// Every seat's line, each point marked.
void paintSeatLines(QPainter& painter, const summary::GameFigures& figures, const Plot& plot)
{
    for (const summary::SeatFigures& seat : figures.seats) {
        const QColor colour = palette::seatColour(seat.seat);
        QPolygonF points;
        for (std::size_t r = 0; r < seat.scores.size(); ++r)
            points << QPointF(plot.x(static_cast<int>(r)), plot.y(seat.scores[r]));
        painter.setPen(QPen(colour, 2.2 * plot.scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(points);
        painter.setBrush(colour);
        painter.setPen(QPen(QColor(palette::kTableBottom), plot.scale));
        for (const QPointF& point : points)
            paintMarker(painter, seat.seat, point, plot.line * 0.22);
    }
}

} // namespace

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
    const QFontMetricsF metrics(font);
    Plot plot = axesFor(figures);
    plot.line = metrics.height();
    plot.scale = scale;
    const qreal margin = plot.line * 0.8;
    const QPointF legend(area.left() + margin, area.top() + margin);
    paintLegend(painter, legend, figures, plot, palette::gameFont(pixels, true));

    painter.setFont(font);
    plot.box.setLeft(legend.x() + metrics.horizontalAdvance(QString::number(plot.top)) + plot.line * 0.4);
    plot.box.setTop(legend.y() + plot.line * 1.6);
    plot.box.setRight(area.right() - margin - plot.line * 0.5);
    plot.box.setBottom(area.bottom() - margin - plot.line * 2.3);
    if (plot.box.width() >= 10 && plot.box.height() >= 10) {
        paintGrid(painter, area.left(), plot, metrics);
        paintTarget(painter, figures.target, plot);
        paintSeatLines(painter, figures, plot);
    }
    painter.restore();
}

} // namespace lexiflip::windows
