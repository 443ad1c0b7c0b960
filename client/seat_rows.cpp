#include "client/seat_rows.h"

#include <QLabel>
#include <QWidget>

#include "client/game_art.h"
#include "client/screen_layout.h"

namespace lexiflip::client {

namespace {

QLabel* seatText(QWidget& panel, const QString& name, QRect where, Qt::Alignment alignment)
{
    auto* label = new QLabel(&panel);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setAlignment(alignment | Qt::AlignVCenter);
    QFont font = label->font();
    font.setBold(true);
    font.setPixelSize(12);
    label->setFont(font);
    return label;
}

} // namespace

SeatRows::SeatRows(QWidget& panel) : QObject(&panel)
{
    m_turnFrame = new QWidget(&panel);
    m_turnFrame->setObjectName(QStringLiteral("image_Turn"));
    m_turnFrame->setStyleSheet(
        QStringLiteral("#image_Turn { border: 1px solid rgb(255, 0, 0); border-radius: 3px; }"));
    m_turnFrame->hide();
    for (int seat = 1; seat <= kSeats; ++seat) {
        Row& row = m_rows[seat - 1];
        row.name = seatText(panel, QStringLiteral("label_playername%1").arg(seat), layout::seatNameRect(seat),
                            Qt::AlignLeft);
        row.name->setText(QStringLiteral("<Waiting>"));
        row.name->setTextFormat(Qt::PlainText);
        row.name->setProperty("tag", seat);
        row.name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row.name, &QWidget::customContextMenuRequested, this, [this, seat](QPoint at) {
            emit seatMenuRequested(seat, m_rows[seat - 1].name->mapToGlobal(at));
        });
        row.score = seatText(panel, QStringLiteral("label_score%1").arg(seat), layout::seatScoreRect(seat),
                             Qt::AlignRight);
        row.score->setText(QStringLiteral("0"));
        row.bonus = seatText(panel, QStringLiteral("label_bonus%1").arg(seat), layout::seatBonusRect(seat),
                             Qt::AlignLeft);
        row.bonus->setTextFormat(Qt::PlainText);
        row.eyes = new QLabel(&panel);
        row.eyes->setObjectName(QStringLiteral("image_eyes%1").arg(seat));
        row.eyes->setGeometry(layout::seatEyesRect(seat));
        row.eyes->setPixmap(eyesPicture(0, panel.devicePixelRatioF()));
        row.eyes->setAccessibleName(QStringLiteral("Just watching"));
        row.eyes->hide();
        setColour(seat, kNormalColour);
    }
    m_sneaker = new QLabel(&panel);
    m_sneaker->setObjectName(QStringLiteral("image_sneaker"));
    m_sneaker->setAccessibleName(QStringLiteral("Sneaker"));
    m_sneaker->resize(18, 15);
    m_sneaker->hide();
    const QRect banners[2] = {layout::kNotPlaying5, layout::kNotPlaying6};
    for (int i = 0; i < 2; ++i) {
        m_notPlaying[i] = new QLabel(&panel);
        m_notPlaying[i]->setObjectName(QStringLiteral("image_canplay%1").arg(i + 5));
        m_notPlaying[i]->setGeometry(banners[i]);
        m_notPlaying[i]->setPixmap(notPlayingPicture(panel.devicePixelRatioF()));
        m_notPlaying[i]->setAccessibleName(QStringLiteral("NOT PLAYING"));
        m_notPlaying[i]->hide();
    }
}

void SeatRows::setName(int seat, const QString& name)
{
    if (!valid(seat))
        return;
    m_rows[seat - 1].name->setText(name);
    describe(seat);
}

void SeatRows::setScore(int seat, const QString& score)
{
    if (!valid(seat))
        return;
    m_rows[seat - 1].score->setText(score);
    describe(seat);
}

void SeatRows::setBonus(int seat, const QString& bonus)
{
    if (valid(seat))
        m_rows[seat - 1].bonus->setText(bonus);
}

void SeatRows::setEyes(int seat, bool shown)
{
    if (valid(seat))
        m_rows[seat - 1].eyes->setVisible(shown);
}

void SeatRows::setColour(int seat, const QColor& colour)
{
    if (!valid(seat))
        return;
    Row& row = m_rows[seat - 1];
    const QString sheet = QStringLiteral("color: %1;").arg(colour.name());
    for (QLabel* label : {row.name, row.score, row.bonus})
        label->setStyleSheet(sheet);
    row.onTurn = colour == kTurnColour;
    describe(seat);
}

void SeatRows::setTurn(int seat)
{
    if (!valid(seat)) {
        m_turnFrame->hide();
        return;
    }
    m_turnFrame->setGeometry(layout::turnFrameRect(seat));
    m_turnFrame->lower();
    m_turnFrame->show();
}

void SeatRows::setSneaker(int seat)
{
    if (!valid(seat)) {
        m_sneaker->hide();
        return;
    }
    m_sneaker->move(layout::sneakerRect(seat).topLeft());
    m_sneaker->setPixmap(eyesPicture(m_sneakerFrame, m_sneaker->devicePixelRatioF()));
    m_sneaker->show();
    m_sneaker->raise();
}

void SeatRows::animateSneaker()
{
    m_sneakerFrame = (m_sneakerFrame + 1) % 5;
    if (m_sneaker->isVisible())
        m_sneaker->setPixmap(eyesPicture(m_sneakerFrame, m_sneaker->devicePixelRatioF()));
}

void SeatRows::setNotPlaying(bool shown)
{
    for (QLabel* banner : m_notPlaying) {
        banner->setVisible(shown);
        banner->raise();
    }
}

QString SeatRows::name(int seat) const
{
    return valid(seat) ? m_rows[seat - 1].name->text() : QString();
}

// "Klot, 57 points, on turn".
void SeatRows::describe(int seat)
{
    const Row& row = m_rows[seat - 1];
    QString text = QStringLiteral("%1, %2 points").arg(row.name->text(), row.score->text());
    if (row.onTurn)
        text += QStringLiteral(", on turn");
    row.name->setAccessibleName(text);
}

} // namespace lexiflip::client
