#include "tests/support/NoMeetingCommands.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "store/ContentFiles.h"
#include "store/MeetingStore.h"
#include "ui/MeetingCommands.h"

namespace {

CMeeting Meeting(const char* id, const char* title, int icon) {
    CMeeting record(CDateTime(2024, 3, 14, 9, 30, 0));
    record.id = id;
    record.title = title;
    record.icon = icon;
    return record;
}

// The middle pane at the size it takes in a maximised window, previewing `id`.
std::unique_ptr<CCalendarView> PreviewOf(const std::string& id, int height) {
    auto view = std::make_unique<CCalendarView>(TestStore(), TestServices(), NoMeetingCommands());
    view->resize(710, height);
    view->GetPage().SetPreviewedMeetingId(id);
    view->GetPage().ShowMode(CCalendarPage::previewMode);
    return view;
}

} // namespace

KES_SCREENSHOT("preview-short") {
    CMeeting record = Meeting("2024031409300010", "Weekly team stand-up", 0);
    record.reference = "TS-11";
    record.venue = "Open office, east wing";
    record.presidedBy = "Maria Lindqvist";
    TestStore().ModifyMeeting(record);
    WriteAttendeeFile(record.id, {"Maria Lindqvist", "Jonas Berg"});
    return PreviewOf(record.id, 560);
}

KES_SCREENSHOT("preview-long") {
    CMeeting record = Meeting("2024031413000010", "Quarterly budget review", 4);
    record.reference = "FIN-2024-Q1";
    record.venue = "Board room, 3rd floor";
    record.presidedBy = "Ingrid Sørensen";
    record.notes = "Bring the draft figures for the second quarter and the auditors' remarks; "
                   "the travel budget is to be settled before the meeting closes.";
    TestStore().ModifyMeeting(record);
    WriteAttendeeFile(record.id, {"Ingrid Sørensen", "Paul Okafor", "Caf\xe9 owner (guest)"});
    WriteAgendaFile(record.id,
                    {{CDateTime(2024, 3, 14, 13, 0, 0), "Welcome and apologies"},
                     {CDateTime(2024, 3, 14, 13, 15, 0),
                      "Figures of the first quarter\r\nTravel budget\r\nAny other business"},
                     {CDateTime(2024, 3, 14, 14, 0, 0),
                      "A very long agenda item that goes on and on, well past the fifty "
                      "characters one line of the preview holds"}});
    WriteMinutesFile(record.id,
                     {"The figures were accepted as presented.",
                      "The travel budget is cut by ten per cent for the rest of the year; "
                      "exceptions need the chair's approval in writing.",
                      std::string(46, 'x')});
    WriteTodoFile(record.id, {{"Send the minutes to everyone", 2, 0},
                              {"Book the room for the next review", 1, 1},
                              {"Collect the receipts", 0, 0},
                              {"Odd priority from an old file", 7, 1}});
    return PreviewOf(record.id, 1000);
}
