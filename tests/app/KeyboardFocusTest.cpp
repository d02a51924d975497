#include "app/DateToolBar.h"
#include "app/KesApp.h"
#include "app/LeftListView.h"
#include "app/RightListView.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/MeetingListCtrl.h"
#include "store/ContentFiles.h"
#include "store/MeetingFile.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/FrameTest.h"
#include "ui/CommandTable.h"
#include "ui/StringTable.h"

#include <QAction>

#include <cerrno>
#include <cstring>
#include <set>

namespace {
const std::string budget = "2026120109000010";
const std::string review = "2026120314000010";
const std::string gone = "1999010100000010";

// Every file of a folder with its size, to see that nothing was removed or rewritten.
std::set<std::pair<std::string, std::uintmax_t>> FilesIn(const std::filesystem::path& folder) {
    std::set<std::pair<std::string, std::uintmax_t>> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.emplace(entry.path().filename().string(), entry.file_size());
    }
    return files;
}

class KeyboardFocusTest : public CFrameTest {
protected:
    static void Store(const std::string& id, const char* title, int day) {
        StoreMeeting(id, title, CDateTime(2026, 12, day, 9, 0, 0));
        std::ofstream(ContentFilePath(ContentKind::minutes, id), std::ios::binary) << "minutes";
    }

    // The main window, active, on the agenda of December 2026 with no row marked.
    void ShowFrame() {
        MakeFrame();
        frame->resize(1100, 700);
        Activate(*frame);
        page().GoToDate(CDateTime(2026, 12, 1, 0, 0, 0));
        page().ShowMode(CCalendarPage::agendaMode);
    }

    CCalendarPage& page() const { return frame->GetCalendarPage(); }
    CMeetingListCtrl& list() const { return page().GetMeetingList(); }
    CRightListView& quickView() const { return frame->GetQuickViewPane(); }
    QWidget& preview() const { return *page().GetList(CCalendarPage::previewMode); }
};

} // namespace

TEST_F(KeyboardFocusTest, QuickViewKeysActOnTheShortcutNotOnTheMarkedMeeting) {
    Store(budget, "Budget", 1);
    Store(review, "Review", 3);
    ShowFrame();
    frame->AddToQuickView(review);
    FocusOn(list());
    Press(Qt::Key_Down);
    ASSERT_EQ(list().GetMarkedMeetingId(), budget);
    for (int i = 0; i < 10 && QApplication::focusWidget() != &quickView(); ++i) {
        Press(Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), &quickView()) << "Tab reaches the quick view pane";
    const auto files = FilesIn(Folder());

    Press(Qt::Key_End);
    Press(Qt::Key_Return);
    EXPECT_EQ(page().GetMode(), CCalendarPage::previewMode);
    EXPECT_EQ(page().GetShownMeetingId(), review) << "Enter opens the focused shortcut";
    EXPECT_EQ(QApplication::focusWidget(), &quickView()) << "the pane stays where it was";

    // A second shortcut whose meeting has gone; No keeps a shortcut, Yes removes either.
    frame->GetQuickView().SetAt(gone, CMeeting());
    frame->RefreshQuickView();
    TestServices().ScriptAnswers({false, true, true});
    Press(Qt::Key_End);
    Press(Qt::Key_Delete);
    EXPECT_EQ(frame->GetQuickView().GetCount(), 2u) << "No keeps the shortcut";
    Press(Qt::Key_Delete);
    Press(Qt::Key_End);
    Press(Qt::Key_Delete);
    EXPECT_EQ(TestServices().Shown(), QStringList(3, LoadResString(StringId::askRemoveShortcut)));
    EXPECT_TRUE(frame->GetQuickView().IsEmpty()) << "both shortcuts, the stale one too, go";
    EXPECT_EQ(FilesIn(Folder()), files) << "no meeting file is removed or rewritten";
    EXPECT_EQ(TestStore().GetCount(), 2u);
}

TEST_F(KeyboardFocusTest, MeetingKeysActOnlyWhileTheFocusIsInTheCalendar) {
    Store(budget, "Budget", 1);
    ShowFrame();
    QWidget* picker = frame->GetToolBar().GetDatePicker();
    TestServices().ScriptAnswers({});
    for (QWidget* elsewhere : {static_cast<QWidget*>(&frame->GetLeftPane()),
                               static_cast<QWidget*>(&quickView()), picker}) {
        list().SetSelectionMark(0);
        FocusOn(*elsewhere);
        if (elsewhere != picker) {
            Press(Qt::Key_Delete);
        }
        Press(Qt::Key_D, Qt::ControlModifier);
        Press(Qt::Key_E, Qt::ControlModifier);
        Press(Qt::Key_Return, Qt::ControlModifier);
        const std::string where = elsewhere->objectName().toStdString();
        EXPECT_TRUE(TestServices().Shown().isEmpty()) << where;
        EXPECT_EQ(page().GetMode(), CCalendarPage::agendaMode) << where;
        EXPECT_TRUE(frame->GetQuickView().IsEmpty()) << where;
    }

    // A click on a row marks it and brings the focus; there the keys act on that meeting.
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, QPoint(100, 20));
    ASSERT_EQ(QApplication::focusWidget(), &list());
    ASSERT_EQ(list().GetMarkedMeetingId(), budget);
    Press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(frame->GetQuickView().Contains(budget)) << "Ctrl+D pins the marked meeting";
    Press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(page().GetShownMeetingId(), budget) << "Ctrl+Enter views it";
    TestServices().ScriptAnswers({false});
    Press(Qt::Key_Delete);
    EXPECT_EQ(TestServices().Shown(), QStringList{LoadResString(StringId::askDeleteMeeting)})
        << "Del in the preview asks to delete the meeting on show";
    EXPECT_TRUE(std::filesystem::exists(MeetingFilePath(budget))) << "No keeps the meeting";
    EXPECT_EQ(page().GetMode(), CCalendarPage::previewMode);
}

// A delete the disk refuses is reported by the command that ran it, naming the file and the
// reason; the meeting stays, and nothing is left for the application's last safety net.
TEST_F(KeyboardFocusTest, DeleteTheDiskRefusesIsReportedByTheCommand) {
    Store(budget, "Budget", 1);
    ShowFrame();
    FocusOn(list());
    Press(Qt::Key_Down);
    ASSERT_EQ(list().GetMarkedMeetingId(), budget);
    const int beforeInEventLoop = CKesApp::Instance()->GetFileErrorsInEventLoop();
    CRecordingCalls failingDisk;
    failingDisk.Fail("unlink", EIO);
    SetFileCalls(&failingDisk);
    TestServices().ScriptAnswers({true});
    Press(Qt::Key_Delete);
    SetFileCalls(nullptr);

    const QStringList errors = TestServices().ShownAs(CScriptedServices::Kind::error);
    ASSERT_EQ(errors.size(), 1) << TestServices().Shown().join('|').toStdString();
    const QString file = QString::fromStdString(MeetingFilePath(budget).string());
    EXPECT_EQ(errors.front(), QStringLiteral("The file %1 could not be changed: %2.")
                                  .arg(file, QString::fromStdString(std::strerror(EIO))));
    EXPECT_EQ(TestStore().GetMeeting(budget).id, budget) << "the meeting is still stored";
    EXPECT_EQ(CKesApp::Instance()->GetFileErrorsInEventLoop(), beforeInEventLoop)
        << "the error travelled through the event loop";
}

// Yes to Delete in the preview removes the file, the record and the shortcut, and the agenda
// takes the preview's place and its focus.
TEST_F(KeyboardFocusTest, HiddenListHandsTheFocusToTheListShownInItsPlace) {
    Store(budget, "Budget", 1);
    ShowFrame();
    frame->AddToQuickView(budget);
    // The quick view pane remembers a click on Exit, answered No.
    TestServices().ScriptAnswers({false});
    QTest::mouseClick(quickView().viewport(), Qt::LeftButton, {},
                      QPoint(20, CRightListView::exitRow * 90 + 45));
    ASSERT_EQ(TestServices().Shown().size(), 1);

    TestServices().ScriptAnswers({});
    FocusOn(list());
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    ASSERT_EQ(page().GetMode(), CCalendarPage::previewMode);
    EXPECT_EQ(QApplication::focusWidget(), &preview()) << "the focus follows to the preview";
    Press(Qt::Key_Return);
    EXPECT_TRUE(TestServices().Shown().isEmpty()) << "a second Enter asked to close the program";

    TestServices().ScriptAnswers({true});
    Press(Qt::Key_Delete);
    EXPECT_FALSE(std::filesystem::exists(MeetingFilePath(budget)));
    EXPECT_TRUE(TestStore().GetMeeting(budget).id.empty());
    EXPECT_TRUE(frame->GetQuickView().IsEmpty()) << "the shortcut of a deleted meeting goes";
    EXPECT_EQ(quickView().GetItemCount(), 3) << "and so does the Export Meeting item";
    EXPECT_EQ(page().GetMode(), CCalendarPage::agendaMode);
    EXPECT_EQ(QApplication::focusWidget(), &list()) << "back to the agenda with the focus";
}

// Enter on a shortcut opens its preview, and the "Export Meeting" item that comes in above
// the shortcuts does not take the focus: the next Enter is for the same shortcut, not an
// export. Leaving the preview takes the item away and the focus stays with the shortcut.
TEST_F(KeyboardFocusTest, TheFocusStaysOnTheShortcutAsTheExportItemComesAndGoes) {
    Store(budget, "Budget", 1);
    Store(review, "Review", 3);
    ShowFrame();
    frame->AddToQuickView(budget);
    frame->AddToQuickView(review);
    const std::string first = quickView().GetItemMeetingId(3);
    const std::string second = quickView().GetItemMeetingId(4);
    ASSERT_FALSE(first.empty() || second.empty());
    for (int i = 0; i < 10 && QApplication::focusWidget() != &quickView(); ++i) {
        Press(Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), &quickView());
    Press(Qt::Key_Home);
    for (int i = 0; i < 3; ++i) {
        Press(Qt::Key_Down);
    }

    Press(Qt::Key_Return);
    ASSERT_EQ(page().GetShownMeetingId(), first);
    Press(Qt::Key_Return);
    EXPECT_TRUE(TestServices().ProposedSaveNames().isEmpty()) << "the second Enter exported";
    EXPECT_EQ(page().GetShownMeetingId(), first);

    page().ShowMode(CCalendarPage::agendaMode);
    Press(Qt::Key_Return);
    EXPECT_EQ(page().GetShownMeetingId(), first) << "the shortcut moved up, and the focus too";
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    EXPECT_EQ(page().GetShownMeetingId(), second) << "Down goes on from the shortcut";
}
