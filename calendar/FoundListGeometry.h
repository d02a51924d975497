#pragma once

#include <QLine>
#include <QPoint>
#include <QRect>

// Where the search results and the open todos put things. Both stack rows of one height from
// y = 0 in content coordinates; the widgets shift them by their scroll position and lay out
// only the rows they paint.
namespace FoundListGeometry {

// A search result: the title on top, date and venue below it, then the matching passage; the
// meeting's icon at the left.
constexpr int searchRowHeight = 60;
// An open todo: the done and priority pictures, the todo's text, and its meeting below it.
constexpr int todoRowHeight = 38;
constexpr int iconWidth = 32;
constexpr int pictureSize = 16;

struct CSearchRowLayout {
    QRect bounds;
    QRect background;
    QPoint icon;
    QRect title;
    QRect details;
    QRect snippet;
    QLine separator;
};
CSearchRowLayout SearchRowLayout(int row, int width);

struct CTodoRowLayout {
    QRect bounds;
    QRect background;
    QRect done;
    QRect priority;
    QRect text;
    QRect meeting;
    QLine separator;
};
CTodoRowLayout TodoRowLayout(int row, int width);
// Whether content x falls on the done picture's column (where a click marks the todo done).
bool IsOnDonePicture(int x);

int ContentHeight(int rowCount, int rowHeight);
// The row at content height `y`, or -1 above the first and below the last row.
int RowAt(int y, int rowCount, int rowHeight);
// The rows that meet the band [top, bottom): first and one past the last.
struct CRowRange {
    int first = 0;
    int end = 0;
};
CRowRange VisibleRows(int top, int bottom, int rowCount, int rowHeight);

} // namespace FoundListGeometry
