#include "client/widgets/phrase_buttons.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QPainter>

#include "client/session/eight_bit_text.h"
#include "client/media/picture_button.h"
#include "client/media/phrase_icons.h"
#include "client/widgets/screen_layout.h"
#include "client/widgets/zoomed_place.h"

namespace lexiflip::client {

namespace {

class IconButton : public QAbstractButton {
public:
    IconButton(int number, QWidget* parent) : QAbstractButton(parent), m_number(number)
    {
        setObjectName(QStringLiteral("b_phrase%1").arg(number));
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
        setFixedSize(kPhraseIconSize);
    }
    QSize sizeHint() const override { return zoomOf(*this).scaled(kPhraseIconSize); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(QPoint(0, 0),
                           phraseIcon(m_number, devicePixelRatioF(), lookOf(*this), zoomOf(*this)));
    }

private:
    int m_number;
};

} // namespace

PhraseButtons::PhraseButtons(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("panel_phrases"));
    place(*this, layout::kPhraseRow);
    for (int n = 1; n <= kButtons; ++n) {
        auto* button = new IconButton(n, this);
        place(*button, layout::phraseButtonRect(n).translated(-layout::kPhraseRow.topLeft()));
        m_buttons[n - 1] = button;
        if (n < kButtons)
            connect(button, &QAbstractButton::clicked, this, [this, n] { emit phraseClicked(n); });
    }
    setPhrases(chat::builtInPhrases());

    QAbstractButton* sounds = m_buttons[kButtons - 1];
    sounds->setToolTip(QStringLiteral("Chatter Sounds"));
    sounds->setAccessibleName(QStringLiteral("Chatter Sounds"));
    m_sounds = new QMenu(this);
    m_sounds->setObjectName(QStringLiteral("popup_sounds"));
    for (const chat::ChatterSound& entry : chat::kChatterSounds) {
        QAction* item = m_sounds->addAction(fromEightBit(entry.caption));
        item->setObjectName(entry.tag == 0 ? QStringLiteral("Cancel1")
                                           : QStringLiteral("wave%1").arg(entry.tag));
        item->setData(entry.tag);
        const int tag = entry.tag;
        connect(item, &QAction::triggered, this, [this, tag] { emit soundChosen(tag); });
    }
    connect(sounds, &QAbstractButton::clicked, this,
            [this, sounds] { m_sounds->popup(sounds->mapToGlobal(sounds->rect().bottomRight())); });
}

void PhraseButtons::setPhrases(const chat::Phrases& phrases)
{
    for (int n = 1; n <= chat::kPhraseCount; ++n) {
        const QString phrase = fromEightBit(phrases[std::size_t(n - 1)]);
        m_buttons[n - 1]->setToolTip(phrase);
        m_buttons[n - 1]->setAccessibleName(QStringLiteral("Phrase %1: %2").arg(n).arg(phrase));
    }
}

QAbstractButton* PhraseButtons::button(int number) const
{
    return number >= 1 && number <= kButtons ? m_buttons[number - 1] : nullptr;
}

} // namespace lexiflip::client
