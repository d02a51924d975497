#include "calendar/MonthListCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"

#include <QHelpEvent>
#include <QSignalSpy>
#include <QToolTip>

namespace {

// March 2004 starts on a Monday: the grid runs from Sunday 29 February.
const CDateTime now(2004, 3, 10, 14, 7, 9);

class MonthGrid : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        TestServices().SetNow(now);
        view = std::make_unique<CCalendarView>(TestStore(), TestServices(), commands);
        view->resize(700, 500);
        view->show();
        Page().ShowMode(CCalendarPage::monthMode);
        QApplication::processEvents();
    }

    CCalendarPage& Page() { return view->GetPage(); }
    CMonthListCtrl& Grid() { return Page().GetMonthGrid(); }
    QPoint CellCentre(int cell) { return Grid().ViewportRect(cell).center(); }

    CFakeMeetingCommands commands;
    std::unique_ptr<CCalendarView> view;
};

} // namespace

// The frame's test clicks a day through; here, a press on one day released over another.
TEST_F(MonthGrid, APressReleasedOverAnotherDayOpensNone) {
    QTest::mousePress(Grid().viewport(), Qt::LeftButton, {}, CellCentre(8));
    QTest::mouseRelease(Grid().viewport(), Qt::LeftButton, {}, CellCentre(20));
    EXPECT_EQ(Page().GetMode(), CCalendarPage::monthMode);
}

TEST_F(MonthGrid, KeysMoveByCellAndEnterOpensTheMarkedDay) {
    Grid().setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &Grid());
    EXPECT_EQ(Grid().GetSelectionMark(), 10) << "the selected date's cell is marked";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(Grid().GetSelectionMark(), 11);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(Grid().GetSelectionMark(), 18);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(Grid().GetSelectionMark(), 3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Page().GetMode(), CCalendarPage::dayMode);
    EXPECT_EQ(Page().GetSelectedDate(), CDateTime(2004, 3, 3, 0, 0, 0));
    EXPECT_TRUE(Page().GetList(CCalendarPage::dayMode)->hasFocus())
        << "the day list takes over the focus";
}

TEST_F(MonthGrid, ShowsCountsAndNamesTheDaysMeetingsUnderTheCursor) {
    PutMeeting("2004031209000010", CDateTime(2004, 3, 12, 9, 0, 0));
    PutMeeting("2004031216000010", CDateTime(2004, 3, 12, 16, 0, 0));
    Page().RefreshList();
    const int twelfth = 12;
    EXPECT_EQ(Grid().GetGrid().counts[twelfth], 2);

    QWidget* viewport = Grid().viewport();
    QSignalSpy tips(&Grid(), &CMonthListCtrl::ToolTipChanged);
    // What the grid gave the calendar's tooltip for the cell the mouse moved onto.
    const auto tipAt = [&](int cell, QPoint nudge = {}) {
        QTest::mouseMove(viewport, CellCentre(cell) + nudge);
        return tips.isEmpty() ? QString("no tip") : tips.takeLast().at(0).toString();
    };
    const QString both = tipAt(twelfth);
    EXPECT_TRUE(both == "Meeting 2004031209000010\nMeeting 2004031216000010" ||
                both == "Meeting 2004031216000010\nMeeting 2004031209000010")
        << both.toStdString();
    QHelpEvent hover(QEvent::ToolTip, CellCentre(twelfth),
                     viewport->mapToGlobal(CellCentre(twelfth)));
    QApplication::sendEvent(viewport, &hover);
    EXPECT_EQ(QToolTip::text(), both) << "the calendar's tooltip shows it";
    QToolTip::hideText();
    EXPECT_EQ(tipAt(twelfth + 1), "") << "a day without meetings shows no tooltip";

    // A meeting added meanwhile shows after the next fill, not from a stale tip.
    PutMeeting("2004031310000010", CDateTime(2004, 3, 13, 10, 0, 0));
    Page().RefreshList();
    EXPECT_EQ(tipAt(twelfth + 1, {3, 3}), "Meeting 2004031310000010");
}
