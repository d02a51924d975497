#include "store/Clock.h"

#include <ctime>

namespace {

std::function<CDateTime()>& ClockOverride() {
    static std::function<CDateTime()> clock;
    return clock;
}

CDateTime SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return CDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec);
}

} // namespace

CDateTime CurrentDateTime() {
    const auto& clock = ClockOverride();
    return clock ? clock() : SystemLocalTime();
}

void SetClock(std::function<CDateTime()> clock) {
    ClockOverride() = std::move(clock);
}
