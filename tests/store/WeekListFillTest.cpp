#include "store/WeekListFill.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <string>
#include <vector>

namespace {

class WeekListFill : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override { SetWorkingDirectory({}); }

    void Put(const std::string& id, const CDateTime& date) {
        CMeeting record(date);
        record.id = id;
        record.title = "Meeting " + id;
        store.ModifyMeeting(record);
    }
    // Each shown meeting as "id weekday hour position".
    std::vector<std::string> Shown(const CDateTime& date) const {
        std::vector<std::string> shown;
        for (const CWeekSlot& slot : FillWeekList(store, date).meetings) {
            shown.push_back(slot.id + " " + std::to_string(slot.weekday) + " " +
                            std::to_string(slot.hour) + " " + std::to_string(slot.position));
        }
        return shown;
    }

    CTempFolder folder;
    CMeetingStore store;
};

} // namespace

// The week of 1 January 2025 runs from Sunday 29 December 2024 to Saturday 4 January 2025; any
// of its days, at any hour, shows the same week.
TEST_F(WeekListFill, AWeekAcrossTheYearEndRunsFromSundayMidnightToSaturdayNight) {
    Put("2024122823595910", CDateTime(2024, 12, 28, 23, 59, 59)); // Saturday before
    Put("2024122900000010", CDateTime(2024, 12, 29, 0, 0, 0));    // Sunday 00:00
    Put("2024123123300010", CDateTime(2024, 12, 31, 23, 30, 0));  // Tuesday 23:30
    Put("2025010116590010", CDateTime(2025, 1, 1, 16, 59, 0));    // Wednesday 16:59
    Put("2025010423595910", CDateTime(2025, 1, 4, 23, 59, 59));   // Saturday 23:59:59
    Put("2025010500000010", CDateTime(2025, 1, 5, 0, 0, 0));      // the next Sunday
    // Half a second before midnight shows as the next Sunday, 00:00:00: it belongs there, not
    // in this week's Sunday 00:00 cell.
    Put("2025010423595920", CDateTime(CDateTime(2025, 1, 5, 0, 0, 0).GetDayCount() - 0.5 / 86400));

    std::vector<std::string> expected = {"2024122900000010 1 0 0", "2024123123300010 3 23 0",
                                         "2025010116590010 4 16 0", "2025010423595910 7 23 0"};
    for (const CDateTime& date :
         {CDateTime(2025, 1, 1, 0, 0, 0), CDateTime(2024, 12, 29, 0, 0, 0),
          CDateTime(2025, 1, 4, 23, 59, 59), CDateTime(2024, 12, 31, 12, 0, 0)}) {
        std::vector<std::string> shown = Shown(date);
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, expected) << "week of day count " << date.GetDayCount();
        EXPECT_EQ(FillWeekList(store, date).sunday, CDateTime(2024, 12, 29, 0, 0, 0));
    }

    // Across a month end inside one year: Sunday 28 February 2021 .. Saturday 6 March.
    Put("2021022800000010", CDateTime(2021, 2, 28, 0, 0, 0));
    Put("2021030609000010", CDateTime(2021, 3, 6, 9, 0, 0));
    std::vector<std::string> march = Shown(CDateTime(2021, 3, 3, 0, 0, 0));
    std::sort(march.begin(), march.end());
    EXPECT_EQ(march,
              (std::vector<std::string>{"2021022800000010 1 0 0", "2021030609000010 7 9 0"}));
}

// A crowded hour keeps the first eight meetings the store enumerates there, positions in that
// order; the rest of the cell is left out, and neighbouring cells are not disturbed.
TEST_F(WeekListFill, ACrowdedHourShowsItsFirstEightInEnumerationOrder) {
    for (int i = 0; i < 11; ++i) {
        char id[17];
        std::snprintf(id, sizeof id, "20250107%02d%02d0010", 9, 10 + i * 3);
        Put(id, CDateTime(2025, 1, 7, 9, 10 + i * 3, 0)); // Tuesday 09:10 .. 09:40
    }
    Put("2025010710000010", CDateTime(2025, 1, 7, 10, 0, 0));
    Put("2025010809000010", CDateTime(2025, 1, 8, 9, 0, 0));

    std::vector<std::string> expected;
    std::vector<std::string> enumerated;
    for (const CMeetingMap::Entry& entry : store) {
        if (entry.value.date.GetHour() == 9 && entry.value.date.GetDay() == 7) {
            enumerated.push_back(entry.Key());
        }
    }
    ASSERT_EQ(enumerated.size(), 11u);
    std::vector<std::string> byTime = enumerated;
    std::sort(byTime.begin(), byTime.end());
    ASSERT_NE(byTime, enumerated) << "the test needs an enumeration order unlike time order";

    const CWeekList week = FillWeekList(store, CDateTime(2025, 1, 9, 0, 0, 0));
    std::vector<std::string> crowded;
    int neighbours = 0;
    for (const CWeekSlot& slot : week.meetings) {
        if (slot.weekday == 3 && slot.hour == 9) {
            EXPECT_EQ(slot.position, static_cast<int>(crowded.size())) << slot.id;
            crowded.push_back(slot.id);
        } else {
            EXPECT_EQ(slot.position, 0) << slot.id;
            ++neighbours;
        }
    }
    EXPECT_EQ(crowded, std::vector<std::string>(enumerated.begin(), enumerated.begin() + 8));
    EXPECT_EQ(neighbours, 2);
}

TEST_F(WeekListFill, NothingForADateOutsideTheCalendarAndNoMeetingWithoutADate) {
    Put("2025010710000010", CDateTime(2025, 1, 7, 10, 0, 0));
    Put("2025010710000020",
        CDateTime(CDateTime(2025, 1, 7, 10, 0, 0).GetDayCount(), CDateTime::invalid));
    EXPECT_EQ(Shown(CDateTime(2025, 1, 7, 0, 0, 0)).size(), 1u);
    EXPECT_TRUE(
        Shown(CDateTime(CDateTime(2025, 1, 7, 0, 0, 0).GetDayCount(), CDateTime::null)).empty());
    EXPECT_TRUE(Shown(CDateTime(1e9)).empty());
}

// Moving to a cell keeps the minute and the second, and takes the weekday within the week.
TEST(WeekListMove, ACellGivesTheWeekdayAndHourAndKeepsMinuteAndSecond) {
    EXPECT_EQ(MovedToCell(CDateTime(2025, 1, 7, 9, 45, 37), 5, 14),
              CDateTime(2025, 1, 9, 14, 45, 37));
    EXPECT_EQ(MovedToCell(CDateTime(2025, 1, 7, 9, 45, 37), 1, 0),
              CDateTime(2025, 1, 5, 0, 45, 37));
    // Across the end of a month and of a year.
    EXPECT_EQ(MovedToCell(CDateTime(2021, 2, 28, 23, 5, 6), 7, 8), CDateTime(2021, 3, 6, 8, 5, 6));
    EXPECT_EQ(MovedToCell(CDateTime(2025, 1, 1, 10, 0, 1), 1, 23),
              CDateTime(2024, 12, 29, 23, 0, 1));
    // A date without a value goes nowhere.
    const CDateTime none(0.0, CDateTime::null);
    EXPECT_EQ(MovedToCell(none, 3, 4), none);
}
