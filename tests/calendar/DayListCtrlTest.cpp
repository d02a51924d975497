#include "calendar/DayListCtrl.h"
#include "calendar/MeetingDrag.h"
#include "store/MeetingFile.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"

#include <QScrollBar>

namespace {

const std::string nineFifteen = "2004030909150010";
const std::string tenOne = "2004030910000010";
const std::string tenTwo = "2004030910000110";
const std::string tenFortyFive = "2004030910450010";
const CDateTime day(2004, 3, 9, 0, 0, 0);

class DayList : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        PutMeeting(nineFifteen, CDateTime(2004, 3, 9, 9, 15, 42));
        PutMeeting(tenOne, CDateTime(2004, 3, 9, 10, 0, 0));
        PutMeeting(tenTwo, CDateTime(2004, 3, 9, 10, 0, 1));
        PutMeeting(tenFortyFive, CDateTime(2004, 3, 9, 10, 45, 0));
        list = std::make_unique<CDayListCtrl>(TestStore(), TestServices(), commands);
        list->resize(500, 600);
        list->show();
        list->activateWindow();
        list->setFocus();
        QApplication::processEvents();
        list->Fill(day);
    }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::MouseButtons held = Qt::LeftButton) {
        SendMouse(list->viewport(), type, pos, button, held);
    }
    // Whether a drag was under way when the button came up.
    bool Drag(QPoint from, QPoint to) {
        Mouse(QEvent::MouseButtonPress, from);
        Mouse(QEvent::MouseMove, from + QPoint(0, 2), Qt::NoButton);
        Mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton);
        Mouse(QEvent::MouseMove, to, Qt::NoButton);
        const bool dragging = list->GetDrag().IsDragging();
        Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        return dragging;
    }
    // A point on the picture of a box, and one on its title.
    QPoint Picture(int hour, int half, int k) {
        return list->ViewportBoxRect(hour, half, k).topLeft() + QPoint(5, 8);
    }
    QPoint Title(int hour, int half, int k) { return Picture(hour, half, k) + QPoint(40, 0); }
    // A point of an hour row's half, right of the hour column, as the viewport shows it now.
    QPoint HalfHour(int hour, int half) {
        return {300, hour * 48 + (half == 0 ? 12 : 36) - list->verticalScrollBar()->value()};
    }

    CFakeMeetingCommands commands;
    std::unique_ptr<CDayListCtrl> list;
};

} // namespace

TEST_F(DayList, OnlyADragDroppedOnAnotherHalfHourWrites) {
    const std::string before = FileBytes(MeetingFilePath(nineFifteen));
    ASSERT_FALSE(before.empty());
    const auto unchanged = [&](const char* what) {
        EXPECT_EQ(FileBytes(MeetingFilePath(nineFifteen)), before) << what;
        EXPECT_EQ(TestStore().GetMeeting(nineFifteen).date, CDateTime(2004, 3, 9, 9, 15, 42))
            << what;
        EXPECT_FALSE(list->GetDrag().IsPressed()) << what;
    };
    EXPECT_FALSE(Drag(Title(9, 0, 0), HalfHour(14, 0)));
    unchanged("a press on the title selects the row and drags nothing");
    EXPECT_EQ(list->GetSelectionMark(), 9);

    const QPoint picture = Picture(9, 0, 0);
    Mouse(QEvent::MouseButtonPress, picture);
    Mouse(QEvent::MouseMove, picture + QPoint(1, 0), Qt::NoButton);
    EXPECT_FALSE(list->GetDrag().IsDragging()) << "less than the drag distance";
    Mouse(QEvent::MouseButtonRelease, picture + QPoint(1, 0), Qt::LeftButton, Qt::NoButton);
    unchanged("a plain click on the picture");

    EXPECT_TRUE(Drag(picture, {5, HalfHour(14, 0).y()}));
    unchanged("the hour numbers");

    Mouse(QEvent::MouseButtonPress, picture);
    Mouse(QEvent::MouseMove, HalfHour(14, 0), Qt::NoButton);
    ASSERT_TRUE(list->GetDrag().IsDragging());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(list->GetDrag().IsDragging()) << "Escape cancels the drag";
    Mouse(QEvent::MouseButtonRelease, HalfHour(14, 0), Qt::LeftButton, Qt::NoButton);
    unchanged("the release after Escape");
    EXPECT_TRUE(Drag(picture, {300, list->viewport()->height() + 30}));
    unchanged("below the list");

    // Its own half hour, on the middle line: 09:15 becomes 09:00, and then stays.
    list->verticalScrollBar()->setValue(8 * 48);
    EXPECT_TRUE(Drag(Picture(9, 0, 0), HalfHour(9, 0) + QPoint(0, 12)));
    const CMeeting moved = TestStore().GetMeeting(nineFifteen);
    EXPECT_EQ(moved.date, CDateTime(2004, 3, 9, 9, 0, 42));
    EXPECT_EQ(FileBytes(MeetingFilePath(nineFifteen)), EncodeMeeting(moved));
    const std::string atNine = FileBytes(MeetingFilePath(nineFifteen));
    EXPECT_TRUE(Drag(Picture(9, 0, 0), HalfHour(9, 0)));
    EXPECT_EQ(FileBytes(MeetingFilePath(nineFifteen)), atNine) << "09:00 on its own :00";
}

// A folder in the place of the meeting file: the move is reported and nothing moves.
TEST_F(DayList, AFileThatCannotBeWrittenIsReportedAndNothingMoves) {
    const auto path = MeetingFilePath(nineFifteen);
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    Drag(Picture(9, 0, 0), HalfHour(14, 0));
    const QStringList errors = TestServices().ShownAs(CScriptedServices::Kind::error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QString::fromStdString(path.filename().string())))
        << errors[0].toStdString();
    EXPECT_EQ(TestStore().GetMeeting(nineFifteen).date, CDateTime(2004, 3, 9, 9, 15, 42));
    EXPECT_EQ(list->GetDay().hours[9].halves[0].at(0).id, nineFifteen);
}
