#include "client/widgets/turn_timer_view.h"

#include <QAccessible>
#include <QLabel>

#include <algorithm>

#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "client/widgets/screen_layout.h"
#include "client/widgets/zoomed_place.h"

namespace lexiflip::client {

TurnTimerView::TurnTimerView(QWidget& panel)
    : PictureView(QStringLiteral("Image2"), Picture::TimerFrame, layout::kTimerFrame, &panel)
{
    // The bar's picture is its full width; the view is as wide as the time left.
    m_bar = new PictureView(QStringLiteral("image_timer"), Picture::TimerBar,
                            {0, 0, 0, layout::kTimerFrame.height()}, this);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("label_timer"));
    place(*m_text, layout::kTimerText.translated(-layout::kTimerFrame.topLeft()));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setTextFormat(Qt::PlainText);
    setZoomedFont(*m_text, palette::timerFont());
    // The timer itself is read by its text; the label, which changes every
    // second, would otherwise be told as changed every second.
    m_text->setAccessibleName(QStringLiteral("Time left"));
    showTime(0, QStringLiteral("Time: 0:00"), QColor(palette::kTimerText));
}

void TurnTimerView::showTime(int barWidth, const QString& text, const QColor& colour)
{
    resizePlaced(*m_bar, {std::clamp(barWidth, 0, layout::kTimerBarMaxWidth), layout::kTimerFrame.height()});
    m_text->setText(text);
    m_text->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
}

void TurnTimerView::announce(int secondsLeft)
{
    const bool worthSaying = secondsLeft == 20 || secondsLeft == 10 || secondsLeft == 5;
    if (worthSaying && secondsLeft != m_lastSeconds) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    m_lastSeconds = secondsLeft;
}

int TurnTimerView::barWidthFor(int secondsLeft, int turnSeconds)
{
    if (turnSeconds <= 0)
        return 0;
    const long long width = static_cast<long long>(layout::kTimerBarMaxWidth / turnSeconds) * secondsLeft;
    return static_cast<int>(std::clamp<long long>(width, 0, layout::kTimerBarMaxWidth));
}

int TurnTimerView::barWidth() const
{
    return placeOf(*m_bar).width();
}

QString TurnTimerView::text() const
{
    return m_text->text();
}

} // namespace lexiflip::client
