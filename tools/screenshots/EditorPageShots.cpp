#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "editor/AgendaItemDialog.h"
#include "editor/AgendaListCtrl.h"
#include "editor/AgendaPage.h"
#include "editor/AttendeeListCtrl.h"
#include "editor/AttendeesPage.h"
#include "editor/KesPage.h"
#include "editor/MinuteDialog.h"
#include "editor/MinutesListCtrl.h"
#include "editor/TodoItemDialog.h"
#include "editor/TodoListCtrl.h"
#include "editor/TodoPage.h"
#include "store/ContentFiles.h"

namespace {

const std::string meetingId = "2026120109000010";
// About the size the sheet gives its content pages.
constexpr QSize pageSize(460, 280);

CDateTime At(int hour, int minute) {
    return CDateTime(2026, 12, 1, hour, minute, 0);
}

// A page with its file read and its second row marked, as after a click on it.
template <typename Page, typename List>
std::unique_ptr<QWidget> PageWithMarkedRow(const char* listName) {
    auto page = std::make_unique<Page>(TestStore(), TestServices(), meetingId);
    page->resize(pageSize);
    page->EnsureLoaded();
    page->template findChild<List*>(QString::fromLatin1(listName))->SetSelectionMark(1);
    return page;
}

} // namespace

KES_SCREENSHOT("editor-agenda-page") {
    WriteAgendaFile(meetingId, {{At(9, 0), "Welcome and apologies"},
                                {At(9, 15), "Minutes of the last meeting\r\nand matters arising"},
                                {At(10, 30), "Budget for the coming year"},
                                {At(14, 0), "Any other business"}});
    return PageWithMarkedRow<CAgendaPage, CAgendaListCtrl>("agendaList");
}

KES_SCREENSHOT("editor-todo-page") {
    WriteTodoFile(meetingId, {{"Book the hall for March", 2, 0},
                              {"Send the minutes round", 1, 1},
                              {"Ask for quotes\r\nfrom three printers", 0, 0},
                              {"Renew the insurance", 2, 1}});
    return PageWithMarkedRow<CTodoPage, CTodoListCtrl>("todoList");
}

KES_SCREENSHOT("editor-attendees-page") {
    WriteAttendeeFile(meetingId, {"Ann Baker", "Bob Carter", "Cy Dunmore", "Dee Ellison"});
    return PageWithMarkedRow<CAttendeesPage, CAttendeeListCtrl>("attendeeList");
}

KES_SCREENSHOT("editor-minutes-page") {
    WriteMinutesFile(meetingId, {"The minutes of the last meeting were agreed.",
                                 "The budget was discussed.\r\nA vote was put off to May.",
                                 "The treasurer will ask for three quotes."});
    return PageWithMarkedRow<CKesPage, CMinutesListCtrl>("minutesList");
}

KES_SCREENSHOT("editor-agenda-item-dialog") {
    auto dialog = std::make_unique<CAgendaItemDialog>(At(10, 30));
    dialog->SetText(QStringLiteral("Budget for the coming year\r\nPapers from the treasurer"));
    return dialog;
}

KES_SCREENSHOT("editor-todo-item-dialog") {
    auto dialog = std::make_unique<CTodoItemDialog>();
    dialog->SetText(QStringLiteral("Book the hall for March"));
    dialog->SetPriority(2);
    return dialog;
}

KES_SCREENSHOT("editor-minute-dialog") {
    auto dialog = std::make_unique<CMinuteDialog>();
    dialog->SetText(QStringLiteral("The budget was discussed.\r\nA vote was put off to May."));
    return dialog;
}
