#include "store/DateStep.h"

#include <chrono>

CDateTime StepDate(const CDateTime& date, DateStep step, int count) {
    using namespace std::chrono;
    const CDateTime::Parts parts = date.GetParts();
    if (parts.year < 0) {
        return date;
    }
    year_month_day day{year(parts.year), month(static_cast<unsigned>(parts.month)),
                       std::chrono::day(static_cast<unsigned>(parts.day))};
    switch (step) {
    case DateStep::day:
        day = sys_days(day) + days(count);
        break;
    case DateStep::week:
        day = sys_days(day) + weeks(count);
        break;
    case DateStep::month: {
        const year_month target = year_month(day.year(), day.month()) + months(count);
        const year_month_day last = target / std::chrono::last;
        day = target / std::min(day.day(), last.day());
        break;
    }
    }
    const int targetYear = static_cast<int>(day.year());
    if (targetYear < 100 || targetYear > 9999) {
        return date;
    }
    const CDateTime moved(targetYear, static_cast<int>(static_cast<unsigned>(day.month())),
                          static_cast<int>(static_cast<unsigned>(day.day())), parts.hour,
                          parts.minute, parts.second);
    return moved.IsValid() ? moved : date;
}
