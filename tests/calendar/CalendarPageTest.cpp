#include "calendar/CalendarPage.h"
#include "calendar/BlankCalendarList.h"
#include "calendar/CalendarView.h"
#include "calendar/MeetingListCtrl.h"
#include "calendar/WindowToolTip.h"
#include "store/Clock.h"
#include "store/MeetingStore.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/QtTestEnvironment.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace {

const CDateTime now(2004, 3, 5, 14, 7, 9);

class CalendarPage : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        SetClock([] { return now; });
        view = std::make_unique<CCalendarView>(commands);
        view->resize(700, 500);
        view->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        view.reset();
        CQtTest::TearDown();
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

    static void Put(const std::string& id, const CDateTime& date) {
        CMeeting record(date);
        record.id = id;
        TheMeetingStore().ModifyMeeting(record);
    }

    CFakeMeetingCommands commands;
    std::unique_ptr<CCalendarView> view;
};

} // namespace

TEST_F(CalendarPage, OpensOnTodaysDayList) {
    EXPECT_EQ(Page().GetMode(), CCalendarPage::dayMode);
    EXPECT_EQ(Page().GetSelectedDate(), now);
    EXPECT_EQ(Visible(), std::vector<int>{1});
    EXPECT_EQ(static_cast<CBlankCalendarList*>(Page().GetList(1))->GetDate(), now)
        << "the day list was filled for today";
    EXPECT_EQ(commands.Take(), std::vector<std::string>{"Format"})
        << "the picker's format is asked for once the frame is running";

    const std::vector<QString> names{"meetingList", "dayList", "weekList", "monthList",
                                     "previewList"};
    for (int mode = 0; mode < CCalendarPage::modeCount; ++mode) {
        EXPECT_EQ(Page().GetList(mode)->objectName(), names[static_cast<std::size_t>(mode)]);
    }
    EXPECT_EQ(Page().GetList(5), nullptr);
    EXPECT_EQ(Page().GetList(-1), nullptr);
    EXPECT_EQ(view->findChild<CCalendarPage*>(QStringLiteral("calendarPage")), &Page());
}

TEST_F(CalendarPage, ShowModeSwitchesTheVisibleListAndTellsTheFrame) {
    commands.Take();
    for (int mode : {0, 2, 3, 1}) {
        Page().ShowMode(mode);
        EXPECT_EQ(Visible(), std::vector<int>{mode});
        EXPECT_EQ(Page().GetMode(), mode);
        EXPECT_EQ(commands.Take(), (std::vector<std::string>{"HideExport", "Format"}))
            << "mode " << mode;
    }

    Page().ShowMode(7);
    EXPECT_TRUE(Visible().empty()) << "a mode outside 0..4 shows nothing";
    EXPECT_EQ(Page().GetMode(), 7);

    view->resize(640, 420);
    QApplication::processEvents();
    for (int mode = 0; mode < CCalendarPage::modeCount; ++mode) {
        EXPECT_EQ(Page().GetList(mode)->size(), QSize(640, 420)) << "mode " << mode;
    }
}

TEST_F(CalendarPage, GoToDateRefillsTheShownList) {
    Put("2004031010000010", CDateTime(2004, 3, 10, 10, 0, 0));
    Put("2004041010000010", CDateTime(2004, 4, 10, 10, 0, 0));
    Put("2004041110000010", CDateTime(2004, 4, 11, 10, 0, 0));
    CMeetingListCtrl& list = Page().GetMeetingList();

    Page().ShowMode(CCalendarPage::agendaMode);
    EXPECT_EQ(list.GetRowCount(), 1) << "March, the month of today";
    list.SetSelectionMark(0);

    Page().GoToDate(CDateTime(2004, 4, 30, 0, 0, 0));
    EXPECT_EQ(Page().GetSelectedDate(), CDateTime(2004, 4, 30, 0, 0, 0));
    EXPECT_EQ(list.GetRowCount(), 2);
    EXPECT_EQ(list.GetSelectionMark(), -1);

    // A mode outside 1..4 fills the meeting list too.
    Page().SetSelectedDate(CDateTime(2004, 3, 1, 0, 0, 0));
    Page().ShowMode(9);
    EXPECT_EQ(list.GetRowCount(), 1);

    // A hidden list is left as it is until it is shown.
    Page().ShowMode(CCalendarPage::weekMode);
    Page().GoToDate(CDateTime(2004, 4, 2, 0, 0, 0));
    EXPECT_EQ(list.GetRowCount(), 1);
    EXPECT_EQ(static_cast<CBlankCalendarList*>(Page().GetList(2))->GetDate(),
              CDateTime(2004, 4, 2, 0, 0, 0));
    Page().ShowMode(CCalendarPage::agendaMode);
    EXPECT_EQ(list.GetRowCount(), 2);
}

TEST_F(CalendarPage, PreviewKeepsTheMeetingAndOffersTheExportItem) {
    Put("2004031010000010", CDateTime(2004, 3, 10, 10, 0, 0));
    commands.Take();

    Page().SetPreviewedMeetingId("2004031010000010");
    EXPECT_EQ(Page().GetShownMeetingId(), "") << "nothing is shown before the mode switch";
    Page().ShowMode(CCalendarPage::previewMode);
    EXPECT_EQ(Visible(), std::vector<int>{4});
    EXPECT_EQ(Page().GetShownMeetingId(), "2004031010000010");
    EXPECT_EQ(commands.Take(), (std::vector<std::string>{"HideExport", "Format", "ShowExport"}))
        << "the item is taken away first and offered again for the meeting on show";

    // The previewed id may change later (a View from elsewhere); the shown one follows only
    // when the preview is refreshed.
    Page().SetPreviewedMeetingId("2004031010000011");
    EXPECT_EQ(Page().GetShownMeetingId(), "2004031010000010");
    Page().RefreshList();
    EXPECT_EQ(Page().GetShownMeetingId(), "2004031010000011");
    commands.Take();

    Page().ShowMode(CCalendarPage::agendaMode);
    EXPECT_EQ(commands.Take(), (std::vector<std::string>{"HideExport", "Format"}))
        << "leaving the preview takes the export item away";
    EXPECT_EQ(Page().GetShownMeetingId(), "2004031010000011") << "the preview keeps its meeting";
}

TEST_F(CalendarPage, WeekAndMonthListsAreToolsOfTheSharedToolTip) {
    CWindowToolTip& tip = Page().GetToolTip();
    tip.SetToolText(Page().GetList(CCalendarPage::monthMode), QStringLiteral("10:00 Board"));
    EXPECT_EQ(tip.GetToolText(Page().GetList(CCalendarPage::monthMode)), "10:00 Board");
    EXPECT_EQ(tip.GetToolText(Page().GetList(CCalendarPage::weekMode)), "");
    tip.SetToolText(Page().GetList(CCalendarPage::agendaMode), QStringLiteral("x"));
    EXPECT_EQ(tip.GetToolText(Page().GetList(CCalendarPage::agendaMode)), "")
        << "only registered windows carry a text";

    // A hover over the week list, whose text is empty, shows nothing; over the month grid
    // it shows the grid's text.
    Page().ShowMode(CCalendarPage::weekMode);
    QWidget* week = Page().GetList(CCalendarPage::weekMode);
    QHelpEvent quiet(QEvent::ToolTip, QPoint(20, 20), week->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(week, &quiet);
    EXPECT_FALSE(QToolTip::isVisible());

    Page().ShowMode(CCalendarPage::monthMode);
    QWidget* month = Page().GetList(CCalendarPage::monthMode);
    QHelpEvent hover(QEvent::ToolTip, QPoint(20, 20), month->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(month, &hover);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "10:00 Board");
    QToolTip::hideText();
}
