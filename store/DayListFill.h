#pragma once

#include "store/DateTime.h"

#include <array>
#include <string>
#include <vector>

class CMeetingStore;

// The meetings of one day as the day list shows them: 24 hour rows, each split into the half
// hours :00 (minutes 0 to 29) and :30 (minutes 30 to 59), each half showing up to four
// meetings side by side.
struct CDaySlot {
    std::string id;
    std::string title;
};

struct CDayHour {
    // The meetings of each half in the store's enumeration order: [0] is :00, [1] is :30.
    std::array<std::vector<CDaySlot>, 2> halves;

    bool IsEmpty() const { return halves[0].empty() && halves[1].empty(); }
    // The larger of the two halves' counts: the boxes of both halves share one width.
    int WidestHalf() const;
};

struct CDayList {
    static constexpr int hourCount = 24;
    static constexpr int maxPerHalf = 4;

    std::array<CDayHour, hourCount> hours;

    // The slot key of the k-th meeting (0..3) of a half of an hour: hour × 100 + position
    // × 10, position 1..4 in the :00 half and 6..9 in the :30 half.
    static int SlotKey(int hour, int half, int k);
    // The meeting at a slot key, null where the key holds none.
    const CDaySlot* AtKey(int key) const;
    // The first hour with a meeting, -1 for a day without any.
    int FirstBusyHour() const;
};

// The half of an hour that a minute falls in: 0 for minutes 0 to 29, 1 for 30 to 59.
inline int HalfOfMinute(int minute) {
    return minute < 30 ? 0 : 1;
}

// The meetings whose date has the same day, month and year as `date`, each in the half hour
// of its start; the first four of each half hour in the store's enumeration order are kept,
// the rest are not shown. Nothing for a date that is not valid.
CDayList FillDayList(const CMeetingStore& store, const CDateTime& date);

// The date a meeting dropped on a half hour of its own day gets: same day, the hour and the
// half's first minute, the same second. Nothing changes (the same date comes back) only when
// the meeting already starts at that very hour and minute: 09:15 dropped on 9's :00 half
// becomes 09:00.
CDateTime MoveToHalfHour(const CDateTime& date, int hour, int half);
