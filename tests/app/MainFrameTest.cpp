#include "app/KesApp.h"
#include "app/PreferenceDlg.h"
#include "app/RightListView.h"
#include "app/Settings.h"
#include "calendar/CalendarPage.h"
#include "store/MeetingFile.h"
#include "store/WorkingDirectory.h"
#include "store/WorkingDirectoryLock.h"
#include "tests/support/FrameTest.h"
#include "ui/CommandTable.h"
#include "ui/StringTable.h"

#include <fstream>

namespace {
const std::string budget = "2026120109000010";

class MainFrameTest : public CFrameTest {
protected:
    static void Store(const std::string& id, const char* title, int day) {
        StoreMeeting(id, title, CDateTime(2026, 12, day, 9, 0, 0));
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
};

} // namespace

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

// The browser cancelled, or the folder already open, changes nothing; a folder another window
// has open is refused with a message naming it. Another folder reloads the store, resets the
// stored settings and takes the lock along.
TEST_F(MainFrameTest, PreferencesChangeReloadsResetsSettingsAndMovesTheLock) {
    Store(budget, "Budget", 1);
    CMainFrame& main = MakeFrame();
    main.AddToQuickView(budget);
    main.SetPercentages(30, 60);
    const std::filesystem::path original = GetWorkingDirectory();
    ASSERT_TRUE(CKesApp::Instance()->LockWorkingDirectory(original));
    ScriptPreferences();
    TestServices().ScriptAnswers({});
    TestServices().SetFolder(std::nullopt);
    main.OnCommand(CommandId::preference);
    SetWorkingDirectory(Folder() / "Meeting Files");
    TestServices().SetFolder(QString::fromStdString(Folder().string()));
    main.OnCommand(CommandId::preference);
    SetWorkingDirectory(original);
    EXPECT_TRUE(TestServices().Shown().isEmpty());

    const std::filesystem::path other = Folder() / "other" / "Meeting Files";
    std::filesystem::create_directories(other);
    CWorkingDirectoryLock otherWindow;
    ASSERT_EQ(otherWindow.Acquire(other), CWorkingDirectoryLock::Result::locked);
    TestServices().SetFolder(QString::fromStdString((Folder() / "other").string()));
    main.OnCommand(CommandId::preference);
    ASSERT_EQ(TestServices().Shown().size(), 1);
    EXPECT_TRUE(TestServices().Shown().front().startsWith(CKesApp::FolderInUseText(other)));
    EXPECT_FALSE(AnySettingWritten());
    EXPECT_EQ(GetWorkingDirectory(), original);
    EXPECT_EQ(TestStore().GetCount(), 1u);

    otherWindow.Release();
    main.OnCommand(CommandId::preference);
    EXPECT_EQ(GetWorkingDirectory(), other);
    EXPECT_EQ(TestStore().GetCount(), 0u) << "the store holds the new folder's meetings";
    EXPECT_EQ(main.GetQuickViewPane().GetItemCount(), 3);
    EXPECT_EQ(Settings::ReadItem(), QString());
    EXPECT_EQ(Settings::ReadFirst() * 100 + Settings::ReadSecond(), 1585);
    EXPECT_EQ(Settings::ReadPath().toStdString(), other.string());
    EXPECT_EQ(main.GetFirstPercent(), 30) << "the bars in memory stay until exit";
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
