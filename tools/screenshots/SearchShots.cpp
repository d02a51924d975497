#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "app/MainFrame.h"
#include "app/SearchField.h"
#include "calendar/CalendarPage.h"
#include "calendar/OpenTodoListCtrl.h"
#include "store/MeetingStore.h"
#include "ui/CommandTable.h"

#include <QApplication>
#include <QTimer>

namespace {

struct CSample {
    const char* id;
    const char* title;
    const char* venue;
    int month, day, hour, icon;
};

const CSample samples[] = {
    {"2026120109000010", "Budget review", "Board room, 3rd floor", 12, 1, 9, 8},
    {"2026111014000010", "Quarterly planning", "Main hall", 11, 10, 14, 3},
    {"2026100811000010", "Supplier negotiation with Harlow & Sons", "Video call", 10, 8, 11, 1},
    {"2026091516000010", "Finance committee", "Room 12", 9, 15, 16, 12},
    {"2026072210000010", "Year-end retrospective planning", "Cafeteria", 7, 22, 10, 20},
};

// The passages an index would give for "budg cut", words marked.
std::vector<CSearchHit> Hits(std::string_view, std::size_t) {
    return {{samples[0].id, "Agreed the \x02"
                            "budget\x03 \x02"
                            "cuts\x03 for the spring "
                            "campaign; marketing keeps its share"},
            {samples[1].id, "Minutes: the travel \x02"
                            "budget\x03 is \x02"
                            "cut\x03 by a "
                            "fifth from January"},
            {samples[2].id, "Harlow & Sons offer a \x02"
                            "cut\x03 of 4% if the \x02"
                            "budget\x03 "
                            "allows a two-year contract"},
            {samples[3].id, "\x02"
                            "Budgets\x03 of every department: no \x02"
                            "cuts\x03 "
                            "before the audit"}};
}

std::vector<COpenTodo> Todos(const COpenTodo* after, std::size_t) {
    if (after != nullptr) {
        return {};
    }
    return {{samples[0].id, 0, "Send the revised budget to the board", 2},
            {samples[2].id, 1, "Ask Harlow & Sons for the two-year contract draft", 2},
            {samples[1].id, 0, "Book the main hall for the spring kick-off", 1},
            {samples[3].id, 2, "Collect the department budgets before the audit", 1},
            {samples[4].id, 0, "Order the cafeteria catering", 0}};
}

std::unique_ptr<CMainFrame> MakeFrame() {
    TestServices().SetNow(CDateTime(2026, 12, 6, 10, 30, 0));
    for (const CSample& sample : samples) {
        CMeeting meeting(CDateTime(2026, sample.month, sample.day, sample.hour, 0, 0));
        meeting.id = sample.id;
        meeting.title = sample.title;
        meeting.venue = sample.venue;
        meeting.icon = sample.icon;
        TestStore().ModifyMeeting(meeting);
    }
    auto frame = std::make_unique<CMainFrame>(TestStore(), TestServices());
    frame->resize(1180, 740);
    frame->SetSearchFunctions(&Hits, &Todos);
    // Shortcuts of this folder's meetings, not those other pictures left in the settings.
    frame->ClearQuickView();
    frame->AddToQuickView(samples[0].id);
    frame->AddToQuickView(samples[1].id);
    frame->GetCalendarPage().GoToDate(CDateTime(2026, 12, 6, 10, 30, 0));
    TestServices().SetNow(std::nullopt);
    return frame;
}

} // namespace

KES_SCREENSHOT("main-search") {
    auto frame = MakeFrame();
    frame->GetSearchField().setText(QStringLiteral("budg cut"));
    frame->Search(QStringLiteral("budg cut"));
    CMainFrame* shown = frame.get();
    QTimer::singleShot(0, shown, [shown] {
        QApplication::setActiveWindow(shown);
        shown->GetSearchField().setFocus(Qt::ShortcutFocusReason);
    });
    return frame;
}

KES_SCREENSHOT("main-search-no-match") {
    auto frame = MakeFrame();
    frame->SetSearchFunctions(
        [](std::string_view, std::size_t) { return std::vector<CSearchHit>(); }, &Todos);
    frame->GetSearchField().setText(QStringLiteral("zebra"));
    frame->Search(QStringLiteral("zebra"));
    return frame;
}

KES_SCREENSHOT("main-todos") {
    auto frame = MakeFrame();
    frame->OnCommand(CommandId::showTodos);
    frame->GetCalendarPage().GetOpenTodos().SetSelectionMark(1);
    return frame;
}
