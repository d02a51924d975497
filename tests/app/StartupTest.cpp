#include "app/KesApp.h"
#include "app/MainFrame.h"
#include "app/PreferenceDlg.h"
#include "app/Settings.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/WorkingDirectory.h"
#include "store/WorkingDirectoryLock.h"
#include "tests/support/WidgetDriving.h"
#include "ui/StringTable.h"
#include "ui/SystemServices.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>

namespace {

class StartupTest : public CQtTest {
protected:
    void TearDown() override {
        delete CKesApp::Instance()->GetMainFrame();
        CQtTest::TearDown();
    }

    // Plays the working-directory dialog: records that it ran and with which caption, then
    // picks `folder` (or cancels when empty).
    void ScriptDialog(const std::filesystem::path& folder) {
        TestServices().SetFolder(QString::fromStdString(folder.string()));
        TestServices().SetDialogScript("preferenceDialog", [this, folder](QDialog& shown) {
            auto& dialog = dynamic_cast<CPreferenceDlg&>(shown);
            captions.append(dialog.GetCaptionText());
            shownBeforeDialog = TestServices().Shown().size();
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

TEST_F(StartupTest, StoredFolderGoneShowsMessageThenDialog) {
    Settings::WritePath(QString::fromStdString((Folder() / "gone").string()));
    TestServices().ScriptAnswers({});
    ScriptDialog(Folder());
    ASSERT_TRUE(CKesApp::Instance()->InitInstance());
    ASSERT_EQ(TestServices().Shown().size(), 1);
    EXPECT_EQ(TestServices().Shown().front(), LoadResString(StringId::directoryGone));
    EXPECT_EQ(shownBeforeDialog, 1) << "the message comes before the dialog";
    EXPECT_EQ(GetWorkingDirectory(), Folder() / "Meeting Files");
    EXPECT_TRUE(std::filesystem::is_directory(Folder() / "Meeting Files"));
    EXPECT_NE(CKesApp::Instance()->GetMainFrame(), nullptr);
}

TEST_F(StartupTest, PickedFolderThatCannotHoldFilesIsRefused) {
    TestServices().ScriptAnswers({});
    CPreferenceDlg dialog(TestServices());
    TestServices().SetFolder(QString::fromStdString((Folder() / "missing").string()));
    dialog.Change();
    EXPECT_FALSE(dialog.IsChanged());
    EXPECT_TRUE(dialog.GetChosenPath().isEmpty());
    EXPECT_EQ(TestServices().Shown(), QStringList{LoadResString(StringId::directoryInvalid)});

    TestServices().SetFolder(QString::fromStdString(Folder().string()));
    dialog.Change();
    EXPECT_TRUE(dialog.IsChanged());
}

// Another window has the folder open: the user is asked, may pick another folder (asked again
// while that one is taken too) or quit. Files of the other window are not touched; the folder
// finally opened is locked and cleared of what saves cut short left there.
TEST_F(StartupTest, FolderOpenElsewhereOffersAnotherFolderOrQuit) {
    namespace fs = std::filesystem;
    const fs::path taken = Folder() / "Meeting Files";
    const fs::path elsewhere = Folder() / "elsewhere" / "Meeting Files";
    fs::create_directories(taken);
    fs::create_directories(elsewhere);
    const std::string stale =
        TemporaryPathFor(taken / "meeting2026120109000010.mtg").filename().string();
    std::ofstream(taken / stale) << "being written";
    std::ofstream(elsewhere / stale) << "cut short";
    CWorkingDirectoryLock otherWindow;
    ASSERT_EQ(otherWindow.Acquire(taken), CWorkingDirectoryLock::Result::locked);
    Settings::WritePath(QString::fromStdString(taken.string()));

    TestServices().ScriptAnswers({true, false}); // pick another folder, then quit
    ScriptDialog(Folder());                      // which is the taken folder again
    EXPECT_FALSE(CKesApp::Instance()->InitInstance());
    const QString inUse = CKesApp::FolderInUseText(taken);
    EXPECT_TRUE(inUse.contains(QString::fromStdString(taken.string()))) << inUse.toStdString();
    ASSERT_EQ(TestServices().Shown().size(), 2);
    EXPECT_TRUE(TestServices().Shown()[0].startsWith(inUse));
    EXPECT_TRUE(TestServices().Shown()[1].startsWith(inUse));
    EXPECT_EQ(captions, QStringList{QStringLiteral("Select Working Directory")});
    EXPECT_EQ(CKesApp::Instance()->GetMainFrame(), nullptr);
    EXPECT_TRUE(fs::exists(taken / stale)) << "the other window's save was cut off";

    TestServices().ScriptAnswers({true});
    ScriptDialog(Folder() / "elsewhere");
    ASSERT_TRUE(CKesApp::Instance()->InitInstance());
    EXPECT_EQ(GetWorkingDirectory(), elsewhere);
    EXPECT_EQ(CKesApp::Instance()->GetWorkingDirectoryLock().GetFolder(), elsewhere);
    EXPECT_FALSE(fs::exists(elsewhere / stale));
    EXPECT_TRUE(fs::exists(taken / stale));
    otherWindow.Release();
    EXPECT_EQ(otherWindow.Acquire(elsewhere), CWorkingDirectoryLock::Result::heldElsewhere);
}

// The real boxes take keys: the folder-in-use choice has "Pick Another Folder…" as its
// default (Return) and Escape quits; the Yes/No question defaults to No, so neither key says
// Yes.
TEST_F(StartupTest, QuestionsAnswerToReturnAndEscape) {
    // Presses `key` on the box that opens next; gives its default button's text.
    const auto pressOnNextBox = [](Qt::Key key, QString& defaultText) {
        QTimer::singleShot(0, [key, &defaultText] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return; // the check below fails instead of the test waiting for ever
            }
            defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
            defaultText.remove(QLatin1Char('&'));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box, key);
        });
    };
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QString defaultText;
        pressOnNextBox(key, defaultText);
        EXPECT_EQ(CSystemServices().AskChoice(QStringLiteral("In use"),
                                              QStringLiteral("Pick Another Folder…"),
                                              QStringLiteral("Quit"), nullptr),
                  key == Qt::Key_Return)
            << "key " << key;
        EXPECT_EQ(defaultText, QStringLiteral("Pick Another Folder…"));

        pressOnNextBox(key, defaultText);
        EXPECT_FALSE(CSystemServices().Ask(StringId::askDeleteMeeting, nullptr)) << "key " << key;
        EXPECT_EQ(defaultText, QStringLiteral("No"));
    }
}

namespace {

// An object whose handling of a user event fails on a file, as a command that missed its
// error would.
class CFailingReceiver : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw CFileError("/home/ann/Meeting Files/meeting2026120109000010.mtg",
                             "No space left on device");
        }
        return QObject::event(event);
    }
};

} // namespace

// A file error that still reaches the event loop is reported, not a crash, and counted.
TEST_F(StartupTest, FileErrorInTheEventLoopIsReportedAsALastResort) {
    CFailingReceiver receiver;
    const int before = CKesApp::Instance()->GetFileErrorsInEventLoop();
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&receiver, &event);
    EXPECT_EQ(CKesApp::Instance()->GetFileErrorsInEventLoop(), before + 1);
    EXPECT_EQ(TestServices().ShownAs(CScriptedServices::Kind::error),
              QStringList{QStringLiteral("The file /home/ann/Meeting Files/"
                                         "meeting2026120109000010.mtg could not be changed: "
                                         "No space left on device.")});
}

// First start by keys: Escape ends the program without a window or a setting. Then OK takes
// nothing while no folder is picked, Enter on the focused Change picks one, the dialog shows
// the folder the meetings will be in, and Enter takes it.
TEST_F(StartupTest, FirstStartByKeysShowsTheMeetingFolderAndEnterTakesIt) {
    TestServices().ScriptAnswers({});
    TestServices().SetFolder(QString::fromStdString(Folder().string()));
    bool okWaitsForAFolder = false;
    QString shown;
    TestServices().SetDialogScript("preferenceDialog", [&](QDialog& dialog) {
        Activate(dialog);
        if (shown.isEmpty()) {
            shown = dynamic_cast<CPreferenceDlg&>(dialog).GetCaptionText();
            Press(Qt::Key_Escape);
            return dialog.result();
        }
        const auto* path = dialog.findChild<QLineEdit*>(QStringLiteral("pathEdit"));
        okWaitsForAFolder = !dialog.findChild<QWidget*>(QStringLiteral("okButton"))->isEnabled();
        Press(Qt::Key_Return); // Change has the focus
        shown = path->text();
        Press(Qt::Key_Return); // OK took it
        return dialog.isVisible() ? static_cast<int>(QDialog::Rejected) : dialog.result();
    });
    EXPECT_FALSE(CKesApp::Instance()->InitInstance());
    EXPECT_EQ(shown, QStringLiteral("Select Working Directory"));
    EXPECT_EQ(CKesApp::Instance()->GetMainFrame(), nullptr);
    EXPECT_TRUE(GetWorkingDirectory().empty());
    EXPECT_FALSE(AnySettingWritten());
    EXPECT_TRUE(TestServices().Shown().isEmpty()) << "first start asks without a message";

    ASSERT_TRUE(CKesApp::Instance()->InitInstance());
    EXPECT_TRUE(okWaitsForAFolder) << "OK without a folder would quit without a word";
    const std::filesystem::path meetings = Folder() / "Meeting Files";
    EXPECT_EQ(shown, QDir::toNativeSeparators(QString::fromStdString(meetings.string())));
    EXPECT_EQ(GetWorkingDirectory(), meetings);
    EXPECT_TRUE(std::filesystem::is_directory(meetings));
}

// A lock file's name taken by a folder would let every window go on without a lock: the folder
// is refused at start, naming what is in the way and where; a folder where no lock can be made
// at all is opened, but not without saying so.
TEST_F(StartupTest, AFolderThatCannotBeLockedIsRefusedOrSaidToBeUnguarded) {
    namespace fs = std::filesystem;
    const fs::path blocked = Folder() / "Meeting Files";
    const fs::path lockName = blocked / std::string(CWorkingDirectoryLock::fileName);
    fs::create_directories(lockName);
    Settings::WritePath(QString::fromStdString(blocked.string()));
    TestServices().ScriptAnswers({false}); // quit
    EXPECT_FALSE(CKesApp::Instance()->InitInstance());
    EXPECT_EQ(CKesApp::Instance()->GetMainFrame(), nullptr);
    ASSERT_EQ(TestServices().Shown().size(), 1);
    const QString refusal = TestServices().Shown()[0];
    EXPECT_TRUE(refusal.contains(QString::fromStdString(lockName.string())))
        << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("is a folder"))) << refusal.toStdString();

    // Nothing can be created in /proc, not even by root: no lock there.
    EXPECT_TRUE(CKesApp::Instance()->LockWorkingDirectory("/proc/self/fdinfo"));
    ASSERT_EQ(TestServices().Shown().size(), 2);
    EXPECT_TRUE(TestServices().Shown()[1].contains(QStringLiteral("opened without a lock")));
}
