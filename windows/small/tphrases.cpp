#include "windows/small/tphrases.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lexiflip::windows {

Tphrases::Tphrases(QWidget* parent)
    : SmallWindow(QStringLiteral("Lexiflip - Phrase Buttons "), QStringLiteral("Phrase Buttons"), parent),
      m_done(new QPushButton(QStringLiteral("Done"), this))
{
    auto* form = new QFormLayout;
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(6);
    for (int i = 0; i < kPhraseCount; ++i) {
        auto* entry = new QLineEdit(this);
        entry->setObjectName(QStringLiteral("phrase%1").arg(i + 1));
        entry->setMaxLength(kMaxPhraseLength);
        entry->setMinimumWidth(300);
        const QString caption = QStringLiteral("Phrase Button %1:").arg(i + 1);
        entry->setAccessibleName(caption);
        form->addRow(caption, entry);
        m_entries[i] = entry;
    }
    body()->addLayout(form);

    auto* note = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    note->setObjectName(QStringLiteral("label_note"));
    QFont italic = note->font();
    italic.setItalic(true);
    note->setFont(italic);
    body()->addWidget(note);

    m_done->setObjectName(QStringLiteral("button_done"));
    m_done->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_done);
    body()->addLayout(buttons);

    connect(m_done, &QPushButton::clicked, this, &Tphrases::button_doneClick);
    setFixedSize(sizeHint());
}

void Tphrases::PrhaseList1Click(const QStringList& buttonPhrases)
{
    for (int i = 0; i < kPhraseCount; ++i)
        m_entries[i]->setText(i < buttonPhrases.size() ? buttonPhrases.at(i).left(kMaxPhraseLength)
                                                       : QString());
    show();
    raise();
    activateWindow();
}

QStringList Tphrases::phrases() const
{
    QStringList texts;
    for (const QLineEdit* entry : m_entries)
        texts.append(entry->text());
    return texts;
}

void Tphrases::button_doneClick()
{
    const QStringList texts = phrases();
    hide();
    emit phrasesApplied(texts);
}

} // namespace lexiflip::windows
