#include "export/MeetingExport.h"
#include "app/RightListView.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/FrameTest.h"
#include "ui/CommandTable.h"

#include <QAction>
#include <QFile>
#include <QStatusBar>

#include <cstring>
#include <fstream>

namespace {
const std::string id = "2026120109000010";

class MeetingExportTest : public CFrameTest {
protected:
    void SetUp() override {
        CFrameTest::SetUp();
        StoreMeeting(id, "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
        TestServices().SetViewerOpens(true);
    }
};

} // namespace

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

// A page that cannot be written is reported with its path and reason; the old file stays.
TEST_F(MeetingExportTest, AFileThatCannotBeWrittenIsReportedAndKept) {
    MakeFrame();
    Activate(*frame);
    frame->ViewMeeting(id);
    const QString path = PathOf("budget.html");
    std::ofstream(path.toStdString(), std::ios::binary) << "old page";
    TestServices().ScriptSaveFiles({path});
    TestServices().ScriptAnswers({true});
    FocusOn(frame->GetQuickViewPane());
    Press(Qt::Key_End);
    {
        CFailingScope<CNoWriteCalls> noWrite;
        Press(Qt::Key_Return);
    }
    const QStringList errors = TestServices().ShownAs(CScriptedServices::Kind::error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(path)) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QString::fromUtf8(std::strerror(EACCES))));
    EXPECT_EQ(Contents(path), QByteArray("old page"));
    EXPECT_TRUE(TestServices().OpenedFiles().isEmpty()) << "nothing written, nothing opened";
}
