#include "calendar/DayListGeometry.h"

#include <gtest/gtest.h>

using namespace DayListGeometry;

TEST(DayListGeometry, RowsAndHalvesMeetAtTheMiddleLine) {
    EXPECT_EQ(RowAt(-1), -1);
    EXPECT_EQ(RowAt(14 * 48 + 47), 14);
    EXPECT_EQ(RowAt(24 * 48), -1) << "below the last row";
    const int middle = RowMiddle(14);
    EXPECT_EQ(middle, 14 * 48 + 24);
    // The middle line: a drop there keeps to :00, a double click there adds at :30.
    EXPECT_EQ(DropHalfAt(middle), 0) << "the middle line belongs to the :00 half, as its boxes do";
    EXPECT_EQ(AddHalfAt(middle), 1) << "only above the middle line is the upper half";
    EXPECT_EQ(AddHalfAt(middle - 1), 0);
    EXPECT_EQ(DropHalfAt(middle + 1), 1);
    EXPECT_EQ(DropHalfAt(15 * 48 - 1), 1);
    EXPECT_EQ(DropHalfAt(15 * 48), 0) << "the next hour starts with its :00 half";
    EXPECT_EQ(AddHalfAt(15 * 48), 0);

    // Both halves hold a box: the middle line is the :00 box's bottom frame, so it hits that.
    const auto onLine = HitBox({45, middle}, 14, 500, 1, 1);
    ASSERT_TRUE(onLine.has_value());
    EXPECT_EQ(onLine->half, 0) << "the middle line is drawn as part of the :00 box";
    const auto below = HitBox({45, middle + 1}, 14, 500, 1, 1);
    ASSERT_TRUE(below.has_value());
    EXPECT_EQ(below->half, 1);
}
