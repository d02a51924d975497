#include "calendar/WeekListCtrl.h"
#include "calendar/MeetingDrag.h"
#include "calendar/WeekListGeometry.h"
#include "store/MeetingFile.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"

#include <QScrollBar>

#include <functional>

namespace {

namespace Geometry = WeekListGeometry;

// Tuesday 7 January 2025, 09:45:37; its week runs from Sunday 5 to Saturday 11 January.
const std::string tuesday = "2025010709453710";
const CDateTime tuesdayDate(2025, 1, 7, 9, 45, 37);

class WeekList : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        list = std::make_unique<CWeekListCtrl>(TestStore(), TestServices(), commands);
        list->resize(760, 420);
        list->show();
        QApplication::processEvents();
    }

    // The viewport point at the middle of box `position` of the cell (hour, weekday).
    QPoint BoxPoint(int hour, int weekday, int position = 0) const {
        const int item = Geometry::ItemOf(hour, weekday);
        const QRect cell = Geometry::CellRect(item, list->GetDayColumnWidth());
        const int count = static_cast<int>(list->CellMeetings(item).size());
        return Geometry::MeetingBox(cell, count, position).frame.center() - ScrollOffset();
    }
    QPoint CellPoint(int hour, int weekday) const {
        return Geometry::CellRect(Geometry::ItemOf(hour, weekday), list->GetDayColumnWidth())
                   .center() -
               ScrollOffset();
    }
    QPoint ScrollOffset() const { return QPoint(0, list->verticalScrollBar()->value()); }

    void Mouse(QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
               Qt::MouseButtons held) {
        SendMouse(list->viewport(), type, pos, button, held);
    }
    // A left press at `from`, moves through `via` with the button held, and the release at
    // the last point.
    void Drag(const QPoint& from, std::initializer_list<QPoint> via) {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        QPoint last = from;
        for (const QPoint& point : via) {
            Mouse(QEvent::MouseMove, point, Qt::NoButton, Qt::LeftButton);
            last = point;
        }
        Mouse(QEvent::MouseButtonRelease, last, Qt::LeftButton, Qt::NoButton);
    }
    void Click(Qt::MouseButton button, const QPoint& pos, bool doubleClick = false) {
        ClickAt(list->viewport(), pos, button, doubleClick);
    }

    CFakeMeetingCommands commands;
    std::unique_ptr<CWeekListCtrl> list;
};

} // namespace

// A drop on another hour, another day or both moves the meeting there, its minute and second
// kept, in the file and in the list.
TEST_F(WeekList, ADropOnAnotherCellMovesTheMeetingKeepingMinuteAndSecond) {
    PutMeeting(tuesday, tuesdayDate);
    const struct {
        int hour;
        int weekday;
        CDateTime date;
    } drops[] = {{14, 5, CDateTime(2025, 1, 9, 14, 45, 37)},
                 {11, 5, CDateTime(2025, 1, 9, 11, 45, 37)},
                 {11, 2, CDateTime(2025, 1, 6, 11, 45, 37)}};
    CDateTime at = tuesdayDate;
    for (const auto& drop : drops) {
        list->Fill(at);
        const CDateTime::Parts from = at.GetParts();
        const QPoint start = BoxPoint(from.hour, from.dayOfWeek);
        const QPoint target = CellPoint(drop.hour, drop.weekday);
        ASSERT_TRUE(list->viewport()->rect().contains(start));
        ASSERT_TRUE(list->viewport()->rect().contains(target));
        Drag(start, {start + QPoint(QApplication::startDragDistance() + 1, 0), target});
        CMeeting expected = TestStore().GetMeeting(tuesday);
        EXPECT_EQ(expected.date, drop.date) << drop.hour << ":00 of day " << drop.weekday;
        expected.date = drop.date;
        EXPECT_EQ(FileBytes(MeetingFilePath(tuesday)), EncodeMeeting(expected));
        EXPECT_EQ(list->CellMeetings(Geometry::ItemOf(drop.hour, drop.weekday)),
                  std::vector{tuesday})
            << "the list shows the meeting where it was dropped";
        at = drop.date;
    }
    EXPECT_TRUE(list->CellMeetings(Geometry::ItemOf(9, 3)).empty());
    EXPECT_FALSE(list->GetDrag().IsPressed());
    EXPECT_TRUE(commands.Take().empty());
}

// The arrows move the mark from cell to cell and Enter views the marked cell's meeting.
TEST_F(WeekList, TheKeyboardWalksTheCellsAndEnterViews) {
    PutMeeting(tuesday, tuesdayDate);
    list->Fill(tuesdayDate);
    list->setFocus();
    Click(Qt::LeftButton, CellPoint(8, 2));
    ASSERT_EQ(list->GetSelectionMark(), Geometry::ItemOf(8, 2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(list->GetSelectionMark(), Geometry::ItemOf(8, 3));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(
        commands.Take(),
        std::vector{"Add " + std::to_string(CDateTime(2025, 1, 7, 8, 0, 0).ToSerialSeconds())})
        << "an empty cell takes a meeting at its hour";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(list->GetSelectionMark(), Geometry::ItemOf(9, 3));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(commands.Take(), std::vector{"View " + tuesday});

    TestServices().SetMenuChoice("meetingModify");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(commands.Take(), std::vector{"Modify " + tuesday})
        << "the menu keys open the marked cell's meeting's menu";

    // A crowded cell: Right steps through its boxes before it leaves the cell, Left comes
    // back in at the last box; the menu's keys act on the box stepped to.
    const std::string second = "2025010709500010";
    PutMeeting(second, CDateTime(2025, 1, 7, 9, 50, 0));
    list->Fill(tuesdayDate);
    const std::vector<std::string> ids = list->CellMeetings(Geometry::ItemOf(9, 3));
    ASSERT_EQ(ids.size(), 2u);
    Click(Qt::LeftButton, BoxPoint(9, 3, 0));
    ASSERT_EQ(list->KeyMeeting(), ids[0]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(list->GetSelectionMark(), Geometry::ItemOf(9, 3));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(list->GetSelectionMark(), Geometry::ItemOf(9, 4));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(commands.Take(), (std::vector{"Delete " + ids[1], "View " + ids[1]}));
}
