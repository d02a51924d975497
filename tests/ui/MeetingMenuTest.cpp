#include "ui/MeetingMenu.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/QtTestEnvironment.h"
#include "ui/CommandTable.h"

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

TEST_F(MeetingMenuTest, ReadsLikeTheMainMenu) {
    CFakeMeetingCommands commands;
    QMenu menu;
    FillMeetingMenu(menu, commands, true);
    const std::vector<std::pair<int, QString>> expected{
        {CommandId::addMeeting, "meetingAdd"},
        {CommandId::modifyMeeting, "meetingModify"},
        {CommandId::deleteMeeting, "meetingDelete"},
        {CommandId::viewMeeting, "meetingView"},
        {0, "separator"},
        {CommandId::addToQuickView, "meetingAddToQuickView"}};
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [id, name] = expected[i];
        const QAction* action = actions[static_cast<qsizetype>(i)];
        if (id == 0) {
            EXPECT_TRUE(action->isSeparator()) << "item " << i;
            continue;
        }
        const CCommandInfo* info = FindCommand(id);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(action->objectName(), name);
        const QString key =
            QKeySequence(QString::fromUtf8(info->shortcut)).toString(QKeySequence::NativeText);
        ASSERT_FALSE(key.isEmpty()) << name.toStdString();
        EXPECT_EQ(action->text(), QString::fromUtf8(info->menuText) + '\t' + key)
            << name.toStdString() << " shows the text and the key of the main menu's command";
        EXPECT_TRUE(action->shortcut().isEmpty())
            << name.toStdString() << ": the key stays the main window's";
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
