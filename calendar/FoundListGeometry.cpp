#include "calendar/FoundListGeometry.h"

#include <algorithm>

namespace FoundListGeometry {

namespace {

QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

constexpr int textLeft = 8 + iconWidth + 8;
constexpr int doneLeft = 6;
constexpr int priorityLeft = doneLeft + pictureSize + 6;
constexpr int todoTextLeft = priorityLeft + pictureSize + 10;

} // namespace

CSearchRowLayout SearchRowLayout(int row, int width) {
    const int top = row * searchRowHeight;
    const int right = std::max(0, width) - 6;
    const int bottom = top + searchRowHeight;
    CSearchRowLayout layout;
    layout.bounds = Edges(0, top, std::max(0, width), bottom);
    layout.background = Edges(0, top, std::max(0, width), bottom - 1);
    layout.icon = QPoint(8, top + 7);
    layout.title = Edges(textLeft, top + 3, right, top + 21);
    layout.details = Edges(textLeft, top + 21, right, top + 38);
    layout.snippet = Edges(textLeft, top + 38, right, bottom - 4);
    layout.separator = QLine(0, bottom - 1, std::max(0, width), bottom - 1);
    return layout;
}

CTodoRowLayout TodoRowLayout(int row, int width) {
    const int top = row * todoRowHeight;
    const int right = std::max(0, width) - 6;
    const int bottom = top + todoRowHeight;
    const int pictureTop = top + (todoRowHeight - pictureSize) / 2;
    CTodoRowLayout layout;
    layout.bounds = Edges(0, top, std::max(0, width), bottom);
    layout.background = Edges(0, top, std::max(0, width), bottom - 1);
    layout.done = QRect(doneLeft, pictureTop, pictureSize, pictureSize);
    layout.priority = QRect(priorityLeft, pictureTop, pictureSize, pictureSize);
    layout.text = Edges(todoTextLeft, top + 3, right, top + 19);
    layout.meeting = Edges(todoTextLeft, top + 19, right, bottom - 3);
    layout.separator = QLine(0, bottom - 1, std::max(0, width), bottom - 1);
    return layout;
}

bool IsOnDonePicture(int x) {
    // The column reaches a little either side of the picture, half way to its neighbours.
    return x >= 0 && x < doneLeft + pictureSize + 3;
}

int ContentHeight(int rowCount, int rowHeight) {
    return std::max(0, rowCount) * rowHeight;
}

int RowAt(int y, int rowCount, int rowHeight) {
    if (y < 0 || rowHeight <= 0 || y >= ContentHeight(rowCount, rowHeight)) {
        return -1;
    }
    return y / rowHeight;
}

CRowRange VisibleRows(int top, int bottom, int rowCount, int rowHeight) {
    if (rowCount <= 0 || rowHeight <= 0 || bottom <= top) {
        return {};
    }
    const int first = std::clamp(top / rowHeight, 0, rowCount);
    const int end = (bottom + rowHeight - 1) / rowHeight;
    return {first, std::clamp(end, first, rowCount)};
}

} // namespace FoundListGeometry
