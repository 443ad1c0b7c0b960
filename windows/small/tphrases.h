#pragma once

// The phrase editor: nine entries, one per phrase button of the main window.
// Each opening fills them from the buttons, so an edit abandoned by closing the
// window never shows again; "Done" hands the nine texts to the main window,
// which applies them to the buttons and keeps them in the settings file.

#include <QStringList>

#include "windows/small/small_window.h"

class QLineEdit;
class QPushButton;

namespace lexiflip::windows {

class Tphrases : public SmallWindow {
    Q_OBJECT

public:
    static constexpr int kPhraseCount = 9;
    static constexpr int kMaxPhraseLength = 50;

    explicit Tphrases(QWidget* parent = nullptr);

    // "Phrase List": fills phrase1 .. phrase9 from the buttons' phrases (in
    // button order; missing ones are empty, longer ones cut to 50 characters)
    // and shows the window.
    void PrhaseList1Click(const QStringList& buttonPhrases);

    // The nine entries as they read now.
    QStringList phrases() const;

signals:
    // "Done": the nine texts, phrase 1 first, empty ones included.
    void phrasesApplied(const QStringList& phrases);

private:
    void button_doneClick();

    QLineEdit* m_entries[kPhraseCount] = {};
    QPushButton* m_done;
};

} // namespace lexiflip::windows
