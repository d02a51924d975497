#include "calendar/MeetingListCtrl.h"
#include "store/MeetingStore.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/QtTestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

namespace {

class MeetingList : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        list = std::make_unique<CMeetingListCtrl>(commands);
        list->resize(500, 300);
        list->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        list.reset();
        CQtTest::TearDown();
    }

    static void Put(const std::string& id, const CDateTime& date) {
        CMeeting record(date);
        record.id = id;
        record.title = "Meeting " + id;
        TheMeetingStore().ModifyMeeting(record);
    }

    // Three March meetings (rows 0..2 after the fill) and one of March a year later.
    void FillMarch() {
        Put("2004030314000010", CDateTime(2004, 3, 3, 14, 0, 0));
        Put("2004030109001210", CDateTime(2004, 3, 1, 9, 0, 0));
        Put("2004030308300610", CDateTime(2004, 3, 3, 8, 30, 0));
        Put("2005030200000010", CDateTime(2005, 3, 2, 0, 0, 0));
        list->Fill(CDateTime(2004, 3, 10, 0, 0, 0));
    }

    void Mouse(QEvent::Type type, Qt::MouseButton button, int y) {
        const QPointF pos(100, y);
        QMouseEvent event(type, pos, list->viewport()->mapToGlobal(pos), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
    }
    void Click(Qt::MouseButton button, int y) {
        Mouse(QEvent::MouseButtonPress, button, y);
        Mouse(QEvent::MouseButtonRelease, button, y);
    }
    void DoubleClick(int y) {
        Click(Qt::LeftButton, y);
        Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, y);
        Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, y);
    }
    void Key(int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(list.get(), &event);
    }

    // Answers the next Meeting menu with the action named `choice` (none when empty) and
    // notes which actions it offered enabled.
    void AnswerMenu(const QString& choice) {
        menuShown = false;
        list->SetMenuRunner([this, choice](QMenu& menu, const QPoint&) -> QAction* {
            menuShown = true;
            enabled.clear();
            QAction* chosen = nullptr;
            for (QAction* action : menu.actions()) {
                if (!action->isSeparator() && action->isEnabled()) {
                    enabled << action->objectName();
                }
                if (action->objectName() == choice) {
                    chosen = action;
                }
            }
            return chosen;
        });
    }

    CFakeMeetingCommands commands;
    std::unique_ptr<CMeetingListCtrl> list;
    bool menuShown = false;
    QStringList enabled;
};

std::vector<std::string> Rows(const CMeetingListCtrl& list) {
    std::vector<std::string> ids;
    for (int row = 0; row < list.GetRowCount(); ++row) {
        ids.push_back(list.GetMeetingId(row));
    }
    return ids;
}

} // namespace

TEST_F(MeetingList, FillsTheMonthInOrderAndStartsUnmarked) {
    FillMarch();
    EXPECT_EQ(Rows(*list), (std::vector<std::string>{"2004030109001210", "2004030308300610",
                                                     "2004030314000010"}))
        << "1 March 09:00, 3 March 08:30, 3 March 14:00; March 2005 left out";
    EXPECT_EQ(list->GetSelectionMark(), -1);
    EXPECT_EQ(list->GetMarkedMeetingId(), "");

    list->Fill(CDateTime(2004, 4, 1, 0, 0, 0));
    EXPECT_EQ(list->GetRowCount(), 0) << "April has no meetings";
    EXPECT_TRUE(commands.calls.empty()) << "filling asks nothing of the frame";
}

TEST_F(MeetingList, ClicksMoveTheMarkAndRefillClearsIt) {
    FillMarch();
    std::vector<int> changes;
    QObject::connect(list.get(), &CMeetingListCtrl::SelectionMarkChanged,
                     [&changes](int mark) { changes.push_back(mark); });

    Click(Qt::LeftButton, 50); // second row
    EXPECT_EQ(list->GetSelectionMark(), 1);
    EXPECT_EQ(list->GetMarkedMeetingId(), "2004030308300610");
    Click(Qt::LeftButton, 10);
    EXPECT_EQ(list->GetSelectionMark(), 0);
    Click(Qt::LeftButton, 10);
    EXPECT_EQ(changes, (std::vector<int>{1, 0})) << "the signal follows changes only";

    Click(Qt::LeftButton, 250);
    EXPECT_EQ(list->GetSelectionMark(), -1) << "a click below the rows clears the mark";

    Click(Qt::LeftButton, 100);
    ASSERT_EQ(list->GetSelectionMark(), 2);
    changes.clear();
    list->Refresh();
    EXPECT_EQ(list->GetSelectionMark(), -1) << "a refill starts without a mark";
    EXPECT_EQ(changes, (std::vector<int>{-1}));
    EXPECT_EQ(list->GetRowCount(), 3);
    EXPECT_TRUE(commands.calls.empty());
}

TEST_F(MeetingList, RightClickMarksTheRowAndRunsTheMeetingMenu) {
    FillMarch();

    AnswerMenu(QStringLiteral("meetingView"));
    Click(Qt::RightButton, 100);
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(list->GetSelectionMark(), 2);
    EXPECT_EQ(enabled, (QStringList{"meetingAdd", "meetingModify", "meetingDelete", "meetingView",
                                    "meetingAddToQuickView"}));
    EXPECT_EQ(commands.Take(), (std::vector<std::string>{"View 2004030314000010"}));

    const std::vector<std::pair<QString, std::string>> choices{
        {"meetingModify", "Modify 2004030109001210"},
        {"meetingDelete", "Delete 2004030109001210"},
        {"meetingAddToQuickView", "QuickView 2004030109001210"},
        {"meetingAdd", "Add " + std::to_string(commands.picker.ToSerialSeconds())},
        {"", ""}};
    for (const auto& [choice, call] : choices) {
        AnswerMenu(choice);
        Click(Qt::RightButton, 20);
        const std::vector<std::string> calls = commands.Take();
        EXPECT_EQ(calls, call.empty() ? std::vector<std::string>{} : std::vector{call})
            << "menu choice " << choice.toStdString();
    }

    commands.canEdit = false;
    AnswerMenu(QStringLiteral("meetingModify"));
    Click(Qt::RightButton, 60);
    EXPECT_EQ(enabled, (QStringList{"meetingDelete", "meetingView", "meetingAddToQuickView"}))
        << "without the meeting sheet there is no Add or Modify";
    EXPECT_TRUE(commands.Take().empty()) << "a disabled item does nothing";

    AnswerMenu(QStringLiteral("meetingView"));
    Click(Qt::RightButton, 200);
    EXPECT_FALSE(menuShown) << "a right click below the rows does nothing";
    EXPECT_EQ(list->GetSelectionMark(), 1) << "and leaves the mark alone";
    EXPECT_TRUE(commands.Take().empty());
}

TEST_F(MeetingList, DoubleClickViewsTheRow) {
    FillMarch();
    DoubleClick(60);
    EXPECT_EQ(commands.Take(), (std::vector<std::string>{"View 2004030308300610"}));
    DoubleClick(250);
    EXPECT_TRUE(commands.Take().empty()) << "below the rows there is nothing to view";

    list->Fill(CDateTime(2004, 4, 1, 0, 0, 0));
    DoubleClick(10);
    EXPECT_TRUE(commands.Take().empty()) << "an empty month";
}

TEST_F(MeetingList, KeyboardAndScrolling) {
    for (int day = 1; day <= 12; ++day) {
        Put("200403" + std::to_string(10 + day) + "10000010",
            CDateTime(2004, 3, 10 + day, 10, 0, 0));
    }
    list->Fill(CDateTime(2004, 3, 1, 0, 0, 0));
    ASSERT_EQ(list->GetRowCount(), 12);
    QScrollBar* bar = list->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0) << "twelve rows of 45 pixels overflow 300 pixels";

    Key(Qt::Key_Down);
    EXPECT_EQ(list->GetSelectionMark(), 0) << "Down without a mark takes the first row";
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Up);
    EXPECT_EQ(list->GetSelectionMark(), 1);
    Key(Qt::Key_End);
    EXPECT_EQ(list->GetSelectionMark(), 11);
    EXPECT_EQ(bar->value(), bar->maximum()) << "the last row is scrolled into view";
    Key(Qt::Key_Down);
    EXPECT_EQ(list->GetSelectionMark(), 11) << "the mark stays on the last row";
    Key(Qt::Key_Return);
    Key(Qt::Key_Delete);
    EXPECT_EQ(commands.Take(),
              (std::vector<std::string>{"View 2004032210000010", "Delete 2004032210000010"}));

    AnswerMenu(QStringLiteral("meetingAddToQuickView"));
    Key(Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
    Key(Qt::Key_Menu);
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(commands.Take(), (std::vector<std::string>{"QuickView 2004031110000010"}));

    list->Refresh();
    EXPECT_EQ(bar->value(), 0);
    AnswerMenu(QStringLiteral("meetingView"));
    Key(Qt::Key_Menu);
    Key(Qt::Key_Return);
    Key(Qt::Key_Delete);
    EXPECT_FALSE(menuShown);
    EXPECT_TRUE(commands.Take().empty()) << "without a mark the keys do nothing";

    bar->setValue(90);
    Click(Qt::LeftButton, 10);
    EXPECT_EQ(list->GetSelectionMark(), 2) << "a click hits the row scrolled under it";
    list->resize(500, 2000);
    QApplication::processEvents();
    EXPECT_EQ(bar->maximum(), 0) << "all rows fit after growing";
}
