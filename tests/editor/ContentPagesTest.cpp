#include "editor/AgendaPage.h"
#include "editor/AttendeesPage.h"
#include "editor/ContentListCtrl.h"
#include "editor/KesPage.h"
#include "editor/TodoPage.h"
#include "store/ContentFiles.h"
#include "tests/editor/EditorTestSupport.h"
#include "ui/StringTable.h"

namespace {

const std::string meetingId = "2026120109000010";

using PageMaker = std::function<CMeetingSheetPage*(CMeetingStore&, CDesktopServices&)>;

// What the four content pages share: a list of items, Mod, Del with its question, and a file
// read once, when the page is first shown.
struct SPageRow {
    const char* name;
    ContentKind kind;
    PageMaker make;
    const char* listName;
    int askDelete;
    const char* itemDialog; // none: the list edits in place
    std::function<void()> writeTwo;
    QStringList tabOrder;
};

const SPageRow pageRows[] = {
    {"agenda",
     ContentKind::agenda,
     [](CMeetingStore& s, CDesktopServices& d) { return new CAgendaPage(s, d, meetingId); },
     "agendaList",
     61457,
     "agendaItemDialog",
     [] {
         WriteAgendaFile(meetingId, {{CDateTime(46000.4375000001), "Caf\xe9\r\nnext\xa0step"},
                                     {CDateTime(2026, 12, 1, 11, 0, 0), "two"}});
     },
     {"agendaList", "agendaTextBox", "addButton", "modButton", "delButton", "agendaList"}},
    {"todos",
     ContentKind::todos,
     [](CMeetingStore& s, CDesktopServices& d) { return new CTodoPage(s, d, meetingId); },
     "todoList",
     61465,
     "todoItemDialog",
     [] {
         WriteTodoFile(meetingId, {{"Caf\xe9\r\nnext\xa0step", 1, 0}, {"two", 7, 0}});
     },
     {"todoList", "todoTextBox", "addButton", "modButton", "delButton", "upButton", "downButton",
      "todoList"}},
    {"attendees",
     ContentKind::attendees,
     [](CMeetingStore& s, CDesktopServices& d) { return new CAttendeesPage(s, d, meetingId); },
     "attendeeList",
     61458,
     nullptr,
     [] {
         WriteAttendeeFile(meetingId, {"Ann", "Bob"});
     },
     {"attendeeList", "attendeeName", "addButton", "modButton", "delButton", "upButton",
      "downButton", "attendeeList"}},
    {"minutes",
     ContentKind::minutes,
     [](CMeetingStore& s, CDesktopServices& d) { return new CKesPage(s, d, meetingId); },
     "minutesList",
     61461,
     "minuteDialog",
     [] {
         WriteMinutesFile(meetingId, {"Caf\xe9\r\nnext\xa0step", "two"});
     },
     {"minutesList", "addButton", "modButton", "delButton", "upButton", "downButton",
      "minutesList"}},
};

void PrintTo(const SPageRow& row, std::ostream* out) {
    *out << row.name;
}

class ContentPages : public CQtTest, public ::testing::WithParamInterface<SPageRow> {
protected:
    void TearDown() override {
        page.reset();
        CQtTest::TearDown();
    }
    CContentListCtrl& Open() {
        page.reset(GetParam().make(TestStore(), TestServices()));
        Activate(*page);
        auto* list = page->findChild<CContentListCtrl*>(QString::fromLatin1(GetParam().listName));
        EXPECT_NE(list, nullptr);
        return *list;
    }
    std::string Bytes() const { return FileBytes(ContentFilePath(GetParam().kind, meetingId)); }

    std::unique_ptr<CMeetingSheetPage> page;
};

// The pages whose items open a dialog (the attendees' names are edited in place).
using ItemDialogPages = ContentPages;

} // namespace

// Mod and Del without a mark do nothing (the todo page still asks); Delete on the list asks the
// page's question, No keeps the item and Yes deletes the marked one, down to the file.
TEST_P(ContentPages, DeleteAsksAndActsOnTheMarkedItemOnly) {
    GetParam().writeTwo();
    CContentListCtrl& list = Open();
    int dialogs = 0;
    if (GetParam().itemDialog != nullptr) {
        ScriptDialog(
            TestServices(), GetParam().itemDialog, [](QDialog&) {}, &dialogs);
    }
    TestServices().ScriptAnswers({true});
    Click(*page, "modButton");
    Click(*page, "delButton");
    EXPECT_EQ(dialogs, 0) << "Mod without a mark";
    const QStringList question{LoadResString(GetParam().askDelete)};
    EXPECT_EQ(TestServices().Shown(),
              GetParam().kind == ContentKind::todos ? question : QStringList());
    EXPECT_EQ(list.GetItemCount(), 2) << "Del without a mark deleted";

    ClickRow(list, 1);
    list.setFocus();
    TestServices().ScriptAnswers({false});
    Press(Qt::Key_Delete);
    EXPECT_EQ(TestServices().Shown(), question);
    EXPECT_EQ(list.GetItemCount(), 2) << "No deleted the item";
    TestServices().ScriptAnswers({true});
    Press(Qt::Key_Delete);
    EXPECT_EQ(list.GetItemCount(), 1);
    page->Save(CMeetingSheetPage::SaveReason::ok);
    EXPECT_EQ(Bytes().substr(0, 4), Int32(1)) << "the file keeps one item";
}

// A page never shown leaves its file; once shown it reads it once; a count of -1 opens empty and
// saves as an empty list.
TEST_P(ContentPages, ReadsItsFileOnceWhenShownAndSavesOnlyThen) {
    GetParam().writeTwo();
    const std::string before = Bytes();
    page.reset(GetParam().make(TestStore(), TestServices()));
    page->Save(CMeetingSheetPage::SaveReason::ok);
    EXPECT_EQ(Bytes(), before) << "a page never shown emptied its file";

    CContentListCtrl& list = Open();
    std::ofstream(ContentFilePath(GetParam().kind, meetingId), std::ios::binary)
        << Int32(-1) << Str("never read");
    page->hide();
    page->show();
    EXPECT_EQ(list.GetItemCount(), 2) << "a second show read the file again";
    Open();
    EXPECT_EQ(page->findChild<CContentListCtrl*>()->GetItemCount(), 0);
    page->Save(CMeetingSheetPage::SaveReason::ok);
    EXPECT_EQ(Bytes(), Int32(0));
}

// Mod and OK on an untouched item keep its bytes: a text of another code page with its CR LF, a
// time whose day count is not the one its minutes give; a todo of a priority outside the three
// cannot be OKed before one is chosen.
TEST_P(ItemDialogPages, ModAndOkOnAnUntouchedItemKeepItsBytes) {
    GetParam().writeTwo();
    const std::string before = Bytes();
    CContentListCtrl& list = Open();
    int runs = 0;
    ScriptDialog(
        TestServices(), GetParam().itemDialog, [](QDialog&) {}, &runs);
    for (const int row : {0, 1}) {
        ClickRow(list, row);
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(runs, 2);
    page->Save(CMeetingSheetPage::SaveReason::ok);
    EXPECT_EQ(Bytes(), before);
}

// Tab walks the page in reading order: the list, what lies under it, then the buttons.
TEST_P(ContentPages, TabWalksThePageInReadingOrder) {
    Open().setFocus();
    QStringList walked{FocusName()};
    for (int i = 1; i < GetParam().tabOrder.size(); ++i) {
        Press(Qt::Key_Tab);
        walked << FocusName();
    }
    EXPECT_EQ(walked.join(' ').toStdString(), GetParam().tabOrder.join(' ').toStdString());
}

const auto rowName = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(, ContentPages, ::testing::ValuesIn(pageRows), rowName);
INSTANTIATE_TEST_SUITE_P(, ItemDialogPages,
                         ::testing::Values(pageRows[0], pageRows[1], pageRows[3]), rowName);
