#include "store/MonthGridFill.h"
#include "store/DateStep.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class MonthGridFill : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override { SetWorkingDirectory({}); }

    void Put(const std::string& id, const CDateTime& date, const std::string& title = "") {
        CMeeting record(date);
        record.id = id;
        record.title = title;
        store.ModifyMeeting(record);
    }

    CTempFolder folder;
    CMeetingStore store;
};

struct Layout {
    int firstRow, firstColumn, nextRow, nextColumn;
    CDateTime start;
};

void ExpectLayout(const CMonthGrid& grid, const Layout& expected, const char* month) {
    EXPECT_EQ(grid.firstDayRow, expected.firstRow) << month;
    EXPECT_EQ(grid.firstDayColumn, expected.firstColumn) << month;
    EXPECT_EQ(grid.nextMonthRow, expected.nextRow) << month;
    EXPECT_EQ(grid.nextMonthColumn, expected.nextColumn) << month;
    EXPECT_EQ(grid.gridStart, expected.start) << month;
    // Day 1 sits where the layout says, and the cells around the month are the grey ones.
    const int first = expected.firstRow * 7 + expected.firstColumn;
    const int next = expected.nextRow * 7 + expected.nextColumn;
    EXPECT_EQ(grid.days[first], 1) << month;
    EXPECT_EQ(grid.days[next], 1) << month;
    for (int cell = 0; cell < CMonthGrid::cellCount; ++cell) {
        EXPECT_EQ(grid.InMonth(cell), cell >= first && cell < next) << month << " cell " << cell;
    }
}

} // namespace

TEST_F(MonthGridFill, LaysOutSixWeeksAroundTheMonth) {
    // 1 September 2024 is a Sunday: a whole week of August comes first.
    const CMonthGrid september = FillMonthGrid(store, CDateTime(2024, 9, 17, 15, 30, 0));
    ExpectLayout(september, {1, 0, 5, 2, CDateTime(2024, 8, 25, 0, 0, 0)}, "September 2024");
    EXPECT_EQ(september.days[0], 25);
    EXPECT_EQ(september.days[6], 31);

    // 1 March 2025 is a Saturday and March has 31 days.
    const CMonthGrid march = FillMonthGrid(store, CDateTime(2025, 3, 1, 0, 0, 0));
    ExpectLayout(march, {0, 6, 5, 2, CDateTime(2025, 2, 23, 0, 0, 0)}, "March 2025");
    EXPECT_EQ(march.days[5 * 7 + 1], 31) << "day 31 in row 5, column 1";

    // February of a common year, starting on a Monday.
    const CMonthGrid february = FillMonthGrid(store, CDateTime(2027, 2, 28, 23, 59, 59));
    ExpectLayout(february, {0, 1, 4, 1, CDateTime(2027, 1, 31, 0, 0, 0)}, "February 2027");

    // December runs on into January of the next year.
    const CMonthGrid december = FillMonthGrid(store, CDateTime(2024, 12, 31, 0, 0, 0));
    ExpectLayout(december, {1, 0, 5, 3, CDateTime(2024, 11, 24, 0, 0, 0)}, "December 2024");
    EXPECT_EQ(december.days[41], 4) << "4 January 2025 ends the grid";
    EXPECT_EQ(december.CellDate(41), CDateTime(2025, 1, 4, 0, 0, 0));

    const CMonthGrid none = FillMonthGrid(store, CDateTime(0.0, CDateTime::invalid));
    EXPECT_EQ(none.days[0], 0) << "a date that is not valid has no month to show";
}

TEST_F(MonthGridFill, CountsTheGridsSecondsButItsVeryLast) {
    const CDateTime start(2024, 8, 25, 0, 0, 0); // the grid of September 2024
    Put("2024082500000010", start);
    Put("2024082423595910", start.AddSeconds(-1));
    const long long lastSecond = 41LL * 86400 + 23 * 3600 + 59 * 60 + 59;
    Put("2024100523595810", start.AddSeconds(lastSecond - 1));
    Put("2024100523595910", start.AddSeconds(lastSecond));
    Put("2024091512000010", CDateTime(2024, 9, 15, 12, 0, 0));
    const CMonthGrid grid = FillMonthGrid(store, CDateTime(2024, 9, 1, 0, 0, 0));
    EXPECT_EQ(grid.counts[0], 1) << "the grid's first second counts";
    EXPECT_EQ(grid.counts[41], 1) << "41 d 23:59:58 counts, 41 d 23:59:59 does not";
    EXPECT_EQ(grid.counts[3 * 7 + 0], 1) << "15 September, row 3, Sunday";
    int total = 0;
    for (const int count : grid.counts) {
        total += count;
    }
    EXPECT_EQ(total, 3) << "nothing before the grid, nothing in its last second";
}

TEST_F(MonthGridFill, ThreeMeetingsOnADayCountAndListInStoreOrder) {
    // Ids whose chains make the store's order neither the order of adding nor
    // the order of time.
    Put("2004030509000010", CDateTime(2004, 3, 5, 9, 0, 0), "Board");
    Put("2004030514000210", CDateTime(2004, 3, 5, 14, 0, 0), "Budget");
    Put("2004030511000010", CDateTime(2004, 3, 5, 11, 0, 0), "Canteen");
    Put("2004030600000010", CDateTime(2004, 3, 6, 0, 0, 0), "Next day");
    Put("2004030423595910", CDateTime(2004, 3, 4, 23, 59, 59), "Day before");
    std::string expected;
    for (const std::string& key : store.GetMap().GetKeys()) {
        const std::string title = store.GetMeeting(key).title;
        if (title == "Board" || title == "Budget" || title == "Canteen") {
            expected += (expected.empty() ? "" : "\r\n") + title;
        }
    }
    ASSERT_NE(expected, "Board\r\nBudget\r\nCanteen") << "pick ids the store orders otherwise";
    ASSERT_NE(expected, "Board\r\nCanteen\r\nBudget") << "pick ids the store orders otherwise";

    const CMonthGrid grid = FillMonthGrid(store, CDateTime(2004, 3, 1, 0, 0, 0));
    const int cell = 5; // 1 March 2004 is a Monday: the 5th is row 0, Friday
    EXPECT_EQ(grid.days[cell], 5);
    EXPECT_EQ(grid.counts[cell], 3);
    EXPECT_EQ(DayTipText(store, CDateTime(2004, 3, 5, 18, 0, 0)), expected);
    EXPECT_EQ(DayTipText(store, CDateTime(2004, 3, 7, 0, 0, 0)), "") << "a day without meetings";
}

TEST(DateStep, StepsByDayWeekAndMonthKeepingTheTime) {
    const CDateTime lastOfJanuary(2024, 1, 31, 9, 45, 0);
    EXPECT_EQ(StepDate(lastOfJanuary, DateStep::month, 1), CDateTime(2024, 2, 29, 9, 45, 0))
        << "to the last day of a shorter month";
    EXPECT_EQ(StepDate(CDateTime(2024, 3, 31, 8, 0, 0), DateStep::month, -1),
              CDateTime(2024, 2, 29, 8, 0, 0));
    EXPECT_EQ(StepDate(CDateTime(2024, 12, 15, 0, 0, 0), DateStep::month, 1),
              CDateTime(2025, 1, 15, 0, 0, 0));
    EXPECT_EQ(StepDate(CDateTime(2024, 12, 31, 23, 0, 0), DateStep::day, 1),
              CDateTime(2025, 1, 1, 23, 0, 0));
    EXPECT_EQ(StepDate(CDateTime(2024, 3, 1, 12, 0, 0), DateStep::week, -1),
              CDateTime(2024, 2, 23, 12, 0, 0));
    const CDateTime last(9999, 12, 31, 0, 0, 0);
    EXPECT_EQ(StepDate(last, DateStep::day, 1), last) << "no step out of the calendar";
    const CDateTime invalid(0.0, CDateTime::invalid);
    EXPECT_EQ(StepDate(invalid, DateStep::week, 1), invalid);
}
