#include "ui/MeetingMenu.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"

#include <QAction>
#include <QMenu>

namespace {

using MeetingMenuTest = CQtTest;

// The enabled items of a Meeting menu, by object name.
QStringList EnabledItems(const CFakeMeetingCommands& commands, bool onMeeting) {
    QMenu menu;
    FillMeetingMenu(menu, commands, onMeeting);
    QStringList enabled;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->isEnabled()) {
            enabled << action->objectName();
        }
    }
    return enabled;
}

} // namespace

TEST_F(MeetingMenuTest, OffersWhatTheSheetAndTheMeetingAllow) {
    // On a meeting, the meeting list's right-click test checks what is enabled.
    CFakeMeetingCommands commands;
    EXPECT_EQ(EnabledItems(commands, false), QStringList{"meetingAdd"})
        << "without a meeting only Add";
    commands.canEdit = false;
    EXPECT_TRUE(EnabledItems(commands, false).isEmpty()) << "without the meeting sheet";
}
