#include "editor/ContentListGeometry.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace ContentListGeometry {

int RowHeight(int imageHeight, int lineHeight, int lines) {
    return std::max(imageHeight, lines * lineHeight + 2 * focusFrameWidth);
}

int LineHeight(const QFont& font) {
    return static_cast<int>(std::ceil(QFontMetricsF(font).height()));
}

QRect RowRect(int row, int rowHeight, int width) {
    return {0, row * rowHeight, width, rowHeight};
}

int RowAt(int y, int rowHeight, int rowCount) {
    if (y < 0 || rowHeight <= 0) {
        return -1;
    }
    const int row = y / rowHeight;
    return row < rowCount ? row : -1;
}

QRect FillRect(const QRect& row) {
    return {row.left(), row.top(), row.width(), row.height() - 1};
}

QRect TextRect(const QRect& row, int textLeft) {
    return {row.left() + textLeft, row.top() + focusFrameWidth,
            row.width() - textLeft - focusFrameWidth, row.height() - 2 * focusFrameWidth};
}

QRect AgendaTimeRect(const QRect& row) {
    const QRect text = TextRect(row, agendaTextLeft);
    return {text.left(), text.top(), text.width(), text.height() - text.height() / 2};
}

QRect AgendaTextRect(const QRect& row) {
    const QRect text = TextRect(row, agendaTextLeft);
    const int upper = text.height() - text.height() / 2;
    return {text.left(), text.top() + upper, text.width(), text.height() / 2};
}

QRect TodoColumnRect(const QRect& row, int column) {
    const int textLeft = 2 * todoPictureColumnWidth;
    switch (column) {
    case 0:
    case 1:
        return {row.left() + column * todoPictureColumnWidth, row.top(), todoPictureColumnWidth,
                row.height()};
    case 2:
        return {row.left() + textLeft, row.top(),
                std::max(todoTextColumnWidth, row.width() - textLeft), row.height()};
    default:
        return {};
    }
}

int TodoColumnAt(int x, int width) {
    const QRect row(0, 0, width, 1);
    for (int column = 0; column < 3; ++column) {
        const QRect rect = TodoColumnRect(row, column);
        if (x >= rect.left() && x <= rect.right()) {
            return column;
        }
    }
    return -1;
}

} // namespace ContentListGeometry
