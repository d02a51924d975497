#include "app/RightListView.h"
#include "calendar/CalendarPage.h"
#include "calendar/MeetingListCtrl.h"
#include "editor/AgendaItemDialog.h"
#include "editor/MeetingIconDialog.h"
#include "editor/MeetingIconList.h"
#include "store/ContentFiles.h"
#include "store/MeetingFile.h"
#include "tests/editor/SheetDriver.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/FrameTest.h"
#include "ui/CommandTable.h"
#include "ui/TextConversion.h"

#include <QAction>
#include <QDateTimeEdit>

#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QWizard>

#include <chrono>

namespace fs = std::filesystem;

namespace {
const std::string budget = "2026120109000010";
const ContentKind allKinds[] = {ContentKind::agenda, ContentKind::todos, ContentKind::attendees,
                                ContentKind::minutes};

// The whole meeting sheet with its five pages, opened from the main frame.
class MeetingSheetEndToEndTest : public CFrameTest {
protected:
    std::vector<fs::path> FilesOf(const std::string& id) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(Folder())) {
            if (entry.path().filename().string().find(id) != std::string::npos) {
                found.push_back(entry.path().filename());
            }
        }
        return found;
    }

    // Adds one item on the page in front through its Add button and the item dialog.
    static void AddThroughDialog(QWidget& page, const char* dialog, const char* field,
                                 const QString& text) {
        ScriptDialog(TestServices(), dialog, [field, text](QDialog& shown) {
            QWidget* edit = Child(shown, field);
            ASSERT_NE(edit, nullptr);
            edit->setFocus(Qt::MouseFocusReason);
            Type(text);
        });
        Click(page, "addButton");
    }
};

TEST_F(MeetingSheetEndToEndTest, WizardWalkedToFinishWritesEveryFileAsTypedAndShowsTheDate) {
    CMainFrame& main = MakeFrame();
    main.GetCalendarPage().ShowMode(CCalendarPage::previewMode);
    CDateTime agendaTime;
    TestServices().SetDialogScript("meetingWizard", [&](QDialog& dialog) {
        auto& wizard = static_cast<QWizard&>(dialog);
        Activate(wizard);
        SheetDriver::TypeInto(Child(wizard, "titleEdit"), "  Budget review  ");
        SheetDriver::TypeInto(Child(wizard, "referenceEdit"), "R-1");
        SheetDriver::TypeInto(Child(wizard, "venueEdit"), "Room 4");
        auto* date = Child<QDateTimeEdit>(wizard, "dateEdit");
        date->setFocus(Qt::MouseFocusReason);
        date->setSelectedSection(QDateTimeEdit::DaySection);
        Type("15");
        TestServices().SetDialogScript("meetingIconDialog", [](QDialog& icons) {
            Activate(icons);
            CMeetingIconList& list = static_cast<CMeetingIconDialog&>(icons).GetList();
            list.ScrollTo(71);
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.ViewportRect(71).center());
            Click(icons, "okButton");
            return icons.result();
        });
        Click(wizard, "iconButton");
        SheetDriver::Press(wizard, QWizard::NextButton);

        ScriptDialog(TestServices(), "agendaItemDialog", [&](QDialog& shown) {
            Child(shown, "agendaText")->setFocus(Qt::MouseFocusReason);
            Type("Opening");
            agendaTime = static_cast<CAgendaItemDialog&>(shown).GetTime();
        });
        Click(*wizard.currentPage(), "addButton");
        SheetDriver::Press(wizard, QWizard::NextButton);

        AddThroughDialog(*wizard.currentPage(), "todoItemDialog", "todoText", "Book room");
        SheetDriver::Press(wizard, QWizard::NextButton);

        Child(wizard, "attendeeName")->setFocus(Qt::MouseFocusReason);
        Type("Ann");
        Click(*wizard.currentPage(), "addButton");
        SheetDriver::Press(wizard, QWizard::NextButton);

        AddThroughDialog(*wizard.currentPage(), "minuteDialog", "minuteText", "Agreed");
        SheetDriver::Press(wizard, QWizard::FinishButton);
        return wizard.result();
    });
    main.AddMeeting(CDateTime(2026, 12, 2, 14, 30, 0));

    ASSERT_EQ(TestStore().GetCount(), 1u);
    const std::string id = TestStore().begin()->Key();
    CMeeting expected(CDateTime(2026, 12, 15, 14, 30, 0));
    expected.id = id;
    expected.title = "Budget review";
    expected.reference = "R-1";
    expected.venue = "Room 4";
    expected.icon = 71;
    EXPECT_EQ(FileBytes(MeetingFilePath(id)), EncodeMeeting(expected));
    EXPECT_EQ(FileBytes(ContentFilePath(ContentKind::agenda, id)),
              EncodeAgenda({CAgendaItem{agendaTime, "Opening"}}));
    EXPECT_EQ(FileBytes(ContentFilePath(ContentKind::todos, id)),
              EncodeTodos({CTodoItem{"Book room", CTodoItem::medium, 0}}));
    EXPECT_EQ(FileBytes(ContentFilePath(ContentKind::attendees, id)), EncodeStringList({"Ann"}));
    EXPECT_EQ(FileBytes(ContentFilePath(ContentKind::minutes, id)), EncodeStringList({"Agreed"}));
    EXPECT_TRUE(TestServices().ShownAs(CScriptedServices::Kind::error).isEmpty());
    EXPECT_EQ(main.GetCalendarPage().GetSelectedDate(), expected.date)
        << "the calendar goes to the date the wizard stored";
    EXPECT_EQ(main.GetCalendarPage().GetMode(), CCalendarPage::agendaMode)
        << "a preview gives way to the meeting list";
}

// Details the disk refuses stay on the page with a message naming the file; a retry goes on.
TEST_F(MeetingSheetEndToEndTest, DetailsThatCannotBeSavedAreReportedAndKeptOnThePage) {
    CMainFrame& main = MakeFrame();
    TestServices().SetDialogScript("meetingWizard", [&](QDialog& dialog) {
        auto& wizard = static_cast<QWizard&>(dialog);
        Activate(wizard);
        const std::string id = TestStore().begin()->Key();
        SheetDriver::TypeInto(Child(wizard, "titleEdit"), "Budget");
        {
            CFailingScope<CFullDisk> fullDisk;
            SheetDriver::Press(wizard, QWizard::NextButton);
        }
        EXPECT_EQ(wizard.currentId(), 0) << "the wizard stays on the details";
        EXPECT_EQ(Child<QLineEdit>(wizard, "titleEdit")->text(), QStringLiteral("Budget"));
        const QStringList errors = TestServices().ShownAs(CScriptedServices::Kind::error);
        EXPECT_TRUE(errors.size() == 1 &&
                    errors.front().contains(QString::fromStdString(MeetingFilePath(id).string())))
            << "one message, naming the meeting file";
        SheetDriver::Press(wizard, QWizard::NextButton);
        EXPECT_EQ(wizard.currentId(), 1) << "the retry went through";
        SheetDriver::Press(wizard, QWizard::CancelButton);
        return wizard.result();
    });
    main.AddMeeting(CDateTime(2026, 12, 2, 14, 30, 0));
    EXPECT_EQ(TestStore().GetCount(), 0u);
}

TEST_F(MeetingSheetEndToEndTest, WizardCancelledOnTheAttendeesPageRemovesEverythingWritten) {
    CMainFrame& main = MakeFrame();
    TestServices().SetDialogScript("meetingWizard", [&](QDialog& dialog) {
        auto& wizard = static_cast<QWizard&>(dialog);
        Activate(wizard);
        SheetDriver::Press(wizard, QWizard::NextButton);
        AddThroughDialog(*wizard.currentPage(), "agendaItemDialog", "agendaText", "Opening");
        SheetDriver::Press(wizard, QWizard::NextButton);
        SheetDriver::Press(wizard, QWizard::NextButton);
        const std::string id = TestStore().begin()->Key();
        EXPECT_TRUE(fs::exists(ContentFilePath(ContentKind::agenda, id)));
        EXPECT_TRUE(fs::exists(ContentFilePath(ContentKind::todos, id)));
        SheetDriver::Press(wizard, QWizard::CancelButton);
        return wizard.result();
    });
    main.AddMeeting(CDateTime(2026, 12, 2, 14, 30, 0));
    EXPECT_EQ(TestStore().GetCount(), 0u);
    EXPECT_TRUE(FilesOf(".").empty()) << "the meeting file and the agenda and todo files are gone";
}

TEST_F(MeetingSheetEndToEndTest, WizardWalkedWithEnterOnlyStoresNotesWithCrLf) {
    CMainFrame& main = MakeFrame();
    int pagesPassed = 0;
    TestServices().SetDialogScript("meetingWizard", [&](QDialog& dialog) {
        auto& wizard = static_cast<QWizard&>(dialog);
        Activate(wizard);
        FocusOn(*Child(wizard, "notesEdit"));
        Type("one");
        Press(Qt::Key_Return);
        Type("two");
        FocusOn(*Child(wizard, "titleEdit"));
        Type("Budget");
        for (int page = 0; page < 5 && wizard.isVisible(); ++page) {
            Press(Qt::Key_Return);
            ++pagesPassed;
        }
        return wizard.result();
    });
    main.AddMeeting(CDateTime(2026, 12, 2, 14, 30, 0));

    ASSERT_EQ(TestStore().GetCount(), 1u) << "Enter on the last page is Finish";
    EXPECT_EQ(pagesPassed, 5);
    const std::string id = TestStore().begin()->Key();
    CMeeting expected(CDateTime(2026, 12, 2, 14, 30, 0));
    expected.id = id;
    expected.title = "Budget";
    expected.notes = "one\r\ntwo";
    EXPECT_EQ(FileBytes(MeetingFilePath(id)), EncodeMeeting(expected));
    for (const ContentKind kind : allKinds) {
        EXPECT_EQ(FileBytes(ContentFilePath(kind, id)), Int32(0)) << "every page saved, empty";
    }
}

// OK at once rewrites the meeting file byte for byte (a day count a hair past 10:30, a title of
// blanks and a long one, Windows-1252 text, CR LF) and touches no content file; a title typed
// where the sheet opens replaces the old one, in the quick view pane too.
TEST_F(MeetingSheetEndToEndTest, TabsOpenInTheTitleAndOkKeepsEveryFileByteForByte) {
    CMeeting meeting(CDateTime(CDateTime(2026, 12, 1, 10, 30, 0).GetDayCount() + 1e-9));
    meeting.id = budget;
    meeting.title = "  " + std::string(40000, 'T');
    meeting.venue = "Caf\xe9 Nord";
    meeting.notes = "Line one\r\nLine two";
    TestStore().ModifyMeeting(meeting);
    WriteAgendaFile(budget, {CAgendaItem{CDateTime(2026, 12, 1, 9, 0, 0), "Opening\r\nand tea"}});
    WriteTodoFile(budget, {CTodoItem{"Book room", 2, 1}});
    WriteAttendeeFile(budget, {"Ann"});
    WriteMinutesFile(budget, {"Agreed"});
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    std::vector<std::pair<fs::path, std::string>> files{
        {MeetingFilePath(budget), FileBytes(MeetingFilePath(budget))}};
    for (const ContentKind kind : allKinds) {
        files.emplace_back(ContentFilePath(kind, budget), FileBytes(ContentFilePath(kind, budget)));
        fs::last_write_time(files.back().first, old);
    }

    CMainFrame& main = MakeFrame();
    main.AddToQuickView(budget);
    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& dialog) {
        Activate(dialog);
        EXPECT_EQ(FocusName().toStdString(), "titleEdit");
        Press(Qt::Key_Return);
        return dialog.result();
    });
    main.ModifyMeeting(budget);
    for (const auto& [path, bytes] : files) {
        EXPECT_TRUE(FileBytes(path) == bytes) << path << " is not byte for byte as it was";
        EXPECT_TRUE(path == files.front().first || fs::last_write_time(path) == old) << path;
    }

    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& dialog) {
        Activate(dialog);
        QTabBar* bar = Child<QTabWidget>(dialog, "sheetTabs")->tabBar();
        const QImage unfocused = bar->grab().toImage();
        Type("Budget 2");
        Press(Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), bar);
        EXPECT_NE(bar->grab().toImage(), unfocused) << "the tab bar shows its focus";
        Press(Qt::Key_Tab);
        Press(Qt::Key_Return);
        return dialog.result();
    });
    main.ModifyMeeting(budget);
    meeting.title = "Budget 2";
    EXPECT_TRUE(FileBytes(MeetingFilePath(budget)) == EncodeMeeting(meeting));
    const CRightListView& pane = main.GetQuickViewPane();
    int row = 0;
    while (row < pane.GetItemCount() && pane.GetItemMeetingId(row) != budget) {
        ++row;
    }
    EXPECT_EQ(pane.GetItemText(row), QStringLiteral("Budget 2")) << "the shortcut shows it";
}

} // namespace
