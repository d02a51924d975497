#include "calendar/WeekListCtrl.h"
#include "calendar/MeetingDrag.h"
#include "calendar/WeekHeaderCtrl.h"
#include "calendar/WeekListGeometry.h"
#include "calendar/WindowToolTip.h"
#include "store/MeetingFile.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"
#include "ui/DateTimeFormat.h"

#include <QHelpEvent>
#include <QScrollBar>
#include <QToolTip>

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
    void Hover(const QPoint& pos) { Mouse(QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton); }

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

// A click, a drop on the meeting's own cell, on the hour column or off the list, and a drag
// ended with Escape leave the meeting and its file as they were.
TEST_F(WeekList, OnlyADragDroppedOnAnotherCellWrites) {
    PutMeeting(tuesday, tuesdayDate);
    list->Fill(tuesdayDate);
    const std::string before = FileBytes(MeetingFilePath(tuesday));
    const auto unchanged = [&](const char* what) {
        EXPECT_EQ(TestStore().GetMeeting(tuesday).date, tuesdayDate) << what;
        EXPECT_EQ(FileBytes(MeetingFilePath(tuesday)), before) << what;
        EXPECT_FALSE(list->GetDrag().IsPressed()) << what;
    };
    const QPoint start = BoxPoint(9, 3);
    const int far = QApplication::startDragDistance() + 1;

    // The box ends a few pixels short of Wednesday: the release lands there, but the mouse
    // never went the drag distance.
    const QRect cell = Geometry::CellRect(Geometry::ItemOf(9, 3), list->GetDayColumnWidth());
    const QPoint edge(cell.right() - 2, start.y());
    const int near = QApplication::startDragDistance() - 1;
    ASSERT_GT(edge.x() + near, cell.right());
    Drag(edge, {edge + QPoint(near, 0)});
    unchanged("a press moved less than the drag distance");

    // A drag beyond the top scrolls the list, so each drag starts where the box is now.
    const auto dragTo = [&](const std::function<QPoint(QPoint)>& target) {
        const QPoint from = BoxPoint(9, 3);
        Drag(from, {from + QPoint(far, 0), target(from)});
    };
    dragTo([](QPoint from) { return from + QPoint(0, 3); });
    unchanged("a drop on its own cell");
    dragTo([](QPoint from) { return QPoint(5, from.y()); });
    unchanged("a drop on the hour column");
    dragTo([](QPoint from) { return QPoint(from.x(), -5); });
    unchanged("a drop on the header above the cells");
    dragTo([&](QPoint from) { return QPoint(list->viewport()->width() + 40, from.y()); });
    unchanged("a drop beside the list");

    list->setFocus();
    Mouse(QEvent::MouseButtonPress, BoxPoint(9, 3), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, CellPoint(14, 5), Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(list->GetDrag().IsDragging());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(list->GetDrag().IsDragging());
    Mouse(QEvent::MouseButtonRelease, CellPoint(14, 5), Qt::LeftButton, Qt::NoButton);
    unchanged("a drag ended with Escape");
    EXPECT_EQ(list->GetSelectionMark(), Geometry::ItemOf(9, 3))
        << "pressing a meeting marks its cell and makes it current";
    EXPECT_EQ(list->KeyMeeting(), tuesday);
}

// Right clicks open the Meeting menu only on a meeting's box: on a frame line between boxes
// or on the pixels the boxes leave over, no meeting is pointed at.
TEST_F(WeekList, TheMeetingMenuOpensOnABoxAndNowhereElse) {
    const std::vector<std::string> ids = {"2025010709000010", "2025010709100010",
                                          "2025010709200010"};
    for (int i = 0; i < 3; ++i) {
        PutMeeting(ids[static_cast<std::size_t>(i)], CDateTime(2025, 1, 7, 9, i * 10, 0));
    }
    list->Fill(tuesdayDate);
    const std::vector<std::string> shown = list->CellMeetings(Geometry::ItemOf(9, 3));
    ASSERT_EQ(shown.size(), 3u);

    const auto menuAt = [&](const QPoint& pos) {
        const std::size_t before = TestServices().OfferedMenus().size();
        TestServices().SetMenuChoice("meetingDelete");
        Click(Qt::RightButton, pos);
        const std::vector<std::string> calls = commands.Take();
        return TestServices().OfferedMenus().size() == before ? std::string("no menu")
               : calls.empty()                                ? std::string("nothing")
                                                              : calls.front();
    };
    EXPECT_EQ(menuAt(BoxPoint(9, 3, 1)), "Delete " + shown[1]);
    EXPECT_EQ(menuAt(BoxPoint(9, 3, 2)), "Delete " + shown[2]);

    const QRect cell = Geometry::CellRect(Geometry::ItemOf(9, 3), list->GetDayColumnWidth())
                           .translated(-ScrollOffset());
    const QRect second = Geometry::MeetingBox(cell, 3, 1).frame;
    EXPECT_EQ(menuAt(QPoint(second.left(), cell.top() + 7)), "Delete " + shown[1])
        << "the second box's frame line";
    EXPECT_EQ(menuAt(QPoint(second.left() + 5, cell.top() + 22)), "no menu")
        << "the lower line has no second box";
    EXPECT_EQ(menuAt(CellPoint(12, 3)), "no menu") << "an empty cell";
    EXPECT_EQ(list->GetSelectionMark(), Geometry::ItemOf(12, 3)) << "a right click marks its cell";

    // Add from a meeting's menu adds at its cell's hour.
    TestServices().SetMenuChoice("meetingAdd");
    Click(Qt::RightButton, BoxPoint(9, 3, 0));
    EXPECT_EQ(
        commands.Take(),
        std::vector{"Add " + std::to_string(CDateTime(2025, 1, 7, 9, 0, 0).ToSerialSeconds())});
}

TEST_F(WeekList, DoubleClicksViewAMeetingOrAddAtTheCellsHour) {
    PutMeeting(tuesday, tuesdayDate);
    list->Fill(tuesdayDate);
    Click(Qt::LeftButton, BoxPoint(9, 3), true);
    EXPECT_EQ(commands.Take(), std::vector{"View " + tuesday});
    Click(Qt::LeftButton, CellPoint(10, 5), true);
    EXPECT_EQ(
        commands.Take(),
        std::vector{"Add " + std::to_string(CDateTime(2025, 1, 9, 10, 0, 0).ToSerialSeconds())})
        << "Thursday of the week shown, 10:00:00";
    Click(Qt::LeftButton, QPoint(5, CellPoint(10, 5).y()), true);
    EXPECT_TRUE(commands.Take().empty()) << "the hour column";
    EXPECT_EQ(FileBytes(MeetingFilePath(tuesday)), EncodeMeeting(TestStore().GetMeeting(tuesday)));
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

// A week opens on office hours, or lower down where its first meeting is; the header counts
// the days of the month from the week's Sunday.
TEST_F(WeekList, AWeekOpensWhereItsMeetingsAreWithItsDaysInTheHeader) {
    list->Fill(CDateTime(2025, 1, 1, 0, 0, 0));
    EXPECT_EQ(list->verticalScrollBar()->value(), 8 * Geometry::rowHeight);
    const QStringList days = {list->GetHeader().GetText(1), list->GetHeader().GetText(4),
                              list->GetHeader().GetText(7)};
    EXPECT_EQ(days, (QStringList{"29", "1", "4"}));

    PutMeeting("2025010820000010", CDateTime(2025, 1, 8, 20, 0, 0));
    list->Fill(CDateTime(2025, 1, 6, 0, 0, 0));
    const QRect row = Geometry::CellRect(Geometry::ItemOf(20, 4), list->GetDayColumnWidth())
                          .translated(-ScrollOffset());
    EXPECT_TRUE(list->viewport()->rect().contains(row)) << "the evening meeting is in view";
    QScrollBar* bar = list->verticalScrollBar();
    bar->setValue(bar->maximum());
    list->resize(760, 507);
    QApplication::processEvents();
    EXPECT_EQ(bar->value() % Geometry::rowHeight, 0) << "a taller list keeps the top row whole";

    list->verticalScrollBar()->setValue(0);
    list->Refresh();
    EXPECT_EQ(list->verticalScrollBar()->value(), 0) << "a refill of the same week stays put";
}

// Hovering a meeting names it, its date and its time in the page's tooltip; the spots between
// the boxes name nothing.
TEST_F(WeekList, TheTooltipNamesTheMeetingUnderTheCursor) {
    CWindowToolTip toolTip;
    toolTip.AddWindowTool(list.get());
    list->SetToolTip(&toolTip);
    PutMeeting(tuesday, tuesdayDate);
    PutMeeting("2025010709000010", CDateTime(2025, 1, 7, 9, 0, 0));
    list->Fill(tuesdayDate);
    const std::vector<std::string> shown = list->CellMeetings(Geometry::ItemOf(9, 3));
    ASSERT_EQ(shown.size(), 2u);
    const int tuesdayBox = shown[0] == tuesday ? 0 : 1;

    const CDateTimeFormat format;
    const QString expected = QString::fromStdString("Meeting " + tuesday) + "\n" +
                             format.Date(tuesdayDate) + "\n" + format.Time(tuesdayDate);
    ASSERT_FALSE(format.Time(tuesdayDate).contains("37")) << "the time is shown without seconds";
    // The text the list gives the page's tooltip, and what the tooltip then shows when asked.
    const auto tipAt = [&](const QPoint& pos) {
        Hover(pos);
        QHelpEvent help(QEvent::ToolTip, pos, list->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(list->viewport(), &help);
        if (!list->GetToolText().isEmpty()) {
            EXPECT_EQ(QToolTip::text(), list->GetToolText());
        }
        return list->GetToolText();
    };
    EXPECT_EQ(tipAt(BoxPoint(9, 3, tuesdayBox)), expected);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(tipAt(BoxPoint(9, 3, 1 - tuesdayBox)).section('\n', 0, 0),
              QString::fromStdString("Meeting 2025010709000010"));
    EXPECT_EQ(tipAt(CellPoint(12, 6)), "") << "an empty cell";
    QToolTip::hideText();
}
