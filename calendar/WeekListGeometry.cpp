#include "calendar/WeekListGeometry.h"

#include <algorithm>

namespace WeekListGeometry {

int DayColumnWidth(int width) {
    return std::max(0, (width - hourColumnWidth) / dayCount);
}

int ItemOf(int hour, int weekday) {
    return hour * dayCount + weekday - 1;
}

int HourOf(int item) {
    return item / dayCount;
}

int WeekdayOf(int item) {
    return item % dayCount + 1;
}

QRect CellRect(int item, int dayWidth) {
    if (item < 0 || item >= cellCount) {
        return {};
    }
    return QRect(hourColumnWidth + (WeekdayOf(item) - 1) * dayWidth, HourOf(item) * rowHeight,
                 dayWidth, rowHeight);
}

QRect HourRect(int hour) {
    return QRect(0, hour * rowHeight, hourColumnWidth, rowHeight);
}

int CellAt(const QPoint& pos, int dayWidth) {
    if (dayWidth <= 0 || pos.y() < 0 || pos.x() < hourColumnWidth) {
        return -1;
    }
    const int hour = pos.y() / rowHeight;
    const int day = (pos.x() - hourColumnWidth) / dayWidth;
    if (hour >= hourCount || day >= dayCount) {
        return -1;
    }
    return ItemOf(hour, day + 1);
}

CMeetingBox MeetingBox(const QRect& cell, int count, int position) {
    if (count <= 0 || position < 0 || position >= count) {
        return {};
    }
    const int perLine = (count + 1) / 2;
    const int boxWidth = cell.width() / perLine;
    const int line = position < perLine ? 0 : 1;
    const int x = (position % perLine) * boxWidth;
    const int top = cell.top() + line * lineHeight;
    // The frame starts one pixel left of its picture's column, on the line between cells for
    // the first box.
    return {QRect(cell.left() + x - 1, top, boxWidth, lineHeight),
            QPoint(cell.left() + x + 2, top + 2)};
}

int MeetingAt(const QRect& cell, int count, const QPoint& pos) {
    if (!cell.contains(pos)) {
        return -1;
    }
    // The frames of a line tile it, lines included; the last box of a line also takes the
    // column right of its frame, up to where the next box would begin.
    for (int position = 0; position < count; ++position) {
        if (MeetingBox(cell, count, position).frame.contains(pos)) {
            return position;
        }
    }
    for (int position = 0; position < count; ++position) {
        if (MeetingBox(cell, count, position).frame.adjusted(0, 0, 1, 0).contains(pos)) {
            return position;
        }
    }
    return -1;
}

QRect HeaderRect(int column, int dayWidth) {
    if (column == 0) {
        return QRect(0, 0, hourColumnWidth, headerHeight);
    }
    return QRect(hourColumnWidth + (column - 1) * dayWidth, 0, dayWidth, headerHeight);
}

int ScrollForHour(int hour, int viewportHeight) {
    // Near the end of the day the content's end would leave the top row cut: a whole row
    // stands at the top instead, and the last one is cut.
    const int maximum = std::max(0, hourCount * rowHeight - viewportHeight);
    return std::clamp(hour * rowHeight, 0, maximum) / rowHeight * rowHeight;
}

} // namespace WeekListGeometry
