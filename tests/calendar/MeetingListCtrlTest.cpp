#include "calendar/MeetingListCtrl.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/TimeZoneScope.h"
#include "tests/support/WidgetDriving.h"
#include "ui/TextConversion.h"

#include <QKeyEvent>

namespace {

const std::string first = "2004030109001210";  // 1 March 09:00, row 0 at y 0..44
const std::string second = "2004030308300610"; // 3 March 08:30, row 1
const std::string third = "2004030314000010";  // 3 March 14:00, row 2

class MeetingList : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        list = std::make_unique<CMeetingListCtrl>(TestStore(), TestServices(), commands);
        list->resize(500, 300);
        list->show();
        QApplication::processEvents();
    }

    // The three March meetings, stored out of order.
    void FillMarch() {
        PutMeeting(third, CDateTime(2004, 3, 3, 14, 0, 0));
        PutMeeting(first, CDateTime(2004, 3, 1, 9, 0, 0));
        PutMeeting(second, CDateTime(2004, 3, 3, 8, 30, 0));
        list->Fill(CDateTime(2004, 3, 10, 0, 0, 0));
    }

    // A press and release at height `y` of the viewport; a double click adds its own event.
    void Click(Qt::MouseButton button, int y, bool doubleClick = false) {
        ClickAt(list->viewport(), QPoint(100, y), button, doubleClick);
    }
    void Keys(std::initializer_list<int> keys) {
        for (const int key : keys) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(list.get(), &event);
        }
    }

    // Answers the next Meeting menu with the action named `choice` (none when empty) and
    // notes the actions it offered enabled; "no menu" until one is run.
    void AnswerMenu(const QString& choice) {
        menusBefore = TestServices().OfferedMenus().size();
        TestServices().SetMenuChoice(choice);
    }
    // The enabled actions of the last menu run; "no menu" when none ran since AnswerMenu.
    QStringList Enabled() const {
        const auto& menus = TestServices().OfferedMenus();
        return menus.size() == menusBefore ? QStringList{"no menu"} : menus.back();
    }

    CFakeMeetingCommands commands;
    std::unique_ptr<CMeetingListCtrl> list;
    size_t menusBefore = 0;
};

} // namespace

TEST_F(MeetingList, ClicksMarkADoubleClickViewsAndRefillClearsTheMark) {
    FillMarch();
    Click(Qt::LeftButton, 50);
    EXPECT_EQ(list->GetMarkedMeetingId(), second);
    Click(Qt::LeftButton, 250);
    EXPECT_EQ(list->GetSelectionMark(), -1) << "a click below the rows clears the mark";
    Click(Qt::LeftButton, 100);
    list->Refresh();
    EXPECT_EQ(list->GetSelectionMark(), -1) << "a refill starts without a mark";

    Click(Qt::LeftButton, 60, true);
    EXPECT_EQ(commands.Take(), std::vector{"View " + second}) << "a double click views the row";
    Click(Qt::LeftButton, 250, true);
    EXPECT_TRUE(commands.Take().empty()) << "below the rows there is nothing to view";
}

TEST_F(MeetingList, RightClickMarksTheRowAndRunsTheMeetingMenu) {
    FillMarch();
    AnswerMenu("meetingView");
    Click(Qt::RightButton, 100);
    EXPECT_EQ(list->GetSelectionMark(), 2);
    EXPECT_EQ(Enabled(), (QStringList{"meetingAdd", "meetingModify", "meetingDelete", "meetingView",
                                      "meetingAddToQuickView"}));
    EXPECT_EQ(commands.Take(), std::vector{"View " + third});

    const std::vector<std::pair<QString, std::vector<std::string>>> choices{
        {"meetingModify", {"Modify " + first}},
        {"meetingDelete", {"Delete " + first}},
        {"meetingAddToQuickView", {"QuickView " + first}},
        {"meetingAdd", {"Add " + std::to_string(commands.picker.ToSerialSeconds())}},
        {"", {}}};
    for (const auto& [choice, calls] : choices) {
        AnswerMenu(choice);
        Click(Qt::RightButton, 20);
        EXPECT_EQ(commands.Take(), calls) << choice.toStdString();
    }

    commands.canEdit = false;
    AnswerMenu("meetingModify");
    Click(Qt::RightButton, 60);
    EXPECT_EQ(Enabled(), (QStringList{"meetingDelete", "meetingView", "meetingAddToQuickView"}))
        << "without the meeting sheet there is no Add or Modify";
    EXPECT_TRUE(commands.Take().empty()) << "a disabled item does nothing";

    AnswerMenu("meetingView");
    Click(Qt::RightButton, 200);
    EXPECT_EQ(Enabled(), QStringList{"no menu"}) << "a right click below the rows does nothing";
    EXPECT_EQ(list->GetSelectionMark(), 1) << "and leaves the mark alone";
}

TEST_F(MeetingList, KeysMoveTheMarkAndActOnTheMarkedRowOnly) {
    FillMarch();
    Keys({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return, Qt::Key_Delete});
    EXPECT_EQ(commands.Take(), (std::vector{"View " + second, "Delete " + second}));

    list->Refresh();
    Keys({Qt::Key_Return, Qt::Key_Delete});
    EXPECT_TRUE(commands.Take().empty()) << "without a mark the keys do nothing";
}
