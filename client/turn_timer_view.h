#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

namespace lexiflip::client {

// The turn timer: the frame Image2 holding the bar image_timer, whose width
// shows the time left, and the text label_timer over it.
class TimerView : public QWidget {
    Q_OBJECT

  public:
    static inline const QColor kCalmColour{224, 227, 157};
    static inline const QColor kHurryColour{255, 0, 0};

    explicit TimerView(QWidget& panel);

    void setBarWidth(int width);
    void setText(const QString& text, const QColor& colour);
    int barWidth() const;
    QString text() const;

  private:
    QWidget* m_bar = nullptr;
    QLabel* m_text = nullptr;
};

} // namespace lexiflip::client
