#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

// Where the day list puts things. Rows (one per hour) are stacked from y = 0 in content
// coordinates; the widget shifts them by its scroll position. Each row is split at its middle:
// the :00 half above (the middle line included), the :30 half below. Meeting boxes start
// right of the hour column and share one width within a row.
namespace DayListGeometry {

constexpr int rowCount = 24;
constexpr int rowHeight = 48;
// The hour text ends here, the "00" and "30" texts sit between this and boxLeft.
constexpr int hourRight = 20;
constexpr int halfTextLeft = 22;
constexpr int halfTextRight = 37;
constexpr int boxLeft = 40;
// A box must hold the meeting's picture and a little of its frame, else none is drawn.
constexpr int pictureWidth = 16;
constexpr int minBoxWidth = pictureWidth + 4;
// The hour rows shown first on a day without meetings.
constexpr int quietDayRow = 8;

QRect RowRect(int row, int width);
int ContentHeight();
// The row at content height `y`, -1 above the first and below the last.
int RowAt(int y);
// The middle line of a row, in content coordinates.
int RowMiddle(int row);
// The half (0 for :00, 1 for :30) a meeting dropped at content height `y` moves to: the
// middle line is the :00 half's, as its boxes reach down onto it.
int DropHalfAt(int y);
// The half a double click at content height `y` adds a meeting in: only what lies above the
// middle line is the :00 half, so the line itself adds at :30.
int AddHalfAt(int y);

// The width of every box of a row whose fuller half holds `widest` meetings, in a list
// `width` wide; 0 where no box fits (the boxes are then neither drawn nor hit).
int BoxWidth(int width, int widest);
// The frame of the k-th box (0..3) of a half of a row.
QRect BoxRect(int row, int half, int k, int boxWidth);
// Where the meeting's picture goes in a box.
QPoint PictureTopLeft(const QRect& box);
// Where the title goes in a box.
QRect TitleRect(const QRect& box);

// A box under a point: its half, its index within the half, and whether the point lies on
// its picture (the first pictureWidth pixels of the box).
struct CBoxHit {
    int half = 0;
    int k = 0;
    bool onPicture = false;
};
// The box under a content point of `row`, whose halves hold `counts[0]` and `counts[1]`
// meetings; nothing left of the boxes, past the last box of the half, or where no box fits.
std::optional<CBoxHit> HitBox(const QPoint& contentPos, int row, int width, int upperCount,
                              int lowerCount);

// The scroll position that opens a day on `row` (its first meeting, or quietDayRow): the top
// of that row, or of the lowest row that still leaves no room below the last, so the top row
// always shows whole.
int OpeningScroll(int row, int viewportHeight);
// A scroll position moved up to the top of the row it shows cut.
int WholeRowScroll(int scroll);

} // namespace DayListGeometry
