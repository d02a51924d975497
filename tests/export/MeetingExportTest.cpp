#include "export/MeetingExport.h"
#include "app/RightListView.h"
#include "tests/support/FrameTest.h"
#include "ui/CommandTable.h"

#include <QAction>
#include <QFile>
#include <QStatusBar>

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
