#include "app/MainFrame.h"
#include "calendar/CalendarPage.h"
#include "search/SearchKeeper.h"
#include "store/MeetingFile.h"
#include "tests/support/WidgetDriving.h"

#include <QLabel>
#include <QProgressBar>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

class SearchWiring : public CQtTest {
protected:
    void TearDown() override {
        frame.reset();
        keeper.reset();
        CQtTest::TearDown();
    }

    void Wait() const {
        for (int i = 0; i < 20000 && !keeper->IsUpToDate(); ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QCoreApplication::processEvents();
        ASSERT_TRUE(keeper->IsUpToDate());
    }
    QWidget* Progress() const {
        return frame->findChild<QWidget*>(QStringLiteral("indexingProgress"));
    }

    std::unique_ptr<CSearchKeeper> keeper = std::make_unique<CSearchKeeper>();
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

// The status bar shows "Indexing meetings..." with the share done while the index catches up,
// and nothing once it holds the whole folder.
TEST_F(SearchWiring, StatusBarShowsCatchingUp) {
    frame = std::make_unique<CMainFrame>(TestStore(), TestServices());
    frame->SetSearchKeeper(keeper.get());
    frame->show();
    QWidget* progress = Progress();
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(progress->isVisible());
    auto* bar = progress->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(progress->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(progress->findChild<QLabel*>()->text(), "Indexing meetings...");

    emit keeper->progress(30, 120);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(bar->maximum(), 120);
    EXPECT_EQ(bar->value(), 30);
    emit keeper->upToDate();
    EXPECT_FALSE(progress->isVisible());

    frame->SetSearchKeeper(nullptr);
    emit keeper->progress(1, 2);
    EXPECT_FALSE(progress->isVisible()) << "a keeper no longer followed";
}

// Refresh (F5) reads changes made behind the program's back into the index as well.
TEST_F(SearchWiring, RefreshCatchesTheIndexUp) {
    CMeeting meeting = StoreMeeting("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0));
    keeper->Open(Folder());
    frame = std::make_unique<CMainFrame>(TestStore(), TestServices());
    frame->SetSearchKeeper(keeper.get());
    Activate(*frame);
    Wait();
    ASSERT_EQ(keeper->Search("budget", 10).size(), 1u);

    meeting.title = "Outside";
    std::ofstream(MeetingFilePath(meeting.id), std::ios::binary | std::ios::trunc)
        << EncodeMeeting(meeting);
    FocusOn(*frame->GetCalendarPage().GetList(CCalendarPage::dayMode)); // the list shown first
    Press(Qt::Key_F5);
    Wait();
    EXPECT_EQ(keeper->Search("outside", 10).size(), 1u);
    EXPECT_TRUE(keeper->Search("budget", 10).empty());
    EXPECT_FALSE(Progress()->isVisible());
}
