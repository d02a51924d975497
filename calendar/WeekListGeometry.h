#pragma once

#include <QPoint>
#include <QRect>

// Where the week list puts things. Content coordinates run from the top of the midnight row;
// the hour column comes first, then the seven days, Sunday to Saturday. A cell is an item:
// item = hour * 7 + (weekday - 1).
namespace WeekListGeometry {

constexpr int hourCount = 24;
constexpr int dayCount = 7;
constexpr int cellCount = hourCount * dayCount;
constexpr int hourColumnWidth = 15;
constexpr int rowHeight = 30;
// A cell holds its meetings in two lines of boxes.
constexpr int lineHeight = 15;
constexpr int headerHeight = 20;

// Each day column's width for a list `width` pixels wide.
int DayColumnWidth(int width);

int ItemOf(int hour, int weekday);
int HourOf(int item);
int WeekdayOf(int item); // 1 Sunday .. 7 Saturday

QRect CellRect(int item, int dayWidth);
QRect HourRect(int hour);
// The cell at a content point, -1 on the hour column and outside the grid.
int CellAt(const QPoint& pos, int dayWidth);

// The framed box of meeting `position` of the `count` meetings in a cell, and where its
// picture goes: the first (count + 1) / 2 boxes share the upper line, the rest the lower.
struct CMeetingBox {
    QRect frame;
    QPoint picture;
};
CMeetingBox MeetingBox(const QRect& cell, int count, int position);
// The position of the meeting whose box holds `pos`, its frame lines included, and for the last
// box of a line the column right of its frame; -1 for a point on no box (an empty line, the
// pixels an odd width leaves over, the first box's left line, which lies outside the cell).
int MeetingAt(const QRect& cell, int count, const QPoint& pos);

// The header's column rectangles: the hour column for 0, the days for 1..7.
QRect HeaderRect(int column, int dayWidth);

// The scroll position that puts row `hour` at the top, as near as the content allows, always
// with a whole row at the top.
int ScrollForHour(int hour, int viewportHeight);

} // namespace WeekListGeometry
