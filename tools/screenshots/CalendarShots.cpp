#include "tests/support/NoMeetingCommands.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "calendar/DayListCtrl.h"
#include "calendar/MeetingListCtrl.h"
#include "store/MeetingStore.h"
#include "ui/MeetingCommands.h"

namespace {

void Put(const char* id, const CDateTime& date, const char* title, const char* venue, int icon) {
    CMeeting record(date);
    record.id = id;
    record.title = title;
    record.venue = venue;
    record.icon = icon;
    TestStore().ModifyMeeting(record);
}

// The middle pane at the size it takes in a maximised window, in the agenda mode.
std::unique_ptr<CCalendarView> AgendaOf(const CDateTime& date) {
    auto view = std::make_unique<CCalendarView>(TestStore(), TestServices(), NoMeetingCommands());
    view->resize(710, 560);
    view->GetPage().SetSelectedDate(date);
    view->GetPage().ShowMode(CCalendarPage::agendaMode);
    return view;
}

} // namespace

KES_SCREENSHOT("calendar-agenda") {
    Put("2024031409300010", CDateTime(2024, 3, 14, 9, 30, 0), "Quarterly budget review",
        "Board room, 3rd floor", 4);
    Put("2024030410000010", CDateTime(2024, 3, 4, 10, 0, 0), "Project Atlas kick-off",
        "Meeting room Fjord", 12);
    Put("2024032114000010", CDateTime(2024, 3, 21, 14, 0, 0), "Works council", "Canteen annex", 27);
    Put("2024030708150010", CDateTime(2024, 3, 7, 8, 15, 0), "Weekly team stand-up",
        "Open office, east wing", 0);
    Put("2024032816300010", CDateTime(2024, 3, 28, 16, 30, 0),
        "Annual general meeting of the Riverside Allotment Association",
        "Community hall, Mühlenweg 12", 41);
    Put("2024031413000010", CDateTime(2024, 3, 14, 13, 0, 0), "Lunch with the auditors",
        "Café Sørensen", 33);
    auto view = AgendaOf(CDateTime(2024, 3, 1, 0, 0, 0));
    view->GetPage().GetMeetingList().SetSelectionMark(2);
    return view;
}

KES_SCREENSHOT("calendar-agenda-empty") {
    return AgendaOf(CDateTime(2024, 8, 1, 0, 0, 0));
}

namespace {

// The month grid of `date` at the middle pane's size.
std::unique_ptr<CCalendarView> MonthOf(const CDateTime& date) {
    // Today is the Wednesday before the marked day, so both marks show.
    TestServices().SetNow(CDateTime(2024, 3, 13, 9, 0, 0));
    auto view = std::make_unique<CCalendarView>(TestStore(), TestServices(), NoMeetingCommands());
    view->resize(710, 560);
    view->GetPage().SetSelectedDate(date);
    view->GetPage().ShowMode(CCalendarPage::monthMode);
    return view;
}

std::unique_ptr<CCalendarView> DayOf(const CDateTime& date) {
    auto view = std::make_unique<CCalendarView>(TestStore(), TestServices(), NoMeetingCommands());
    view->resize(710, 560);
    view->GetPage().SetSelectedDate(date);
    view->GetPage().ShowMode(CCalendarPage::dayMode);
    return view;
}

} // namespace

KES_SCREENSHOT("calendar-month") {
    Put("2024031409300010", CDateTime(2024, 3, 14, 9, 30, 0), "Quarterly budget review", "", 4);
    Put("2024031413000010", CDateTime(2024, 3, 14, 13, 0, 0), "Lunch with the auditors", "", 33);
    Put("2024031416000010", CDateTime(2024, 3, 14, 16, 0, 0), "Works council", "", 27);
    Put("2024030410000010", CDateTime(2024, 3, 4, 10, 0, 0), "Project Atlas kick-off", "", 12);
    Put("2024022911000010", CDateTime(2024, 2, 29, 11, 0, 0), "Leap day stand-up", "", 0);
    Put("2024032816300010", CDateTime(2024, 3, 28, 16, 30, 0), "Annual general meeting", "", 41);
    Put("2024040208000010", CDateTime(2024, 4, 2, 8, 0, 0), "Spring planning", "", 7);
    return MonthOf(CDateTime(2024, 3, 14, 0, 0, 0));
}

KES_SCREENSHOT("calendar-month-empty") {
    return MonthOf(CDateTime(2024, 8, 1, 0, 0, 0));
}

KES_SCREENSHOT("calendar-day") {
    Put("2024031409300010", CDateTime(2024, 3, 14, 9, 30, 0), "Quarterly budget review", "", 4);
    Put("2024031409000010", CDateTime(2024, 3, 14, 9, 0, 0), "Weekly team stand-up", "", 0);
    Put("2024031411000010", CDateTime(2024, 3, 14, 11, 0, 0), "Project Atlas kick-off", "", 12);
    Put("2024031411150010", CDateTime(2024, 3, 14, 11, 15, 0), "Vendor call", "", 3);
    Put("2024031411400010", CDateTime(2024, 3, 14, 11, 40, 0), "Café Sørensen lunch", "", 33);
    Put("2024031414000010", CDateTime(2024, 3, 14, 14, 0, 0),
        "Annual general meeting of the Riverside Allotment Association", "", 41);
    auto view = DayOf(CDateTime(2024, 3, 14, 0, 0, 0));
    view->GetPage().GetDayList().SetSelectionMark(10);
    return view;
}

KES_SCREENSHOT("calendar-day-crowded") {
    // Five in the :00 half of 10 (the store enumerates one of them fifth, which is not shown)
    // and three in its :30 half.
    const char* titles[] = {"Board", "Budget", "Hiring panel", "Press briefing", "Audit"};
    for (int i = 0; i < 5; ++i) {
        Put(("2024031510000" + std::to_string(i) + "10").c_str(),
            CDateTime(2024, 3, 15, 10, 5 * i, 0), titles[i], "", i);
    }
    for (int i = 0; i < 3; ++i) {
        Put(("2024031510300" + std::to_string(i) + "10").c_str(),
            CDateTime(2024, 3, 15, 10, 30 + 10 * i, 0), "Follow-up", "", i);
    }
    for (int hour = 7; hour < 13; hour += 2) {
        Put(("20240315" + std::to_string(hour / 10) + std::to_string(hour % 10) + "000010").c_str(),
            CDateTime(2024, 3, 15, hour, 0, 0), "Stand-up", "", 1);
    }
    return DayOf(CDateTime(2024, 3, 15, 0, 0, 0));
}

KES_SCREENSHOT("calendar-day-empty") {
    return DayOf(CDateTime(2024, 8, 1, 0, 0, 0));
}
