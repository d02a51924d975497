#include "store/WeekListFill.h"

#include "store/MeetingStore.h"

#include <array>
#include <chrono>

namespace {

constexpr long long secondsPerDay = 86400;
constexpr long long secondsPerHour = 3600;

// Seconds since 30 December 1899 at midnight of a calendar day.
long long DayStart(int year, int month, int day) {
    using namespace std::chrono;
    const sys_days epoch = std::chrono::year(1899) / December / 30;
    const sys_days start = std::chrono::year(year) /
                           std::chrono::month(static_cast<unsigned>(month)) /
                           std::chrono::day(static_cast<unsigned>(day));
    return (start - epoch).count() * secondsPerDay;
}

} // namespace

long long WeekStartSecond(const CDateTime& date) {
    const CDateTime::Parts parts = date.GetParts();
    return DayStart(parts.year, parts.month, parts.day) - (parts.dayOfWeek - 1) * secondsPerDay;
}

CWeekList FillWeekList(const CMeetingStore& store, const CDateTime& date) {
    CWeekList week;
    // Parts are -1 outside the years the calendar knows, and for an invalid date.
    if (!date.IsValid() || date.GetParts().year < 0) {
        return week;
    }
    const long long start = WeekStartSecond(date);
    week.sunday = CDateTime::FromSerialSeconds(start);

    std::array<int, 7 * 24> taken{};
    for (const CMeetingMap::Entry* entry : store.MeetingsInBand(start, start + 7 * secondsPerDay)) {
        const long long offset = entry->value.date.ToSerialSeconds() - start;
        const int day = static_cast<int>(offset / secondsPerDay);
        const int hour = static_cast<int>(offset % secondsPerDay / secondsPerHour);
        int& count = taken[static_cast<std::size_t>(hour * 7 + day)];
        if (count == weekCellCapacity) {
            continue;
        }
        week.meetings.push_back(
            {hour, day + 1, count, entry->Key(), entry->value.title, entry->value.date});
        ++count;
    }
    return week;
}

CDateTime MovedToCell(const CDateTime& date, int weekday, int hour) {
    const CDateTime::Parts parts = date.GetParts();
    if (!date.IsValid() || parts.year < 0) {
        return date;
    }
    // Built from the parts, as the dialogs build a date, so the day count is that of the
    // whole second the meeting showed.
    const CDateTime sameDay(parts.year, parts.month, parts.day, hour, parts.minute, parts.second);
    return sameDay.AddSeconds((weekday - parts.dayOfWeek) * secondsPerDay);
}
