#include "calendar/MonthGridGeometry.h"

#include <algorithm>

namespace MonthGridGeometry {

int ColumnEdge(int column, int width) {
    return std::max(0, width) * column / columns;
}

int RowEdge(int row, int height) {
    return std::max(0, height) * row / rows;
}

CCellLayout CellLayout(int cell, int width, int height) {
    const int row = cell / columns;
    const int column = cell % columns;
    const int left = ColumnEdge(column, width);
    const int top = RowEdge(row, height);
    const QRect bounds(QPoint(left, top),
                       QPoint(ColumnEdge(column + 1, width) - 1, RowEdge(row + 1, height) - 1));
    CCellLayout layout;
    layout.bounds = bounds;
    const int w = bounds.width();
    const int h = bounds.height();
    layout.dayText = QRect(left + 2, top, std::max(0, w / 2 - 2), h / 2);
    layout.picture = QPoint(left + 15, top + h / 2);
    // The count sits a little below the picture; in a short cell it keeps to the bottom edge.
    const int countTop =
        std::min(top + 2 * h / 3 + 10, std::max(top + h / 2, bounds.bottom() + 1 - countHeight));
    layout.count = QRect(QPoint(left, countTop), QPoint(bounds.right(), bounds.bottom()));
    return layout;
}

int CellAt(const QPoint& pos, int width, int height) {
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= width || pos.y() >= height) {
        return -1;
    }
    int column = columns - 1;
    while (column > 0 && ColumnEdge(column, width) > pos.x()) {
        --column;
    }
    int row = rows - 1;
    while (row > 0 && RowEdge(row, height) > pos.y()) {
        --row;
    }
    return row * columns + column;
}

QPoint DayNamePoint(int column, int width) {
    const int left = ColumnEdge(column, width);
    const int right = ColumnEdge(column + 1, width);
    return {left + (right - left) / 2 - dayNameWidth / 2, 0};
}

} // namespace MonthGridGeometry
