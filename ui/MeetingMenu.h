#pragma once

#include <string>

class CMeetingCommands;
class QAction;
class QKeyEvent;
class QMenu;

// The Meeting menu every list offers for a meeting: Add, Modify, Delete, View and Add to Quick
// View, with the texts and shortcuts of the program's own commands, so that a list's menu
// always reads like the main menu.

// Fills `menu` with the Meeting menu. Add needs the meeting sheet; Modify needs it and a
// meeting; Delete, View and Add to Quick View need a meeting (`onMeeting`).
void FillMeetingMenu(QMenu& menu, const CMeetingCommands& commands, bool onMeeting);

// Carries out the command of the item chosen from such a menu for the meeting `id`; nothing
// when no item or a disabled item was chosen.
void RunMeetingMenuChoice(CMeetingCommands& commands, const QAction* chosen, const std::string& id);

// The command of the menu item whose key was pressed (Modify, Delete, View or Add to Quick
// View), 0 for any other key. Add is left out: its key keeps the date picker's time.
int MeetingMenuKeyCommand(const QKeyEvent& event);

// Whether the menu's item for `command` is enabled on a meeting, as FillMeetingMenu sets it.
bool IsMeetingCommandEnabled(const CMeetingCommands& commands, int command);

// Carries out a command of the Meeting menu on the meeting `id` when its item is enabled.
void RunMeetingCommand(CMeetingCommands& commands, int command, const std::string& id);

// A key pressed in a list that offers the Meeting menu on a meeting: carries out the item
// whose key it is on `id`, the meeting the keys act on, and tells whether it was one of the
// menu's keys. Without a meeting such a key does nothing: Ctrl+Return is View, never Add.
bool RunMeetingMenuKey(CMeetingCommands& commands, const QKeyEvent& event, const std::string& id);
