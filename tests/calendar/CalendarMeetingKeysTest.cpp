#include "app/DateToolBar.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/DayListCtrl.h"
#include "calendar/MonthListCtrl.h"
#include "calendar/WeekHeaderCtrl.h"
#include "calendar/WeekListCtrl.h"
#include "calendar/WeekListGeometry.h"
#include "store/MeetingFile.h"
#include "store/WorkingDirectory.h"
#include "tests/support/FrameTest.h"

#include <QDialog>
#include <QScrollBar>

namespace {

// Wednesday 31 January 2024; its week runs from Sunday 28 January.
const CDateTime wednesday(2024, 1, 31, 10, 0, 0);
const std::string quarterPast = "2024013110150010";
const std::string quarterTo = "2024013110450010";

// A person's path through the main window: a click or the arrow keys make a meeting of the day
// or week view current, and the Meeting menu's keys act on it, down to the files.
class CalendarMeetingKeys : public CFrameTest {
protected:
    void SetUp() override {
        CFrameTest::SetUp();
        TestServices().SetNow(CDateTime(2024, 1, 31, 8, 0, 0));
        StoreMeeting(quarterPast, "Quarter past", CDateTime(2024, 1, 31, 10, 15, 0));
        StoreMeeting(quarterTo, "Quarter to", CDateTime(2024, 1, 31, 10, 45, 0));
        MakeFrame();
        frame->resize(1100, 700);
        Activate(*frame);
        frame->GetToolBar().GetDatePicker()->SetDateTime(wednesday);
        Page().GoToDate(wednesday);
    }
    CCalendarPage& Page() const { return frame->GetCalendarPage(); }
    CDayListCtrl& Day() const { return Page().GetDayList(); }
    QWidget* DayViewport() const { return Day().viewport(); }
    // A real click on the title, or the picture, of a box of the day view.
    void ClickDayBox(int hour, int half, bool onPicture = false) {
        Day().ScrollTo(hour);
        const QPoint spot = QPoint(onPicture ? 5 : 40, 8);
        QTest::mouseClick(DayViewport(), Qt::LeftButton, {},
                          Day().ViewportBoxRect(hour, half, 0).topLeft() + spot);
    }
    // The meeting files of the folder with their dates, read from disk.
    std::vector<std::pair<std::string, long long>> FilesOnDisk() const {
        std::vector<std::pair<std::string, long long>> files;
        for (const auto& entry : std::filesystem::directory_iterator(GetWorkingDirectory())) {
            if (entry.path().extension() == ".mtg") {
                const auto record = DecodeMeeting(FileBytes(entry.path()));
                files.emplace_back(entry.path().filename().string(),
                                   record ? record->date.ToSerialSeconds() : -1);
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }
};

} // namespace

TEST_F(CalendarMeetingKeys, DeleteAndModifyAnswerOnTheClickedOrPictureClickedBox) {
    Page().ShowMode(CCalendarPage::dayMode);
    const auto path = MeetingFilePath(quarterTo);
    const std::string bytes = FileBytes(path);
    ClickDayBox(10, 1);
    ASSERT_EQ(QApplication::focusWidget(), &Day());

    TestServices().ScriptAnswers({false});
    Press(Qt::Key_Delete);
    EXPECT_EQ(TestServices().Shown().size(), 1) << "Delete asks first";
    EXPECT_EQ(FileBytes(path), bytes) << "No leaves the file";

    bool sheetShown = false;
    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog&) {
        sheetShown = true;
        return int(QDialog::Rejected);
    });
    Press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(sheetShown) << "Ctrl+E opens Modify on the clicked meeting";
    EXPECT_EQ(FileBytes(path), bytes);

    // Up to an hour without meetings, then a click on the picture makes the meeting current.
    Press(Qt::Key_Up);
    TestServices().ScriptAnswers({true});
    ClickDayBox(10, 1, true);
    Press(Qt::Key_Delete);
    EXPECT_FALSE(std::filesystem::exists(path)) << "Yes removes the meeting file";
    EXPECT_TRUE(std::filesystem::exists(MeetingFilePath(quarterPast)));
}

TEST_F(CalendarMeetingKeys, TheArrowsReachAWeekMeetingAndEnterOnAnEmptySlotAdds) {
    Page().ShowMode(CCalendarPage::weekMode);
    CWeekListCtrl& week = Page().GetWeekList();
    const int nineOnWednesday = WeekListGeometry::ItemOf(9, 4);
    week.ScrollTo(nineOnWednesday);
    QTest::mouseClick(week.viewport(), Qt::LeftButton, {},
                      week.ViewportRect(nineOnWednesday).center());
    ASSERT_EQ(QApplication::focusWidget(), &week);
    EXPECT_EQ(week.GetHeader().GetTodayColumn(), 4) << "today is the Wednesday";
    Press(Qt::Key_Down);
    Press(Qt::Key_Right);
    const std::vector<std::string> cell = week.CellMeetings(WeekListGeometry::ItemOf(10, 4));
    ASSERT_EQ(cell.size(), 2u);
    ASSERT_EQ(week.KeyMeeting(), cell[1]) << "Right steps to the cell's second box";
    TestServices().ScriptAnswers({true});
    Press(Qt::Key_Delete);
    EXPECT_EQ(FilesOnDisk().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(MeetingFilePath(cell[1])));

    // Enter on an empty hour of the day view: the wizard opens on a meeting stored at that hour
    // of the picker's day; cancelling it removes the meeting again.
    Page().ShowMode(CCalendarPage::dayMode);
    Day().setFocus(Qt::MouseFocusReason);
    Day().SetSelectionMark(13);
    Press(Qt::Key_Down);
    std::vector<std::pair<std::string, long long>> during;
    TestServices().SetDialogScript("meetingWizard", [&](QDialog&) {
        during = FilesOnDisk();
        return int(QDialog::Rejected);
    });
    Press(Qt::Key_Return);
    ASSERT_EQ(during.size(), 2u);
    const long long fourteen = CDateTime(2024, 1, 31, 14, 0, 0).ToSerialSeconds();
    EXPECT_TRUE(during[0].second == fourteen || during[1].second == fourteen);
    EXPECT_EQ(FilesOnDisk().size(), 1u);

    Page().ShowMode(CCalendarPage::monthMode);
    EXPECT_EQ(Page().GetMonthGrid().GetTodayCell(), 4 * 7 + 3) << "row 4, the Wednesday";
}
