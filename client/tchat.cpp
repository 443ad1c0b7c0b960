#include "client/tchat.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>

#include "client/board_view.h"
#include "client/chat_view.h"
#include "client/main_menu.h"
#include "client/phrase_buttons.h"
#include "client/picture_button.h"
#include "client/picture_widgets.h"
#include "client/pictures/palette.h"
#include "client/pictures/pictures.h"
#include "client/screen_layout.h"
#include "client/seat_rows.h"
#include "client/sound_player.h"
#include "client/tile_picture.h"
#include "client/turn_timer_view.h"
#include "core/letters.h"

namespace lexiflip::client {

namespace {

// A widget drawn as one picture under its children: the background panel, the
// winner banner.
class PicturePanel : public QWidget {
public:
    PicturePanel(const QString& name, Picture picture, QRect where, QWidget* parent)
        : QWidget(parent), m_picture(picture)
    {
        setObjectName(name);
        setGeometry(where);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture(m_picture, devicePixelRatioF()));
    }

private:
    Picture m_picture;
};

QLabel* textLabel(QWidget* parent, const QString& name, QRect where, Qt::Alignment alignment,
                  const QString& text, QRgb colour = palette::kHeaderText, int pixelSize = 12)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setFont(palette::gameFont(pixelSize));
    label->setStyleSheet(QStringLiteral("color: %1;").arg(QColor(colour).name()));
    return label;
}

QString letterOf(int picture)
{
    return picture >= 1 && picture <= 26 ? QString(QChar('A' + picture - 1)) : QString();
}

} // namespace

Tchat::Tchat(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Lexiflip"));
    m_menu = std::make_unique<MainMenu>(*menuBar());
    m_sounds = new SoundPlayer(this);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setMinimumSize(layout::kClientWidth, layout::kClientHeight);
    // Space beyond the panel, when the window grows, stays a quiet plain colour.
    client->setAutoFillBackground(true);
    QPalette quiet = client->palette();
    quiet.setColor(QPalette::Window, QColor(palette::kTableBottom));
    client->setPalette(quiet);
    setCentralWidget(client);
    m_panel = new PicturePanel(QStringLiteral("Image1"), Picture::Background, layout::kBackground, client);
    buildGameArea();
    buildChat();
    wireMenu();
    resize(layout::kClientWidth, layout::kClientHeight + menuBar()->sizeHint().height());
}

Tchat::~Tchat() = default;

void Tchat::buildGameArea()
{
    QWidget* p = m_panel;
    m_timePerTurn = textLabel(p, QStringLiteral("label_timeperturn"), layout::kTimePerTurn, Qt::AlignLeft, {},
                              palette::kHeaderText, 10);
    m_gameMode = textLabel(p, QStringLiteral("label_gm"), layout::kGameMode, Qt::AlignHCenter, {},
                           palette::kHeaderText, 10);
    m_playToScore = textLabel(p, QStringLiteral("label_playtoscore"), layout::kPlayToScore, Qt::AlignRight,
                              {}, palette::kHeaderText, 10);
    for (int i = 1; i <= kWordPositions; ++i) {
        auto* word = new TilePicture(QStringLiteral("word_%1").arg(i), TilePicture::Set::Letters, p);
        word->move(layout::wordRect(i).topLeft());
        connect(word, &TilePicture::clicked, this, [this, i](Qt::MouseButton) { emit wordClicked(i); });
        m_word[i - 1] = word;
        m_double[i - 1] = new PictureView(QStringLiteral("image_bonus%1").arg(i), Picture::BoardMarker,
                                          layout::bonusRect(i), p);
        m_double[i - 1]->setAccessibleName(QStringLiteral("Board letter, double"));
        m_double[i - 1]->setAttribute(Qt::WA_TransparentForMouseEvents);
        setWordTile(i, 0, false);
    }
    m_status = textLabel(p, QStringLiteral("label_status"), layout::kStatus, Qt::AlignHCenter, {});
    m_timer = new TurnTimerView(*p);

    struct ButtonSpec {
        const char* name;
        Picture picture;
        const char* caption;
        QRect where;
    };
    const ButtonSpec buttons[4] = {{"button_clear", Picture::ButtonClear, "CLEAR", layout::kButtonClear},
                                   {"button_buy", Picture::ButtonBuy, "BUY", layout::kButtonBuy},
                                   {"button_pass", Picture::ButtonPass, "PASS", layout::kButtonPass},
                                   {"button_done", Picture::ButtonDone, "DONE", layout::kButtonDone}};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new PictureButton(buttons[i].picture, QString::fromLatin1(buttons[i].name),
                                         QString::fromLatin1(buttons[i].caption), p);
        m_buttons[i]->move(buttons[i].where.topLeft());
        m_buttons[i]->hide();
    }
    connect(m_buttons[0], &QAbstractButton::clicked, this, &Tchat::clearClicked);
    connect(m_buttons[1], &QAbstractButton::clicked, this, &Tchat::buyClicked);
    connect(m_buttons[2], &QAbstractButton::clicked, this, &Tchat::passClicked);
    connect(m_buttons[3], &QAbstractButton::clicked, this, &Tchat::doneClicked);

    m_theirStrip = new QWidget(p);
    m_theirStrip->setObjectName(QStringLiteral("panel_theirletters"));
    m_theirStrip->setGeometry(layout::kTheirStrip);
    m_theirStrip->setAttribute(Qt::WA_StyledBackground);
    m_theirStrip->setStyleSheet(QStringLiteral("#panel_theirletters { background: %1; border-radius: 4px; }")
                                    .arg(QColor(palette::kTableWell).name()));
    m_theirCaption = textLabel(m_theirStrip, QStringLiteral("label_theirtiles"), layout::kTheirLabel,
                               Qt::AlignRight, QStringLiteral("THEIR Tiles"));
    for (int i = 1; i <= kBarPositions; ++i) {
        m_theirTiles[i - 1] = new TilePicture(QStringLiteral("image_theirtile%1").arg(i),
                                              TilePicture::Set::Little, m_theirStrip);
        m_theirTiles[i - 1]->move(layout::theirTileRect(i).topLeft());
    }
    m_theirStrip->hide();

    m_winnerBanner =
        new PicturePanel(QStringLiteral("panel_winner"), Picture::WinnerBanner, layout::kWinnerBanner, p);
    auto* shadow = textLabel(m_winnerBanner, QStringLiteral("label_winner2"), layout::kWinnerShadow,
                             Qt::AlignHCenter, QStringLiteral("Winner!"), palette::kWinnerShadow);
    m_winnerText = textLabel(m_winnerBanner, QStringLiteral("label_winner1"), layout::kWinnerText,
                             Qt::AlignHCenter, QStringLiteral("Winner!"), palette::kWinnerText);
    for (QLabel* label : {shadow, m_winnerText})
        label->setFont(palette::gameFont(15));
    m_winnerBanner->hide();

    auto* boardPanel = new QWidget(p);
    boardPanel->setObjectName(QStringLiteral("panel_theboard"));
    boardPanel->setGeometry(layout::kBoardPanel);
    m_board = new BoardView(boardPanel);
    m_board->move(layout::kBoardSurface.topLeft());
    connect(m_board, &BoardView::cellClicked, this, &Tchat::boardClicked);

    for (int i = 1; i <= kBarPositions; ++i) {
        auto* tile = new TilePicture(QStringLiteral("letters_%1").arg(i), TilePicture::Set::Letters, p);
        tile->setProperty("position", QString::number(i));
        connect(tile, &TilePicture::clicked, this,
                [this, i](Qt::MouseButton button) { emit barClicked(i, button); });
        m_bar[i - 1] = tile;
        setBarTile(i, 0, {layout::kBarLefts[i - 1], layout::kBarTop});
    }
    m_shuffle = new PictureButton(Picture::ButtonShuffle, QStringLiteral("button_shuffle"),
                                  QStringLiteral("Shuffle My Letters"), p);
    m_shuffle->move(layout::kShuffle.topLeft());
    m_shuffle->setToolTip(QStringLiteral("Shuffle My Letters"));
    connect(m_shuffle, &QAbstractButton::clicked, this, &Tchat::shuffleClicked);

    m_logo = new PictureView(QStringLiteral("Image6"), Picture::Logo, layout::kLogo, p);
    m_logo->setAccessibleName(QStringLiteral("Lexiflip"));
    m_start = new PictureButton(Picture::ButtonStartGame, QStringLiteral("button_start"),
                                QStringLiteral("START GAME"), p);
    m_start->move(layout::kStart.topLeft());
    m_start->hide();
    connect(m_start, &QAbstractButton::clicked, this, &Tchat::startClicked);

    m_seats = new SeatRows(*p);
    connect(m_seats, &SeatRows::seatMenuRequested, this, &Tchat::seatMenuRequested);
}

void Tchat::buildChat()
{
    m_chatView = new ChatView(m_panel);
    m_chatView->setGeometry(layout::kChatView);
    m_chatView->setAccessibleName(QStringLiteral("Chat"));
    m_chatEntry = new QLineEdit(QStringLiteral("<Enter Chat Here>"), m_panel);
    m_chatEntry->setObjectName(QStringLiteral("mychat"));
    m_chatEntry->setGeometry(layout::kChatEntry);
    m_chatEntry->setAccessibleName(QStringLiteral("Chat entry"));
    m_phraseButtons = new PhraseButtons(m_panel);
    connect(m_chatView, &ChatView::mainChatCleared, m_chatEntry, [this] { m_chatEntry->setFocus(); });
    connect(m_chatView, &ChatView::mouseReleased, m_chatEntry, [this] { m_chatEntry->setFocus(); });
}

// The commands that act on this window alone. The options go through the
// preferences, which the game window keeps.
void Tchat::wireMenu()
{
    const MainMenu& m = *m_menu;
    using C = MenuCommand;
    connect(m.action(C::Exit), &QAction::triggered, this, &QWidget::close);
    connect(m.action(C::StartGame), &QAction::triggered, this, &Tchat::startClicked);
    m_chatView->attachScrollChatOffEntry(m.action(C::ScrollChatOff));
    connect(m.action(C::ClearMainChat), &QAction::triggered, m_chatView, &ChatView::clearMainChat);
    connect(m.action(C::ResetScreenLocation), &QAction::triggered, this, [this] {
        move(3, 3);
        resize(720, 535);
    });
    // The click only asks the host; its answer moves the check mark.
    QAction* justWatch = m.action(C::JustWatch);
    connect(justWatch, &QAction::triggered, this, [this, justWatch](bool nowChecked) {
        justWatch->setChecked(!nowChecked);
        emit justWatchClicked();
    });
}

void Tchat::setHeader(const QString& timePerTurn, const QString& gameMode, const QString& playToScore)
{
    m_timePerTurn->setText(timePerTurn);
    m_gameMode->setText(gameMode);
    m_playToScore->setText(playToScore);
}

void Tchat::setStatus(const QString& text)
{
    m_status->setText(text);
    m_status->setAccessibleName(text);
}

QString Tchat::status() const
{
    return m_status->text();
}

void Tchat::setWordTile(int position, int picture, bool doubled)
{
    if (position < 1 || position > kWordPositions)
        return;
    TilePicture* word = m_word[position - 1];
    word->setPicture(picture);
    const QString letter = letterOf(picture);
    word->setAccessibleName(letter.isEmpty()
                                ? QStringLiteral("Word position %1, empty").arg(position)
                                : QStringLiteral("Word position %1, letter %2").arg(position).arg(letter));
    m_double[position - 1]->setVisible(doubled);
    if (doubled)
        m_double[position - 1]->raise();
}

// "Bar tile 3, letter E, 1 point".
void Tchat::setBarTile(int position, int picture, QPoint topLeft)
{
    if (position < 1 || position > kBarPositions)
        return;
    TilePicture* tile = m_bar[position - 1];
    tile->setPicture(picture);
    tile->move(topLeft);
    const QString letter = letterOf(picture);
    if (letter.isEmpty()) {
        tile->setAccessibleName(QStringLiteral("Bar tile %1, empty").arg(position));
        return;
    }
    const int points = core::letterworth(picture);
    tile->setAccessibleName(QStringLiteral("Bar tile %1, letter %2, %3 %4")
                                .arg(position)
                                .arg(letter)
                                .arg(points)
                                .arg(points == 1 ? QStringLiteral("point") : QStringLiteral("points")));
}

void Tchat::setButtonsShown(bool shown)
{
    for (PictureButton* button : m_buttons)
        button->setVisible(shown);
}

void Tchat::setStartShown(bool shown)
{
    // The start button lies over the logo; the logo's rim around it would
    // look like a stray frame.
    m_start->setVisible(shown);
    m_logo->setVisible(!shown);
}

void Tchat::setTheirTiles(const QString& caption, const std::array<int, kBarPositions>& pictures, bool shown)
{
    m_theirCaption->setText(caption);
    for (int i = 0; i < kBarPositions; ++i)
        m_theirTiles[i]->setPicture(pictures[i]);
    m_theirStrip->setVisible(shown);
    if (shown)
        m_theirStrip->raise();
}

void Tchat::setWinner(const QString& text, bool shown)
{
    for (QLabel* label : m_winnerBanner->findChildren<QLabel*>())
        label->setText(text);
    m_winnerBanner->setAccessibleName(text);
    m_winnerBanner->setVisible(shown);
    if (shown)
        m_winnerBanner->raise();
}

void Tchat::showHostBox(const QString& text)
{
    if (m_hostBox) {
        m_hostBox->setText(text);
        return;
    }
    m_hostBox = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Lexiflip"), text, QMessageBox::Ok, this);
    m_hostBox->setObjectName(QStringLiteral("hostBox"));
    m_hostBox->setTextFormat(Qt::PlainText); // the host's words, never markup
    m_hostBox->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_hostBox, &QMessageBox::finished, this, &Tchat::hostBoxClosed);
    m_hostBox->open();
}

} // namespace lexiflip::client
