#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

namespace lexiflip::client {

// Where the board's cells lie on the board surface: 10 columns by 8 rows of
// 41-pixel cells, column 1 at the left, row 1 at the top. The click and the
// paint code both use these two functions, so what is drawn in a cell is what
// a click there means.
struct CellAddress {
    int column = 0;
    int row = 0;
    friend bool operator==(const CellAddress&, const CellAddress&) = default;
};

inline constexpr int kBoardColumns = 10;
inline constexpr int kBoardRows = 8;
inline constexpr int kCellPixels = 41;
inline constexpr int kBoardWidth = kBoardColumns * kCellPixels;
inline constexpr int kBoardHeight = kBoardRows * kCellPixels;

// The cell under a point of the surface; none outside the 80 cells.
inline std::optional<CellAddress> cellAt(QPoint point)
{
    if (point.x() < 0 || point.y() < 0 || point.x() >= kBoardWidth || point.y() >= kBoardHeight)
        return std::nullopt;
    return CellAddress{point.x() / kCellPixels + 1, point.y() / kCellPixels + 1};
}

// The surface rectangle of a cell (column 1..10, row 1..8).
inline QRect cellRect(CellAddress cell)
{
    return {(cell.column - 1) * kCellPixels, (cell.row - 1) * kCellPixels, kCellPixels, kCellPixels};
}

} // namespace lexiflip::client
