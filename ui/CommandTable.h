#pragma once

#include <QString>

#include <span>

// The program's commands: their numbers, menu texts, prompt strings (status-bar prompt, a
// line break, then the toolbar tooltip) and toolbar images.
namespace CommandId {
constexpr int addMeeting = 32771;
constexpr int modifyMeeting = 32772;
constexpr int deleteMeeting = 32773;
constexpr int refresh = 32774;
constexpr int synchronize = 32776;
constexpr int addToQuickView = 32777;
constexpr int removeShortcut = 32778;
constexpr int preference = 32779;
constexpr int viewMeeting = 32780;
constexpr int quickAdd = 32784;
constexpr int printMeeting = 32810;
constexpr int exportPdf = 32811;
constexpr int exportMeetingCalendar = 32812;
constexpr int importCalendar = 32813;
constexpr int exportMonthCalendar = 32814;
constexpr int exportAllCalendar = 32815;
constexpr int syncNow = 32816;
constexpr int calendarServer = 32817;
constexpr int findMeeting = 32800;
constexpr int showTodos = 32801;
constexpr int about = 57664;
constexpr int exit = 57665;
constexpr int help = 57670;
constexpr int toggleToolBar = 59392;
constexpr int toggleStatusBar = 59393;
} // namespace CommandId

struct CCommandInfo {
    int id;
    const char* menuText; // empty for toolbar-only commands
    const char* objectName;
    int image;            // index in the toolbar strip, -1 for none
    const char* shortcut; // a QKeySequence text, or empty
};

std::span<const CCommandInfo> Commands();
const CCommandInfo* FindCommand(int id);

// The two halves of a command's prompt string.
QString CommandPrompt(int id);
QString CommandTooltip(int id);
