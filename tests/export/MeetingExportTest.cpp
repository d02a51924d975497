#include "export/MeetingExport.h"
#include "app/RightListView.h"
#include "calendar/CalendarPage.h"
#include "export/MeetingPage.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/FrameTest.h"
#include "ui/CommandTable.h"

#include <QAction>
#include <QFile>
#include <QStatusBar>

#include <cstring>
#include <fstream>
#include <memory>

namespace {
const std::string id = "2026120109000010";

class MeetingExportTest : public CFrameTest {
protected:
    void SetUp() override {
        CFrameTest::SetUp();
        StoreMeeting(id, "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
        TestServices().SetViewerOpens(true);
    }
    void Export() { ExportMeeting(TestStore(), id, TestServices(), nullptr); }
};

} // namespace

// Cancel writes nothing; a name without extension gets ".html"; an existing file is
// replaced whole, and only after the user agreed.
TEST_F(MeetingExportTest, WritesThePageAskingBeforeReplacingAFile) {
    TestServices().SetSaveFile(std::nullopt);
    Export();
    TestServices().SetSaveFile(PathOf("budget"));
    Export();
    const QString path = PathOf("budget.html");
    const QByteArray page = BuildMeetingPage(TestStore().GetMeeting(id), {});
    EXPECT_EQ(Contents(path), page);
    EXPECT_EQ(TestServices().OpenedFiles(), QStringList{path}) << "opened once, not on Cancel";
    EXPECT_TRUE(TestServices().Shown().isEmpty()) << "a new file needs no question";

    const QByteArray old(20000, 'x');
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    file.close();
    TestServices().ScriptAnswers({false});
    TestServices().ScriptSaveFiles({path, std::nullopt}); // No, then Cancel in the dialog
    Export();
    ASSERT_EQ(TestServices().Shown().size(), 1);
    EXPECT_TRUE(TestServices().Shown()[0].contains(path));
    EXPECT_EQ(Contents(path), old) << "No keeps the old file";
    TestServices().ScriptAnswers({true});
    Export();
    EXPECT_EQ(Contents(path), page) << "replaced whole, no tail of the longer old file";
    EXPECT_EQ(TestServices().OpenedFiles().size(), 2);
}

TEST_F(MeetingExportTest, AFileThatCannotBeWrittenIsReportedAndKept) {
    const QString path = PathOf("budget.html");
    std::ofstream(path.toStdString(), std::ios::binary) << "old page";
    TestServices().SetSaveFile(path);
    TestServices().ScriptAnswers({true});
    {
        CFailingScope<CNoWriteCalls> noWrite;
        Export();
    }

    const QStringList errors = TestServices().ShownAs(CScriptedServices::Kind::error);
    ASSERT_EQ(errors.size(), 1) << "one message";
    EXPECT_TRUE(errors[0].contains(path)) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QString::fromUtf8(std::strerror(EACCES))))
        << errors[0].toStdString();
    EXPECT_EQ(Contents(path), QByteArray("old page"));
    EXPECT_TRUE(TestServices().OpenedFiles().isEmpty()) << "nothing written, nothing opened";
}

// The pane's Export Meeting item, reached with the keyboard, exports the previewed meeting.
TEST_F(MeetingExportTest, TheQuickViewPaneExportsThePreviewedMeeting) {
    MakeFrame();
    Activate(*frame);
    frame->ViewMeeting(id);
    CRightListView& pane = frame->GetQuickViewPane();

    TestServices().SetSaveFile(PathOf("budget"));
    FocusOn(pane);
    Press(Qt::Key_End);
    ASSERT_EQ(pane.GetSelectionMark(), static_cast<int>(CRightListView::exportRow));
    Press(Qt::Key_Return);
    EXPECT_EQ(TestServices().OpenedFiles(), QStringList{PathOf("budget.html")});
    EXPECT_TRUE(Contents(PathOf("budget.html")).contains("<b>Budget</b>"));

    // Outside the preview the command does nothing.
    frame->GetCalendarPage().ShowMode(CCalendarPage::agendaMode);
    TestServices().SetSaveFile(PathOf("other"));
    frame->ExportPreviewedMeeting();
    EXPECT_FALSE(QFile::exists(PathOf("other.html")));
}

// Every export of one meeting proposes its title as the file name; No to replacing a file
// brings the dialog back for another name, and the file refused is left as it was. A PDF or
// iCalendar file, which nothing opens, is named in the status bar.
TEST_F(MeetingExportTest, ExportsProposeTheTitleAskAgainOnNoAndSayWhereTheFileWent) {
    MakeFrame();
    Activate(*frame);
    frame->ViewMeeting(id);
    const QString taken = PathOf("taken.html");
    std::ofstream(taken.toStdString(), std::ios::binary) << "keep me";
    TestServices().ScriptSaveFiles({taken, PathOf("fresh")});
    TestServices().ScriptAnswers({false});
    FocusOn(frame->GetQuickViewPane());
    Press(Qt::Key_End);
    Press(Qt::Key_Return);
    EXPECT_EQ(TestServices().ProposedSaveNames(), (QStringList{"Budget.html", taken}));
    EXPECT_EQ(Contents(taken), QByteArray("keep me"));
    EXPECT_TRUE(Contents(PathOf("fresh.html")).contains("<b>Budget</b>"));

    const struct {
        int command;
        const char* proposed;
        const char* start;
    } exports[] = {{CommandId::exportPdf, "Budget.pdf", "%PDF"},
                   {CommandId::exportMeetingCalendar, "Budget.ics", "BEGIN:VCALENDAR"}};
    for (const auto& e : exports) {
        const QString path = PathOf(e.proposed);
        TestServices().ScriptSaveFiles({path});
        frame->GetAction(e.command)->trigger();
        EXPECT_EQ(TestServices().ProposedSaveNames().last(), QString::fromLatin1(e.proposed));
        EXPECT_TRUE(Contents(path).startsWith(e.start)) << e.proposed;
        EXPECT_TRUE(frame->statusBar()->currentMessage().contains(path))
            << frame->statusBar()->currentMessage().toStdString();
    }
}
