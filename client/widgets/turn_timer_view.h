#pragma once

#include <QColor>

#include "client/widgets/picture_view.h"

class QLabel;

namespace lexiflip::client {

// The turn timer: the frame Image2 holding the bar image_timer, whose width
// shows the time left, and the text label_timer over it.
class TurnTimerView : public PictureView {
    Q_OBJECT

public:
    explicit TurnTimerView(QWidget& panel);

    void showTime(int barWidth, const QString& text, const QColor& colour);
    // Tells assistive technology the time when 20, 10 and 5 seconds are
    // left, once each; the timer's name is its text whenever it is read.
    void announce(int secondsLeft);
    // The bar's width for the seconds left of a turn of turnSeconds: each
    // second is a whole number of pixels, and the bar never leaves its frame
    // (a catch-up may report more seconds than a turn has).
    static int barWidthFor(int secondsLeft, int turnSeconds);
    // The bar's width in the layout's pixels, whatever the zoom.
    int barWidth() const;
    QString text() const;

private:
    PictureView* m_bar = nullptr;
    QLabel* m_text = nullptr;
    int m_lastSeconds = -1;
};

} // namespace lexiflip::client
