#include "app/Ask.h"
#include "app/KesApp.h"
#include "app/MainFrame.h"
#include "app/PreferenceDlg.h"
#include "app/Settings.h"
#include "app/StringTable.h"
#include "store/WorkingDirectory.h"
#include "tests/support/QtTestEnvironment.h"

#include <QSettings>

#include <filesystem>

namespace {

bool AnySettingWritten() {
    return !QSettings(QStringLiteral("Brindleware"), QStringLiteral("Tavelin 4.0"))
                .allKeys()
                .isEmpty();
}

class StartupTest : public CQtTest {
protected:
    void TearDown() override {
        CPreferenceDlg::StopScripts();
        delete CKesApp::Instance()->GetMainFrame();
        CQtTest::TearDown();
    }

    // Plays the working-directory dialog: records that it ran and with which caption, then
    // picks `folder` (or cancels when empty).
    void ScriptDialog(const std::filesystem::path& folder) {
        CPreferenceDlg::SetScriptedFolder(QString::fromStdString(folder.string()));
        CPreferenceDlg::SetScript([this, folder](CPreferenceDlg& dialog) {
            captions.append(dialog.GetCaptionText());
            shownBeforeDialog = AskTesting::Shown().size();
            if (folder.empty()) {
                dialog.Cancel();
                return static_cast<int>(QDialog::Rejected);
            }
            dialog.Change();
            dialog.Ok();
            return dialog.IsChanged() ? static_cast<int>(QDialog::Accepted)
                                      : static_cast<int>(QDialog::Rejected);
        });
    }

    QStringList captions;
    qsizetype shownBeforeDialog = -1;
};

} // namespace

TEST_F(StartupTest, FirstStartCancelledEndsWithoutWindowOrSetting) {
    AskTesting::Script({});
    ScriptDialog({});
    EXPECT_FALSE(CKesApp::Instance()->InitInstance());
    EXPECT_EQ(captions, QStringList{QStringLiteral("Select Working Directory")});
    EXPECT_TRUE(AskTesting::Shown().isEmpty()) << "first start asks without a message";
    EXPECT_EQ(CKesApp::Instance()->GetMainFrame(), nullptr);
    EXPECT_TRUE(GetWorkingDirectory().empty());
    EXPECT_FALSE(AnySettingWritten());
}

TEST_F(StartupTest, StoredFolderGoneShowsMessageThenDialog) {
    Settings::WritePath(QString::fromStdString((Folder() / "gone").string()));
    AskTesting::Script({});
    ScriptDialog(Folder());
    ASSERT_TRUE(CKesApp::Instance()->InitInstance());
    ASSERT_EQ(AskTesting::Shown().size(), 1);
    EXPECT_EQ(AskTesting::Shown().front(), LoadResString(StringId::directoryGone));
    EXPECT_EQ(shownBeforeDialog, 1) << "the message comes before the dialog";
    EXPECT_EQ(GetWorkingDirectory(), Folder() / "Meeting Files");
    EXPECT_TRUE(std::filesystem::is_directory(Folder() / "Meeting Files"));
    EXPECT_NE(CKesApp::Instance()->GetMainFrame(), nullptr);
}

TEST_F(StartupTest, StoredFolderIsUsedWithoutDialog) {
    Settings::WritePath(QString::fromStdString(Folder().string()));
    AskTesting::Script({});
    ScriptDialog({});
    ASSERT_TRUE(CKesApp::Instance()->InitInstance());
    EXPECT_TRUE(captions.isEmpty());
    EXPECT_EQ(GetWorkingDirectory(), Folder());
}

TEST_F(StartupTest, PickedFolderThatCannotHoldFilesIsRefused) {
    AskTesting::Script({});
    CPreferenceDlg dialog;
    CPreferenceDlg::SetScriptedFolder(QString::fromStdString((Folder() / "missing").string()));
    dialog.Change();
    EXPECT_FALSE(dialog.IsChanged());
    EXPECT_TRUE(dialog.GetChosenPath().isEmpty());
    EXPECT_EQ(AskTesting::Shown(), QStringList{LoadResString(StringId::directoryInvalid)});

    CPreferenceDlg::SetScriptedFolder(QString::fromStdString(Folder().string()));
    dialog.Change();
    EXPECT_TRUE(dialog.IsChanged());
    EXPECT_EQ(dialog.GetMode(), CPreferenceDlg::selected);
    EXPECT_EQ(dialog.GetCaptionText(), QStringLiteral("Selected Working Directory"));

    CPreferenceDlg::SetScriptedFolder(std::nullopt); // the browser cancelled: nothing changes
    dialog.Change();
    EXPECT_EQ(dialog.GetChosenPath().toStdString(), Folder().string());
}
