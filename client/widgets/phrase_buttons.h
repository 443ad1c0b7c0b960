#pragma once

// The row of chat buttons under the chat view: b_phrase1 .. b_phrase9 send
// their phrases, b_phrase10 opens the chatter sounds menu popup_sounds. Each
// button shows only its icon; its phrase is its tooltip.

#include <QWidget>

#include <array>

#include "client/game/chat_rules.h"

class QAbstractButton;
class QMenu;

namespace lexiflip::client {

class PhraseButtons : public QWidget {
    Q_OBJECT

public:
    static constexpr int kButtons = 10;

    explicit PhraseButtons(QWidget* parent = nullptr);

    // The tooltips of b_phrase1 .. b_phrase9.
    void setPhrases(const chat::Phrases& phrases);

    // b_phrase1 .. b_phrase10; null for any other number.
    QAbstractButton* button(int number) const;
    // popup_sounds, with Cancel1 and wave1 .. wave14 in menu order.
    QMenu* soundsMenu() const { return m_sounds; }

signals:
    void phraseClicked(int button); // 1..9
    void soundChosen(int tag);      // 0 for "<Cancel>"

private:
    std::array<QAbstractButton*, kButtons> m_buttons{};
    QMenu* m_sounds = nullptr;
};

} // namespace lexiflip::client
