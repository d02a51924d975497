#include "store/MeetingListFill.h"

#include "store/MeetingStore.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// Seconds since 30 December 1899 (the scale of CDateTime::ToSerialSeconds) at the first
// midnight of a month.
long long MonthStart(std::chrono::year_month month) {
    using namespace std::chrono;
    const sys_days epoch = year(1899) / December / 30;
    return (sys_days(month / 1) - epoch).count() * 86400LL;
}

} // namespace

std::vector<CMeetingRow> FillMeetingList(const CMeetingStore& store, const CDateTime& date) {
    std::vector<CMeetingRow> rows;
    // An invalid date has no month: without this check it would match every meeting whose
    // own date is invalid, since both report the month -1.
    if (!date.IsValid()) {
        return rows;
    }
    // The month as a band of whole seconds, worked out once: a meeting belongs to it when its
    // rounded second (the one its shown date and time come from) falls inside.
    const CDateTime::Parts parts = date.GetParts();
    const std::chrono::year_month month{std::chrono::year(parts.year),
                                        std::chrono::month(static_cast<unsigned>(parts.month))};
    const long long first = MonthStart(month);
    const long long end = MonthStart(month + std::chrono::months(1));

    std::vector<std::pair<long long, const CMeetingMap::Entry*>> found;
    for (const CMeetingMap::Entry* entry : store.MeetingsInBand(first, end)) {
        found.emplace_back(entry->value.date.ToSerialSeconds(), entry);
    }
    // Whole seconds on a continuous scale: raw day counts run backwards within a day before
    // 1900, and the shown time is the rounded second.
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    rows.reserve(found.size());
    for (const auto& [second, entry] : found) {
        const CMeeting& meeting = entry->value;
        rows.push_back({entry->Key(), meeting.title, meeting.venue, meeting.date, meeting.icon});
    }
    return rows;
}
