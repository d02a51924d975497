#include "calendar/MeetingListCtrl.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"

#include <QKeyEvent>
#include <QScrollBar>

using MeetingListPaint = CQtTest;

// Rows are laid out as they are painted: the first row's title is drawn at the top, and a row
// reached with the keys from below is scrolled to its own top, not the next row's.
TEST_F(MeetingListPaint, RowsPaintAndScrollWhereTheyAre) {
    for (int day = 1; day <= 30; ++day) {
        PutMeeting("200403" + std::to_string(100 + day).substr(1) + "090000" + "10",
                   CDateTime(2004, 3, day, 9, 0, 0));
    }
    CFakeMeetingCommands commands;
    CMeetingListCtrl list(TestStore(), TestServices(), commands);
    list.resize(500, 300);
    list.show();
    list.Fill(CDateTime(2004, 3, 10, 0, 0, 0));
    const QImage top = list.viewport()->grab().toImage();
    int titlePixels = 0;
    for (int x = 0; x < top.width(); ++x) {
        for (int y = 0; y < MeetingListGeometry::rowHeight / 3; ++y) {
            titlePixels += top.pixelColor(x, y) == QColor(61, 110, 196) ? 1 : 0;
        }
    }
    EXPECT_GT(titlePixels, 0) << "the first row's title in the top third of the first row";
    for (const int key : {Qt::Key_End, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up,
                          Qt::Key_Up, Qt::Key_Up, Qt::Key_Up}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&list, &press);
    }
    EXPECT_EQ(list.GetSelectionMark(), 21);
    EXPECT_EQ(list.verticalScrollBar()->value(), 21 * MeetingListGeometry::rowHeight);
}
