// The store answers "which meetings fall in this band of seconds" from a date index. Its answer
// must be exactly what a walk over every meeting gives: the same entries in the same order.

#include "store/Clock.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <random>
#include <sstream>

namespace {

using Entries = std::vector<const CMeetingMap::Entry*>;
constexpr long long day = 86400;

// What the answer means, spelled out as a walk over every meeting.
Entries Walk(const CMeetingStore& store, long long first, long long end) {
    Entries found;
    for (const CMeetingMap::Entry& entry : store) {
        if (entry.value.date.IsValid()) {
            const long long second = entry.value.date.ToSerialSeconds();
            if (second >= first && second < end) {
                found.push_back(&entry);
            }
        }
    }
    return found;
}

std::string Describe(const Entries& entries) {
    std::ostringstream text;
    for (const CMeetingMap::Entry* entry : entries) {
        text << entry->Key() << " at " << entry->value.date.ToSerialSeconds() << "; ";
    }
    return text.str();
}

long long Floor(long long second, long long unit) {
    return second / unit * unit - (second % unit < 0 ? unit : 0);
}

long long MonthStart(long long second, int monthsLater) {
    using namespace std::chrono;
    const sys_days epoch = year(1899) / December / 30;
    const year_month_day date(epoch + days(Floor(second, day) / day));
    const year_month month = date.year() / date.month() + months(monthsLater);
    return (sys_days(month / 1) - epoch).count() * day;
}

// Dates where an index is easy to get wrong: crowded in one half hour, at the ends of months
// and years, before 1900 (where the fraction counts forward from a negative day), a hair
// before midnight so that they round into the next day, and not valid at all.
CDateTime RandomDate(std::mt19937& random) {
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    const double jitter = pick(1000) / 1000.0 / day; // under a second
    switch (pick(8)) {
    case 0: // one crowded half hour
        return CDateTime(2004, 3, 5, 10, pick(30), pick(60)).GetDayCount() + jitter;
    case 1: { // the last seconds of a month or a year
        static const CDateTime ends[] = {CDateTime(2004, 2, 29, 23, 59, 58),
                                         CDateTime(2004, 12, 31, 23, 59, 58),
                                         CDateTime(1899, 12, 31, 23, 59, 58)};
        return ends[pick(3)].GetDayCount() + (pick(4) * 0.5) / day;
    }
    case 2: // before 1900: negative day counts
        return CDateTime(-(pick(800) + 1) - pick(86400) / double(day));
    case 3: { // rounds up to the next day: a whole day less a fraction of a second
        const double whole = pick(40) - 20;
        const double hair = (0.5 + pick(5) / 10.0) / day;
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
        return CDateTime(-18000 + pick(58000) + pick(86400) / double(day));
    }
}

class MeetingsInBand : public ::testing::Test {
protected:
    void SetUp() override {
        SetWorkingDirectory(folder.Path());
        SetClock([] { return CDateTime(2004, 3, 5, 14, 7, 9); });
        // Ids that all land in one chain, so that the order within a chain is tested hard.
        for (long long n = 2004000000000010; chainIds.size() < 40; n += 100) {
            const std::string id = std::to_string(n);
            if (CMeetingMap::BucketOf(id) == 5) {
                chainIds.push_back(id);
            }
        }
    }
    void TearDown() override {
        SetClock({});
        SetWorkingDirectory({});
    }

    std::string RandomId() {
        if (random() % 3 == 0) {
            return chainIds[random() % chainIds.size()];
        }
        return std::to_string(2000000000000000 + random() % 900000000000 * 100 + 10);
    }
    // Writes a meeting file by hand (the store's own writes flush to disk, slow by the hundred).
    void PutFile(const std::string& name, const std::string& id, const CDateTime& date) {
        CMeeting record(date);
        record.id = id;
        folder.WriteFile(name, EncodeMeeting(record));
    }
    void PutFile(const std::string& id, const CDateTime& date) {
        PutFile("meeting" + id + ".mtg", id, date);
    }

    // Asks bands of every size the fills use around some stored dates and some random seconds,
    // and a few odd ones, and compares each answer with the walk.
    void ExpectSameAsWalk(const std::string& when) {
        std::vector<long long> anchors = {0, -1, day - 1, -day};
        for (const CMeetingMap::Entry& entry : store) {
            if (entry.value.date.IsValid() && random() % 4 == 0) {
                anchors.push_back(entry.value.date.ToSerialSeconds());
            }
        }
        std::vector<std::pair<long long, long long>> bands = {
            {LLONG_MIN, LLONG_MAX}, {0, 0}, {5, 4}, {-day, day}};
        for (const long long s : anchors) {
            const long long midnight = Floor(s, day);
            const long long sunday = midnight - ((midnight / day + 6) % 7 + 7) % 7 * day;
            bands.insert(bands.end(), {{s, s + 1},
                                       {s - 1, s},
                                       {midnight, midnight + day},
                                       {midnight - 1, midnight + day + 1},
                                       {sunday, sunday + 7 * day},
                                       {midnight - 20 * day, midnight + 22 * day},
                                       {MonthStart(s, 0), MonthStart(s, 1)},
                                       {s - 1800, s + 1800}});
        }
        for (const auto& [first, end] : bands) {
            const Entries expected = Walk(store, first, end);
            const Entries got = store.MeetingsInBand(first, end);
            ASSERT_EQ(got, expected)
                << when << ", band [" << first << ", " << end << ")\n got: " << Describe(got)
                << "\n walk: " << Describe(expected);
        }
    }

    CTempFolder folder;
    CMeetingStore store;
    std::mt19937 random{20041231};
    std::vector<std::string> chainIds;
};

} // namespace

TEST_F(MeetingsInBand, AnswersAsAWalkOverEveryMeetingThroughLoadsAndChanges) {
    for (int i = 0; i < 400; ++i) {
        PutFile(RandomId(), RandomDate(random));
    }
    store.LoadAll();
    ASSERT_GT(store.GetCount(), 300u);
    ExpectSameAsWalk("after a load");

    // Changes through the store, each one written through to its file.
    const std::vector<std::string> ids = store.GetMap().GetKeys();
    for (int i = 0; i < 30; ++i) {
        CMeeting record = store.GetMeeting(ids[random() % ids.size()]);
        record.date = i % 5 == 0 ? record.date : RandomDate(random); // some keep their date
        record.title = "moved " + std::to_string(i);
        store.ModifyMeeting(record);
    }
    ExpectSameAsWalk("after modifies");
    for (int i = 0; i < 10; ++i) {
        store.AddMeeting(CMeeting(RandomDate(random))); // new heads of their chains
        CMeeting unknown(RandomDate(random));
        unknown.id = chainIds[i]; // a modify of an id not stored inserts it
        store.ModifyMeeting(unknown);
    }
    ExpectSameAsWalk("after adds");
    for (int i = 0; i < 20; ++i) {
        const std::vector<std::string> now = store.GetMap().GetKeys();
        store.DeleteMeeting(now[random() % now.size()]);
    }
    ExpectSameAsWalk("after deletes");

    // A file read on its own replaces the stored record of its id, or adds one.
    const std::string stored = store.GetMap().GetKeys().front();
    PutFile("other.mtg", stored, CDateTime(2004, 3, 5, 10, 15, 0));
    ASSERT_EQ(store.ReadMeetingFile(folder / "other.mtg"), CMeetingStore::ReadResult::malformed)
        << "a file holding an id whose own file exists is damaged";
    PutFile(stored, CDateTime(2004, 3, 5, 10, 15, 0));
    ASSERT_EQ(store.ReadMeetingFile(folder / ("meeting" + stored + ".mtg")),
              CMeetingStore::ReadResult::loaded);
    ExpectSameAsWalk("after reading one file");

    // The files changed behind the store's back, then a reload.
    for (int i = 0; i < 100; ++i) {
        PutFile(RandomId(), RandomDate(random));
    }
    store.LoadAll();
    ExpectSameAsWalk("after a reload");

    store.RemoveAll();
    EXPECT_TRUE(store.MeetingsInBand(LLONG_MIN, LLONG_MAX).empty()) << "after RemoveAll";
    store.AddMeeting(CMeeting(CDateTime(2004, 3, 5, 10, 0, 0)));
    ExpectSameAsWalk("after an add to an emptied store");
}

TEST_F(MeetingsInBand, TwoFilesWithOneIdFileTheLaterOnesDate) {
    // Neither file is named after the id they share, so both load and the later name wins.
    const std::string id = chainIds[0];
    PutFile("meeting-a.mtg", id, CDateTime(2004, 1, 1, 9, 0, 0));
    PutFile("meeting-b.mtg", id, CDateTime(2004, 6, 1, 9, 0, 0));
    PutFile(chainIds[1], CDateTime(2004, 1, 1, 9, 0, 0));
    store.LoadAll();
    ASSERT_EQ(store.GetCount(), 2u);
    const long long january = CDateTime(2004, 1, 1, 0, 0, 0).ToSerialSeconds();
    const long long june = CDateTime(2004, 6, 1, 0, 0, 0).ToSerialSeconds();
    ASSERT_EQ(store.MeetingsInBand(january, january + day).size(), 1u)
        << "the earlier file's date is not filed";
    EXPECT_EQ(store.MeetingsInBand(january, january + day).front()->Key(), chainIds[1]);
    ASSERT_EQ(store.MeetingsInBand(june, june + day).size(), 1u);
    EXPECT_EQ(store.MeetingsInBand(june, june + day).front()->Key(), id);
    ExpectSameAsWalk("after a load with a replaced record");
}
