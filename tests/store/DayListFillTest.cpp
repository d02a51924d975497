#include "store/DayListFill.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using Ids = std::vector<std::string>;

namespace {

class DayListFill : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override { SetWorkingDirectory({}); }

    void Put(const std::string& id, const CDateTime& date) {
        CMeeting record(date);
        record.id = id;
        record.title = "Title " + id;
        store.ModifyMeeting(record);
    }
    static Ids Half(const CDayList& day, int hour, int half) {
        Ids ids;
        for (const CDaySlot& slot : day.hours[static_cast<std::size_t>(hour)].halves[half]) {
            ids.push_back(slot.id);
        }
        return ids;
    }

    CTempFolder folder;
    CMeetingStore store;
};

} // namespace

TEST_F(DayListFill, EachMeetingGoesToTheHalfHourItStartsIn) {
    Put("2004030909290010", CDateTime(2004, 3, 9, 9, 29, 59));
    Put("2004030909300010", CDateTime(2004, 3, 9, 9, 30, 0));
    Put("2004030916590010", CDateTime(2004, 3, 9, 16, 59, 0));
    Put("2004030917000010", CDateTime(2004, 3, 9, 17, 0, 0));
    Put("2004030900000010", CDateTime(2004, 3, 9, 0, 0, 0));
    Put("2004030923595910", CDateTime(2004, 3, 9, 23, 59, 59));
    // The neighbouring days' last and first seconds are not this day's.
    Put("2004030823595910", CDateTime(2004, 3, 8, 23, 59, 59));
    Put("2004031000000010", CDateTime(2004, 3, 10, 0, 0, 0));
    // Same day and month of another year.
    Put("2005030910000010", CDateTime(2005, 3, 9, 10, 0, 0));

    const CDayList day = FillDayList(store, CDateTime(2004, 3, 9, 18, 45, 0));
    EXPECT_EQ(Half(day, 9, 0), Ids{"2004030909290010"}) << "09:29:59 is in the :00 half";
    EXPECT_EQ(Half(day, 9, 1), Ids{"2004030909300010"}) << "09:30 is in the :30 half";
    EXPECT_EQ(Half(day, 16, 1), Ids{"2004030916590010"});
    EXPECT_EQ(Half(day, 17, 0), Ids{"2004030917000010"}) << "17:00 is row 17, not 16";
    EXPECT_EQ(Half(day, 0, 0), Ids{"2004030900000010"});
    EXPECT_EQ(Half(day, 23, 1), Ids{"2004030923595910"});
    int shown = 0;
    for (const CDayHour& hour : day.hours) {
        shown += static_cast<int>(hour.halves[0].size() + hour.halves[1].size());
    }
    EXPECT_EQ(shown, 6) << "nothing from the day before, the day after or another year";
    EXPECT_EQ(day.FirstBusyHour(), 0);
    EXPECT_EQ(day.hours[9].halves[0][0].title, "Title 2004030909290010");
    EXPECT_EQ(day.AtKey(960), &day.hours[9].halves[1][0]) << "slot key of 09:30's first box";
    EXPECT_EQ(day.AtKey(920), nullptr);
    EXPECT_EQ(day.AtKey(950), nullptr) << "position 5 is never used";
}

TEST_F(DayListFill, AHalfHourShowsItsFirstFourInTheStoreOrder) {
    // Six at 10:00 and 10:15, two at 10:45.
    for (int i = 0; i < 6; ++i) {
        Put("20040309100" + std::to_string(i) + "0010",
            CDateTime(2004, 3, 9, 10, i < 3 ? 0 : 15, i));
    }
    Put("2004030910450010", CDateTime(2004, 3, 9, 10, 45, 0));
    Put("2004030910450110", CDateTime(2004, 3, 9, 10, 45, 1));
    Ids enumerated;
    for (const auto& entry : store.GetMap()) {
        if (entry.value.date.GetMinute() < 30) {
            enumerated.push_back(entry.Key());
        }
    }
    const CDayList day = FillDayList(store, CDateTime(2004, 3, 9, 0, 0, 0));
    EXPECT_EQ(Half(day, 10, 0), Ids(enumerated.begin(), enumerated.begin() + 4))
        << "the fifth and sixth meeting of the half hour are not shown";
    EXPECT_EQ(Half(day, 10, 1).size(), 2u);
    EXPECT_EQ(day.hours[10].WidestHalf(), 4);
    EXPECT_EQ(day.AtKey(CDayList::SlotKey(10, 0, 3)), &day.hours[10].halves[0][3]);
    EXPECT_EQ(day.AtKey(CDayList::SlotKey(10, 1, 1))->id, Half(day, 10, 1)[1]);
}

TEST_F(DayListFill, AnEmptyDayOrAnInvalidDateShowsNothing) {
    Put("2004030910000010", CDateTime(2004, 3, 9, 10, 0, 0));
    CMeeting broken;
    broken.id = "2004030911000010";
    broken.date = CDateTime(0.0, CDateTime::invalid);
    store.ModifyMeeting(broken);
    EXPECT_EQ(FillDayList(store, CDateTime(2004, 3, 10, 0, 0, 0)).FirstBusyHour(), -1);
    EXPECT_EQ(FillDayList(store, CDateTime(0.0, CDateTime::invalid)).FirstBusyHour(), -1)
        << "an invalid date matches no meeting, not even one whose own date is invalid";
}

// A drop moves a meeting to the hour and the half's first minute, keeping its day and second;
// only a drop on its very hour and minute leaves it.
TEST(MoveToHalfHour, ADropSetsTheHalfsFirstMinuteUnlessItIsThereAlready) {
    struct Case {
        CDateTime from;
        int hour;
        int half;
        CDateTime to;
    };
    const CDateTime nineFifteen(2004, 3, 9, 9, 15, 42);
    for (const Case& c :
         {Case{nineFifteen, 14, 0, CDateTime(2004, 3, 9, 14, 0, 42)},
          Case{nineFifteen, 9, 0, CDateTime(2004, 3, 9, 9, 0, 42)},
          Case{nineFifteen, 9, 1, CDateTime(2004, 3, 9, 9, 30, 42)},
          Case{CDateTime(2004, 3, 9, 9, 30, 5), 9, 1, CDateTime(2004, 3, 9, 9, 30, 5)},
          Case{CDateTime(2004, 3, 9, 9, 0, 0), 9, 0, CDateTime(2004, 3, 9, 9, 0, 0)}}) {
        EXPECT_EQ(MoveToHalfHour(c.from, c.hour, c.half).ToSerialSeconds(), c.to.ToSerialSeconds())
            << c.from.ToSerialSeconds() << " to " << c.hour << " half " << c.half;
    }
}
