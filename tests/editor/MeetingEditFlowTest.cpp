#include "app/MainFrame.h"
#include "app/RightListView.h"
#include "calendar/CalendarPage.h"
#include "calendar/MeetingListCtrl.h"
#include "editor/MeetingDetailPage.h"
#include "store/ContentFiles.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "tests/editor/SheetDriver.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "ui/CommandTable.h"
#include "ui/TextConversion.h"

#include <QAction>
#include <QDateTimeEdit>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace SheetDriver;
namespace fs = std::filesystem;

namespace {

const std::string budget = "2026120109000010";

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Adding and modifying from the main frame: the details page and content pages that write a
// real content file when they save.
class MeetingEditFlowTest : public CQtTest {
protected:
    void TearDown() override {
        frame.reset();
        CQtTest::TearDown();
    }

    CMainFrame& MakeFrame() {
        frame = std::make_unique<CMainFrame>(TestStore(), TestServices());
        std::vector<MeetingPageMaker> pages{
            [](CMeetingStore& store, CDesktopServices& services, const std::string& id) {
                return new CMeetingDetailPage(store, services, id);
            }};
        for (int i = 0; i < 4; ++i) {
            pages.push_back([this, i](CMeetingStore& store, CDesktopServices& services,
                                      const std::string& id) {
                auto* page = new CProbePage(store, services, id, QStringLiteral("page%1").arg(i),
                                            log, 61453 - 2 * i, 61454 - 2 * i);
                page->onSave = [i](const std::string& meeting) {
                    if (i == 0) {
                        WriteAgendaFile(meeting, {});
                    } else if (i == 1) {
                        WriteTodoFile(meeting, {});
                    }
                };
                return page;
            });
        }
        frame->SetSheetPages(std::move(pages));
        return *frame;
    }

    std::vector<fs::path> FilesOf(const std::string& id) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(Folder())) {
            if (entry.path().filename().string().find(id) != std::string::npos) {
                found.push_back(entry.path().filename());
            }
        }
        return found;
    }

    std::vector<std::string> log;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MeetingEditFlowTest, AddWalkedToFinishKeepsTheMeetingAndShowsItsStoredDate) {
    TestServices().SetNow(CDateTime(2026, 12, 1, 9, 0, 0));
    CMainFrame& main = MakeFrame();
    main.GetCalendarPage().ShowMode(CCalendarPage::previewMode);
    TestServices().SetDialogScript("meetingWizard", [&](QDialog& dialog) {
        auto& wizard = static_cast<QWizard&>(dialog);
        ShowActive(wizard);
        TypeInto(wizard.findChild<QLineEdit*>("titleEdit"), "   ");
        auto* date = wizard.findChild<QDateTimeEdit*>("dateEdit");
        date->setFocus(Qt::MouseFocusReason);
        date->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("15"));
        for (int page = 0; page < 4; ++page) {
            Press(wizard, QWizard::NextButton);
        }
        Press(wizard, QWizard::FinishButton);
        return wizard.result();
    });
    main.GetAction(CommandId::addMeeting)->trigger();

    ASSERT_EQ(TestStore().GetCount(), 1u);
    const CMeeting added = TestStore().begin()->value;
    EXPECT_EQ(added.title, "No Subject") << "a blank title leaving the first page";
    EXPECT_EQ(added.date, CDateTime(2026, 12, 15, 9, 0, 0));
    EXPECT_TRUE(fs::exists(ContentFilePath(ContentKind::agenda, added.id)));
    EXPECT_EQ(main.GetCalendarPage().GetSelectedDate(), added.date)
        << "the calendar goes to the date the wizard stored";
    EXPECT_EQ(main.GetCalendarPage().GetMode(), CCalendarPage::agendaMode)
        << "a preview gives way to the meeting list";
    EXPECT_TRUE(TestServices().ShownAs(CScriptedServices::Kind::error).isEmpty());
}

TEST_F(MeetingEditFlowTest, AddCancelledOnTheFourthPageLeavesNoMeetingAndNoFile) {
    CMainFrame& main = MakeFrame();
    TestServices().SetDialogScript("meetingWizard", [&](QDialog& dialog) {
        auto& wizard = static_cast<QWizard&>(dialog);
        ShowActive(wizard);
        TypeInto(wizard.findChild<QLineEdit*>("titleEdit"), "Gone");
        for (int page = 0; page < 3; ++page) {
            Press(wizard, QWizard::NextButton);
        }
        const std::string id = TestStore().begin()->Key();
        EXPECT_EQ(FilesOf(id).size(), 3u) << "meeting, agenda and todo files on the way";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        return wizard.result();
    });
    main.AddMeeting(CDateTime(2026, 12, 2, 14, 30, 0));
    EXPECT_EQ(TestStore().GetCount(), 0u);
    EXPECT_TRUE(FilesOf(".").empty()) << "no file of the cancelled meeting is left";
}

TEST_F(MeetingEditFlowTest, ModifyOkAtOnceRewritesOnlyTheMeetingFileAndRefreshesShortcuts) {
    CMeeting meeting(CDateTime(2026, 12, 1, 9, 0, 0));
    meeting.id = budget;
    meeting.title = "   ";
    TestStore().ModifyMeeting(meeting);
    WriteAgendaFile(budget, {CAgendaItem{CDateTime(2026, 12, 1, 9, 0, 0), "Opening"}});
    WriteTodoFile(budget, {CTodoItem{"Book room", 1, 0}});
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    std::vector<std::pair<fs::path, std::string>> content;
    for (const ContentKind kind : {ContentKind::agenda, ContentKind::todos}) {
        const fs::path path = ContentFilePath(kind, budget);
        fs::last_write_time(path, old);
        content.emplace_back(path, Bytes(path));
    }
    fs::last_write_time(MeetingFilePath(budget), old);

    CMainFrame& main = MakeFrame();
    main.AddToQuickView(budget);
    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& dialog) {
        ShowActive(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        return dialog.result();
    });
    main.ModifyMeeting(budget);

    EXPECT_GT(fs::last_write_time(MeetingFilePath(budget)), old) << "the meeting file is written";
    EXPECT_EQ(TestStore().GetMeeting(budget).title, "   ") << "OK keeps a blank title";
    for (const auto& [path, bytes] : content) {
        EXPECT_EQ(fs::last_write_time(path), old) << path << " is not touched";
        EXPECT_EQ(Bytes(path), bytes) << path;
    }
    EXPECT_TRUE(log.empty()) << "no content page was shown";

    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& dialog) {
        ShowActive(dialog);
        TypeInto(dialog.findChild<QLineEdit*>("titleEdit"), "Budget");
        Click(dialog.findChild<QAbstractButton*>("okButton"));
        return dialog.result();
    });
    main.ModifyMeeting(budget);
    const CRightListView& pane = main.GetQuickViewPane();
    int row = 0;
    while (row < pane.GetItemCount() && pane.GetItemMeetingId(row) != budget) {
        ++row;
    }
    ASSERT_LT(row, pane.GetItemCount()) << "the shortcut stays";
    EXPECT_EQ(pane.GetItemText(row), QStringLiteral("Budget")) << "it shows the new title";
}

TEST_F(MeetingEditFlowTest, ModifyCommandOpensTheTabsForTheMarkedOrPreviewedMeeting) {
    CMeeting meeting(CDateTime(2026, 12, 1, 9, 0, 0));
    meeting.id = budget;
    meeting.title = "Budget";
    TestStore().ModifyMeeting(meeting);
    CMainFrame& main = MakeFrame();
    std::vector<std::string> opened;
    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& dialog) {
        ShowActive(dialog);
        opened.push_back(FromQString(dialog.findChild<QLineEdit*>("titleEdit")->text()));
        Click(dialog.findChild<QAbstractButton*>("cancelButton"));
        return dialog.result();
    });
    CCalendarPage& page = main.GetCalendarPage();
    QAction* modify = main.GetAction(CommandId::modifyMeeting);
    page.GoToDate(meeting.date);
    page.ShowMode(CCalendarPage::weekMode);
    main.UpdateCommandStates();
    EXPECT_FALSE(modify->isEnabled()) << "nothing to modify in the week";
    page.ShowMode(CCalendarPage::agendaMode);
    page.GetMeetingList().SetSelectionMark(0);
    main.UpdateCommandStates();
    ASSERT_TRUE(modify->isEnabled());
    modify->trigger();
    main.ViewMeeting(budget);
    main.UpdateCommandStates();
    ASSERT_TRUE(modify->isEnabled());
    modify->trigger();
    EXPECT_EQ(opened, (std::vector<std::string>{"Budget", "Budget"}));
    EXPECT_EQ(TestStore().GetMeeting(budget), meeting) << "Cancel changes nothing";
}

} // namespace
