#include "ui/CommandTable.h"

#include "ui/StringTable.h"

#include <array>

namespace {

constexpr std::array<CCommandInfo, 24> commands = {{
    {CommandId::addMeeting, "&Add", "addMeetingAction", 1, "Ctrl+N"},
    {CommandId::quickAdd, "", "quickAddAction", 2, "Ctrl+Shift+N"},
    {CommandId::modifyMeeting, "M&odify", "modifyMeetingAction", 3, "Ctrl+E"},
    {CommandId::deleteMeeting, "&Delete", "deleteMeetingAction", 4, "Del"},
    {CommandId::viewMeeting, "&View", "viewMeetingAction", 5, "Ctrl+Return"},
    {CommandId::addToQuickView, "Add to Quick View", "addToQuickViewAction", 6, "Ctrl+D"},
    {CommandId::findMeeting, "&Find...", "findAction", -1, "Ctrl+F"},
    {CommandId::showTodos, "T&odos", "showTodosAction", -1, ""},
    {CommandId::synchronize, "&Synchronize", "synchronizeAction", 7, ""},
    {CommandId::refresh, "&Refresh", "refreshAction", 8, "F5"},
    {CommandId::preference, "&Preference", "preferenceAction", 9, "Ctrl+,"},
    {CommandId::help, "Tavelin Help", "helpAction", 10, "F1"},
    {CommandId::about, "&About Tavelin...", "aboutAction", 11, ""},
    {CommandId::exit, "E&xit", "exitAction", -1, "Ctrl+Q"},
    {CommandId::toggleToolBar, "&Toolbar", "toggleToolBarAction", -1, ""},
    {CommandId::toggleStatusBar, "&Status Bar", "toggleStatusBarAction", -1, ""},
    {CommandId::printMeeting, "&Print...", "printMeetingAction", -1, "Ctrl+P"},
    {CommandId::exportPdf, "&Export as PDF...", "exportPdfAction", -1, ""},
    {CommandId::exportMeetingCalendar, "Export as &iCalendar...", "exportMeetingCalendarAction", -1,
     ""},
    {CommandId::importCalendar, "&Import...", "importCalendarAction", -1, ""},
    {CommandId::exportMonthCalendar, "Export &Month as iCalendar...", "exportMonthCalendarAction",
     -1, ""},
    {CommandId::exportAllCalendar, "Export &All as iCalendar...", "exportAllCalendarAction", -1,
     ""},
    {CommandId::syncNow, "Sync &Now", "syncNowAction", -1, "F9"},
    {CommandId::calendarServer, "&Calendar Server...", "calendarServerAction", -1, ""},
}};

} // namespace

std::span<const CCommandInfo> Commands() {
    return commands;
}

const CCommandInfo* FindCommand(int id) {
    for (const CCommandInfo& command : commands) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

QString CommandPrompt(int id) {
    return LoadResString(id).section(QLatin1Char('\n'), 0, 0);
}

QString CommandTooltip(int id) {
    return LoadResString(id).section(QLatin1Char('\n'), 1, 1);
}
