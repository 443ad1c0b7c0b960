#include "client/widgets/seat_rows.h"

#include <QLabel>
#include <QWidget>

#include "client/widgets/picture_view.h"
#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "client/widgets/screen_layout.h"
#include "client/widgets/zoomed_place.h"

namespace lexiflip::client {

namespace {

QLabel* seatText(QWidget& panel, const QString& name, QRect where, Qt::Alignment alignment)
{
    auto* label = new QLabel(&panel);
    label->setObjectName(name);
    place(*label, where);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    setZoomedFont(*label, palette::seatFont());
    return label;
}

} // namespace

SeatRows::SeatRows(QWidget& panel) : QObject(&panel)
{
    m_turnFrame =
        new PictureView(QStringLiteral("image_Turn"), Picture::TurnFrame, layout::turnFrameRect(1), &panel);
    m_turnFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_turnFrame->hide();
    for (int seat = 1; seat <= kSeats; ++seat) {
        Row& row = m_rows[seat - 1];
        row.name = seatText(panel, QStringLiteral("label_playername%1").arg(seat), layout::seatNameRect(seat),
                            Qt::AlignLeft);
        row.name->setProperty("tag", seat);
        row.name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row.name, &QWidget::customContextMenuRequested, this, [this, seat](QPoint at) {
            emit seatMenuRequested(seat, m_rows[seat - 1].name->mapToGlobal(at));
        });
        // Scores start at their column, so that a short score and the bonus
        // text after it keep a gap between them.
        row.score = seatText(panel, QStringLiteral("label_score%1").arg(seat), layout::seatScoreRect(seat),
                             Qt::AlignLeft);
        row.bonus = seatText(panel, QStringLiteral("label_bonus%1").arg(seat), layout::seatBonusRect(seat),
                             Qt::AlignLeft);
        row.eyes = new PictureView(QStringLiteral("image_eyes%1").arg(seat), Picture::Eyes,
                                   layout::seatEyesRect(seat), &panel);
        row.eyes->setAccessibleName(QStringLiteral("Just watching"));
        row.eyes->hide();
        SeatLook look;
        look.name = QStringLiteral("<Waiting>");
        look.score = QStringLiteral("0");
        look.colour = QColor(palette::kSeatText);
        showSeat(seat, look);
    }
    m_sneaker =
        new PictureView(QStringLiteral("image_sneaker"), Picture::Sneaker, layout::sneakerRect(1), &panel);
    m_sneaker->setAccessibleName(QStringLiteral("Sneaker"));
    m_sneaker->hide();
    const QRect banners[2] = {layout::kNotPlaying5, layout::kNotPlaying6};
    for (int i = 0; i < 2; ++i) {
        m_notPlaying[i] = new PictureView(QStringLiteral("image_canplay%1").arg(i + 5), Picture::NotPlaying,
                                          banners[i], &panel);
        m_notPlaying[i]->setAccessibleName(QStringLiteral("NOT PLAYING"));
        m_notPlaying[i]->hide();
    }
}

void SeatRows::showSeat(int seat, const SeatLook& look)
{
    if (!valid(seat))
        return;
    Row& row = m_rows[seat - 1];
    row.name->setText(look.name);
    row.score->setText(look.score);
    row.bonus->setText(look.bonus);
    row.name->setVisible(look.nameShown);
    row.score->setVisible(look.scoreShown);
    row.eyes->setVisible(look.eyes);
    const QString sheet = QStringLiteral("color: %1;").arg(look.colour.name());
    for (QLabel* label : {row.name, row.score, row.bonus})
        label->setStyleSheet(sheet);
    // "Klot, 57 points, on turn".
    QString spoken = QStringLiteral("%1, %2 points").arg(look.name, look.score);
    if (look.onTurn)
        spoken += QStringLiteral(", on turn");
    row.name->setAccessibleName(spoken);
}

void SeatRows::setTurn(int seat)
{
    if (!valid(seat)) {
        m_turnFrame->hide();
        return;
    }
    place(*m_turnFrame, layout::turnFrameRect(seat));
    m_turnFrame->show();
    m_turnFrame->raise();
}

void SeatRows::setSneaker(int seat, int frame, bool shown)
{
    if (!valid(seat) || !shown) {
        m_sneaker->hide();
        return;
    }
    placeAt(*m_sneaker, layout::sneakerRect(seat).topLeft());
    m_sneaker->setIndex(frame);
    m_sneaker->show();
    m_sneaker->raise();
}

void SeatRows::setNotPlaying(bool shown)
{
    for (PictureView* banner : m_notPlaying) {
        banner->setVisible(shown);
        banner->raise();
    }
}

QString SeatRows::name(int seat) const
{
    return valid(seat) ? m_rows[seat - 1].name->text() : QString();
}

} // namespace lexiflip::client
