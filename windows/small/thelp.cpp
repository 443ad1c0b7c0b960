#include "windows/small/thelp.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace lexiflip::windows {

Thelp::Thelp(QWidget* parent)
    : SmallWindow(QStringLiteral("Lexiflip - Help File"), QString(), parent), m_caption(heading()),
      m_pages(new QStackedWidget(this)), m_buttons(new QButtonGroup(this))
{
    m_caption->setObjectName(QStringLiteral("label_caption"));

    auto* pageButtons = new QVBoxLayout;
    pageButtons->setSpacing(6);
    for (int tag = 1; tag <= kHelpPageCount; ++tag) {
        const HelpPage& page = helpPages()[size_t(tag - 1)];
        auto* button = new QPushButton(page.caption, this);
        button->setObjectName(QStringLiteral("SelButton%1").arg(tag));
        button->setCheckable(true);
        button->setMinimumWidth(130);
        m_buttons->addButton(button, tag);
        pageButtons->addWidget(button);

        auto* memo = new QTextBrowser(this);
        memo->setObjectName(QStringLiteral("memo%1").arg(tag));
        memo->setAccessibleName(page.caption);
        memo->setOpenLinks(false);
        memo->document()->setDocumentMargin(10);
        memo->setHtml(page.html);
        m_pages->addWidget(memo);
    }
    m_buttons->setExclusive(true);
    connect(m_buttons, &QButtonGroup::idClicked, this, &Thelp::SelButton1Click);
    pageButtons->addStretch(1);

    auto* about = new QPushButton(QStringLiteral("About"), this);
    about->setObjectName(QStringLiteral("button_about"));
    pageButtons->addWidget(about);
    connect(about, &QPushButton::clicked, this, &Thelp::aboutRequested);
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    pageButtons->addWidget(done);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(12);
    columns->addLayout(pageButtons);
    columns->addWidget(m_pages, 1);
    body()->addLayout(columns, 1);

    // Tab goes from the page buttons (one stop, walked with the arrows) to
    // About and Done, then to the page shown.
    setTabOrder(m_buttons->button(kHelpPageCount), about);
    setTabOrder(about, done);
    QWidget* previous = done;
    for (int index = 0; index < m_pages->count(); ++index) {
        setTabOrder(previous, m_pages->widget(index));
        previous = m_pages->widget(index);
    }

    SelButton1Click(1);
    resize(720, 520);
}

void Thelp::SelButton1Click(int tag)
{
    if (tag < 1 || tag > kHelpPageCount)
        return;
    m_pages->setCurrentIndex(tag - 1);
    m_caption->setText(helpPages()[size_t(tag - 1)].caption);
    m_buttons->button(tag)->setChecked(true);
}

int Thelp::currentPage() const
{
    return m_pages->currentIndex() + 1;
}

} // namespace lexiflip::windows
