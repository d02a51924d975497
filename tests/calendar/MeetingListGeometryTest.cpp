#include "calendar/MeetingListGeometry.h"

#include <gtest/gtest.h>

using namespace MeetingListGeometry;

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
