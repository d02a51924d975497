#include "fuzz/FuzzTarget.h"
#include "share/CalendarExport.h"
#include "share/CalendarImport.h"

// Any bytes are a calendar or a CCalendarParseError. Every meeting made is one the store's
// readers take back, and goes out in a file of ours and comes back at the same date.
TAVELIN_FUZZ_TARGET(parse_calendar) {
    CCalendarImport result;
    try {
        result = ParseCalendar(AsBytes(data, size));
    } catch (const CCalendarParseError&) {
        return 0;
    }
    for (std::size_t i = 0; i < result.meetings.size(); ++i) {
        CCalendarMeeting& meeting = result.meetings[i];
        TouchDate(meeting.record.date);
        FuzzCheck(meeting.record.date.IsValid(), "an imported meeting has a valid date");
        FuzzCheck(FitsStoredFiles(meeting), "an imported meeting fits its files");
        meeting.record.id = std::to_string(i + 1);
    }
    const CCalendarImport again = ParseCalendar(BuildCalendar(result.meetings));
    FuzzCheck(again.meetings.size() == result.meetings.size(), "every meeting comes back");
    for (std::size_t i = 0; i < again.meetings.size(); ++i) {
        FuzzCheck(again.meetings[i].record.date == result.meetings[i].record.date,
                  "a meeting comes back at its date");
    }
    return 0;
}
