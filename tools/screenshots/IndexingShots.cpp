#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "app/MainFrame.h"
#include "calendar/CalendarPage.h"
#include "search/SearchKeeper.h"
#include "store/MeetingStore.h"

// The main window while the search index catches up: "Indexing meetings..." and its progress
// in the status bar, beside the prompt.
KES_SCREENSHOT("main-indexing") {
    CMeeting meeting(CDateTime(2026, 12, 3, 14, 0, 0));
    meeting.id = "2026120314000010";
    meeting.title = "Quarterly planning";
    meeting.venue = "Main hall";
    meeting.icon = 3;
    TestStore().ModifyMeeting(meeting);
    // The day of the meeting, whatever the day the pictures are taken.
    TestServices().SetNow(CDateTime(2026, 12, 3, 10, 30, 0));
    auto frame = std::make_unique<CMainFrame>(TestStore(), TestServices());
    frame->resize(1180, 740);
    frame->GetCalendarPage().GoToDate(meeting.date);
    // Only this folder's meeting as a shortcut, not those other pictures left in the settings.
    frame->ClearQuickView();
    frame->AddToQuickView(meeting.id);
    TestServices().SetNow(std::nullopt);
    auto* keeper = new CSearchKeeper(frame.get()); // goes with the window
    frame->SetSearchKeeper(keeper);
    emit keeper->progress(43'210, 100'000);
    return frame;
}
