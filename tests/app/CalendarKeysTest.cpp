#include "app/DateToolBar.h"
#include "app/RightListView.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/MonthListCtrl.h"
#include "tests/support/FrameTest.h"

#include <QAction>

namespace {
const CDateTime now(2026, 12, 7, 9, 30, 0);
const CDateTime start(2024, 1, 31, 10, 0, 0);

long long Seconds(const CDateTime& date) {
    return date.ToSerialSeconds();
}

class CalendarKeys : public CFrameTest {
protected:
    void SetUp() override {
        CFrameTest::SetUp();
        TestServices().SetNow(now);
        MakeFrame();
        frame->resize(1100, 700);
        Activate(*frame);
    }
    CCalendarPage& Page() const { return frame->GetCalendarPage(); }
    CToolbarDateCtrl& Picker() const { return *frame->GetToolBar().GetDatePicker(); }

    // The calendar on `date` in `mode`, with the focus in the mode's list.
    void ShowOn(int mode, const CDateTime& date) {
        Page().GoToDate(date);
        Picker().SetDateTime(date);
        Page().ShowMode(mode);
        FocusOn(*Page().GetList(mode));
    }
    // The calendar and the picker show `date`.
    void ExpectShown(const CDateTime& date, const std::string& what) {
        EXPECT_EQ(Seconds(Page().GetSelectedDate()), Seconds(date)) << what;
        EXPECT_EQ(Seconds(Picker().GetDateTime()), Seconds(date)) << what << ": the picker";
    }
};

} // namespace

TEST_F(CalendarKeys, CtrlPageKeysStepByTheShownViewsUnit) {
    struct Step {
        int mode;
        CDateTime next;
        const char* what;
    };
    for (const Step& step :
         {Step{CCalendarPage::agendaMode, CDateTime(2024, 2, 29, 10, 0, 0), "agenda: a month"},
          Step{CCalendarPage::dayMode, CDateTime(2024, 2, 1, 10, 0, 0), "day: a day"},
          Step{CCalendarPage::weekMode, CDateTime(2024, 2, 7, 10, 0, 0), "week: a week"},
          Step{CCalendarPage::monthMode, CDateTime(2024, 2, 29, 10, 0, 0), "month: a month"}}) {
        ShowOn(step.mode, start);
        Press(Qt::Key_PageDown, Qt::ControlModifier);
        ExpectShown(step.next, step.what);
        EXPECT_EQ(Page().GetMode(), step.mode) << step.what;
    }
    Press(Qt::Key_PageUp, Qt::ControlModifier);
    Press(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(Page().GetMonthGrid().GetGrid().days[0], 26)
        << "back two months: the grid of December 2023";

    // The keys stay out of the other panes.
    ShowOn(CCalendarPage::dayMode, start);
    frame->GetQuickViewPane().setFocus(Qt::MouseFocusReason);
    Press(Qt::Key_PageDown, Qt::ControlModifier);
    ExpectShown(start, "Ctrl+Page Down in the quick view pane");
}
