#include "client/widgets/seat_rows.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>

#include "client/widgets/focus_ring.h"
#include "client/widgets/picture_view.h"
#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "client/widgets/screen_layout.h"
#include "client/widgets/zoomed_place.h"

namespace lexiflip::client {

namespace {

void styleSeatText(QLabel& label, const QString& name, QRect where)
{
    label.setObjectName(name);
    place(label, where);
    label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label.setTextFormat(Qt::PlainText);
    setZoomedFont(label, palette::seatFont());
}

QLabel* seatText(QWidget& panel, const QString& name, QRect where)
{
    auto* label = new QLabel(&panel);
    styleSeatText(*label, name, where);
    return label;
}

// The keyboard's ring around a whole seat row, over the turn frame's place.
class RowRing : public QWidget {
public:
    explicit RowRing(QWidget& panel) : QWidget(&panel)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        place(*this, layout::turnFrameRect(1));
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const qreal unit = width() / qreal(layout::turnFrameRect(1).width());
        drawFocusRing(painter, QRectF(rect()), unit, 2);
    }
};

bool isMenuKey(const QKeyEvent& event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    return key == Qt::Key_Menu || key == Qt::Key_Return || key == Qt::Key_Enter ||
           (key == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

} // namespace

SeatName::SeatName(int seat, QWidget& panel) : QLabel(&panel)
{
    styleSeatText(*this, QStringLiteral("label_playername%1").arg(seat), layout::seatNameRect(seat));
    setProperty("tag", seat);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { emit menuAsked(mapToGlobal(at)); });
}

void SeatName::askMenu()
{
    emit menuAsked(mapToGlobal(QPoint(0, height())));
}

// The X11 platform turns the Menu key into a context menu event at the middle
// of the focused widget before the key itself arrives; it opens the menu
// where the other keys do.
bool SeatName::event(QEvent* event)
{
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        askMenu();
        return true;
    }
    return QLabel::event(event);
}

void SeatName::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        emit stepAsked(event->key() == Qt::Key_Up ? -1 : 1);
    else if (isMenuKey(*event))
        askMenu();
    else
        return QLabel::keyPressEvent(event);
    event->accept();
}

void SeatName::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    emit focusChanged(true);
}

// The seat menu opened from the row takes the keyboard while it is open; the
// ring stays, so the player still sees whose menu it is.
void SeatName::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        emit focusChanged(false);
}

SeatRows::SeatRows(QWidget& panel) : QObject(&panel)
{
    m_turnFrame =
        new PictureView(QStringLiteral("image_Turn"), Picture::TurnFrame, layout::turnFrameRect(1), &panel);
    m_turnFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_turnFrame->hide();
    for (int seat = 1; seat <= kSeats; ++seat) {
        Row& row = m_rows[seat - 1];
        row.name = new SeatName(seat, panel);
        connect(row.name, &SeatName::menuAsked, this,
                [this, seat](QPoint at) { emit seatMenuRequested(seat, at); });
        connect(row.name, &SeatName::stepAsked, this, [this, seat](int by) { step(seat, by); });
        connect(row.name, &SeatName::focusChanged, this,
                [this, seat](bool focused) { showRing(seat, focused); });
        // Scores start at their column, so that a short score and the bonus
        // text after it keep a gap between them.
        row.score = seatText(panel, QStringLiteral("label_score%1").arg(seat), layout::seatScoreRect(seat));
        row.bonus = seatText(panel, QStringLiteral("label_bonus%1").arg(seat), layout::seatBonusRect(seat));
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
    m_ring = new RowRing(panel);
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
    for (QLabel* label : {static_cast<QLabel*>(row.name), row.score, row.bonus})
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
    raiseRing();
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
    raiseRing();
}

void SeatRows::setNotPlaying(bool shown)
{
    for (PictureView* banner : m_notPlaying) {
        banner->setVisible(shown);
        banner->raise();
    }
    raiseRing();
}

QString SeatRows::name(int seat) const
{
    return valid(seat) ? m_rows[seat - 1].name->text() : QString();
}

bool SeatRows::takeFocus()
{
    for (int seat : {m_keySeat, 1, 2, 3, 4, 5, 6}) {
        if (m_rows[seat - 1].name->isVisible()) {
            m_rows[seat - 1].name->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return false;
}

bool SeatRows::hasFocus() const
{
    return std::any_of(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.name->hasFocus(); });
}

// Up and Down pass over the rows nobody can see (a hidden name has no menu
// to open) and stop at the first and last row.
void SeatRows::step(int from, int by)
{
    for (int seat = from + by; valid(seat); seat += by) {
        if (m_rows[seat - 1].name->isVisible()) {
            m_rows[seat - 1].name->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void SeatRows::showRing(int seat, bool focused)
{
    if (!focused) {
        m_ring->hide();
        return;
    }
    m_keySeat = seat;
    placeAt(*m_ring, layout::turnFrameRect(seat).topLeft());
    m_ring->show();
    raiseRing();
}

// The ring stays above the turn frame, the sneaker and the banners that are
// raised as the game goes on.
void SeatRows::raiseRing()
{
    if (m_ring && m_ring->isVisible())
        m_ring->raise();
}

} // namespace lexiflip::client
