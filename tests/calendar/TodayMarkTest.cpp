#include "calendar/TodayMark.h"
#include "store/DateTime.h"

#include <gtest/gtest.h>

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
