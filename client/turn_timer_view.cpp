#include "client/timer_view.h"

#include <QLabel>

#include <algorithm>

#include "client/screen_layout.h"

namespace lexiflip::client {

TimerView::TimerView(QWidget& panel) : QWidget(&panel)
{
    setObjectName(QStringLiteral("Image2"));
    setGeometry(layout::kTimerFrame);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("#Image2 { background: rgb(20, 40, 30); border: 1px solid rgb(10, 25, 15); }"));
    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("image_timer"));
    m_bar->setAttribute(Qt::WA_StyledBackground);
    m_bar->setStyleSheet(QStringLiteral("#image_timer { background: rgb(40, 130, 200); }"));
    m_bar->setGeometry(0, 0, 0, layout::kTimerFrame.height());
    // The text sits over the frame, 4 pixels in from its left.
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("label_timer"));
    m_text->setGeometry(layout::kTimerText.translated(-layout::kTimerFrame.topLeft()));
    m_text->setAlignment(Qt::AlignCenter);
    QFont font = m_text->font();
    font.setBold(true);
    font.setPixelSize(12);
    m_text->setFont(font);
    setText(QStringLiteral("Time: 0:00"), kCalmColour);
}

void TimerView::setBarWidth(int width)
{
    m_bar->resize(std::clamp(width, 0, layout::kTimerBarMaxWidth), height());
}

void TimerView::setText(const QString& text, const QColor& colour)
{
    m_text->setText(text);
    m_text->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
    m_text->setAccessibleName(text);
    setAccessibleName(text);
}

int TimerView::barWidth() const
{
    return m_bar->width();
}

QString TimerView::text() const
{
    return m_text->text();
}

} // namespace lexiflip::client
