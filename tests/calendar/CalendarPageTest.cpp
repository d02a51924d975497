#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "calendar/DayListCtrl.h"
#include "calendar/MeetingListCtrl.h"
#include "calendar/WeekListCtrl.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"

namespace {

const CDateTime now(2004, 3, 5, 14, 7, 9);

class CalendarPage : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        TestServices().SetNow(now);
        view = std::make_unique<CCalendarView>(TestStore(), TestServices(), commands);
        view->resize(700, 500);
        view->show();
        QApplication::processEvents();
    }

    CCalendarPage& Page() { return view->GetPage(); }
    // The modes whose lists are visible.
    std::vector<int> Visible() {
        std::vector<int> modes;
        for (int mode = 0; mode < CCalendarPage::modeCount; ++mode) {
            if (Page().GetList(mode)->isVisible()) {
                modes.push_back(mode);
            }
        }
        return modes;
    }

    CFakeMeetingCommands commands;
    std::unique_ptr<CCalendarView> view;
};

} // namespace

TEST_F(CalendarPage, ShowModeShowsOneListAndTellsTheFrame) {
    EXPECT_EQ(Visible(), std::vector{1}) << "the page opens on today's day list";
    EXPECT_EQ(Page().GetDayList().GetDate(), now);
    EXPECT_EQ(commands.Take(), std::vector<std::string>{"Format"});
    for (int mode : {0, 2, 3, 1}) {
        Page().ShowMode(mode);
        EXPECT_EQ(Visible(), std::vector{mode});
        EXPECT_EQ(Page().GetMode(), mode);
        EXPECT_EQ(commands.Take(), (std::vector<std::string>{"HideExport", "Format"})) << mode;
    }
    Page().ShowMode(7);
    EXPECT_TRUE(Visible().empty()) << "a mode outside 0..4 shows nothing";
}

TEST_F(CalendarPage, GoToDateRefillsOnlyTheShownList) {
    PutMeeting("2004031010000010", CDateTime(2004, 3, 10, 10, 0, 0));
    CMeetingListCtrl& list = Page().GetMeetingList();
    Page().ShowMode(CCalendarPage::agendaMode);
    EXPECT_EQ(list.GetRowCount(), 1) << "March, the month of today";
    Page().GoToDate(CDateTime(2004, 4, 30, 0, 0, 0));
    EXPECT_EQ(list.GetRowCount(), 0);

    Page().ShowMode(CCalendarPage::weekMode);
    Page().GoToDate(CDateTime(2004, 3, 2, 0, 0, 0));
    EXPECT_EQ(static_cast<CWeekListCtrl*>(Page().GetList(2))->GetWeek().sunday,
              CDateTime(2004, 2, 29, 0, 0, 0));
    EXPECT_EQ(list.GetRowCount(), 0) << "a hidden list waits until it is shown";
    Page().ShowMode(9);
    EXPECT_EQ(list.GetRowCount(), 1) << "a mode outside 1..4 fills the meeting list";
}
