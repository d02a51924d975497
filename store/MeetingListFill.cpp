#include "store/MeetingListFill.h"

#include "store/MeetingStore.h"

#include <algorithm>

std::vector<CMeetingRow> FillMeetingList(const CMeetingStore& store, const CDateTime& date) {
    std::vector<CMeetingRow> rows;
    // An invalid date has no month: without this check it would match every meeting whose
    // own date is invalid, since both report the month -1.
    if (!date.IsValid()) {
        return rows;
    }
    const int year = date.GetYear();
    const int month = date.GetMonth();
    for (const CMeetingMap::Entry& entry : store) {
        const CMeeting& meeting = entry.value;
        if (!meeting.date.IsValid() || meeting.date.GetYear() != year ||
            meeting.date.GetMonth() != month) {
            continue;
        }
        rows.push_back({entry.Key(), meeting.title, meeting.venue, meeting.date, meeting.icon});
    }
    // Whole seconds on a continuous scale: raw day counts run backwards within a day before
    // 1900, and the shown time is the rounded second.
    std::stable_sort(rows.begin(), rows.end(), [](const CMeetingRow& a, const CMeetingRow& b) {
        return a.date.ToSerialSeconds() < b.date.ToSerialSeconds();
    });
    return rows;
}
