#include "store/DayListFill.h"

#include "store/MeetingStore.h"

#include <algorithm>

int CDayHour::WidestHalf() const {
    return static_cast<int>(std::max(halves[0].size(), halves[1].size()));
}

int CDayList::SlotKey(int hour, int half, int k) {
    return hour * 100 + (half == 0 ? k + 1 : k + 6) * 10;
}

const CDaySlot* CDayList::AtKey(int key) const {
    const int hour = key / 100;
    const int position = key % 100 / 10;
    if (key < 0 || key % 10 != 0 || hour >= hourCount || position == 0 || position == 5) {
        return nullptr;
    }
    const int half = position < 5 ? 0 : 1;
    const auto k = static_cast<std::size_t>(position - (half == 0 ? 1 : 6));
    const std::vector<CDaySlot>& slots = hours[static_cast<std::size_t>(hour)].halves[half];
    return k < slots.size() ? &slots[k] : nullptr;
}

int CDayList::FirstBusyHour() const {
    for (int hour = 0; hour < hourCount; ++hour) {
        if (!hours[static_cast<std::size_t>(hour)].IsEmpty()) {
            return hour;
        }
    }
    return -1;
}

CDayList FillDayList(const CMeetingStore& store, const CDateTime& date) {
    CDayList day;
    if (!date.IsValid()) {
        return day;
    }
    const CDateTime::Parts wanted = date.GetParts();
    const long long first =
        CDateTime(wanted.year, wanted.month, wanted.day, 0, 0, 0).ToSerialSeconds();
    // One second wider on each side; the day, month and year decide.
    for (const CMeetingMap::Entry* entry : store.MeetingsInBand(first - 1, first + 86400 + 1)) {
        const CMeeting& meeting = entry->value;
        const CDateTime::Parts parts = meeting.date.GetParts();
        if (parts.year != wanted.year || parts.month != wanted.month || parts.day != wanted.day) {
            continue;
        }
        std::vector<CDaySlot>& half =
            day.hours[static_cast<std::size_t>(parts.hour)]
                .halves[static_cast<std::size_t>(HalfOfMinute(parts.minute))];
        if (half.size() < CDayList::maxPerHalf) {
            half.push_back({entry->Key(), meeting.title});
        }
    }
    return day;
}

CDateTime MoveToHalfHour(const CDateTime& date, int hour, int half) {
    const CDateTime::Parts parts = date.GetParts();
    const int minute = half == 0 ? 0 : 30;
    if (!date.IsValid() || (parts.hour == hour && parts.minute == minute)) {
        return date;
    }
    return CDateTime(parts.year, parts.month, parts.day, hour, minute, parts.second);
}
