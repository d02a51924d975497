// The store answers "which meetings fall in this band of seconds" from a date index, and the
// day, week, month and list views are filled from its answers. Each answer must be exactly
// what a plain walk over every meeting gives, through loads and every kind of change.

#include "store/DateStep.h"
#include "store/DayListFill.h"
#include "store/MeetingListFill.h"
#include "store/MonthGridFill.h"
#include "store/WeekListFill.h"
#include "tests/support/StoreFolder.h"

#include <chrono>
#include <climits>
#include <cmath>
#include <random>

namespace {

using Entries = std::vector<const CMeetingMap::Entry*>;
using Texts = std::vector<std::string>;
using namespace std::chrono;
constexpr long long daySeconds = 86400;
const sys_days epoch = year(1899) / December / 30;

long long Floor(long long second, long long unit) {
    return second / unit * unit - (second % unit < 0 ? unit : 0);
}

long long SecondOf(sys_days date) {
    return (date - epoch).count() * daySeconds;
}

long long MonthStart(long long second, int monthsLater) {
    const year_month_day date(epoch + days(Floor(second, daySeconds) / daySeconds));
    return SecondOf(sys_days((date.year() / date.month() + months(monthsLater)) / 1));
}

// The meetings of the store, in its own order, whose whole second is in [first, end).
Entries Walk(const CMeetingStore& store, long long first, long long end) {
    Entries found;
    for (const CMeetingMap::Entry& entry : store) {
        const long long second = entry.value.date.ToSerialSeconds();
        if (entry.value.date.IsValid() && second >= first && second < end) {
            found.push_back(&entry);
        }
    }
    return found;
}

// Each fill as text, and the same spelled out from the walk. A day list's slot is named by the
// key its widget hit-tests: hour × 100 + position × 10, positions 1 to 4 at :00, 6 to 9 at :30.
Texts DayOf(const CDayList& list) {
    Texts shown, byKey;
    for (int hour = 0; hour < CDayList::hourCount; ++hour) {
        for (int half = 0; half < 2; ++half) {
            int position = half * 5;
            for (const CDaySlot& slot : list.hours[hour].halves[half]) {
                shown.push_back(std::to_string(hour * 100 + ++position * 10) + " " + slot.id);
            }
        }
    }
    for (int key = -10; key <= CDayList::hourCount * 100; key += 5) {
        if (const CDaySlot* slot = list.AtKey(key)) {
            byKey.push_back(std::to_string(key) + " " + slot->id);
        }
    }
    EXPECT_EQ(byKey, shown) << "a slot key finds no slot or another one";
    EXPECT_EQ(list.FirstBusyHour(), shown.empty() ? -1 : std::stoi(shown[0]) / 100);
    return shown;
}

Texts DayModel(const CMeetingStore& store, const CDateTime& date) {
    std::map<int, Texts> halves;
    for (const CMeetingMap::Entry* entry : Walk(store, LLONG_MIN, LLONG_MAX)) {
        const CDateTime::Parts p = entry->value.date.GetParts();
        const CDateTime::Parts wanted = date.GetParts();
        Texts& half = halves[p.hour * 2 + p.minute / 30];
        if (date.IsValid() && p.year == wanted.year && p.month == wanted.month &&
            p.day == wanted.day && half.size() < CDayList::maxPerHalf) {
            const std::size_t position = p.minute / 30 * 5 + half.size() + 1;
            half.push_back(std::to_string(p.hour * 100 + position * 10) + " " + entry->Key());
        }
    }
    Texts shown;
    for (const auto& [each, slots] : halves) {
        shown.insert(shown.end(), slots.begin(), slots.end());
    }
    return shown;
}

Texts WeekOf(const CWeekList& week) {
    Texts shown;
    for (const CWeekSlot& slot : week.meetings) {
        shown.push_back(slot.id + " " + std::to_string(slot.weekday) + " " +
                        std::to_string(slot.hour) + " " + std::to_string(slot.position));
    }
    return shown;
}

// Day 1 of the serial scale is a Sunday.
long long SundayBefore(long long second) {
    const long long midnight = Floor(second, daySeconds);
    return midnight - ((midnight / daySeconds + 6) % 7 + 7) % 7 * daySeconds;
}

Texts WeekModel(const CMeetingStore& store, const CDateTime& date) {
    Texts shown;
    if (!date.IsValid()) {
        return shown;
    }
    const long long sunday = SundayBefore(date.ToSerialSeconds());
    std::map<long long, int> taken;
    for (const CMeetingMap::Entry* entry : Walk(store, sunday, sunday + 7 * daySeconds)) {
        const long long offset = entry->value.date.ToSerialSeconds() - sunday;
        int& count = taken[offset / 3600];
        if (count < weekCellCapacity) {
            shown.push_back(entry->Key() + " " + std::to_string(offset / daySeconds + 1) + " " +
                            std::to_string(offset % daySeconds / 3600) + " " +
                            std::to_string(count++));
        }
    }
    return shown;
}

// The grid starts on the Sunday before day 1 (a whole week before when day 1 is a
// Sunday) and counts every second of its six weeks but the very last.
std::array<int, CMonthGrid::cellCount> MonthModel(const CMeetingStore& store,
                                                  const CDateTime& date) {
    std::array<int, CMonthGrid::cellCount> counts{};
    if (!date.IsValid()) {
        return counts;
    }
    const long long first = MonthStart(date.ToSerialSeconds(), 0);
    const long long start = SundayBefore(first - 1);
    for (const CMeetingMap::Entry* entry :
         Walk(store, start, start + CMonthGrid::cellCount * daySeconds - 1)) {
        ++counts[static_cast<std::size_t>(
            (Floor(entry->value.date.ToSerialSeconds(), daySeconds) - start) / daySeconds)];
    }
    return counts;
}

std::string TipModel(const CMeetingStore& store, const CDateTime& date) {
    std::string text;
    const long long midnight = Floor(date.ToSerialSeconds(), daySeconds);
    for (const CMeetingMap::Entry* entry : Walk(store, midnight, midnight + daySeconds)) {
        text += (text.empty() ? "" : "\r\n") + entry->value.title;
    }
    return date.IsValid() ? text : "";
}

Texts ListOf(const std::vector<CMeetingRow>& rows) {
    Texts ids;
    for (const CMeetingRow& row : rows) {
        ids.push_back(row.id + " " + row.title + " " + row.venue + " " + std::to_string(row.icon) +
                      " " + std::to_string(row.date.GetDayCount()));
    }
    return ids;
}

Texts ListModel(const CMeetingStore& store, const CDateTime& date) {
    const long long second = date.ToSerialSeconds();
    Entries found = Walk(store, MonthStart(second, 0), MonthStart(second, 1));
    std::stable_sort(found.begin(), found.end(), [](auto* a, auto* b) {
        return a->value.date.ToSerialSeconds() < b->value.date.ToSerialSeconds();
    });
    Texts ids;
    for (const CMeetingMap::Entry* entry : found) {
        const CMeeting& m = entry->value;
        ids.push_back(entry->Key() + " " + m.title + " " + m.venue + " " + std::to_string(m.icon) +
                      " " + std::to_string(m.date.GetDayCount()));
    }
    return date.IsValid() ? ids : Texts{};
}

// Dates where an index or a fill is easy to get wrong: crowded in one half hour (more than a
// half hour or a week cell shows), at the ends of months and years, before 1900 (where the
// fraction counts forward from a negative day), a hair before midnight so that they round
// into the next day, and not valid at all.
CDateTime RandomDate(std::mt19937& random) {
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    const double jitter = pick(1000) / 1000.0 / daySeconds; // under a second
    switch (pick(8)) {
    case 0: // one crowded half hour
        return CDateTime(2004, 3, 5, 10, pick(30), pick(60)).GetDayCount() + jitter;
    case 1: { // the last seconds of a month or a year
        static const CDateTime ends[] = {CDateTime(2004, 2, 29, 23, 59, 58),
                                         CDateTime(2004, 12, 31, 23, 59, 58),
                                         CDateTime(1899, 12, 31, 23, 59, 58)};
        return ends[pick(3)].GetDayCount() + (pick(4) * 0.5) / daySeconds;
    }
    case 2: // before 1900: negative day counts
        return CDateTime(-(pick(800) + 1) - pick(86400) / double(daySeconds));
    case 3: { // rounds up to the next day: a whole day less a fraction of a second
        const double whole = pick(40) - 20;
        const double hair = (0.5 + pick(5) / 10.0) / daySeconds;
        return CDateTime(whole >= 0 ? whole + 1 - hair : whole - 1 + hair);
    }
    case 4: { // not a valid date
        static const CDateTime invalid[] = {
            CDateTime(38000.5, CDateTime::invalid), CDateTime(38000.5, CDateTime::null),
            CDateTime(std::nan("")), CDateTime(1e9), CDateTime(-1e9)};
        return invalid[pick(5)];
    }
    case 5: // midnight exactly, on either side of 1899
        return CDateTime(static_cast<double>(pick(60) - 30));
    default: // anywhere from 1850 to 2060
        return CDateTime(-18000 + pick(58000) + pick(86400) / double(daySeconds));
    }
}

class Fills : public CStoreFolderTest {
protected:
    void SetUp() override {
        CStoreFolderTest::SetUp();
        SetClock([] { return CDateTime(2004, 3, 5, 14, 7, 9); });
        // Ids that all land in one chain, so that the order within a chain is tested hard.
        for (long long n = 2004000000000010; chainIds.size() < 40; n += 100) {
            if (CMeetingMap::BucketOf(std::to_string(n)) == 5) {
                chainIds.push_back(std::to_string(n));
            }
        }
    }

    std::string RandomId() {
        if (random() % 3 == 0) {
            return chainIds[random() % chainIds.size()];
        }
        return std::to_string(2000000000000000 + random() % 900000000000 * 100 + 10);
    }
    void PutRandom(std::string id, const CDateTime& date) {
        CMeeting record = MeetingAt(id, date, "Title " + id);
        record.venue = "Room " + id.substr(10);
        record.icon = static_cast<int>(random() % 12);
        PutFile(record);
    }

    // Asks every fill about some stored dates and random seconds, and the index about bands of
    // every size the fills use and a few odd ones; compares each answer with the walk.
    void ExpectSameAsWalk(const std::string& when) {
        // Months whose day 1 is a Sunday (a whole week before it in the grid) or a Monday.
        std::vector<long long> anchors = {0,
                                          -1,
                                          daySeconds - 1,
                                          -daySeconds,
                                          CDateTime(2024, 9, 17, 15, 30, 0).ToSerialSeconds(),
                                          CDateTime(2027, 2, 28, 23, 59, 59).ToSerialSeconds()};
        for (const CMeetingMap::Entry& entry : store) {
            if (entry.value.date.IsValid() && random() % 4 == 0) {
                anchors.push_back(entry.value.date.ToSerialSeconds());
            }
        }
        std::vector<std::pair<long long, long long>> bands = {
            {LLONG_MIN, LLONG_MAX}, {0, 0}, {5, 4}, {-daySeconds, daySeconds}};
        for (const long long s : anchors) {
            const long long midnight = Floor(s, daySeconds);
            bands.insert(bands.end(), {{s, s + 1},
                                       {s - 1, s},
                                       {midnight, midnight + daySeconds},
                                       {SundayBefore(s), SundayBefore(s) + 7 * daySeconds},
                                       {MonthStart(s, 0), MonthStart(s, 1)},
                                       {s - 1800, s + 1800}});
        }
        // The index first: the fills trust its answers to lie in the band they asked for.
        for (const auto& [first, end] : bands) {
            const Entries expected = Walk(store, first, end);
            const Entries got = store.MeetingsInBand(first, end);
            ASSERT_EQ(got, expected) << when << ", band [" << first << ", " << end << ")";
        }
        for (const long long s : anchors) {
            ASSERT_NO_FATAL_FAILURE(ExpectFillsAsWalk(CDateTime::FromSerialSeconds(s), when));
        }
        ExpectFillsAsWalk(CDateTime(38000.5, CDateTime::invalid), when);
    }
    void ExpectFillsAsWalk(const CDateTime& date, const std::string& when) {
        const std::string context = when + ", day count " + std::to_string(date.GetDayCount());
        ASSERT_EQ(DayOf(FillDayList(store, date)), DayModel(store, date)) << context;
        const CWeekList week = FillWeekList(store, date);
        ASSERT_EQ(WeekOf(week), WeekModel(store, date)) << context;
        if (date.IsValid()) {
            ASSERT_EQ(week.sunday.ToSerialSeconds(), SundayBefore(date.ToSerialSeconds()));
        }
        const CMonthGrid grid = FillMonthGrid(store, date);
        ASSERT_EQ(grid.counts, MonthModel(store, date)) << context;
        ASSERT_NO_FATAL_FAILURE(ExpectMonthLayout(grid, date, context));
        ASSERT_EQ(DayTipText(store, date), TipModel(store, date)) << context;
        ASSERT_EQ(ListOf(FillMeetingList(store, date)), ListModel(store, date)) << context;
    }

    // The grid's six weeks start on the Sunday before day 1 (a whole week before when day 1 is
    // a Sunday); the grey days are those of the months around it.
    static void ExpectMonthLayout(const CMonthGrid& grid, const CDateTime& date,
                                  const std::string& context) {
        if (!date.IsValid()) {
            ASSERT_EQ(grid.days, decltype(grid.days){}) << context;
            return;
        }
        const long long first = MonthStart(date.ToSerialSeconds(), 0);
        const long long start = SundayBefore(first - 1);
        ASSERT_EQ(grid.gridStart.ToSerialSeconds(), start) << context;
        for (int cell = 0; cell < CMonthGrid::cellCount; ++cell) {
            const long long midnight = start + cell * daySeconds;
            const CDateTime day = CDateTime::FromSerialSeconds(midnight);
            ASSERT_EQ(grid.days[cell], day.GetDay()) << context << ", cell " << cell;
            ASSERT_EQ(grid.CellDate(cell), day) << context << ", cell " << cell;
            ASSERT_EQ(grid.InMonth(cell),
                      midnight >= first && midnight < MonthStart(date.ToSerialSeconds(), 1))
                << context << ", cell " << cell;
        }
    }

    std::mt19937 random{20041231};
    Texts chainIds;
};

} // namespace

TEST_F(Fills, AnswerAsAWalkOverEveryMeetingThroughLoadsAndChanges) {
    for (int i = 0; i < 400; ++i) {
        PutRandom(RandomId(), RandomDate(random));
    }
    // The first and last seconds of the grid of September 2024, and the ones beside them.
    const CDateTime grid(2024, 8, 25, 0, 0, 0);
    for (const long long offset : {-1LL, 0LL, 42 * daySeconds - 2, 42 * daySeconds - 1}) {
        PutRandom(std::to_string(2024090100000010 + (offset + 1) * 100), grid.AddSeconds(offset));
    }
    // Neither file is named after the id they share, so both load and the later name wins.
    PutFile("meeting-a.mtg", MeetingAt(chainIds[0], CDateTime(2004, 1, 1, 9, 0, 0)));
    PutFile("meeting-b.mtg", MeetingAt(chainIds[0], CDateTime(2004, 6, 1, 9, 0, 0)));
    store.LoadAll();
    ASSERT_GT(store.GetCount(), 300u);
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsWalk("after a load"));

    // Changes through the store, each one written through to its file.
    const Texts ids = store.GetMap().GetKeys();
    for (int i = 0; i < 30; ++i) {
        CMeeting record = store.GetMeeting(ids[random() % ids.size()]);
        record.date = i % 5 == 0 ? record.date : RandomDate(random); // some keep their date
        record.title = "moved " + std::to_string(i);
        store.ModifyMeeting(record);
    }
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsWalk("after modifies"));
    for (int i = 0; i < 10; ++i) {
        store.AddMeeting(CMeeting(RandomDate(random))); // new heads of their chains
        store.ModifyMeeting(MeetingAt(chainIds[i], RandomDate(random))); // an unknown id
    }
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsWalk("after adds"));
    for (int i = 0; i < 20; ++i) {
        const Texts now = store.GetMap().GetKeys();
        store.DeleteMeeting(now[random() % now.size()]);
    }
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsWalk("after deletes"));

    // A file read on its own replaces the stored record of its id.
    const std::string stored = store.GetMap().GetKeys().front();
    PutFile(MeetingAt(stored, CDateTime(2004, 3, 5, 10, 15, 0)));
    ASSERT_EQ(store.ReadMeetingFile(folder / ("meeting" + stored + ".mtg")),
              CMeetingStore::ReadResult::loaded);
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsWalk("after reading one file"));

    // The files changed behind the store's back, then a reload.
    for (int i = 0; i < 100; ++i) {
        PutRandom(RandomId(), RandomDate(random));
    }
    store.LoadAll();
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsWalk("after a reload"));
    store.RemoveAll();
    store.AddMeeting(CMeeting(CDateTime(2004, 3, 5, 10, 0, 0)));
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsWalk("after an add to an emptied store"));
}

// A drop on the day list or the week list, and a step of the toolbar's arrows, keep the time
// they do not set; a drop on the very half hour a meeting starts in leaves it.
TEST(DateMoves, DropsAndStepsKeepWhatTheyDoNotSet) {
    const CDateTime nineFifteen(2004, 3, 9, 9, 15, 42);
    const CDateTime none(0.0, CDateTime::null);
    const struct {
        CDateTime got, expected;
        const char* why;
    } cases[] = {
        {MoveToHalfHour(nineFifteen, 14, 0), CDateTime(2004, 3, 9, 14, 0, 42), "to 14:00"},
        {MoveToHalfHour(nineFifteen, 9, 1), CDateTime(2004, 3, 9, 9, 30, 42), "to :30"},
        {MoveToHalfHour(CDateTime(2004, 3, 9, 9, 30, 5), 9, 1), CDateTime(2004, 3, 9, 9, 30, 5),
         "already at 9:30"},
        {MovedToCell(CDateTime(2025, 1, 7, 9, 45, 37), 5, 14), CDateTime(2025, 1, 9, 14, 45, 37),
         "to Thursday 14:00"},
        {MovedToCell(CDateTime(2021, 2, 28, 23, 5, 6), 7, 8), CDateTime(2021, 3, 6, 8, 5, 6),
         "across a month's end"},
        {MovedToCell(CDateTime(2025, 1, 1, 10, 0, 1), 1, 23), CDateTime(2024, 12, 29, 23, 0, 1),
         "across a year's end"},
        {MovedToCell(none, 3, 4), none, "a date without a value goes nowhere"},
        {StepDate(CDateTime(2024, 1, 31, 9, 45, 0), DateStep::month, 1),
         CDateTime(2024, 2, 29, 9, 45, 0), "to the last day of a shorter month"},
        {StepDate(CDateTime(2024, 12, 31, 23, 0, 0), DateStep::day, 1),
         CDateTime(2025, 1, 1, 23, 0, 0), "a day into the next year"},
        {StepDate(CDateTime(2024, 3, 1, 12, 0, 0), DateStep::week, -1),
         CDateTime(2024, 2, 23, 12, 0, 0), "a week back"},
        {StepDate(CDateTime(9999, 12, 31, 0, 0, 0), DateStep::day, 1),
         CDateTime(9999, 12, 31, 0, 0, 0), "no step out of the calendar"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got.ToSerialSeconds(), c.expected.ToSerialSeconds()) << c.why;
        EXPECT_EQ(c.got.GetStatus(), c.expected.GetStatus()) << c.why;
    }
}
