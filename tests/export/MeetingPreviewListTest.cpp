#include "export/MeetingPreviewList.h"
#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "store/ContentFiles.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"

#include <QClipboard>

namespace {

const std::string meetingId = "2004031010000010";
const CDateTime now(2004, 3, 5, 14, 7, 9);

class MeetingPreviewList : public CQtTest {
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
    CMeetingPreviewList& Preview() { return Page().GetPreviewList(); }

    void StoreMeeting() {
        CMeeting record(CDateTime(2004, 3, 10, 10, 0, 0));
        record.id = meetingId;
        record.title = "Caf\xe9 committee"; // written by an older system, in Windows-1252
        record.reference = "R-7";
        record.venue = "Hall";
        TestStore().ModifyMeeting(record);
        WriteAttendeeFile(meetingId, {"Ann", "Bob"});
        WriteMinutesFile(meetingId, {std::string(5000, 'm')});
        WriteTodoFile(meetingId, {{"Book the room", 2, 1}});
    }

    // Previews the meeting from `mode` and puts the focus on the preview, as a click would.
    void PreviewFrom(int mode) {
        Page().ShowMode(mode);
        Page().SetPreviewedMeetingId(meetingId);
        Page().ShowMode(CCalendarPage::previewMode);
        Preview().setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), &Preview());
    }

    void Press(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }

    CFakeMeetingCommands commands;
    std::unique_ptr<CCalendarView> view;
};

} // namespace

TEST_F(MeetingPreviewList, CopyPutsTheWholeMeetingOnTheClipboard) {
    StoreMeeting();
    PreviewFrom(CCalendarPage::agendaMode);
    QApplication::clipboard()->clear();
    Press(Qt::Key_C, Qt::ControlModifier);
    const QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Caf\u00e9 committee\nMeeting Id: R-7\n")))
        << text.left(80).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nAttendees\nAnn\nBob\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("- ") + QString(5000, 'm') + '\n'))
        << "the clipboard gets the whole minute, not the shown prefix";
    EXPECT_TRUE(text.endsWith(QStringLiteral("\nTodos\n[High, Done] Book the room\n")));
    EXPECT_FALSE(text.contains(previewMarker));

    QApplication::clipboard()->clear();
    TestServices().SetMenuChoice(QStringLiteral("copyPreviewAction"));
    Press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), text) << "the context menu's Copy";
}
