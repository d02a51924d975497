#include "store/MeetingListFill.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using Ids = std::vector<std::string>;

namespace {

class MeetingListFill : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override { SetWorkingDirectory({}); }

    void Put(const std::string& id, const CDateTime& date, const std::string& title = "") {
        CMeeting record(date);
        record.id = id;
        record.title = title;
        record.venue = "Room " + title;
        record.icon = static_cast<int>(title.size());
        store.ModifyMeeting(record);
    }
    Ids Listed(const CDateTime& date) const {
        Ids ids;
        for (const CMeetingRow& row : FillMeetingList(store, date)) {
            ids.push_back(row.id);
        }
        return ids;
    }

    CTempFolder folder;
    CMeetingStore store;
};

} // namespace

TEST_F(MeetingListFill, ListsTheMonthOfTheYearInOrderOfDateAndTime) {
    // These three share one chain, so the store enumerates them newest first.
    Put("2004030109001210", CDateTime(2004, 3, 1, 9, 0, 0));
    Put("2004030308300610", CDateTime(2004, 3, 3, 8, 30, 0));
    Put("2004030314000010", CDateTime(2004, 3, 3, 14, 0, 0));
    Put("2004033123595910", CDateTime(2004, 3, 31, 23, 59, 59));
    Put("2005031000000010", CDateTime(2005, 3, 10, 0, 0, 0));
    Put("2004040100000010", CDateTime(2004, 4, 1, 0, 0, 0));
    Put("2004022923595910", CDateTime(2004, 2, 29, 23, 59, 59));
    const Ids march = {"2004030109001210", "2004030308300610", "2004030314000010",
                       "2004033123595910"};
    ASSERT_NE(store.GetMap().GetKeys(), march);
    EXPECT_EQ(Listed(CDateTime(2004, 3, 20, 0, 0, 0)), march);
}

TEST_F(MeetingListFill, RowsCarryTheRecordAndTiesKeepTheStoreOrder) {
    const CDateTime same(2004, 3, 5, 10, 0, 0);
    Put("2004030514070910", same, "Board");  // bucket 11
    Put("2004030514071010", same, "Budget"); // bucket 1, enumerated first
    const std::vector<CMeetingRow> rows = FillMeetingList(store, same);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, "2004030514071010");
    EXPECT_EQ(rows[0].title, "Budget");
    EXPECT_EQ(rows[0].venue, "Room Budget");
    EXPECT_EQ(rows[0].icon, 6);
    EXPECT_EQ(rows[0].date, same);
    EXPECT_EQ(rows[1].id, "2004030514070910");
}

TEST_F(MeetingListFill, InvalidDatesAndDaysBefore1900) {
    Put("1111111111111110", CDateTime(0.0, CDateTime::invalid));
    Put("2222222222222210", CDateTime(0.0, CDateTime::null));
    EXPECT_TRUE(Listed(CDateTime(0.0, CDateTime::invalid)).empty()) << "no month to list";
    EXPECT_TRUE(Listed(CDateTime(1899, 12, 30, 0, 0, 0)).empty())
        << "an invalid meeting date belongs to no month";

    // 18:00 (-1.75) is a smaller day count than 06:00 (-1.25) of the same day.
    Put("1899122918000010", CDateTime(1899, 12, 29, 18, 0, 0));
    Put("1899122906000010", CDateTime(1899, 12, 29, 6, 0, 0));
    Put("1899122812000010", CDateTime(1899, 12, 28, 12, 0, 0));
    EXPECT_EQ(Listed(CDateTime(1899, 12, 1, 0, 0, 0)),
              (Ids{"1899122812000010", "1899122906000010", "1899122918000010"}));
}

TEST_F(MeetingListFill, MonthsEndAtTheShownSecondAndRollOverTheYear) {
    // 0.4 seconds before midnight is shown as the next day's 00:00:00.
    const double newYear = CDateTime(2005, 1, 1, 0, 0, 0).GetDayCount();
    Put("2004123123595910", CDateTime(2004, 12, 31, 23, 59, 59));
    Put("2004123123595920", CDateTime(newYear - 0.4 / 86400));
    Put("2005010100000110", CDateTime(2005, 1, 1, 0, 0, 1));
    Put("2005013123595910", CDateTime(2005, 1, 31, 23, 59, 59));
    Put("2005020100000010", CDateTime(2005, 2, 1, 0, 0, 0));
    EXPECT_EQ(Listed(CDateTime(2004, 12, 15, 0, 0, 0)), Ids{"2004123123595910"});
    EXPECT_EQ(Listed(CDateTime(2005, 1, 15, 0, 0, 0)),
              (Ids{"2004123123595920", "2005010100000110", "2005013123595910"}));
}
