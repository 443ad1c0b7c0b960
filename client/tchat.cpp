#include "client/tchat.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include "client/game_art.h"
#include "client/main_menu.h"
#include "client/picture_button.h"
#include "client/screen_layout.h"
#include "client/seat_rows.h"
#include "client/tile_picture.h"
#include "client/timer_view.h"
#include "engine/letters.h"

namespace lexiflip::client {

namespace {

// The background panel: one picture under the whole game area. Whatever the
// window grows beyond it stays the window's quiet plain background.
class BackgroundPanel : public QWidget {
  public:
    explicit BackgroundPanel(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Image1"));
        setGeometry(layout::kBackground);
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, backgroundPicture(size(), devicePixelRatioF()));
    }
};

QLabel* textLabel(QWidget* parent, const QString& name, QRect where, Qt::Alignment alignment,
                  const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(true);
    font.setPixelSize(12);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: white;"));
    return label;
}

QString letterName(int picture)
{
    return picture >= 1 && picture <= 26 ? QString(QChar('A' + picture - 1)) : QString();
}

} // namespace

Tchat::Tchat(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Lexiflip"));
    m_menu = std::make_unique<MainMenu>(*menuBar());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setMinimumSize(layout::kClientWidth, layout::kClientHeight);
    setCentralWidget(client);
    m_panel = new BackgroundPanel(client);
    buildGameArea();
    buildChat();
    wireMenu();
    resize(layout::kClientWidth, layout::kClientHeight + menuBar()->sizeHint().height());
}

Tchat::~Tchat() = default;

void Tchat::buildGameArea()
{
    QWidget* p = m_panel;
    m_timePerTurn = textLabel(p, QStringLiteral("label_timeperturn"), layout::kTimePerTurn, Qt::AlignLeft,
                              QStringLiteral("Time Per Turn: 60 secs"));
    m_gameMode = textLabel(p, QStringLiteral("label_gm"), layout::kGameMode, Qt::AlignHCenter,
                           QStringLiteral("Game Mode: Sneak Peak"));
    m_playToScore = textLabel(p, QStringLiteral("label_playtoscore"), layout::kPlayToScore, Qt::AlignRight,
                              QStringLiteral("Play to Score: 200"));
    for (int i = 1; i <= kWordPositions; ++i) {
        auto* word = new TilePicture(QStringLiteral("word_%1").arg(i), TilePicture::Set::Letters, p);
        word->move(layout::wordRect(i).topLeft());
        word->setAccessibleName(QStringLiteral("Word position %1, empty").arg(i));
        connect(word, &TilePicture::clicked, this, [this, i](Qt::MouseButton) { emit wordClicked(i); });
        m_word[i - 1] = word;
        auto* marker = new QLabel(p);
        marker->setObjectName(QStringLiteral("image_bonus%1").arg(i));
        marker->setGeometry(layout::bonusRect(i));
        marker->setPixmap(doublePicture(devicePixelRatioF()));
        marker->setAccessibleName(QStringLiteral("Double"));
        marker->hide();
        m_double[i - 1] = marker;
    }
    m_status = textLabel(p, QStringLiteral("label_status"), layout::kStatus, Qt::AlignHCenter,
                         QStringLiteral("Welcome to Lexiflip"));
    m_timer = new TimerView(*p);

    const std::pair<const char*, QRect> buttons[4] = {{"CLEAR", layout::kButtonClear},
                                                      {"BUY", layout::kButtonBuy},
                                                      {"PASS", layout::kButtonPass},
                                                      {"DONE", layout::kButtonDone}};
    for (int i = 0; i < 4; ++i) {
        const QString caption = QString::fromLatin1(buttons[i].first);
        m_buttons[i] =
            new PictureButton(QStringLiteral("button_") + caption.toLower(), caption, buttons[i].second, p);
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
    m_theirStrip->setStyleSheet(QStringLiteral("#panel_theirletters { background: rgba(0, 0, 0, 70); }"));
    m_theirCaption = textLabel(m_theirStrip, QStringLiteral("label_theirtiles"), layout::kTheirLabel,
                               Qt::AlignRight, QStringLiteral("THEIR Tiles"));
    for (int i = 1; i <= kBarPositions; ++i) {
        m_theirTiles[i - 1] = new TilePicture(QStringLiteral("image_theirtile%1").arg(i),
                                              TilePicture::Set::Little, m_theirStrip);
        m_theirTiles[i - 1]->move(layout::theirTileRect(i).topLeft());
    }
    m_theirStrip->hide();

    m_winnerBanner = new QWidget(p);
    m_winnerBanner->setObjectName(QStringLiteral("panel_winner"));
    m_winnerBanner->setGeometry(layout::kWinnerBanner);
    m_winnerBanner->setAttribute(Qt::WA_StyledBackground);
    m_winnerBanner->setStyleSheet(
        QStringLiteral("#panel_winner { background: rgb(150, 30, 30); border-radius: 4px; }"));
    m_winnerShadow = textLabel(m_winnerBanner, QStringLiteral("label_winner2"), layout::kWinnerShadow,
                               Qt::AlignHCenter, QStringLiteral("Winner!"));
    m_winnerShadow->setStyleSheet(QStringLiteral("color: rgb(90, 90, 90);"));
    m_winnerText = textLabel(m_winnerBanner, QStringLiteral("label_winner1"), layout::kWinnerText,
                             Qt::AlignHCenter, QStringLiteral("Winner!"));
    for (QLabel* label : {m_winnerShadow, m_winnerText}) {
        QFont font = label->font();
        font.setPixelSize(15);
        label->setFont(font);
    }
    m_winnerBanner->hide();

    auto* boardPanel = new QWidget(p);
    boardPanel->setObjectName(QStringLiteral("panel_theboard"));
    boardPanel->setGeometry(layout::kBoardPanel);
    boardPanel->setAttribute(Qt::WA_StyledBackground);
    boardPanel->setStyleSheet(
        QStringLiteral("#panel_theboard { background: rgb(8, 45, 30); border-radius: 4px; }"));
    m_board = new BoardView(boardPanel);
    m_board->move(layout::kBoardSurface.topLeft());
    connect(m_board, &BoardView::cellClicked, this, &Tchat::boardClicked);

    for (int i = 1; i <= kBarPositions; ++i) {
        auto* tile = new TilePicture(QStringLiteral("letters_%1").arg(i), TilePicture::Set::Letters, p);
        tile->move(layout::kBarLefts[i - 1], layout::kBarTop);
        tile->setProperty("position", QString::number(i));
        tile->setAccessibleName(QStringLiteral("Bar tile %1, empty").arg(i));
        connect(tile, &TilePicture::clicked, this,
                [this, i](Qt::MouseButton button) { emit barClicked(i, button); });
        m_bar[i - 1] = tile;
    }
    m_shuffle =
        new PictureButton(QStringLiteral("button_shuffle"), QStringLiteral("\u21c4"), layout::kShuffle, p);
    m_shuffle->setToolTip(QStringLiteral("Shuffle My Letters"));
    m_shuffle->setAccessibleName(QStringLiteral("Shuffle My Letters"));
    connect(m_shuffle, &QAbstractButton::clicked, this, &Tchat::shuffleClicked);

    auto* logo =
        textLabel(p, QStringLiteral("Image6"), layout::kLogo, Qt::AlignHCenter, QStringLiteral("LEXIFLIP"));
    QFont logoFont = logo->font();
    logoFont.setPixelSize(20);
    logo->setFont(logoFont);
    m_start =
        new PictureButton(QStringLiteral("button_start"), QStringLiteral("START GAME"), layout::kStart, p);
    m_start->hide();
    connect(m_start, &QAbstractButton::clicked, this, &Tchat::startClicked);

    m_seats = new SeatRows(*p);
    m_sneakerAnimation = new QTimer(this);
    m_sneakerAnimation->setInterval(300);
    connect(m_sneakerAnimation, &QTimer::timeout, m_seats, &SeatRows::animateSneaker);
}

void Tchat::buildChat()
{
    m_chatView = new QTextEdit(m_panel);
    m_chatView->setObjectName(QStringLiteral("mainchat"));
    m_chatView->setGeometry(layout::kChatView);
    m_chatView->setReadOnly(true);
    m_chatView->setAcceptRichText(false);
    m_chatView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_chatView->setStyleSheet(QStringLiteral("QTextEdit { background: white; color: black; }"));
    m_chatView->setAccessibleName(QStringLiteral("Chat"));
    setTextSize(8);
    m_chatEntry = new QLineEdit(QStringLiteral("<Enter Chat Here>"), m_panel);
    m_chatEntry->setObjectName(QStringLiteral("mychat"));
    m_chatEntry->setGeometry(layout::kChatEntry);
    m_chatEntry->setAccessibleName(QStringLiteral("Chat entry"));
}

void Tchat::wireMenu()
{
    MainMenu& m = *m_menu;
    connect(m.entry(QStringLiteral("Exit1")), &QAction::triggered, this, &QWidget::close);
    connect(m.entry(QStringLiteral("StartGame1")), &QAction::triggered, this, &Tchat::startClicked);
    for (const char* size : {"N8", "N10", "N12", "N14"}) {
        QAction* entry = m.entry(QString::fromLatin1(size));
        connect(entry, &QAction::triggered, this, [this, entry] { setTextSize(entry->data().toInt()); });
    }
    connect(m.entry(QStringLiteral("ClearMainChat1")), &QAction::triggered, this, [this] {
        m_chatView->clear();
        m_chatEntry->setFocus();
    });
    connect(m.entry(QStringLiteral("ResetScreenLocation1")), &QAction::triggered, this, [this] {
        move(3, 3);
        resize(720, 535);
    });
    for (const char* speed : {"Slow1", "Normal1", "Fast1"}) {
        QAction* entry = m.entry(QString::fromLatin1(speed));
        connect(entry, &QAction::triggered, this,
                [this, entry] { emit botSpeedChosen(entry->data().toInt()); });
    }
    // The click asks; the host's answer moves the check mark.
    QAction* justWatch = m.entry(QStringLiteral("JustWatch1"));
    connect(justWatch, &QAction::triggered, this, [this, justWatch](bool nowChecked) {
        justWatch->setChecked(!nowChecked);
        emit justWatchClicked(!nowChecked);
    });
}

void Tchat::setTextSize(int points)
{
    QFont font = m_chatView->font();
    font.setPointSize(points);
    m_chatView->setFont(font);
    m_chatView->document()->setDefaultFont(font);
}

void Tchat::setHeader(const QString& timePerTurn, const QString& gameMode, const QString& playToScore)
{
    setTimePerTurnText(timePerTurn);
    setGameModeText(gameMode);
    setPlayToScoreText(playToScore);
}

void Tchat::setTimePerTurnText(const QString& text)
{
    m_timePerTurn->setText(text);
}

void Tchat::setGameModeText(const QString& text)
{
    m_gameMode->setText(text);
}

void Tchat::setPlayToScoreText(const QString& text)
{
    m_playToScore->setText(text);
}

void Tchat::setStatus(const QString& text)
{
    m_status->setText(text);
}

QString Tchat::status() const
{
    return m_status->text();
}

void Tchat::setWordPicture(int position, int picture)
{
    if (position < 1 || position > kWordPositions)
        return;
    m_word[position - 1]->setPicture(picture);
    const QString letter = letterName(picture);
    m_word[position - 1]->setAccessibleName(
        letter.isEmpty() ? QStringLiteral("Word position %1, empty").arg(position)
                         : QStringLiteral("Word position %1, letter %2").arg(position).arg(letter));
}

void Tchat::setDoubleMarker(int position, bool shown)
{
    if (position >= 1 && position <= kWordPositions)
        m_double[position - 1]->setVisible(shown);
}

void Tchat::setBarPicture(int position, int picture)
{
    if (position < 1 || position > kBarPositions)
        return;
    m_bar[position - 1]->setPicture(picture);
    const QString letter = letterName(picture);
    if (letter.isEmpty()) {
        m_bar[position - 1]->setAccessibleName(QStringLiteral("Bar tile %1, empty").arg(position));
        return;
    }
    const int points = engine::letterworth(picture);
    m_bar[position - 1]->setAccessibleName(QStringLiteral("Bar tile %1, letter %2, %3 point%4")
                                               .arg(position)
                                               .arg(letter)
                                               .arg(points)
                                               .arg(points == 1 ? QString() : QStringLiteral("s")));
}

void Tchat::setBarLifted(int position, bool lifted)
{
    if (position >= 1 && position <= kBarPositions)
        m_bar[position - 1]->move(m_bar[position - 1]->x(), lifted ? layout::kBarLiftedTop : layout::kBarTop);
}

void Tchat::swapBarPictures(int first, int second)
{
    if (first < 1 || first > kBarPositions || second < 1 || second > kBarPositions || first == second)
        return;
    TilePicture* a = m_bar[first - 1];
    TilePicture* b = m_bar[second - 1];
    const int left = a->x();
    a->move(b->x(), a->y());
    b->move(left, b->y());
}

void Tchat::resetBarPictures()
{
    for (TilePicture* tile : m_bar)
        tile->move(tile->x(), layout::kBarTop);
}

int Tchat::barLeft(int position) const
{
    return position >= 1 && position <= kBarPositions ? m_bar[position - 1]->x() : 0;
}

void Tchat::setButtonsShown(bool shown)
{
    for (PictureButton* button : m_buttons)
        button->setVisible(shown);
}

void Tchat::setStartShown(bool shown)
{
    m_start->setVisible(shown);
}

void Tchat::setTheirTiles(const QString& caption)
{
    m_theirCaption->setText(caption);
}

void Tchat::setTheirTile(int position, int picture)
{
    if (position >= 1 && position <= kBarPositions)
        m_theirTiles[position - 1]->setPicture(picture);
}

void Tchat::setTheirTilesShown(bool shown)
{
    m_theirStrip->setVisible(shown);
    if (shown)
        m_theirStrip->raise();
}

void Tchat::setWinner(const QString& text)
{
    m_winnerText->setText(text);
    m_winnerShadow->setText(text);
    m_winnerBanner->setAccessibleName(text);
}

void Tchat::setWinnerShown(bool shown)
{
    m_winnerBanner->setVisible(shown);
    if (shown)
        m_winnerBanner->raise();
}

void Tchat::addlinetochat(const QString& line, const QColor& colour)
{
    QScrollBar* scroll = m_chatView->verticalScrollBar();
    const bool hold = m_menu->entry(QStringLiteral("ScrollChatOff2"))->isChecked();
    const int kept = scroll->value();
    QTextCursor cursor(m_chatView->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour);
    // The part up to and including the first ":" is bold; text from the
    // network is inserted as plain text, never as markup.
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        format.setFontWeight(QFont::Bold);
        cursor.insertText(line.left(colon + 1), format);
    }
    format.setFontWeight(QFont::Normal);
    cursor.insertText(line.mid(colon + 1) + QLatin1Char('\n'), format);
    if (hold)
        scroll->setValue(kept);
    else
        scroll->setValue(scroll->maximum());
}

QString Tchat::chatText() const
{
    return m_chatView->toPlainText();
}

void Tchat::showHostBox(const QString& text)
{
    if (m_hostBox) {
        m_hostBox->setText(text);
        return;
    }
    m_hostBox = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Lexiflip"), text, QMessageBox::Ok, this);
    m_hostBox->setAttribute(Qt::WA_DeleteOnClose);
    m_hostBox->open();
}

void Tchat::showPlayerBox(const QString& text)
{
    QMessageBox::information(this, QStringLiteral("Lexiflip"), text);
}

bool Tchat::soundsOn() const
{
    return m_menu->entry(QStringLiteral("PlaySounds1"))->isChecked();
}

void Tchat::playsounds(const QString& name)
{
    if (!soundsOn())
        return;
    emit soundPlayed(name);
}

} // namespace lexiflip::client
