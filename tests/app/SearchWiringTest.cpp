#include "app/MainFrame.h"
#include "calendar/CalendarPage.h"
#include "search/SearchKeeper.h"
#include "store/MeetingFile.h"
#include "tests/support/WidgetDriving.h"

#include <QProgressBar>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

using SearchWiring = CQtTest;

void WaitFor(const CSearchKeeper& keeper) {
    for (int i = 0; i < 20000 && !keeper.IsUpToDate(); ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QCoreApplication::processEvents();
    ASSERT_TRUE(keeper.IsUpToDate());
}

} // namespace

// Refresh (F5) reads changes made behind the program's back into the index as well; the
// status bar shows the share done while the index catches up, and nothing once it is whole.
TEST_F(SearchWiring, RefreshCatchesTheIndexUpAndTheStatusBarFollows) {
    CMeeting meeting = StoreMeeting("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    CSearchKeeper keeper;
    keeper.Open(Folder());
    {
        CMainFrame frame(TestStore(), TestServices());
        frame.SetSearchKeeper(&keeper);
        Activate(frame);
        WaitFor(keeper);
        ASSERT_EQ(keeper.Search("budget", 10).size(), 1u);

        meeting.title = "Outside";
        std::ofstream(MeetingFilePath(meeting.id), std::ios::binary | std::ios::trunc)
            << EncodeMeeting(meeting);
        FocusOn(*frame.GetCalendarPage().GetList(CCalendarPage::dayMode)); // the list shown first
        Press(Qt::Key_F5);
        WaitFor(keeper);
        EXPECT_EQ(keeper.Search("outside", 10).size(), 1u);
        EXPECT_TRUE(keeper.Search("budget", 10).empty());

        auto* progress = frame.findChild<QWidget*>(QStringLiteral("indexingProgress"));
        ASSERT_NE(progress, nullptr);
        EXPECT_FALSE(progress->isVisible());
        emit keeper.progress(30, 120);
        EXPECT_TRUE(progress->isVisible());
        EXPECT_EQ(progress->findChild<QProgressBar*>()->value(), 30);
        emit keeper.upToDate();
        EXPECT_FALSE(progress->isVisible());
        frame.SetSearchKeeper(nullptr);
        emit keeper.progress(1, 2);
        EXPECT_FALSE(progress->isVisible()) << "a keeper no longer followed";
    }
}
