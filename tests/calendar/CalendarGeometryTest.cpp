// The pure geometry of the day list, the week list and the month grid, and where today lies:
// the widgets draw and hit-test by these alone.

#include "calendar/DayListGeometry.h"
#include "calendar/MonthGridGeometry.h"
#include "calendar/TodayMark.h"
#include "calendar/WeekListGeometry.h"
#include "store/DateTime.h"

#include <gtest/gtest.h>

TEST(DayListGeometry, RowsAndHalvesMeetAtTheMiddleLine) {
    using namespace DayListGeometry;
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

TEST(WeekListGeometry, CellsLieRightOfTheHourColumnAndNothingElseIsACell) {
    using namespace WeekListGeometry;
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

TEST(MonthGridGeometry, CellsTileTheGridAndHitTestsAgree) {
    using namespace MonthGridGeometry;
    for (const auto& [width, height] : {std::pair{703, 481}, std::pair{350, 120}}) {
        int area = 0;
        for (int cell = 0; cell < rows * columns; ++cell) {
            const CCellLayout layout = CellLayout(cell, width, height);
            area += layout.bounds.width() * layout.bounds.height();
            for (const QPoint corner : {layout.bounds.topLeft(), layout.bounds.bottomRight()}) {
                EXPECT_EQ(CellAt(corner, width, height), cell) << width << "x" << height;
            }
            EXPECT_TRUE(layout.bounds.contains(layout.count.bottomRight()) &&
                        layout.count.top() >= layout.picture.y())
                << "the count stays in its cell, under the picture: cell " << cell << " at "
                << width << "x" << height;
        }
        EXPECT_EQ(area, width * height) << "no gaps, no overlaps";
        EXPECT_EQ(CellAt({width, 0}, width, height), -1);
        EXPECT_EQ(CellAt({0, -1}, width, height), -1);
    }
    EXPECT_EQ(CellLayout(0, 700, 600).count.top(), 2 * 100 / 3 + 10) << "roomy cells";
}

// Today is found by its day alone: the time of day of either date does not move it.
TEST(TodayMark, TodayIsTheDayOfNowWithinTheRun) {
    const CDateTime sunday(2026, 12, 6, 0, 0, 0);
    struct Case {
        CDateTime now;
        int index;
    };
    for (const Case& c :
         {Case{CDateTime(2026, 12, 6, 0, 0, 0), 0}, Case{CDateTime(2026, 12, 8, 23, 59, 59), 2},
          Case{CDateTime(2026, 12, 12, 12, 0, 0), 6}, Case{CDateTime(2026, 12, 13, 0, 0, 0), -1},
          Case{CDateTime(2026, 12, 5, 23, 59, 59), -1}}) {
        EXPECT_EQ(TodayIndex(sunday, 7, c.now), c.index) << c.now.ToSerialSeconds();
    }
    EXPECT_EQ(TodayIndex(CDateTime(2026, 11, 29, 15, 0, 0), 42, CDateTime(2026, 12, 8, 9, 0, 0)), 9)
        << "a grid start with a time of day";
    EXPECT_EQ(TodayIndex(CDateTime(0.0, CDateTime::invalid), 7, sunday), -1);
}
