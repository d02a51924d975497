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
    EXPECT_EQ(CellAt(QPoint(15 + 700, 100), dayWidth), -1) << "right of Saturday";
    EXPECT_EQ(CellAt(QPoint(100, 24 * 30), dayWidth), -1) << "below midnight's row";
    EXPECT_EQ(CellAt(QPoint(100, -1), dayWidth), -1);
    EXPECT_EQ(CellAt(QPoint(100, 100), 0), -1) << "a list too narrow for any day";
}

// Three meetings: two boxes half the cell wide on the upper line, one on the lower.
TEST(WeekListGeometry, ThreeMeetingsShareTwoLinesOfHalfWidthBoxes) {
    const QRect cell(115, 300, 101, 30);
    EXPECT_EQ(MeetingBox(cell, 3, 0).frame, QRect(114, 300, 50, 15));
    EXPECT_EQ(MeetingBox(cell, 3, 1).frame, QRect(164, 300, 50, 15));
    EXPECT_EQ(MeetingBox(cell, 3, 2).frame, QRect(114, 315, 50, 15));
    EXPECT_EQ(MeetingBox(cell, 3, 2).picture, QPoint(117, 317));
    EXPECT_EQ(MeetingBox(cell, 1, 0).frame, QRect(114, 300, 101, 15));
    // Eight meetings: four a line.
    EXPECT_EQ(MeetingBox(cell, 8, 7).frame, QRect(114 + 75, 315, 25, 15));
    EXPECT_TRUE(MeetingBox(cell, 3, 3).frame.isNull());
}

// A point hits a meeting only inside its box: on a frame line, between boxes and on what the
// boxes leave over it hits none (the cell's first meeting least of all).
TEST(WeekListGeometry, OnlyThePointsInsideABoxHitItsMeeting) {
    const QRect cell(115, 300, 101, 30);
    EXPECT_EQ(MeetingAt(cell, 3, QPoint(140, 307)), 0);
    EXPECT_EQ(MeetingAt(cell, 3, QPoint(190, 307)), 1);
    EXPECT_EQ(MeetingAt(cell, 3, QPoint(140, 322)), 2);
    EXPECT_EQ(MeetingAt(cell, 3, QPoint(115, 301)), 0) << "first pixel inside the first box";

    EXPECT_EQ(MeetingAt(cell, 3, QPoint(163, 307)), -1) << "right frame of the first box";
    EXPECT_EQ(MeetingAt(cell, 3, QPoint(164, 307)), -1) << "left frame of the second box";
    EXPECT_EQ(MeetingAt(cell, 3, QPoint(140, 314)), -1) << "bottom frame line";
    EXPECT_EQ(MeetingAt(cell, 3, QPoint(215, 307)), -1) << "the pixels right of the boxes";
    EXPECT_EQ(MeetingAt(cell, 3, QPoint(190, 322)), -1) << "the lower line has no second box";
    EXPECT_EQ(MeetingAt(cell, 1, QPoint(140, 322)), -1) << "one meeting leaves the lower line";
    EXPECT_EQ(MeetingAt(cell, 0, QPoint(140, 307)), -1) << "an empty cell";
}
