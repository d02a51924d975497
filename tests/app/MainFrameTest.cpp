#include "app/DateToolBar.h"
#include "app/KesApp.h"
#include "app/LeftListView.h"
#include "app/PaneSplitter.h"
#include "app/PreferenceDlg.h"
#include "app/RightListView.h"
#include "app/Settings.h"
#include "app/SidePaneGeometry.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/MeetingListCtrl.h"
#include "store/MeetingFile.h"
#include "store/WorkingDirectory.h"
#include "store/WorkingDirectoryLock.h"
#include "tests/support/FrameTest.h"
#include "ui/CommandTable.h"
#include "ui/StringTable.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QMenuBar>

#include <fstream>

namespace {
const std::string budget = "2026120109000010";

class MainFrameTest : public CFrameTest {
protected:
    static void Store(const std::string& id, const char* title, int day) {
        StoreMeeting(id, title, CDateTime(2026, 12, day, 9, 0, 0));
    }

    // The agenda of December 2026 with its first row marked.
    CCalendarPage& MarkFirstRow() {
        CCalendarPage& page = frame->GetCalendarPage();
        page.GoToDate(CDateTime(2026, 12, 1, 0, 0, 0));
        page.ShowMode(CCalendarPage::agendaMode);
        page.GetMeetingList().SetSelectionMark(0);
        return page;
    }

    // Preferences answers Change (the folder the services pick), then OK.
    static void ScriptPreferences() {
        TestServices().SetDialogScript("preferenceDialog", [](QDialog& shown) {
            auto& dialog = dynamic_cast<CPreferenceDlg&>(shown);
            dialog.Change();
            dialog.Ok();
            return dialog.result();
        });
    }

    bool Enabled(int command) const { return frame->GetAction(command)->isEnabled(); }
};

} // namespace

TEST_F(MainFrameTest, PickerFormatAndCommandsFollowModeAndMark) {
    Store(budget, "Budget", 1);
    CMainFrame& main = MakeFrame();
    CCalendarPage& page = main.GetCalendarPage();
    EXPECT_EQ(page.GetMode(), CCalendarPage::dayMode);
    using namespace CommandId;
    for (const int mode : {CCalendarPage::weekMode, CCalendarPage::monthMode}) {
        page.ShowMode(mode);
        for (const int command : {modifyMeeting, deleteMeeting, viewMeeting, addToQuickView}) {
            EXPECT_FALSE(Enabled(command)) << "mode " << mode << " command " << command;
        }
    }
    EXPECT_EQ(main.GetToolBar().GetDatePicker()->displayFormat(),
              CToolbarDateCtrl::ToQtFormat(LoadResString(StringId::monthPickerFormat)))
        << "the month views' pattern";
    page.ShowMode(CCalendarPage::agendaMode);
    EXPECT_FALSE(Enabled(deleteMeeting)) << "no mark yet";
    MarkFirstRow();
    EXPECT_TRUE(Enabled(deleteMeeting) && Enabled(viewMeeting) && Enabled(addToQuickView));
    EXPECT_TRUE(Enabled(addMeeting) && Enabled(modifyMeeting)) << "on a marked meeting";
    EXPECT_TRUE(Enabled(quickAdd)) << "quick add needs no sheet";
    main.ViewMeeting(budget);
    EXPECT_TRUE(Enabled(deleteMeeting)) << "the previewed meeting can be deleted";
    EXPECT_FALSE(Enabled(viewMeeting) || Enabled(addToQuickView));
}

TEST_F(MainFrameTest, DeleteOfMeetingWhoseFileIsGoneReportsAndKeepsRecord) {
    Store(budget, "Budget", 1);
    CMainFrame& main = MakeFrame();
    std::filesystem::remove(MeetingFilePath(budget));
    TestServices().ScriptAnswers({true});
    main.DeleteMeeting(budget);
    ASSERT_EQ(TestServices().Shown().size(), 2);
    EXPECT_TRUE(TestServices().Shown().back().contains(
        QString::fromStdString(MeetingFilePath(budget).string())));
    EXPECT_EQ(TestStore().GetMeeting(budget).id, budget);
}

TEST_F(MainFrameTest, ShortcutOrderPinningTwiceAndOneExportItem) {
    // Two ids of one chain: the one pinned later is shown first.
    std::string second;
    for (int s = 1; second.empty(); ++s) {
        const std::string id = MakeMeetingIdAt(CDateTime(2026, 12, 1, 9, s / 60, s % 60));
        second = CMeetingMap::BucketOf(id) == CMeetingMap::BucketOf(budget) ? id : "";
    }
    Store(budget, "First", 1);
    Store(second, "Second", 2);
    CMainFrame& main = MakeFrame();
    CRightListView& pane = main.GetQuickViewPane();
    main.AddToQuickView(budget);
    main.AddToQuickView(second);
    main.AddToQuickView(second);
    ASSERT_EQ(pane.GetItemCount(), 5) << "pinning twice gives one shortcut";
    EXPECT_EQ(pane.GetItemMeetingId(3), second);
    EXPECT_EQ(pane.GetItemMeetingId(4), budget);

    main.ViewMeeting(budget);
    main.ViewMeeting(second);
    EXPECT_EQ(pane.GetItemCount(), 6) << "two previews, one Export Meeting item";
    EXPECT_EQ(pane.GetItemText(3), LoadResString(StringId::exportMeeting));
    main.GetCalendarPage().ShowMode(CCalendarPage::monthMode);
    EXPECT_EQ(pane.GetItemMeetingId(3), second) << "shortcuts move up when the preview ends";
}

TEST_F(MainFrameTest, SplitterKeepsDraggedPercentageAcrossResize) {
    CMainFrame& main = MakeFrame();
    main.resize(1000, 700);
    main.show();
    QApplication::processEvents();
    CPaneSplitter& splitter = main.GetSplitter();
    emit splitter.splitterMoved(splitter.width() * 30 / 100, 1);
    EXPECT_EQ(main.GetFirstPercent(), 30);
    main.resize(1400, 800);
    QApplication::processEvents();
    EXPECT_NEAR(main.GetLeftPane().width(), splitter.width() * 30 / 100, 2);
}

TEST_F(MainFrameTest, SettingsSavedOnExitAndRestoredAtStart) {
    Store(budget, "Budget", 1);
    auto* main = new CMainFrame(TestStore(), TestServices());
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->AddToQuickView(budget);
    main->SetPercentages(20, 70);
    TestServices().ScriptAnswers({true});
    main->GetQuickViewPane().ActivateRow(CRightListView::exitRow);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Settings::ReadItem().toStdString(), budget);
    EXPECT_EQ(Settings::ReadFirst(), 20);
    EXPECT_EQ(Settings::ReadSecond(), 70);
    EXPECT_EQ(Settings::ReadPath().toStdString(), Folder().string());

    Settings::WriteItem(QString::fromStdString(budget) +
                        QStringLiteral("\r\n\r\n1999010100000010"));
    CMainFrame& restored = MakeFrame();
    EXPECT_EQ(restored.GetQuickView().GetCount(), 2u) << "the empty piece is skipped";
    EXPECT_TRUE(restored.GetQuickView().Find("1999010100000010")->id.empty());
    EXPECT_EQ(restored.GetFirstPercent(), 20);
}

TEST_F(MainFrameTest, PreferencesChangeReloadsAndResetsSettings) {
    Store(budget, "Budget", 1);
    CMainFrame& main = MakeFrame();
    main.AddToQuickView(budget);
    main.SetPercentages(30, 60);
    const std::filesystem::path original = GetWorkingDirectory();
    ScriptPreferences();

    // The browser cancelled, then the folder that already holds the working directory:
    // nothing is written and nothing reloads.
    TestServices().SetFolder(std::nullopt);
    main.OnCommand(CommandId::preference);
    SetWorkingDirectory(Folder() / "Meeting Files");
    TestServices().SetFolder(QString::fromStdString(Folder().string()));
    main.OnCommand(CommandId::preference);
    EXPECT_FALSE(AnySettingWritten());
    EXPECT_EQ(TestStore().GetCount(), 1u);
    SetWorkingDirectory(original);

    const std::filesystem::path other = Folder() / "other";
    std::filesystem::create_directories(other);
    TestServices().SetFolder(QString::fromStdString(other.string()));
    main.OnCommand(CommandId::preference);
    EXPECT_EQ(GetWorkingDirectory(), other / "Meeting Files");
    EXPECT_TRUE(std::filesystem::is_directory(other / "Meeting Files"));
    EXPECT_EQ(TestStore().GetCount(), 0u) << "the store holds the new folder's meetings";
    EXPECT_EQ(main.GetQuickViewPane().GetItemCount(), 3);
    EXPECT_EQ(Settings::ReadItem(), QString());
    EXPECT_EQ(Settings::ReadFirst() * 100 + Settings::ReadSecond(), 1585);
    EXPECT_EQ(Settings::ReadPath().toStdString(), (other / "Meeting Files").string());
    EXPECT_EQ(main.GetFirstPercent(), 30) << "the bars in memory stay until exit";
}

// The lock follows the working directory; a folder another window has open is refused with a
// message naming it, and nothing changes.
TEST_F(MainFrameTest, PreferencesMoveTheLockAndRefuseAFolderOpenElsewhere) {
    Store(budget, "Budget", 1);
    CMainFrame& main = MakeFrame();
    const std::filesystem::path original = GetWorkingDirectory();
    ASSERT_TRUE(CKesApp::Instance()->LockWorkingDirectory(original));
    const std::filesystem::path other = Folder() / "other" / "Meeting Files";
    std::filesystem::create_directories(other);
    CWorkingDirectoryLock otherWindow;
    ASSERT_EQ(otherWindow.Acquire(other), CWorkingDirectoryLock::Result::locked);
    TestServices().ScriptAnswers({});
    ScriptPreferences();
    TestServices().SetFolder(QString::fromStdString((Folder() / "other").string()));

    main.OnCommand(CommandId::preference);
    EXPECT_EQ(GetWorkingDirectory(), original);
    EXPECT_EQ(TestStore().GetCount(), 1u);
    ASSERT_EQ(TestServices().Shown().size(), 1);
    EXPECT_TRUE(TestServices().Shown().front().startsWith(CKesApp::FolderInUseText(other)));
    EXPECT_FALSE(AnySettingWritten());

    otherWindow.Release();
    main.OnCommand(CommandId::preference);
    EXPECT_EQ(GetWorkingDirectory(), other);
    EXPECT_EQ(otherWindow.Acquire(other), CWorkingDirectoryLock::Result::heldElsewhere);
    EXPECT_EQ(otherWindow.Acquire(original), CWorkingDirectoryLock::Result::locked)
        << "the lock of the old folder stayed";
}

TEST_F(MainFrameTest, DamagedMeetingFilesAreReportedOnceByName) {
    const std::filesystem::path damaged = Folder() / "meeting2026120109000010.mtg";
    std::ofstream(damaged, std::ios::binary) << "\x10"
                                                "2026"; // cut short after its id
    TestServices().ScriptAnswers({});
    CMainFrame& main = MakeFrame();
    QApplication::processEvents();
    ASSERT_EQ(TestServices().Shown().size(), 1);
    const QString notice = TestServices().Shown().front();
    EXPECT_TRUE(notice.contains(QString::fromStdString(Folder().string())) &&
                notice.contains(QStringLiteral("meeting2026120109000010.mtg")))
        << notice.toStdString();
    main.OnCommand(CommandId::refresh);
    EXPECT_EQ(TestServices().Shown().size(), 1) << "a file already reported is not reported again";
}

// Alt and a letter reach one item: within the menu bar and within every menu, no two items
// share their underlined letter.
TEST_F(MainFrameTest, EveryMenuHasUniqueMnemonics) {
    MakeFrame();
    std::vector<QWidget*> menus{frame->menuBar()};
    for (std::size_t i = 0; i < menus.size(); ++i) {
        QHash<QKeySequence, QString> taken;
        for (QAction* action : menus[i]->actions()) {
            if (action->menu() != nullptr) {
                menus.push_back(action->menu());
            }
            const QKeySequence key = QKeySequence::mnemonic(action->text());
            EXPECT_TRUE(key.isEmpty() || !taken.contains(key))
                << menus[i]->objectName().toStdString() << ": " << taken.value(key).toStdString()
                << " and " << action->text().toStdString();
            taken.insert(key, action->text());
        }
    }
    EXPECT_GE(menus.size(), 6u) << "the bar and its five menus";
}
