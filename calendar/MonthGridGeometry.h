#pragma once

#include <QPoint>
#include <QRect>

// Where the month grid puts things. The grid fills the list's viewport, six rows of seven
// cells, each column a seventh of the width and each row a sixth of the height (the rest of
// a division goes to the later columns and rows, so the cells meet edge to edge).
namespace MonthGridGeometry {

constexpr int rows = 6;
constexpr int columns = 7;
constexpr int headerHeight = 20;
// The day-name picture above each column.
constexpr int dayNameWidth = 16;
// Room kept below the meeting picture for the count when a cell is small.
constexpr int countHeight = 14;

// The left edge of a column; column `columns` gives the right edge of the last.
int ColumnEdge(int column, int width);
int RowEdge(int row, int height);

// One cell: the day number in the upper left quarter, the meeting picture from the middle
// down, the count under it.
struct CCellLayout {
    QRect bounds;
    QRect dayText;
    QPoint picture;
    QRect count;
};

CCellLayout CellLayout(int cell, int width, int height);

// The cell at a point of the grid, -1 outside it.
int CellAt(const QPoint& pos, int width, int height);

// Where a header column's day-name picture goes.
QPoint DayNamePoint(int column, int width);

} // namespace MonthGridGeometry
