#pragma once

#include <QImage>
#include <QWidget>

#include "windows/summary/game_figures.h"

class QPainter;

namespace lexiflip::windows {

// The line chart of every seat's score after each round, in the seats' own
// colours over the game area's dark look, with the target score drawn across.
// It is painted afresh at every size and pixel ratio, never scaled from a
// bitmap, so it is sharp at any zoom.
class ScoreChart : public QWidget {
    Q_OBJECT

public:
    explicit ScoreChart(QWidget* parent = nullptr);

    void setFigures(const summary::GameFigures& figures);
    // The game window's zoom: texts and lines grow with it.
    void setScale(qreal scale);
    const summary::GameFigures& figures() const { return m_figures; }

    // The chart as a picture of size (in logical pixels) at pixel ratio ratio,
    // as Save Chart As... writes it.
    QImage picture(QSize size, qreal ratio) const;

    // Paints the whole chart into area.
    static void paint(QPainter& painter, const QRectF& area, const summary::GameFigures& figures,
                      qreal scale = 1);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    summary::GameFigures m_figures;
    qreal m_scale = 1;
};

} // namespace lexiflip::windows
