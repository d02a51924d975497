#include "editor/AgendaListCtrl.h"
#include "editor/AgendaPage.h"
#include "editor/AttendeeListCtrl.h"
#include "editor/AttendeesPage.h"
#include "editor/KesPage.h"
#include "editor/MinutesListCtrl.h"
#include "editor/TodoListCtrl.h"
#include "editor/TodoPage.h"
#include "store/ContentFiles.h"
#include "tests/editor/EditorTestSupport.h"

#include <map>

namespace {

const std::string meetingId = "2026120109000010";

class ContentPagesTest : public CQtTest {
protected:
    struct SPage {
        ContentKind kind;
        std::unique_ptr<CMeetingSheetPage> page;
        const char* listName;
    };

    std::vector<SPage> MakePages() {
        std::vector<SPage> pages;
        pages.push_back({ContentKind::agenda,
                         std::make_unique<CAgendaPage>(TestStore(), TestServices(), meetingId),
                         "agendaList"});
        pages.push_back({ContentKind::todos,
                         std::make_unique<CTodoPage>(TestStore(), TestServices(), meetingId),
                         "todoList"});
        pages.push_back({ContentKind::attendees,
                         std::make_unique<CAttendeesPage>(TestStore(), TestServices(), meetingId),
                         "attendeeList"});
        pages.push_back({ContentKind::minutes,
                         std::make_unique<CKesPage>(TestStore(), TestServices(), meetingId),
                         "minutesList"});
        return pages;
    }

    static void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
};

// A count of -1 opens empty, and the page then saves an empty list as a count of 0.
TEST_F(ContentPagesTest, ACountOfMinusOneOpensEmpty) {
    for (SPage& entry : MakePages()) {
        const auto path = ContentFilePath(entry.kind, meetingId);
        WriteBytes(path, Int32(-1) + Str("never read"));
        Activate(*entry.page);
        auto* list = entry.page->findChild<CContentListCtrl*>(QString::fromLatin1(entry.listName));
        ASSERT_NE(list, nullptr) << entry.listName;
        EXPECT_EQ(list->GetItemCount(), 0) << entry.listName;
        entry.page->Save(CMeetingSheetPage::SaveReason::ok);
        EXPECT_EQ(FileBytes(path), Int32(0)) << entry.listName;
    }
}

// A page the user never opened knows nothing of its file; saving it must leave the file.
TEST_F(ContentPagesTest, APageNeverShownSavesNothing) {
    WriteAgendaFile(meetingId, {{CDateTime(2026, 12, 1, 9, 0, 0), "Open"}});
    WriteTodoFile(meetingId, {{"Call", 1, 0}});
    WriteAttendeeFile(meetingId, {"Ann"});
    WriteMinutesFile(meetingId, {"Agreed"});
    for (SPage& entry : MakePages()) {
        const auto path = ContentFilePath(entry.kind, meetingId);
        const std::string before = FileBytes(path);
        entry.page->Save(CMeetingSheetPage::SaveReason::ok);
        EXPECT_EQ(FileBytes(path), before) << entry.listName << " file emptied";
    }
    // Once shown, a page loads once: a later show does not read the file again.
    auto pages = MakePages();
    CMeetingSheetPage& minutes = *pages[3].page;
    Activate(minutes);
    WriteMinutesFile(meetingId, {"changed", "behind its back"});
    minutes.hide();
    minutes.show();
    EXPECT_EQ(minutes.findChild<CMinutesListCtrl*>()->GetItemCount(), 1);
}

// Mod and OK on an item without changing it keep the item's bytes: a text written in another
// code page with its CR LF, and a time whose day count is not the one its minutes give.
TEST_F(ContentPagesTest, ModAndOkOnAnUntouchedItemKeepItsBytes) {
    const std::string text = "Caf\xe9\r\nnext\xa0step";
    WriteAgendaFile(meetingId, {{CDateTime(46000.4375000001), text}});
    WriteTodoFile(meetingId, {{text, 1, 0}});
    WriteMinutesFile(meetingId, {text});
    const std::map<ContentKind, const char*> dialogs{{ContentKind::agenda, "agendaItemDialog"},
                                                     {ContentKind::todos, "todoItemDialog"},
                                                     {ContentKind::minutes, "minuteDialog"}};
    for (SPage& entry : MakePages()) {
        if (!dialogs.count(entry.kind)) {
            continue;
        }
        const auto path = ContentFilePath(entry.kind, meetingId);
        const std::string before = FileBytes(path);
        Activate(*entry.page);
        auto* list = entry.page->findChild<CContentListCtrl*>(QString::fromLatin1(entry.listName));
        ClickRow(*list, 0);
        int runs = 0;
        ScriptDialog(
            TestServices(), dialogs.at(entry.kind), [](QDialog&) {}, &runs);
        Press(Qt::Key_F2);
        EXPECT_EQ(runs, 1) << entry.listName;
        entry.page->Save(CMeetingSheetPage::SaveReason::ok);
        EXPECT_EQ(FileBytes(path), before) << entry.listName;
    }
}

// Tab walks each page in the order it reads: the list, what lies under it, then the buttons.
TEST_F(ContentPagesTest, TabWalksEachPageInReadingOrder) {
    const std::map<ContentKind, QStringList> expected{
        {ContentKind::agenda,
         {"agendaList", "agendaTextBox", "addButton", "modButton", "delButton", "agendaList"}},
        {ContentKind::todos,
         {"todoList", "todoTextBox", "addButton", "modButton", "delButton", "upButton",
          "downButton", "todoList"}},
        {ContentKind::attendees,
         {"attendeeList", "attendeeName", "addButton", "modButton", "delButton", "upButton",
          "downButton", "attendeeList"}},
        {ContentKind::minutes,
         {"minutesList", "addButton", "modButton", "delButton", "upButton", "downButton",
          "minutesList"}},
    };
    for (SPage& entry : MakePages()) {
        Activate(*entry.page);
        entry.page->findChild<QWidget*>(QString::fromLatin1(entry.listName))->setFocus();
        const QStringList& order = expected.at(entry.kind);
        QStringList walked{FocusName()};
        for (int i = 1; i < order.size(); ++i) {
            Press(Qt::Key_Tab);
            walked << FocusName();
        }
        EXPECT_EQ(walked.join(' ').toStdString(), order.join(' ').toStdString()) << entry.listName;
    }
}

} // namespace
