#include "ui/MeetingMenu.h"

#include "ui/CommandTable.h"
#include "ui/MeetingCommands.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>

namespace {

struct CMenuItem {
    int command;
    const char* objectName;
};

// In menu order; a separator comes before Add to Quick View.
constexpr CMenuItem items[] = {
    {CommandId::addMeeting, "meetingAdd"},
    {CommandId::modifyMeeting, "meetingModify"},
    {CommandId::deleteMeeting, "meetingDelete"},
    {CommandId::viewMeeting, "meetingView"},
    {CommandId::addToQuickView, "meetingAddToQuickView"},
};

bool IsEnabled(int command, bool canEdit, bool onMeeting) {
    switch (command) {
    case CommandId::addMeeting:
        return canEdit;
    case CommandId::modifyMeeting:
        return canEdit && onMeeting;
    default:
        return onMeeting;
    }
}

} // namespace

void FillMeetingMenu(QMenu& menu, const CMeetingCommands& commands, bool onMeeting) {
    menu.setObjectName(QStringLiteral("meetingMenu"));
    const bool canEdit = commands.CanEditMeetings();
    for (const CMenuItem& item : items) {
        const CCommandInfo* info = FindCommand(item.command);
        if (info == nullptr) {
            continue;
        }
        if (item.command == CommandId::addToQuickView) {
            menu.addSeparator();
        }
        // The key is shown beside the text, as in the main menu, but stays the main
        // window's: an open menu takes only its items' underlined letters.
        QString text = QString::fromUtf8(info->menuText);
        const QKeySequence key(QLatin1String(info->shortcut));
        if (!key.isEmpty()) {
            text += QLatin1Char('\t') + key.toString(QKeySequence::NativeText);
        }
        QAction* action = menu.addAction(text);
        action->setObjectName(QLatin1String(item.objectName));
        action->setData(item.command);
        action->setEnabled(IsEnabled(item.command, canEdit, onMeeting));
    }
}

void RunMeetingMenuChoice(CMeetingCommands& commands, const QAction* chosen,
                          const std::string& id) {
    if (chosen == nullptr || !chosen->isEnabled()) {
        return;
    }
    RunMeetingCommand(commands, chosen->data().toInt(), id);
}

int MeetingMenuKeyCommand(const QKeyEvent& event) {
    const QKeySequence pressed(event.keyCombination());
    for (const int command : {CommandId::modifyMeeting, CommandId::deleteMeeting,
                              CommandId::viewMeeting, CommandId::addToQuickView}) {
        const CCommandInfo* info = FindCommand(command);
        if (info != nullptr && *info->shortcut &&
            QKeySequence(QLatin1String(info->shortcut)).matches(pressed) ==
                QKeySequence::ExactMatch) {
            return command;
        }
    }
    return 0;
}

bool IsMeetingCommandEnabled(const CMeetingCommands& commands, int command) {
    return IsEnabled(command, commands.CanEditMeetings(), true);
}

void RunMeetingCommand(CMeetingCommands& commands, int command, const std::string& id) {
    if (!IsEnabled(command, commands.CanEditMeetings(), !id.empty())) {
        return;
    }
    switch (command) {
    case CommandId::addMeeting:
        commands.AddMeeting(commands.GetPickerDateTime());
        break;
    case CommandId::modifyMeeting:
        commands.ModifyMeeting(id);
        break;
    case CommandId::deleteMeeting:
        commands.DeleteMeeting(id);
        break;
    case CommandId::viewMeeting:
        commands.ViewMeeting(id);
        break;
    case CommandId::addToQuickView:
        commands.AddToQuickView(id);
        break;
    default:
        break;
    }
}

bool RunMeetingMenuKey(CMeetingCommands& commands, const QKeyEvent& event, const std::string& id) {
    const int command = MeetingMenuKeyCommand(event);
    if (command != 0 && !id.empty()) {
        RunMeetingCommand(commands, command, id);
    }
    return command != 0;
}
