#include "windows/replay/replay_window.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "client/session/eight_bit_text.h"
#include "client/widgets/board_view.h"
#include "client/widgets/picture_view.h"
#include "client/widgets/zoomed_place.h"
#include "windows/replay/recent_records.h"

namespace lexiflip::windows {

namespace palette = client::palette;
namespace layout = client::layout;

namespace {

// A text of the window drawn at its zoom: the font is the one it has at 100 %.
template <typename T> T* zoomed(T* widget)
{
    client::setZoomedFont(*widget, widget->font());
    return widget;
}

QLabel* textLabel(const QString& objectName, QWidget* parent)
{
    auto* label = zoomed(new QLabel(parent));
    label->setObjectName(objectName);
    // Names come from the record, which came from the wire: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

// The least width of the step's words at 100 %: a word's line fits on two lines.
constexpr int kEventWidth = 220;

QString pointsText(int points)
{
    return points == 1 ? QStringLiteral("1 point") : QStringLiteral("%1 points").arg(points);
}

} // namespace

ReplayWindow::ReplayWindow(ReplayModel model, const QString& fileName, QWidget* parent)
    : SmallWindow(QStringLiteral("Lexiflip - Game Replay"), QStringLiteral("Game Replay"), parent,
                  Qt::Window),
      m_model(std::move(model))
{
    setObjectName(QStringLiteral("ReplayWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (!fileName.isEmpty())
        setWindowTitle(QStringLiteral("Lexiflip - Game Replay - %1").arg(fileName));
    buildControls();
    buildKeys();
    showStep(0);
}

ReplayWindow::~ReplayWindow() = default;

void ReplayWindow::buildControls()
{
    QVBoxLayout* layout = body();
    m_summary = textLabel(QStringLiteral("label_summary"), this);
    m_summary->setText(client::shownText(m_model.summary()));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(14);
    m_boardHolder = new QWidget(this);
    m_boardHolder->setObjectName(QStringLiteral("board_holder"));
    buildBoard(*m_boardHolder);
    middle->addWidget(m_boardHolder, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    m_stepText = textLabel(QStringLiteral("label_step"), this);
    QFont bold = m_stepText->font();
    bold.setBold(true);
    m_stepText->setFont(bold);
    zoomed(m_stepText);
    column->addWidget(m_stepText);
    m_event = textLabel(QStringLiteral("label_event"), this);
    m_event->setWordWrap(true);
    column->addWidget(m_event);
    column->addSpacing(8);
    for (int seat = 1; seat <= wire::kSeatCount; ++seat) {
        QLabel* label = textLabel(QStringLiteral("label_seat%1").arg(seat), this);
        label->hide();
        m_seats[static_cast<std::size_t>(seat - 1)] = label;
        column->addWidget(label);
    }
    column->addStretch(1);
    middle->addLayout(column, 1);
    layout->addLayout(middle, 1);

    m_slider = zoomed(new QSlider(Qt::Horizontal, this));
    m_slider->setObjectName(QStringLiteral("slider_step"));
    m_slider->setAccessibleName(QStringLiteral("Step"));
    m_slider->setRange(0, m_model.stepCount() - 1);
    m_slider->setPageStep(5);
    layout->addWidget(m_slider);
    connect(m_slider, &QSlider::valueChanged, this, &ReplayWindow::showStep);

    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* name, const QString& caption, auto onClick) {
        auto* pushButton = zoomed(new QPushButton(caption, this));
        pushButton->setObjectName(QString::fromLatin1(name));
        connect(pushButton, &QPushButton::clicked, this, onClick);
        buttons->addWidget(pushButton);
        return pushButton;
    };
    m_first = button("button_first", QStringLiteral("First"), [this] { showStep(0); });
    m_previous = button("button_previous", QStringLiteral("Previous"), [this] { showStep(m_step - 1); });
    m_next = button("button_next", QStringLiteral("Next"), [this] { showStep(m_step + 1); });
    m_last = button("button_last", QStringLiteral("Last"), [this] { showStep(stepCount() - 1); });
    buttons->addStretch(1);
    button("button_close", QStringLiteral("Close"), [this] { close(); });
    layout->addLayout(buttons);
    m_next->setDefault(true);
    fitBoardHolder();
}

// The game's well with its empty slots, and on it the game's board widget,
// both where the game window's layout puts them relative to the board panel.
void ReplayWindow::buildBoard(QWidget& holder)
{
    auto* well = new client::PictureView(QStringLiteral("panel_theboard"), client::Picture::BoardWell,
                                         QRect(QPoint(0, 0), layout::kBoardPanel.size()), &holder);
    m_board = new client::BoardView(well);
    client::place(*m_board, layout::kBoardSurface);
    m_board->setPictureOf([this](client::CellAddress cell) {
        return m_frame.pictures[static_cast<std::size_t>(replayCellIndex(cell.column, cell.row))];
    });
}

// The steps' keys work wherever the focus is: shortcuts come before a
// control's own keys, so a focused button does not take Left for a focus move.
void ReplayWindow::buildKeys()
{
    const auto key = [this](const QList<QKeySequence>& keys, auto onKey) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, onKey);
        addAction(action);
    };
    key({QKeySequence(Qt::Key_Left)}, [this] { showStep(m_step - 1); });
    key({QKeySequence(Qt::Key_Right)}, [this] { showStep(m_step + 1); });
    key({QKeySequence(Qt::Key_Home)}, [this] { showStep(0); });
    key({QKeySequence(Qt::Key_End)}, [this] { showStep(stepCount() - 1); });
    key({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
        [this] { setZoom(zoom().larger()); });
    key({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { setZoom(zoom().smaller()); });
    key({QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { setZoom({}); });
}

void ReplayWindow::showStep(int step)
{
    step = std::clamp(step, 0, stepCount() - 1);
    if (step == m_step)
        return;
    const bool first = m_step < 0;
    const ReplayFrame before = std::exchange(m_frame, m_model.frame(step));
    const ReplayFrame& frame = m_frame;
    m_step = step;

    // Only the cells that changed are drawn again and told to a screen reader.
    for (int row = 1; row <= layout::kBoardRows; ++row) {
        for (int column = 1; column <= layout::kBoardColumns; ++column) {
            const auto index = static_cast<std::size_t>(replayCellIndex(column, row));
            if (first || before.pictures[index] != frame.pictures[index])
                m_board->updateCell({column, row});
        }
    }

    m_stepText->setText(QStringLiteral("Step %1 of %2").arg(step + 1).arg(stepCount()));
    m_event->setText(client::shownText(frame.event));
    for (std::size_t i = 0; i < m_seats.size(); ++i) {
        QLabel* label = m_seats[i];
        if (i >= frame.seats.size()) {
            label->hide();
            continue;
        }
        const ReplaySeat& seat = frame.seats[i];
        const QString name = client::shownText(seat.name);
        label->setText(QStringLiteral("%1: %2").arg(name, pointsText(seat.score)));
        label->setAccessibleName(
            QStringLiteral("%1, %2%3")
                .arg(name, pointsText(seat.score), seat.onTurn ? QStringLiteral(", on turn") : QString()));
        // As the seat rows show them: the player on turn in red.
        label->setStyleSheet(QStringLiteral("color: %1;")
                                 .arg(palette::styleColour(
                                     QColor(seat.onTurn ? palette::kSeatTextOnTurn : palette::kSeatText))));
        label->show();
    }

    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(step);
    m_first->setEnabled(step > 0);
    m_previous->setEnabled(step > 0);
    m_next->setEnabled(step < stepCount() - 1);
    m_last->setEnabled(step < stepCount() - 1);
    emit stepShown(step);
}

void ReplayWindow::setZoom(client::Zoom zoom)
{
    client::applyZoom(*this, zoom);
    fitBoardHolder();
    adjustSize();
}

client::Zoom ReplayWindow::zoom() const
{
    return client::zoomOf(*this);
}

void ReplayWindow::fitBoardHolder()
{
    m_boardHolder->setFixedSize(zoom().scaled(layout::kBoardPanel.size()));
    // The step's words keep a column as wide as the board's zoom makes their font.
    m_event->setMinimumWidth(zoom().scaled(kEventWidth));
}

ReplayWindow* openReplayWindow(const QString& path, QWidget* parent, client::Zoom zoom, QString& problem)
{
    const auto read = loadRecordFile(std::filesystem::path(path.toStdString()));
    if (const auto* why = std::get_if<std::string>(&read)) {
        problem = QStringLiteral("%1 cannot be replayed: %2").arg(path, QString::fromStdString(*why));
        return nullptr;
    }
    auto* window =
        new ReplayWindow(ReplayModel(std::get<record::GameRecord>(read)), QFileInfo(path).fileName(), parent);
    window->setZoom(zoom);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace lexiflip::windows
