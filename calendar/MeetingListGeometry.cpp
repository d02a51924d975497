#include "calendar/MeetingListGeometry.h"

#include <algorithm>

namespace MeetingListGeometry {

namespace {

// A rectangle given by its left, top, right and bottom edges (right and bottom outside).
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

} // namespace

CRowLayout RowLayout(int row, int width) {
    const int left = 0;
    const int top = row * rowHeight;
    const int right = std::max(0, width);
    const int bottom = top + rowHeight;
    const int third = rowHeight / 3;

    CRowLayout layout;
    layout.bounds = Edges(left, top, right, bottom);
    // The last pixel line of the row is the separator's.
    layout.background = Edges(left, top, right, bottom - 1);
    layout.title = Edges(6, top, right, bottom - 2 * third);
    layout.dateText = Edges(40, top + third, right, bottom - third);
    layout.venue = Edges(44, top + 2 * third, right, bottom);
    layout.separator = QLine(left, bottom - 1, right, bottom - 1);
    layout.icon = QPoint(left, top + third);
    return layout;
}

int ContentHeight(int rowCount) {
    return std::max(0, rowCount) * rowHeight;
}

int RowAt(int y, int rowCount) {
    if (y < 0 || y >= ContentHeight(rowCount)) {
        return -1;
    }
    return y / rowHeight;
}

CRowRange VisibleRows(int scrollY, int viewportHeight, int rowCount) {
    if (rowCount <= 0 || viewportHeight <= 0) {
        return {};
    }
    const int first = std::clamp(scrollY / rowHeight, 0, rowCount);
    const int last = (scrollY + viewportHeight + rowHeight - 1) / rowHeight;
    return {first, std::clamp(last, first, rowCount)};
}

int ScrollMaximum(int rowCount, int viewportHeight) {
    return std::max(0, ContentHeight(rowCount) - std::max(0, viewportHeight));
}

int ScrollToShow(int row, int scrollY, int viewportHeight) {
    const int top = row * rowHeight;
    const int bottom = top + rowHeight;
    if (top < scrollY) {
        return top;
    }
    if (bottom > scrollY + viewportHeight) {
        return std::max(0, bottom - viewportHeight);
    }
    return scrollY;
}

} // namespace MeetingListGeometry
