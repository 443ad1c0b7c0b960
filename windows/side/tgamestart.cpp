#include "windows/side/tgamestart.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "client/session/eight_bit_text.h"
#include "client/media/picture_button.h"
#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "net/error_report.h"
#include "wire/game_mode.h"
#include "wire/messages.h"
#include "windows/side/tick_box.h"

namespace lexiflip::windows {

namespace {

// A read-only number with its up/down arrows (UpDown1, UpDown2).
QWidget* upDown(const QString& name, QWidget* parent, std::function<void(int)> step)
{
    auto* box = new QWidget(parent);
    box->setObjectName(name);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (const int direction : {+1, -1}) {
        auto* arrow = new QToolButton(box);
        arrow->setObjectName(name + (direction > 0 ? QStringLiteral("_up") : QStringLiteral("_down")));
        arrow->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAccessibleName(direction > 0 ? QStringLiteral("Up") : QStringLiteral("Down"));
        arrow->setFixedSize(17, 12);
        arrow->setAutoRepeat(true);
        // The keyboard steps the number itself, with Up and Down.
        arrow->setFocusPolicy(Qt::NoFocus);
        QObject::connect(arrow, &QToolButton::clicked, box, [step, direction] { step(direction); });
        column->addWidget(arrow);
    }
    return box;
}

QLineEdit* readOnlyNumber(const QString& name, const QString& accessible, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFixedWidth(48);
    edit->setAlignment(Qt::AlignRight);
    edit->setAccessibleName(accessible);
    return edit;
}

} // namespace

Tgamestart::Tgamestart(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("gamestart"));
    setWindowTitle(QStringLiteral("Lexiflip - Game Start"));

    auto* heading = new QLabel(QStringLiteral("Game Options"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    heading->setFont(bold);
    heading->setAlignment(Qt::AlignCenter);

    m_scoreEdit = readOnlyNumber(QStringLiteral("edit_playtoscore"), QStringLiteral("Play to Score"), this);
    m_timeEdit = readOnlyNumber(QStringLiteral("edit_creationtime"), QStringLiteral("Creation Time"), this);
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(QStringLiteral("Play to Score:"), this), 0, 0);
    numbers->addWidget(m_scoreEdit, 0, 1);
    numbers->addWidget(upDown(QStringLiteral("UpDown1"), this, [this](int d) { stepScore(d); }), 0, 2);
    numbers->addWidget(new QLabel(QStringLiteral("Creation Time:"), this), 1, 0);
    numbers->addWidget(m_timeEdit, 1, 1);
    numbers->addWidget(upDown(QStringLiteral("UpDown2"), this, [this](int d) { stepTime(d); }), 1, 2);
    numbers->setColumnStretch(3, 1);

    auto* boxes = new QGridLayout;
    int row = 0;
    auto addBox = [&](const QString& name, const QString& caption) {
        auto* box = new TickBox(name, caption, this);
        boxes->addWidget(box, row, 0);
        auto* text = new QLabel(caption, this);
        text->setBuddy(box);
        boxes->addWidget(text, row, 1);
        ++row;
        return box;
    };
    m_viewable = addBox(QStringLiteral("box_viewable"), QStringLiteral("Tiles Viewable"));
    m_fourPlayer = addBox(QStringLiteral("box_4player"), QStringLiteral("4 Player Max"));
    m_modeHeading = new QLabel(QStringLiteral("Game Mode"), this);
    m_modeHeading->setObjectName(QStringLiteral("label_gamemode"));
    m_modeHeading->setFont(bold);
    boxes->addWidget(m_modeHeading, row++, 0, 1, 2);
    for (int i = 0; i < static_cast<int>(wire::kGameModes.size()); ++i) {
        const std::string_view caption = wire::gameModeCaption(wire::kGameModes[static_cast<std::size_t>(i)]);
        m_modes[i] = addBox(QStringLiteral("game_%1").arg(i + 1),
                            QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
        // Each mode box carries its mode digit as its hint.
        m_modes[i]->setProperty("hint", QString::number(i + 1));
        connect(m_modes[i], &TickBox::clicked, this,
                [this, i] { selectGameMode(m_modes[i]->property("hint").toInt()); });
    }
    boxes->setColumnStretch(1, 1);
    connect(m_viewable, &TickBox::clicked, this, [this] { checkbox(*m_viewable, m_viewable->tag()); });
    connect(m_fourPlayer, &TickBox::clicked, this, [this] { checkbox(*m_fourPlayer, m_fourPlayer->tag()); });

    m_start = new client::PictureButton(client::Picture::ButtonStart, QStringLiteral("BUTTON_START"),
                                        QStringLiteral("Start"), this);
    connect(m_start, &QAbstractButton::clicked, this, [this] {
        // Nothing the socket raises may cross the event loop.
        try {
            button_startClick();
        } catch (const std::exception& error) {
            net::reportGeneralError(error.what());
        }
    });

    // The main window's background under light text.
    setStyleSheet(QStringLiteral("QLabel { color: white; }"));
    auto* page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addLayout(numbers);
    page->addLayout(boxes);
    page->addWidget(m_start, 0, Qt::AlignHCenter);

    // Until the settings are read: four players at most, no mode chosen.
    m_fourPlayer->setTag(1);
    showNumbers();
}

void Tgamestart::paintEvent(QPaintEvent*)
{
    // The main window's table colours, without its wells and slots.
    QPainter painter(this);
    QLinearGradient table(0, 0, 0, height());
    table.setColorAt(0, QColor(client::palette::kTableTop));
    table.setColorAt(1, QColor(client::palette::kTableBottom));
    painter.fillRect(rect(), table);
}

void Tgamestart::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_start->isEnabled()) {
        m_start->click();
        return;
    }
    if (key == Qt::Key_Escape) {
        hide();
        return;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int direction = key == Qt::Key_Up ? +1 : -1;
        if (focusWidget() == m_scoreEdit) {
            stepScore(direction);
            return;
        }
        if (focusWidget() == m_timeEdit) {
            stepTime(direction);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void Tgamestart::setPlayToScore(int score)
{
    m_playToScore = score;
    showNumbers();
}

void Tgamestart::setCreationTime(int seconds)
{
    // The host holds a game's time per turn to this range, so a stored time
    // outside it (an edited settings file) shows as the game will run it.
    m_creationTime = std::clamp(seconds, kTimeMin, kTimeMax);
    showNumbers();
}

void Tgamestart::stepScore(int direction)
{
    m_playToScore = std::clamp(m_playToScore + direction * kStep, kScoreMin, kScoreMax);
    showNumbers();
}

void Tgamestart::stepTime(int direction)
{
    m_creationTime = std::clamp(m_creationTime + direction * kStep, kTimeMin, kTimeMax);
    showNumbers();
}

void Tgamestart::showNumbers()
{
    m_scoreEdit->setText(QString::number(m_playToScore));
    m_timeEdit->setText(QString::number(m_creationTime));
}

void Tgamestart::checkbox(TickBox& box, int state)
{
    box.setTag(state == 0 ? 1 : 0);
}

void Tgamestart::cleargamemodes()
{
    for (TickBox* mode : m_modes)
        mode->setTag(0);
}

void Tgamestart::selectGameMode(int mode)
{
    cleargamemodes();
    if (wire::gameModeFromNumber(mode))
        m_modes[mode - 1]->setTag(1);
    m_gameMode = mode;
    m_modeHeading->setProperty("tag", mode);
}

void Tgamestart::button_startClick()
{
    const std::string score = client::eightBit(m_scoreEdit->text());
    const std::string time = client::eightBit(m_timeEdit->text());
    // The mode's digit, or "0" while no mode is chosen.
    const std::string mode = std::to_string(m_gameMode);
    const std::string maxFour = std::to_string(m_fourPlayer->tag());
    if (m_send)
        m_send(wire::msg::startgame(m_playerName, score, time, m_viewable->tag() != 0, mode, maxFour));
    hide();
    emit started();
}

} // namespace lexiflip::windows
