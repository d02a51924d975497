#pragma once

#include <QLine>
#include <QPoint>
#include <QRect>

// Where the month's meeting list puts things. Rows are stacked from y = 0 in content
// coordinates; the widget shifts them by its scroll position.
namespace MeetingListGeometry {

constexpr int rowHeight = 45;
constexpr int iconWidth = 32;
// The picture shown instead of rows when the month has no meetings.
constexpr QPoint emptyPicturePoint(60, 60);

// One row split into thirds: title on top, date and time in the middle, venue below; the
// icon hangs from the top of the middle third at the left edge.
struct CRowLayout {
    QRect bounds;
    QRect background;
    QRect title;
    QRect dateText;
    QRect venue;
    QLine separator;
    QPoint icon;
};

CRowLayout RowLayout(int row, int width);

int ContentHeight(int rowCount);
// The row at content height `y`, or -1 above the first and below the last row.
int RowAt(int y, int rowCount);
// The rows that meet the band [scrollY, scrollY + viewportHeight): first and one past last.
struct CRowRange {
    int first = 0;
    int end = 0;
};
CRowRange VisibleRows(int scrollY, int viewportHeight, int rowCount);

int ScrollMaximum(int rowCount, int viewportHeight);
// The scroll position nearest to `scrollY` that shows all of `row`.
int ScrollToShow(int row, int scrollY, int viewportHeight);

} // namespace MeetingListGeometry
