#include "tests/support/NoMeetingCommands.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "store/MeetingStore.h"
#include "ui/MeetingCommands.h"

#include <cstdio>

namespace {

void Put(const CDateTime& date, const char* title, int serial) {
    CMeeting record(date);
    char id[17];
    std::snprintf(id, sizeof id, "%04d%02d%02d%02d%02d%02d%02d", date.GetYear(), date.GetMonth(),
                  date.GetDay(), date.GetHour(), date.GetMinute(), serial, 10);
    record.id = id;
    record.title = title;
    TestStore().ModifyMeeting(record);
}

// The middle pane at the size it takes in a maximised window, in the week mode.
std::unique_ptr<CCalendarView> WeekOf(const CDateTime& date) {
    // Today is the Wednesday of the week shown, for its mark in the header.
    TestServices().SetNow(CDateTime(2024, 3, 13, 9, 0, 0));
    auto view = std::make_unique<CCalendarView>(TestStore(), TestServices(), NoMeetingCommands());
    view->resize(710, 560);
    view->GetPage().SetSelectedDate(date);
    view->GetPage().ShowMode(CCalendarPage::weekMode);
    return view;
}

} // namespace

KES_SCREENSHOT("calendar-week-empty") {
    return WeekOf(CDateTime(2024, 8, 14, 0, 0, 0));
}

KES_SCREENSHOT("calendar-week") {
    Put(CDateTime(2024, 3, 11, 9, 30, 0), "Weekly team stand-up", 1);
    Put(CDateTime(2024, 3, 12, 10, 0, 0), "Project Atlas kick-off", 2);
    Put(CDateTime(2024, 3, 12, 10, 30, 0), "Budget questions", 3);
    Put(CDateTime(2024, 3, 13, 13, 0, 0), "Lunch with the auditors", 4);
    Put(CDateTime(2024, 3, 14, 16, 59, 0), "Works council", 5);
    Put(CDateTime(2024, 3, 14, 17, 0, 0), "Allotment association", 6);
    Put(CDateTime(2024, 3, 15, 11, 0, 0), "Supplier visit", 7);
    Put(CDateTime(2024, 3, 15, 11, 15, 0), "Press briefing", 8);
    Put(CDateTime(2024, 3, 15, 11, 45, 0), "Interview", 9);
    return WeekOf(CDateTime(2024, 3, 13, 0, 0, 0));
}

// Ten meetings in one hour (eight shown), and every other hour of a day taken.
KES_SCREENSHOT("calendar-week-crowded") {
    for (int i = 0; i < 10; ++i) {
        Put(CDateTime(2024, 3, 12, 9, i * 5, 0), "Interview", i);
    }
    for (int hour = 7; hour < 20; hour += 2) {
        for (int i = 0; i <= hour % 5; ++i) {
            Put(CDateTime(2024, 3, 14, hour, i * 7, 0), "Review", 20 + i);
        }
    }
    return WeekOf(CDateTime(2024, 3, 13, 0, 0, 0));
}
