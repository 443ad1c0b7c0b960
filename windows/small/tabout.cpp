#include "windows/small/tabout.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/session/eight_bit_text.h"
#include "client/media/palette.h"
#include "client/media/tile_painter.h"
#include "client/widgets/screen_layout.h"
#include "wire/messages.h"

#ifndef LEXIFLIP_WEB_LINK
#define LEXIFLIP_WEB_LINK "file:///usr/share/doc/lexiflip/README.md"
#endif

namespace lexiflip::windows {

namespace palette = client::palette;

namespace {

// A label that reports a click, for the picture and the web link.
class ClickLabel : public QLabel {
public:
    ClickLabel(const QString& text, QWidget* parent, std::function<void()> clicked)
        : QLabel(text, parent), m_clicked(std::move(clicked))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_clicked();
    }

private:
    std::function<void()> m_clicked;
};

// The picture: a corner of the board with two tiles turned up, and the word
// built from it beneath, in the game's own tiles.
class AboutPicture : public ClickLabel {
public:
    static constexpr int kTile = client::layout::kTile; // the game's own tile size
    static constexpr int kGap = 4;

    AboutPicture(QWidget* parent, std::function<void()> clicked)
        : ClickLabel(QString(), parent, std::move(clicked))
    {
        setObjectName(QStringLiteral("image_about"));
        setAccessibleName(QStringLiteral("Lexiflip tiles: the word FLIP"));
        setToolTip(QStringLiteral("Click to close"));
        setFixedSize(4 * kTile + 3 * kGap, 2 * kTile + kGap + 8);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        // The board row: F and P turned up among face-down tiles.
        const int board[4] = {6, 0, 0, 16};
        const int word[4] = {6, 12, 9, 16}; // F L I P
        for (int i = 0; i < 4; ++i) {
            painter.save();
            painter.translate(i * (kTile + kGap), 0);
            if (board[i] == 0)
                client::tiles::paintTileBack(painter, kTile);
            else
                client::tiles::paintLetterTile(painter, kTile, board[i], client::tiles::Face::Used, true);
            painter.restore();
            painter.save();
            painter.translate(i * (kTile + kGap), kTile + kGap + 8);
            client::tiles::paintLetterTile(painter, kTile, word[i], client::tiles::Face::Up, true);
            painter.restore();
        }
    }
};

} // namespace

QUrl makerWebLink()
{
    return QUrl(QStringLiteral(LEXIFLIP_WEB_LINK));
}

bool openInSystem(const QUrl& link)
{
    return QDesktopServices::openUrl(link);
}

Tabout::Tabout(QWidget* parent, LinkOpener opener)
    : SmallWindow(QStringLiteral("Lexiflip - About"), QStringLiteral("About Lexiflip"), parent),
      m_opener(std::move(opener))
{
    auto* word = new QLabel(QStringLiteral("Version"), this);
    word->setObjectName(QStringLiteral("label_version"));
    word->setFont(palette::gameFont(14));
    auto* version = new QLabel(client::fromEightBit(wire::msg::kVersion), this);
    version->setObjectName(QStringLiteral("version"));
    version->setFont(palette::gameFont(22));
    auto* point = new QLabel(QStringLiteral(".3"), this);
    point->setObjectName(QStringLiteral("label_point"));
    point->setFont(palette::gameFont(11, false));
    point->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* versionRow = new QHBoxLayout;
    versionRow->setSpacing(6);
    versionRow->addWidget(word, 0, Qt::AlignBottom);
    versionRow->addWidget(version, 0, Qt::AlignBottom);
    versionRow->addWidget(point, 0, Qt::AlignTop);
    versionRow->addStretch(1);

    auto* blurb = new QLabel(QStringLiteral("A word game of flipped tiles and good memory,\n"
                                            "for one player against Klot or up to six over the network."),
                             this);
    blurb->setObjectName(QStringLiteral("label_blurb"));
    blurb->setFont(palette::gameFont(12, false));

    auto* maker = new QLabel(QStringLiteral("Made by Halvo"), this);
    maker->setObjectName(QStringLiteral("label_maker"));
    maker->setFont(palette::gameFont(13));

    const QUrl link = makerWebLink();
    auto* web = new ClickLabel(link.toDisplayString(), this, [this] { openWebLink(); });
    web->setObjectName(QStringLiteral("label_weblink"));
    web->setFont(palette::gameFont(12, false));
    web->setStyleSheet(QStringLiteral("color: %1; text-decoration: underline;")
                           .arg(palette::styleColour(palette::kLinkText)));
    web->setToolTip(QStringLiteral("Open in your browser"));
    web->setAccessibleName(QStringLiteral("Web link: %1").arg(link.toDisplayString()));

    auto* picture = new AboutPicture(this, [this] { hide(); });

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addLayout(versionRow);
    texts->addWidget(blurb);
    texts->addSpacing(6);
    texts->addWidget(maker);
    texts->addWidget(web);
    texts->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    body()->addLayout(top);

    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(done);
    body()->addLayout(buttons);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);

    setFixedSize(sizeHint().expandedTo(QSize(520, 0)));
}

void Tabout::openWebLink()
{
    if (m_opener)
        m_opener(makerWebLink());
}

} // namespace lexiflip::windows
