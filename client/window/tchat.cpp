#include "client/window/tchat.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include "client/widgets/accessibles.h"
#include "client/widgets/board_view.h"
#include "client/widgets/chat_view.h"
#include "client/window/main_menu.h"
#include "client/widgets/phrase_buttons.h"
#include "client/media/picture_button.h"
#include "client/widgets/picture_view.h"
#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "client/widgets/screen_layout.h"
#include "client/widgets/seat_rows.h"
#include "client/media/sound_player.h"
#include "client/widgets/turn_timer_view.h"
#include "client/widgets/zoomed_place.h"
#include "client/window/zoom_control.h"
#include "client/shell/window_placement.h"

namespace lexiflip::client {

namespace {

QLabel* textLabel(QWidget* parent, const QString& name, QRect where, Qt::Alignment alignment,
                  const QString& text, const QFont& font, QRgb colour = palette::kHeaderText)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    place(*label, where);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    setZoomedFont(*label, font);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(QColor(colour).name()));
    return label;
}

// The winner's text is never drawn smaller than this, however long the name.
constexpr int kSmallestWinnerPixels = 9;

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
    m_panel = new PictureView(QStringLiteral("Image1"), Picture::Background, layout::kBackground, client);
    buildGameArea();
    buildChat();
    wireMenu();
    m_zoom = new ZoomControl(*this, *m_menu);
    resize(layout::kClientWidth, layout::kClientHeight + menuBar()->sizeHint().height());
}

Tchat::~Tchat()
{
    // The zoom control filters the central widget's resizes and asks this
    // window for its central widget; the children are deleted after this
    // object has stopped being a main window, so it goes first.
    delete m_zoom;
    m_zoom = nullptr;
}

// The game area's widgets are made in this order on purpose: later siblings
// paint above earlier ones and take focus after them.
void Tchat::buildGameArea()
{
    buildHeaderAndWordRow();
    buildButtons();
    buildTheirStrip();
    buildWinnerBanner();
    buildBoardAndBar();
    buildLogoStartAndSeats();
}

void Tchat::buildHeaderAndWordRow()
{
    QWidget* p = m_panel;
    m_timePerTurn = textLabel(p, QStringLiteral("label_timeperturn"), layout::kTimePerTurn, Qt::AlignLeft, {},
                              palette::headerFont());
    m_gameMode = textLabel(p, QStringLiteral("label_gm"), layout::kGameMode, Qt::AlignHCenter, {},
                           palette::headerFont());
    m_playToScore = textLabel(p, QStringLiteral("label_playtoscore"), layout::kPlayToScore, Qt::AlignRight,
                              {}, palette::headerFont());
    for (int i = 1; i <= kWordPositions; ++i) {
        auto* word =
            new PictureView(QStringLiteral("word_%1").arg(i), PictureView::letters(), layout::wordRect(i), p);
        word->setClickable(true);
        connect(word, &PictureView::clicked, this, [this, i](Qt::MouseButton) { emit wordClicked(i); });
        m_word[i - 1] = word;
        m_double[i - 1] = new PictureView(QStringLiteral("image_bonus%1").arg(i), Picture::BoardMarker,
                                          layout::bonusRect(i), p);
        m_double[i - 1]->setAccessibleName(QStringLiteral("Board letter, double"));
        m_double[i - 1]->setAttribute(Qt::WA_TransparentForMouseEvents);
        setWordTile(i, 0, false);
    }
    m_status = textLabel(p, QStringLiteral("label_status"), layout::kStatus, Qt::AlignHCenter, {},
                         palette::statusFont());
    m_timer = new TurnTimerView(*p);
}

void Tchat::buildButtons()
{
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
                                         QString::fromLatin1(buttons[i].caption), m_panel);
        place(*m_buttons[i], buttons[i].where);
        m_buttons[i]->hide();
    }
    connect(m_buttons[0], &QAbstractButton::clicked, this, &Tchat::clearClicked);
    connect(m_buttons[1], &QAbstractButton::clicked, this, &Tchat::buyClicked);
    connect(m_buttons[2], &QAbstractButton::clicked, this, &Tchat::passClicked);
    connect(m_buttons[3], &QAbstractButton::clicked, this, &Tchat::doneClicked);
}

void Tchat::buildTheirStrip()
{
    m_theirStrip = new QWidget(m_panel);
    m_theirStrip->setObjectName(QStringLiteral("panel_theirletters"));
    place(*m_theirStrip, layout::kTheirStrip);
    m_theirStrip->setAttribute(Qt::WA_StyledBackground);
    m_theirStrip->setStyleSheet(QStringLiteral("#panel_theirletters { background: %1; border-radius: 4px; }")
                                    .arg(QColor(palette::kTableWell).name()));
    m_theirCaption = textLabel(m_theirStrip, QStringLiteral("label_theirtiles"), layout::kTheirLabel,
                               Qt::AlignRight, QStringLiteral("THEIR Tiles"), palette::theirTilesFont());
    for (int i = 1; i <= kBarPositions; ++i) {
        m_theirTiles[i - 1] = new PictureView(QStringLiteral("image_theirtile%1").arg(i),
                                              PictureView::little(), layout::theirTileRect(i), m_theirStrip);
        m_theirTiles[i - 1]->setClickable(true);
    }
    m_theirStrip->hide();
}

void Tchat::buildWinnerBanner()
{
    m_winnerBanner = new PictureView(QStringLiteral("panel_winner"), Picture::WinnerBanner,
                                     layout::kWinnerBanner, m_panel);
    textLabel(m_winnerBanner, QStringLiteral("label_winner2"), layout::kWinnerShadow, Qt::AlignHCenter,
              QStringLiteral("Winner!"), palette::winnerFont(), palette::kWinnerShadow);
    m_winnerText =
        textLabel(m_winnerBanner, QStringLiteral("label_winner1"), layout::kWinnerText, Qt::AlignHCenter,
                  QStringLiteral("Winner!"), palette::winnerFont(), palette::kWinnerText);
    // Offered, never forced on the player: the summary opens when he asks.
    m_summaryButton = new QPushButton(QStringLiteral("Summary"), m_winnerBanner);
    m_summaryButton->setObjectName(QStringLiteral("button_summary"));
    m_summaryButton->setAccessibleName(QStringLiteral("Game Summary"));
    m_summaryButton->setToolTip(QStringLiteral("The game's summary: the score chart and the words you missed"));
    place(*m_summaryButton, layout::kWinnerSummary);
    setZoomedFont(*m_summaryButton, palette::gameFont(11));
    m_summaryButton->setStyleSheet(
        QStringLiteral("#button_summary { color: %1; border: 1px solid %2; border-radius: 4px;"
                       " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %3, stop:1 %4); }"
                       "#button_summary:focus { border: 2px solid %5; }")
            .arg(QColor(palette::kButtonInk).name(), QColor(palette::kButtonEdge).name(),
                 QColor(palette::kButtonTop).name(), QColor(palette::kButtonBottom).name(),
                 QColor(palette::kCursorRing).name()));
    connect(m_summaryButton, &QPushButton::clicked, this, &Tchat::summaryClicked);
    m_winnerBanner->hide();
}

void Tchat::buildBoardAndBar()
{
    QWidget* p = m_panel;
    auto* boardPanel = new QWidget(p);
    boardPanel->setObjectName(QStringLiteral("panel_theboard"));
    place(*boardPanel, layout::kBoardPanel);
    m_board = new BoardView(boardPanel);
    place(*m_board, layout::kBoardSurface);
    connect(m_board, &BoardView::cellClicked, this, &Tchat::boardClicked);
    connect(m_board, &BoardView::keyPressed, this, &Tchat::gameKeyPressed);

    for (int i = 1; i <= kBarPositions; ++i) {
        auto* tile =
            new PictureView(QStringLiteral("letters_%1").arg(i), PictureView::letters(),
                            {layout::kBarLefts[i - 1], layout::kBarTop, layout::kTile, layout::kTile}, p);
        tile->setClickable(true);
        tile->setRightClickAction(QStringLiteral("Choose for a swap"));
        tile->setProperty("position", QString::number(i));
        connect(tile, &PictureView::clicked, this,
                [this, i](Qt::MouseButton button) { emit barClicked(i, button); });
        m_bar[i - 1] = tile;
        setBarTile(i, 0, {layout::kBarLefts[i - 1], layout::kBarTop});
    }
    m_shuffle = new PictureButton(Picture::ButtonShuffle, QStringLiteral("button_shuffle"),
                                  QStringLiteral("Shuffle My Letters"), p);
    place(*m_shuffle, layout::kShuffle);
    m_shuffle->setToolTip(QStringLiteral("Shuffle My Letters"));
    connect(m_shuffle, &QAbstractButton::clicked, this, &Tchat::shuffleClicked);
}

void Tchat::buildLogoStartAndSeats()
{
    QWidget* p = m_panel;
    m_logo = new PictureView(QStringLiteral("Image6"), Picture::Logo, layout::kLogo, p);
    m_logo->setAccessibleName(QStringLiteral("Lexiflip"));
    m_start = new PictureButton(Picture::ButtonStartGame, QStringLiteral("button_start"),
                                QStringLiteral("START GAME"), p);
    place(*m_start, layout::kStart);
    m_start->hide();
    connect(m_start, &QAbstractButton::clicked, this, &Tchat::startClicked);

    m_seats = new SeatRows(*p);
    connect(m_seats, &SeatRows::seatMenuRequested, this, &Tchat::seatMenuRequested);
}

void Tchat::buildChat()
{
    m_chatView = new ChatView(m_panel);
    place(*m_chatView, layout::kChatView);
    m_chatView->setAccessibleName(QStringLiteral("Chat"));
    m_chatEntry = new QLineEdit(QStringLiteral("<Enter Chat Here>"), m_panel);
    m_chatEntry->setObjectName(QStringLiteral("mychat"));
    place(*m_chatEntry, layout::kChatEntry);
    setZoomedFont(*m_chatEntry, m_chatEntry->font());
    m_chatEntry->setAccessibleName(QStringLiteral("Chat entry"));
    m_phraseButtons = new PhraseButtons(m_panel);
    connect(m_chatView, &ChatView::mainChatCleared, m_chatEntry, [this] { m_chatEntry->setFocus(); });
    connect(m_chatView, &ChatView::mouseReleased, m_chatEntry, [this] { m_chatEntry->setFocus(); });
    // F6 moves the keyboard round the game area (the board and its keys),
    // the seat rows (their menu) and the chat entry, which keeps every key it
    // has while it has the focus.
    auto* swapFocus = new QShortcut(QKeySequence(Qt::Key_F6), this);
    swapFocus->setObjectName(QStringLiteral("gameAreaOrChat"));
    connect(swapFocus, &QShortcut::activated, this, &Tchat::focusNextArea);
}

void Tchat::focusNextArea()
{
    if (m_board->hasFocus() && m_seats->takeFocus())
        return;
    if (m_board->hasFocus() || m_seats->hasFocus())
        m_chatEntry->setFocus(Qt::ShortcutFocusReason);
    else
        m_board->setFocus(Qt::ShortcutFocusReason);
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
    connect(m.action(C::ResetScreenLocation), &QAction::triggered, this,
            [this] { placeWindow(*this, settings::kResetBounds); });
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
    PictureView* word = m_word[position - 1];
    word->setIndex(picture);
    const QString words = accessibles::tileWords(picture);
    word->setAccessibleName(words.isEmpty() ? QStringLiteral("Word position %1, empty").arg(position)
                                            : QStringLiteral("Word position %1, %2").arg(position).arg(words));
    m_double[position - 1]->setVisible(doubled);
    if (doubled)
        m_double[position - 1]->raise();
}

// "Bar tile 3, E, 1 point".
void Tchat::setBarTile(int position, int picture, QPoint topLeft)
{
    if (position < 1 || position > kBarPositions)
        return;
    PictureView* tile = m_bar[position - 1];
    tile->setIndex(picture);
    placeAt(*tile, topLeft);
    const QString words = accessibles::tileWords(picture);
    tile->setAccessibleName(words.isEmpty() ? QStringLiteral("Bar tile %1, empty").arg(position)
                                            : QStringLiteral("Bar tile %1, %2").arg(position).arg(words));
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
    for (int i = 0; i < kBarPositions; ++i) {
        m_theirTiles[i]->setIndex(pictures[i]);
        const QString letter = letterOf(pictures[i]);
        m_theirTiles[i]->setAccessibleName(letter.isEmpty()
                                               ? QStringLiteral("Their tile %1, empty").arg(i + 1)
                                               : QStringLiteral("Their tile %1, %2").arg(i + 1).arg(letter));
    }
    m_theirStrip->setVisible(shown);
    if (shown)
        m_theirStrip->raise();
}

void Tchat::setWinner(const QString& text, bool shown)
{
    // A long name is drawn smaller rather than cut off at both ends: the
    // banner's text shares the banner with the summary's button.
    QFont font = palette::winnerFont();
    for (int pixels = font.pixelSize(); pixels >= kSmallestWinnerPixels; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(text) <= layout::kWinnerText.width())
            break;
    }
    for (QLabel* label : m_winnerBanner->findChildren<QLabel*>()) {
        label->setText(text);
        setZoomedFont(*label, font);
    }
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
