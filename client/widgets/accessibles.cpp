#include "client/widgets/accessibles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <array>

#include "client/game/tile_pictures.h"
#include "client/widgets/board_view.h"
#include "client/widgets/picture_view.h"
#include "client/widgets/seat_rows.h"
#include "client/widgets/turn_timer_view.h"
#include "core/letters.h"

namespace lexiflip::client::accessibles {

namespace {

constexpr int kCells = layout::kBoardColumns * layout::kBoardRows;

// Cells are numbered in reading order, as a screen reader walks them.
int indexOf(CellAddress cell)
{
    return (cell.row - 1) * layout::kBoardColumns + (cell.column - 1);
}

CellAddress cellOfIndex(int index)
{
    return {index % layout::kBoardColumns + 1, index / layout::kBoardColumns + 1};
}

QString place(CellAddress cell)
{
    return QStringLiteral("Column %1, row %2").arg(cell.column).arg(cell.row);
}

// One cell: no widget of its own, it lives as long as the board's interface.
class CellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CellAccessible(BoardView* board, CellAddress cell) : m_board(board), m_cell(cell) {}

    bool isValid() const override { return !m_board.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_board ? m_board->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return m_board ? QAccessible::queryAccessibleInterface(m_board.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text which) const override
    {
        if (!m_board)
            return {};
        if (which == QAccessible::Name)
            return cellName(m_cell, m_board->pictureAt(m_cell));
        if (which == QAccessible::Description)
            return place(m_cell);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!m_board)
            return {};
        const QRect local = cellRect(m_cell);
        return {m_board->mapToGlobal(local.topLeft()), local.size()};
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!m_board) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.invisible = !m_board->isVisible();
        const BoardCursor cursor = m_board->cursor();
        state.focused = m_board->hasFocus() && CellAddress{cursor.column, cursor.row} == m_cell;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (m_board && name == pressAction())
            m_board->activateCell(m_cell);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<BoardView> m_board;
    CellAddress m_cell;
};

// The board: a grid of 80 cell buttons, made when first asked for.
class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(BoardView* board) : QAccessibleWidget(board, QAccessible::Grouping) {}
    ~BoardAccessible() override
    {
        for (const QAccessible::Id id : m_cells)
            if (id != 0)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return kCells; }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= kCells)
            return nullptr;
        QAccessible::Id& id = m_cells[static_cast<std::size_t>(index)];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new CellAccessible(board(), cellOfIndex(index)));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int index = 0; index < kCells; ++index) {
            const QAccessible::Id id = m_cells[static_cast<std::size_t>(index)];
            if (id != 0 && QAccessible::accessibleInterface(id) == child)
                return index;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const auto cell = cellAt(board()->mapFromGlobal(QPoint(x, y)));
        return cell ? child(indexOf(*cell)) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        if (!board()->hasFocus())
            return nullptr;
        const BoardCursor cursor = board()->cursor();
        return child(indexOf({cursor.column, cursor.row}));
    }

private:
    BoardView* board() const { return static_cast<BoardView*>(widget()); }

    mutable std::array<QAccessible::Id, kCells> m_cells{};
};

// A picture: a button with a press (and, where a right click means something,
// that too) when it is clickable, else a graphic.
class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(PictureView* view) : QAccessibleWidget(view, QAccessible::Graphic) {}
    // Asked each time: the interface may be made before the view becomes clickable.
    QAccessible::Role role() const override
    {
        return view()->clickable() ? QAccessible::Button : QAccessible::Graphic;
    }
    QStringList actionNames() const override
    {
        if (!view()->clickable())
            return {};
        QStringList names{pressAction()};
        if (!view()->rightClickAction().isEmpty())
            names << view()->rightClickAction();
        return names;
    }
    void doAction(const QString& name) override
    {
        if (!view()->clickable())
            return;
        if (name == pressAction())
            view()->press(Qt::LeftButton);
        else if (!name.isEmpty() && name == view()->rightClickAction())
            view()->press(Qt::RightButton);
    }

private:
    PictureView* view() const { return static_cast<PictureView*>(widget()); }
};

// A seat row, read by its name ("Klot, 57 points, on turn"), with the seat
// menu as its action: the menu a right click on the name opens.
class SeatNameAccessible : public QAccessibleWidget {
public:
    explicit SeatNameAccessible(SeatName* name) : QAccessibleWidget(name, QAccessible::StaticText) {}
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = true; // by F6, though never by a click
        return state;
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString& name) override
    {
        if (name == showMenuAction())
            static_cast<SeatName*>(widget())->askMenu();
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        return name == showMenuAction() ? QStringList{QStringLiteral("Menu"), QStringLiteral("Shift+F10")}
                                        : QStringList();
    }
};

// The timer reads its text when asked; it is told as changed only at the
// moments worth saying (TurnTimerView::announce), not every second.
class TimerAccessible : public QAccessibleWidget {
public:
    explicit TimerAccessible(TurnTimerView* timer) : QAccessibleWidget(timer, QAccessible::StaticText) {}
    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Name)
            return static_cast<TurnTimerView*>(widget())->text();
        return QAccessibleWidget::text(which);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("lexiflip::client::BoardView"))
        return new BoardAccessible(static_cast<BoardView*>(object));
    if (className == QLatin1String("lexiflip::client::PictureView"))
        return new PictureAccessible(static_cast<PictureView*>(object));
    if (className == QLatin1String("lexiflip::client::SeatName"))
        return new SeatNameAccessible(static_cast<SeatName*>(object));
    if (className == QLatin1String("lexiflip::client::TurnTimerView"))
        return new TimerAccessible(static_cast<TurnTimerView*>(object));
    return nullptr;
}

void tell(BoardView& board, CellAddress cell, QAccessible::Event type)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(&board, type);
    event.setChild(indexOf(cell));
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installFactories()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

QString tileWords(int picture)
{
    if (picture < 1 || picture > 26)
        return {};
    const int points = core::letterworth(picture);
    return QStringLiteral("%1, %2 %3")
        .arg(QChar('A' + picture - 1))
        .arg(points)
        .arg(points == 1 ? QStringLiteral("point") : QStringLiteral("points"));
}

QString cellName(CellAddress cell, int picture)
{
    if (picture == kTileBack)
        return place(cell) + QStringLiteral(", face down");
    if (picture >= 1 && picture <= 26)
        return tileWords(picture) + QStringLiteral(", face up");
    if (picture > kUsedOffset && picture <= kUsedOffset + 26)
        return QString(QChar('A' + picture - kUsedOffset - 1)) + QStringLiteral(", in the word");
    return place(cell) + QStringLiteral(", empty");
}

void cellChanged(BoardView& board, CellAddress cell)
{
    tell(board, cell, QAccessible::NameChanged);
}

void cursorFocused(BoardView& board, CellAddress cell)
{
    tell(board, cell, QAccessible::Focus);
}

} // namespace lexiflip::client::accessibles
