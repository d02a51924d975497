#include "ui/MeetingMenu.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/WidgetDriving.h"
#include "ui/CommandTable.h"

#include <QAction>
#include <QMenu>

#include <iterator>

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

// Each item shows the text and the key of the main menu's command, in the main menu's order,
// and leaves the key to the main window.
TEST_F(MeetingMenuTest, ReadsLikeTheMainMenu) {
    CFakeMeetingCommands commands;
    QMenu menu;
    FillMeetingMenu(menu, commands, true);
    using namespace CommandId;
    const int ids[] = {addMeeting, modifyMeeting, deleteMeeting, viewMeeting, 0, addToQuickView};
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(ids)));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const CCommandInfo* info = ids[i] == 0 ? nullptr : FindCommand(ids[i]);
        if (info == nullptr) {
            EXPECT_TRUE(ids[i] == 0 && actions[i]->isSeparator()) << "item " << i;
            continue;
        }
        const QString key =
            QKeySequence(QString::fromUtf8(info->shortcut)).toString(QKeySequence::NativeText);
        EXPECT_FALSE(key.isEmpty()) << "item " << i;
        EXPECT_EQ(actions[i]->text(), QString::fromUtf8(info->menuText) + '\t' + key) << i;
        EXPECT_TRUE(actions[i]->shortcut().isEmpty()) << "item " << i;
    }
}

TEST_F(MeetingMenuTest, OffersWhatTheSheetAndTheMeetingAllow) {
    // On a meeting, the meeting list's right-click test checks what is enabled.
    CFakeMeetingCommands commands;
    EXPECT_EQ(EnabledItems(commands, false), QStringList{"meetingAdd"})
        << "without a meeting only Add";
    commands.canEdit = false;
    EXPECT_TRUE(EnabledItems(commands, false).isEmpty()) << "without the meeting sheet";
}
