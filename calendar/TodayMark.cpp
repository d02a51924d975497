#include "calendar/TodayMark.h"

#include "store/DateTime.h"

namespace {

constexpr long long secondsPerDay = 86400;

// The day number of a date, counting whole days: the time of day does not count.
long long DayNumber(const CDateTime& date) {
    const long long seconds = date.ToSerialSeconds();
    return seconds >= 0 ? seconds / secondsPerDay
                        : -((-seconds + secondsPerDay - 1) / secondsPerDay);
}

} // namespace

int TodayIndex(const CDateTime& first, int count, const CDateTime& now) {
    if (!first.IsValid() || !now.IsValid()) {
        return -1;
    }
    const long long index = DayNumber(now) - DayNumber(first);
    return index >= 0 && index < count ? static_cast<int>(index) : -1;
}
