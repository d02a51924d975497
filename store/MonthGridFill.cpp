#include "store/MonthGridFill.h"

#include "store/MeetingStore.h"

#include <chrono>

namespace {

constexpr long long secondsPerDay = 86400;

using std::chrono::sys_days;

const sys_days serialEpoch = std::chrono::year(1899) / std::chrono::December / 30;

// Midnight of `day` in seconds as CDateTime::ToSerialSeconds counts them.
long long SerialSecond(sys_days day) {
    return (day - serialEpoch).count() * secondsPerDay;
}

// The day (midnight) that holds a serial second, also for seconds before the epoch.
long long DayOf(long long serialSecond) {
    const long long day = serialSecond / secondsPerDay;
    return serialSecond % secondsPerDay < 0 ? day - 1 : day;
}

} // namespace

bool CMonthGrid::InMonth(int cell) const {
    const int row = cell / columns;
    const int column = cell % columns;
    return (row > firstDayRow && row < nextMonthRow) ||
           (row == firstDayRow && column >= firstDayColumn) ||
           (row == nextMonthRow && column < nextMonthColumn);
}

CDateTime CMonthGrid::CellDate(int cell) const {
    return gridStart.AddSeconds(static_cast<long long>(cell) * secondsPerDay);
}

CMonthGrid FillMonthGrid(const CMeetingStore& store, const CDateTime& date) {
    using namespace std::chrono;
    CMonthGrid grid;
    const CDateTime::Parts parts = date.GetParts();
    if (parts.year < 0) {
        return grid;
    }
    const year_month month{year(parts.year),
                           std::chrono::month(static_cast<unsigned>(parts.month))};
    const sys_days first = month / 1;
    // Day 1 on a Sunday puts a whole week of the month before in row 0.
    const int weekday = static_cast<int>(std::chrono::weekday{first}.c_encoding());
    const int lead = weekday == 0 ? 7 : weekday;
    const sys_days start = first - days(lead);

    grid.firstDayColumn = lead % 7;
    grid.firstDayRow = lead == 7 ? 1 : 0;
    grid.gridStart = CDateTime::FromSerialSeconds(SerialSecond(start));
    const int next = lead + static_cast<int>(static_cast<unsigned>((month / last).day()));
    grid.nextMonthRow = next / CMonthGrid::columns;
    grid.nextMonthColumn = next % CMonthGrid::columns;
    for (int cell = 0; cell < CMonthGrid::cellCount; ++cell) {
        const year_month_day day{start + days(cell)};
        grid.days[static_cast<std::size_t>(cell)] =
            static_cast<int>(static_cast<unsigned>(day.day()));
    }

    // The band ends one second short of the grid's last midnight: a meeting in that very
    // second falls outside, as it always has.
    const long long firstSecond = SerialSecond(start);
    const long long endSecond = firstSecond + CMonthGrid::cellCount * secondsPerDay - 1;
    for (const CMeetingMap::Entry* entry : store.MeetingsInBand(firstSecond, endSecond)) {
        const long long cell = DayOf(entry->value.date.ToSerialSeconds()) - DayOf(firstSecond);
        if (cell >= 0 && cell < CMonthGrid::cellCount) {
            ++grid.counts[static_cast<std::size_t>(cell)];
        }
    }
    return grid;
}

std::string DayTipText(const CMeetingStore& store, const CDateTime& date) {
    std::string text;
    if (!date.IsValid()) {
        return text;
    }
    const long long first = DayOf(date.ToSerialSeconds()) * secondsPerDay;
    for (const CMeetingMap::Entry* entry : store.MeetingsInBand(first, first + secondsPerDay)) {
        if (!text.empty()) {
            text += "\r\n";
        }
        text += entry->value.title;
    }
    return text;
}
