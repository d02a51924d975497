#include "calendar/DayListGeometry.h"

#include <algorithm>

namespace DayListGeometry {

QRect RowRect(int row, int width) {
    return {0, row * rowHeight, std::max(0, width), rowHeight};
}

int ContentHeight() {
    return rowCount * rowHeight;
}

int RowAt(int y) {
    if (y < 0 || y >= ContentHeight()) {
        return -1;
    }
    return y / rowHeight;
}

int RowMiddle(int row) {
    return row * rowHeight + rowHeight / 2;
}

int DropHalfAt(int y) {
    const int row = y >= 0 ? y / rowHeight : -1;
    return y <= RowMiddle(row) ? 0 : 1;
}

int AddHalfAt(int y) {
    const int row = y >= 0 ? y / rowHeight : -1;
    return y < RowMiddle(row) ? 0 : 1;
}

int BoxWidth(int width, int widest) {
    if (widest <= 0) {
        return 0;
    }
    const int boxWidth = (width - boxLeft) / widest;
    return boxWidth >= minBoxWidth ? boxWidth : 0;
}

QRect BoxRect(int row, int half, int k, int boxWidth) {
    const int top = row * rowHeight;
    const int middle = RowMiddle(row);
    const int left = boxLeft + k * boxWidth;
    // The :00 boxes reach from just above the row to just below its middle line; the :30
    // boxes from there to the row's bottom.
    if (half == 0) {
        return QRect(QPoint(left, top - 1), QPoint(left + boxWidth - 1, middle));
    }
    return QRect(QPoint(left, middle + 1), QPoint(left + boxWidth - 1, top + rowHeight - 1));
}

QPoint PictureTopLeft(const QRect& box) {
    return box.topLeft() + QPoint(3, 3);
}

QRect TitleRect(const QRect& box) {
    return box.adjusted(1 + 20, 1, -1 - 2, -1);
}

std::optional<CBoxHit> HitBox(const QPoint& contentPos, int row, int width, int upperCount,
                              int lowerCount) {
    const int boxWidth = BoxWidth(width, std::max(upperCount, lowerCount));
    if (row < 0 || row >= rowCount || boxWidth == 0) {
        return std::nullopt;
    }
    const int dx = contentPos.x() - boxLeft;
    if (dx < 0 || contentPos.x() >= width) {
        return std::nullopt;
    }
    const int half = contentPos.y() <= RowMiddle(row) ? 0 : 1;
    const int k = dx / boxWidth;
    if (k >= (half == 0 ? upperCount : lowerCount)) {
        return std::nullopt;
    }
    return CBoxHit{half, k, dx - k * boxWidth < pictureWidth};
}

int OpeningScroll(int row, int viewportHeight) {
    const int most = std::max(0, ContentHeight() - viewportHeight);
    return WholeRowScroll(std::clamp(row * rowHeight, 0, most));
}

int WholeRowScroll(int scroll) {
    return std::max(0, scroll) / rowHeight * rowHeight;
}

} // namespace DayListGeometry
