#include "calendar/MeetingListGeometry.h"

#include <gtest/gtest.h>

using namespace MeetingListGeometry;

TEST(MeetingListGeometry, RowSplitsIntoThirds) {
    // The third row of a 500 pixel wide list starts at y = 90.
    const CRowLayout row = RowLayout(2, 500);
    EXPECT_EQ(row.bounds, QRect(0, 90, 500, 45));
    EXPECT_EQ(row.background, QRect(0, 90, 500, 44)) << "the last line is the separator's";
    EXPECT_EQ(row.separator, QLine(0, 134, 500, 134));

    const CRowLayout narrow = RowLayout(0, 20);
    EXPECT_EQ(narrow.title.width(), 14);
    EXPECT_EQ(narrow.venue.width(), 0) << "no negative widths when the pane is narrow";
}

TEST(MeetingListGeometry, HitTestAndScrolling) {
    EXPECT_EQ(RowAt(44, 3), 0);
    EXPECT_EQ(RowAt(45, 3), 1);
    EXPECT_EQ(RowAt(135, 3), -1) << "below the last row";
    EXPECT_EQ(RowAt(-1, 3), -1);
    EXPECT_EQ(RowAt(10, 0), -1);

    EXPECT_EQ(ScrollMaximum(3, 200), 0) << "three rows fit";
    EXPECT_EQ(ScrollMaximum(10, 200), 250);

    const CRowRange rows = VisibleRows(50, 100, 10);
    EXPECT_EQ(rows.first, 1);
    EXPECT_EQ(rows.end, 4) << "rows 1 to 3 meet the band 50..149";
    EXPECT_EQ(VisibleRows(400, 100, 10).end, 10);
    EXPECT_EQ(VisibleRows(0, 100, 0).end, 0);

    EXPECT_EQ(ScrollToShow(1, 0, 100), 0) << "already visible";
    EXPECT_EQ(ScrollToShow(5, 0, 100), 170) << "brought up to the bottom edge";
    EXPECT_EQ(ScrollToShow(2, 200, 100), 90) << "brought down to the top edge";
}
