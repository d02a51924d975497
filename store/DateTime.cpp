#include "store/DateTime.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

using namespace std::chrono;

constexpr long long secondsPerDay = 86400;
// Beyond these day counts the calendar of the archive format does not reach.
constexpr double minDayCount = -657434.0;         // 1 January 100
constexpr double maxDayCount = 2958465.999994213; // 31 December 9999, 23:59:59

sys_days Epoch() {
    return sys_days(year(1899) / December / 30);
}

} // namespace

CDateTime::CDateTime(int y, int mo, int d, int h, int mi, int s) {
    const year_month_day ymd(year(y), month(static_cast<unsigned>(mo)),
                             std::chrono::day(static_cast<unsigned>(d)));
    if (!ymd.ok() || y < 100 || y > 9999 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 ||
        s > 59) {
        m_dt = 0.0;
        m_status = invalid;
        return;
    }
    const long long days = (sys_days(ymd) - Epoch()).count();
    const long long secs = h * 3600LL + mi * 60LL + s;
    *this = FromSerialSeconds(days * secondsPerDay + secs);
}

bool CDateTime::IsValid() const {
    return m_status == valid && std::isfinite(m_dt) && m_dt >= minDayCount && m_dt <= maxDayCount;
}

long long CDateTime::ToSerialSeconds() const {
    // A day count read from a file may be anything: beyond the calendar's range it is held at
    // the range's ends (NaN at the epoch), so that ordering meetings by it stays defined.
    const double count =
        std::isnan(m_dt) ? 0.0 : std::clamp(m_dt, minDayCount - 1, maxDayCount + 1);
    // Split into the calendar day (the integer part, truncated toward zero) and the time of
    // day (the magnitude of the fraction), then put both on one continuous scale.
    const double dayPart = std::trunc(count);
    const double fraction = std::fabs(count - dayPart);
    long long secondOfDay = std::llround(fraction * secondsPerDay);
    return static_cast<long long>(dayPart) * secondsPerDay + secondOfDay;
}

CDateTime CDateTime::FromSerialSeconds(long long seconds) {
    long long day = seconds / secondsPerDay;
    long long secondOfDay = seconds % secondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += secondsPerDay;
        --day;
    }
    const double fraction = static_cast<double>(secondOfDay) / secondsPerDay;
    const double count =
        day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
    return CDateTime(count);
}

CDateTime CDateTime::AddSeconds(long long seconds) const {
    if (!IsValid()) {
        return *this;
    }
    return FromSerialSeconds(ToSerialSeconds() + seconds);
}

CDateTime::Parts CDateTime::GetParts() const {
    Parts parts;
    if (!IsValid()) {
        return parts;
    }
    const long long serial = ToSerialSeconds();
    long long day = serial / secondsPerDay;
    long long secondOfDay = serial % secondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += secondsPerDay;
        --day;
    }
    const sys_days date = Epoch() + days(day);
    const year_month_day ymd(date);
    parts.year = static_cast<int>(ymd.year());
    parts.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    parts.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    parts.hour = static_cast<int>(secondOfDay / 3600);
    parts.minute = static_cast<int>(secondOfDay / 60 % 60);
    parts.second = static_cast<int>(secondOfDay % 60);
    parts.dayOfWeek = static_cast<int>(weekday(date).c_encoding()) + 1;
    return parts;
}

int CDateTime::GetYear() const {
    return GetParts().year;
}

int CDateTime::GetMonth() const {
    return GetParts().month;
}

int CDateTime::GetDay() const {
    return GetParts().day;
}

int CDateTime::GetHour() const {
    return GetParts().hour;
}

int CDateTime::GetMinute() const {
    return GetParts().minute;
}

int CDateTime::GetSecond() const {
    return GetParts().second;
}

int CDateTime::GetDayOfWeek() const {
    return GetParts().dayOfWeek;
}
