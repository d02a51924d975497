#include "calendar/WeekListGeometry.h"

#include <gtest/gtest.h>

using namespace WeekListGeometry;

TEST(WeekListGeometry, CellsLieRightOfTheHourColumnAndNothingElseIsACell) {
    const int dayWidth = DayColumnWidth(15 + 7 * 100 + 6);
    ASSERT_EQ(dayWidth, 100);
    const int thursdayTwo = ItemOf(14, 5);
    EXPECT_EQ(CellRect(thursdayTwo, dayWidth), QRect(15 + 400, 14 * 30, 100, 30));
    EXPECT_EQ(CellAt(QPoint(15 + 400, 14 * 30), dayWidth), thursdayTwo);
    EXPECT_EQ(CellAt(QPoint(15 + 499, 14 * 30 + 29), dayWidth), thursdayTwo);
    EXPECT_EQ(CellAt(QPoint(14, 100), dayWidth), -1) << "the hour column";
    EXPECT_EQ(CellAt(QPoint(15, 100), dayWidth), ItemOf(3, 1)) << "Sunday's first pixel column";
    EXPECT_EQ(CellAt(QPoint(15 + 700, 100), dayWidth), -1) << "right of Saturday";
    EXPECT_EQ(CellAt(QPoint(100, 24 * 30), dayWidth), -1) << "below midnight's row";
    EXPECT_EQ(CellAt(QPoint(100, -1), dayWidth), -1);
    EXPECT_EQ(CellAt(QPoint(100, 100), 0), -1) << "a list too narrow for any day";
}
