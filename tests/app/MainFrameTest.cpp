#include "app/MainFrame.h"
#include "app/Ask.h"
#include "app/CommandTable.h"
#include "app/DateToolBar.h"
#include "app/KesApp.h"
#include "app/LeftListView.h"
#include "app/PaneSplitter.h"
#include "app/PreferenceDlg.h"
#include "app/RightListView.h"
#include "app/Settings.h"
#include "app/StringTable.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/MeetingListCtrl.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/QtTestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QSettings>

#include <filesystem>
#include <memory>

namespace {

class MainFrameTest : public CQtTest {
protected:
    void TearDown() override {
        frame.reset();
        CPreferenceDlg::StopScripts();
        CQtTest::TearDown();
    }

    std::string AddStored(const char* id, const char* title, CDateTime date) {
        CMeeting meeting(date);
        meeting.id = id;
        meeting.title = title;
        TheMeetingStore().ModifyMeeting(meeting);
        return id;
    }

    CMainFrame& MakeFrame() {
        frame = std::make_unique<CMainFrame>();
        return *frame;
    }

    bool Enabled(int command) const { return frame->GetAction(command)->isEnabled(); }

    std::unique_ptr<CMainFrame> frame;
};

QSettings Profile() {
    return QSettings(QStringLiteral("Brindleware"), QStringLiteral("Tavelin 4.0"));
}

} // namespace

TEST_F(MainFrameTest, StartsInDayModeWithDayPickerFormatAndReadyStatus) {
    CMainFrame& main = MakeFrame();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Tavelin 4.0"));
    EXPECT_EQ(main.GetCalendarPage().GetMode(), CCalendarPage::dayMode);
    EXPECT_EQ(main.GetToolBar().GetDatePicker()->displayFormat(), QStringLiteral("MMMM dd, yyyy"));
    main.GetCalendarPage().ShowMode(CCalendarPage::monthMode);
    EXPECT_EQ(main.GetToolBar().GetDatePicker()->displayFormat(), QStringLiteral("MMMM,  yyyy"));
}

TEST_F(MainFrameTest, CommandEnablingFollowsModeAndMark) {
    AddStored("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    CMainFrame& main = MakeFrame();
    CCalendarPage& page = main.GetCalendarPage();
    using namespace CommandId;
    for (const int mode :
         {CCalendarPage::dayMode, CCalendarPage::weekMode, CCalendarPage::monthMode}) {
        page.ShowMode(mode);
        for (const int command : {modifyMeeting, deleteMeeting, viewMeeting, addToQuickView}) {
            EXPECT_FALSE(Enabled(command)) << "mode " << mode << " command " << command;
        }
        EXPECT_TRUE(Enabled(refresh));
    }
    page.GoToDate(CDateTime(2026, 12, 5, 0, 0, 0));
    page.ShowMode(CCalendarPage::agendaMode);
    EXPECT_FALSE(Enabled(deleteMeeting)) << "no mark yet";
    EXPECT_FALSE(Enabled(viewMeeting));
    page.GetMeetingList().SetSelectionMark(0);
    EXPECT_TRUE(Enabled(deleteMeeting));
    EXPECT_TRUE(Enabled(viewMeeting));
    EXPECT_TRUE(Enabled(addToQuickView));
    EXPECT_FALSE(Enabled(addMeeting)) << "adding needs the meeting sheet";
    EXPECT_FALSE(Enabled(quickAdd));

    main.ViewMeeting("2026120109000010");
    EXPECT_TRUE(Enabled(deleteMeeting)) << "the previewed meeting can be deleted";
    EXPECT_FALSE(Enabled(viewMeeting));
    EXPECT_FALSE(Enabled(addToQuickView));
}

TEST_F(MainFrameTest, DeleteCommandAsksAndRemovesFileRecordAndShortcut) {
    const std::string id = AddStored("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    CMainFrame& main = MakeFrame();
    CCalendarPage& page = main.GetCalendarPage();
    main.AddToQuickView(id);
    page.GoToDate(CDateTime(2026, 12, 1, 0, 0, 0));
    page.ShowMode(CCalendarPage::agendaMode);
    page.GetMeetingList().SetSelectionMark(0);

    AskTesting::Script({false});
    main.OnCommand(CommandId::deleteMeeting);
    EXPECT_EQ(AskTesting::Shown(), QStringList{LoadResString(StringId::askDeleteMeeting)});
    EXPECT_TRUE(std::filesystem::exists(MeetingFilePath(id))) << "No keeps the meeting";
    EXPECT_EQ(main.GetQuickView().GetCount(), 1u);

    AskTesting::Script({true});
    main.OnCommand(CommandId::deleteMeeting);
    EXPECT_FALSE(std::filesystem::exists(MeetingFilePath(id)));
    EXPECT_TRUE(TheMeetingStore().GetMeeting(id).id.empty());
    EXPECT_TRUE(main.GetQuickView().IsEmpty()) << "the shortcut of a deleted meeting goes";
    EXPECT_EQ(main.GetQuickViewPane().GetItemCount(), 3);
}

TEST_F(MainFrameTest, DeleteFromPreviewReturnsToAgendaOnlyWhenDeleted) {
    const std::string id = AddStored("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    CMainFrame& main = MakeFrame();
    main.ViewMeeting(id);
    AskTesting::Script({false});
    main.OnCommand(CommandId::deleteMeeting);
    EXPECT_EQ(main.GetCalendarPage().GetMode(), CCalendarPage::previewMode);
    AskTesting::Script({true});
    main.OnCommand(CommandId::deleteMeeting);
    EXPECT_EQ(main.GetCalendarPage().GetMode(), CCalendarPage::agendaMode);
    EXPECT_FALSE(std::filesystem::exists(MeetingFilePath(id)));
}

TEST_F(MainFrameTest, DeleteOfMeetingWhoseFileIsGoneReportsAndKeepsRecord) {
    const std::string id = AddStored("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    CMainFrame& main = MakeFrame();
    std::filesystem::remove(MeetingFilePath(id));
    AskTesting::Script({true});
    main.DeleteMeeting(id);
    ASSERT_EQ(AskTesting::Shown().size(), 2);
    EXPECT_TRUE(
        AskTesting::Shown().back().contains(QString::fromStdString(MeetingFilePath(id).string())))
        << AskTesting::Shown().back().toStdString();
    EXPECT_EQ(TheMeetingStore().GetMeeting(id).id, id);
}

TEST_F(MainFrameTest, QuickViewOrderPinningTwiceAndExportItem) {
    // Two ids of one chain: the one pinned later is shown first.
    std::string first = "2026120109000010";
    std::string second;
    for (int minute = 1; second.empty(); ++minute) {
        const std::string candidate =
            MakeMeetingIdAt(CDateTime(2026, 12, 1, 9, minute % 60, minute / 60));
        if (CMeetingMap::BucketOf(candidate) == CMeetingMap::BucketOf(first)) {
            second = candidate;
        }
    }
    AddStored(first.c_str(), "First", CDateTime(2026, 12, 1, 9, 0, 0));
    AddStored(second.c_str(), "Second", CDateTime(2026, 12, 2, 9, 0, 0));
    CMainFrame& main = MakeFrame();
    CRightListView& pane = main.GetQuickViewPane();
    main.AddToQuickView(first);
    main.AddToQuickView(second);
    main.AddToQuickView(second);
    ASSERT_EQ(pane.GetItemCount(), 5) << "pinning twice gives one shortcut";
    EXPECT_EQ(pane.GetItemMeetingId(3), second);
    EXPECT_EQ(pane.GetItemMeetingId(4), first);

    main.ViewMeeting(first);
    main.ViewMeeting(second);
    int exportItems = 0;
    for (int row = 0; row < pane.GetItemCount(); ++row) {
        exportItems += pane.GetItemText(row) == LoadResString(StringId::exportMeeting) ? 1 : 0;
    }
    EXPECT_EQ(exportItems, 1) << "two previews, one Export Meeting item";
    EXPECT_EQ(pane.FirstShortcutRow(), 4);
    EXPECT_EQ(pane.GetItemMeetingId(4), second);

    main.GetCalendarPage().ShowMode(CCalendarPage::monthMode);
    EXPECT_EQ(pane.GetItemCount(), 5);
    EXPECT_EQ(pane.GetItemMeetingId(3), second) << "shortcuts move up when the preview ends";
}

TEST_F(MainFrameTest, RemovingShortcutsAndStaleOnes) {
    const std::string id = AddStored("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    CMainFrame& main = MakeFrame();
    main.GetQuickView().SetAt("1999010100000010", CMeeting()); // pinned, meeting gone
    main.AddToQuickView(id);
    CRightListView& pane = main.GetQuickViewPane();
    ASSERT_EQ(pane.GetItemCount(), 5);

    AskTesting::Script({false, true, true});
    pane.RemoveShortcutAt(3);
    EXPECT_EQ(pane.GetItemCount(), 5) << "No keeps the shortcut";
    for (int removed = 0; removed < 2; ++removed) {
        pane.RemoveShortcutAt(3);
    }
    EXPECT_EQ(pane.GetItemCount(), 3) << "both, the stale one too, can be removed";
    EXPECT_TRUE(main.GetQuickView().IsEmpty());
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

TEST_F(MainFrameTest, SettingsWrittenWhenFrameCloses) {
    const std::string id = AddStored("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    auto* main = new CMainFrame;
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->AddToQuickView(id);
    main->AddToQuickView("2026120109000010");
    main->SetPercentages(20, 70);
    AskTesting::Script({true});
    main->GetQuickViewPane().ActivateRow(CRightListView::exitRow);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Settings::ReadItem().toStdString(), id);
    EXPECT_EQ(Settings::ReadFirst(), 20);
    EXPECT_EQ(Settings::ReadSecond(), 70);
    EXPECT_EQ(Settings::ReadPath().toStdString(), Folder().string());
}

TEST_F(MainFrameTest, StoredShortcutsAndBarsAreRestored) {
    const std::string id = AddStored("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    Settings::WriteItem(QString::fromStdString(id) + QStringLiteral("\r\n\r\n1999010100000010"));
    Settings::WriteFirst(25);
    CMainFrame& main = MakeFrame();
    EXPECT_EQ(main.GetQuickView().GetCount(), 2u) << "the empty piece is skipped";
    EXPECT_TRUE(main.GetQuickView().Find("1999010100000010")->id.empty());
    EXPECT_EQ(main.GetFirstPercent(), 25);
    EXPECT_EQ(main.GetSecondPercent(), Settings::defaultSecond);
}

TEST_F(MainFrameTest, PreferencesChangeReloadsAndResetsSettings) {
    const std::string id = AddStored("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    CMainFrame& main = MakeFrame();
    main.AddToQuickView(id);
    main.SetPercentages(30, 60);
    const std::filesystem::path original = GetWorkingDirectory();

    // OK without Change, and Change to the folder that already holds the working directory:
    // nothing is written and nothing reloads.
    CPreferenceDlg::SetScript([](CPreferenceDlg& dialog) {
        dialog.Ok();
        return static_cast<int>(QDialog::Accepted);
    });
    main.OnCommand(CommandId::preference);
    std::filesystem::create_directories(Folder() / "Meeting Files");
    SetWorkingDirectory(Folder() / "Meeting Files");
    CPreferenceDlg::SetScriptedFolder(QString::fromStdString(Folder().string()));
    CPreferenceDlg::SetScript([](CPreferenceDlg& dialog) {
        dialog.Change();
        return static_cast<int>(QDialog::Accepted);
    });
    main.OnCommand(CommandId::preference);
    EXPECT_TRUE(Profile().allKeys().isEmpty());
    EXPECT_EQ(TheMeetingStore().GetCount(), 1u);
    SetWorkingDirectory(original);

    const std::filesystem::path other = Folder() / "other";
    std::filesystem::create_directories(other);
    CPreferenceDlg::SetScriptedFolder(QString::fromStdString(other.string()));
    main.OnCommand(CommandId::preference);
    EXPECT_EQ(GetWorkingDirectory(), other / "Meeting Files");
    EXPECT_TRUE(std::filesystem::is_directory(other / "Meeting Files"));
    EXPECT_EQ(TheMeetingStore().GetCount(), 0u) << "the store holds the new folder's meetings";
    EXPECT_TRUE(main.GetQuickView().IsEmpty());
    EXPECT_EQ(main.GetQuickViewPane().GetItemCount(), 3);
    EXPECT_EQ(Settings::ReadItem(), QString());
    EXPECT_EQ(Settings::ReadFirst(), 15);
    EXPECT_EQ(Settings::ReadSecond(), 85);
    EXPECT_EQ(Settings::ReadPath().toStdString(), (other / "Meeting Files").string());
    EXPECT_EQ(main.GetFirstPercent(), 30) << "the bars in memory stay until exit";
}

TEST_F(MainFrameTest, DamagedMeetingFilesAreReportedOnceByName) {
    const std::filesystem::path damaged = Folder() / "meeting2026120109000010.mtg";
    std::filesystem::create_directories(Folder());
    {
        std::FILE* file = std::fopen(damaged.c_str(), "wb");
        std::fputs("\x10"
                   "2026",
                   file);
        std::fclose(file);
    }
    AskTesting::Script({});
    CMainFrame& main = MakeFrame();
    QApplication::processEvents();
    ASSERT_EQ(AskTesting::Shown().size(), 1);
    EXPECT_TRUE(AskTesting::Shown().front().contains(QString::fromStdString(damaged.string())));
    main.OnCommand(CommandId::refresh);
    EXPECT_EQ(AskTesting::Shown().size(), 1) << "a file already reported is not reported again";
}
