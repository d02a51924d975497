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

// What the four content pages share: a list of items, Mod, and Del with its question.
struct SPageRow {
    const char* name;
    ContentKind kind;
    PageMaker make;
    const char* listName;
    int askDelete;
    const char* itemDialog; // none: the list edits in place
    std::function<void()> writeTwo;
};

const SPageRow pageRows[] = {
    {"agenda", ContentKind::agenda,
     [](CMeetingStore& s, CDesktopServices& d) { return new CAgendaPage(s, d, meetingId); },
     "agendaList", 61457, "agendaItemDialog",
     [] {
         WriteAgendaFile(meetingId, {{CDateTime(46000.4375000001), "Caf\xe9\r\nnext\xa0step"},
                                     {CDateTime(2026, 12, 1, 11, 0, 0), "two"}});
     }},
    {"todos", ContentKind::todos,
     [](CMeetingStore& s, CDesktopServices& d) { return new CTodoPage(s, d, meetingId); },
     "todoList", 61465, "todoItemDialog",
     [] {
         WriteTodoFile(meetingId, {{"Caf\xe9\r\nnext\xa0step", 1, 0}, {"two", 7, 0}});
     }},
    {"attendees", ContentKind::attendees,
     [](CMeetingStore& s, CDesktopServices& d) { return new CAttendeesPage(s, d, meetingId); },
     "attendeeList", 61458, nullptr,
     [] {
         WriteAttendeeFile(meetingId, {"Ann", "Bob"});
     }},
    {"minutes", ContentKind::minutes,
     [](CMeetingStore& s, CDesktopServices& d) { return new CKesPage(s, d, meetingId); },
     "minutesList", 61461, "minuteDialog",
     [] {
         WriteMinutesFile(meetingId, {"Caf\xe9\r\nnext\xa0step", "two"});
     }},
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

const auto rowName = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(, ContentPages, ::testing::ValuesIn(pageRows), rowName);
