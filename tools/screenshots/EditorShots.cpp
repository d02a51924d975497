#include "tools/screenshots/Screenshot.h"

#include "editor/AgendaListCtrl.h"
#include "editor/AttendeeListCtrl.h"
#include "editor/MinutesListCtrl.h"
#include "editor/TodoHeaderCtrl.h"
#include "editor/TodoListCtrl.h"

#include <QMouseEvent>
#include <QTest>

namespace {

const std::string shotId = "2004030514070910";

// Sized as the pages place them; the second row marked.
template <typename List> std::unique_ptr<List> Sized(std::unique_ptr<List> list, int height) {
    list->resize(300, height);
    list->SetSelectionMark(1);
    return list;
}

} // namespace

KES_SCREENSHOT("editor-agenda-list") {
    auto list = std::make_unique<CAgendaListCtrl>(shotId);
    list->Add({CDateTime(2004, 3, 5, 14, 0, 0), "Budget for the spring fair"});
    list->Add({CDateTime(2004, 3, 5, 9, 5, 0), "Opening\r\nand welcome"});
    list->Add({CDateTime(2004, 3, 5, 9, 30, 0), "Reports of the committees, each in turn, with "
                                                "questions from the floor after every report"});
    list->Add({CDateTime(2004, 3, 5, 16, 45, 0), "Any other business"});
    return Sized(std::move(list), 165);
}

KES_SCREENSHOT("editor-attendee-list") {
    auto list = std::make_unique<CAttendeeListCtrl>(shotId);
    for (const char* name : {"Ann Fletcher", "Béla Kovács", "Carl Jensen", "Dora Whitfield"}) {
        list->Add(name);
    }
    return Sized(std::move(list), 170);
}

KES_SCREENSHOT("editor-minutes-list") {
    auto list = std::make_unique<CMinutesListCtrl>(shotId);
    list->Add("The minutes of the last meeting were agreed.");
    list->Add("Budget agreed:\r\n400 for the hall, 150 for posters");
    list->Add("Ann will ask the school about the date, and report back at the next meeting "
              "before the posters are printed");
    return Sized(std::move(list), 190);
}

KES_SCREENSHOT("editor-todo-list") {
    auto list = std::make_unique<CTodoListCtrl>(shotId);
    list->Add({"Book the hall", 2, 1});
    list->Add({"Order posters\r\nA3, 50 copies", 1, 0});
    list->Add({"Call the school about the date of the spring fair", 0, 0});
    list->Add({"Ask for volunteers", 2, 0});
    list->resize(300, 150);
    list->show();
    // Sorted high first by a click on the priority column's header.
    CTodoHeaderCtrl* header = list->GetHeader();
    QTest::mouseClick(header, Qt::LeftButton, {}, header->ColumnRect(0).center());
    list->SetSelectionMark(1);
    return list;
}
