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

// A point hits the box whose frame it is on, lines included, and the last box of a line also
// takes the column right of its frame; what no box covers hits nothing.
TEST(WeekListGeometry, APointOnABoxOrItsFrameHitsItsMeeting) {
    const QRect cell(115, 300, 101, 30);
    struct Case {
        QPoint point;
        int position;
        const char* what;
    };
    for (const Case& c : {Case{{140, 307}, 0, "inside the first box"},
                          Case{{115, 300}, 0, "the cell's first pixel"},
                          Case{{163, 307}, 0, "right frame line of the first box"},
                          Case{{164, 307}, 1, "left frame line of the second box"},
                          Case{{213, 307}, 1, "right frame line of the second box"},
                          Case{{214, 307}, 1, "the column right of the last box's frame"},
                          Case{{215, 307}, -1, "the pixel an odd width leaves over"},
                          Case{{140, 314}, 0, "bottom frame line of the upper line"},
                          Case{{140, 315}, 2, "top frame line of the lower line"},
                          Case{{164, 322}, 2, "the column right of the lower line's box"},
                          Case{{190, 322}, -1, "the lower line has no second box"},
                          Case{{114, 307}, -1, "left of the cell"}}) {
        EXPECT_EQ(MeetingAt(cell, 3, c.point), c.position) << c.what;
    }
    EXPECT_EQ(MeetingAt(cell, 1, QPoint(140, 322)), -1) << "one meeting leaves the lower line";
    EXPECT_EQ(MeetingAt(cell, 0, QPoint(140, 307)), -1) << "an empty cell";
}

// A week opens with a whole row at the top, late hours and odd window heights included.
TEST(WeekListGeometry, AWeekOpensOnAWholeRow) {
    EXPECT_EQ(ScrollForHour(8, 400), 8 * rowHeight);
    EXPECT_EQ(ScrollForHour(0, 400), 0);
    for (int height : {100, 425, 659}) {
        const int scroll = ScrollForHour(23, height);
        EXPECT_EQ(scroll % rowHeight, 0) << height;
        EXPECT_GE(scroll + height + rowHeight, hourCount * rowHeight) << "the day's end in reach";
    }
}
