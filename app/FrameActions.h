#pragma once

#include "app/FrameMeetingCommands.h"
#include "app/FrameRoom.h"

#include <QHash>
#include <QKeySequence>

class CCalendarNavigation;
class CCommandDispatch;
class QAction;

// The window's actions, made from the command table, and where they stand: the toolbar's
// buttons, the menus, and the keys of the commands that act on the calendar's meeting, which
// answer only while the focus is in the calendar. Each action hands its command to the
// dispatch; after every command the actions are enabled for what the calendar shows.
class CFrameActions : public CFrameRoom {
public:
    CFrameActions(CFrameParts& parts, CCommandDispatch& commands, CCalendarNavigation& navigation,
                  CFrameMeetingCommands& meetings)
        : CFrameRoom(parts), m_commands(commands), m_navigation(navigation), m_meetings(meetings) {}

    // The toolbar's step arrows and command buttons, left of the search field.
    void CreateToolBar();
    void CreateMenus();
    // Every command's action exists: the meeting commands' keys become the calendar's.
    void ScopeCalendarKeys();
    // Whether `pressed` is the key of a command that acts on the calendar's meeting.
    bool IsCalendarKey(const QKeySequence& pressed) const;
    void UpdateCommandStates();
    QAction* GetAction(int id) const { return m_actions.value(id); }

private:
    QAction* MakeAction(int id);
    void CreateDateActions();
    bool CanEditMeetings() const { return m_meetings.CanEditMeetings(); }

    CCommandDispatch& m_commands;
    CCalendarNavigation& m_navigation;
    CFrameMeetingCommands& m_meetings;
    QHash<int, QAction*> m_actions;
    QAction* m_previousAction = nullptr;
    QAction* m_nextAction = nullptr;
    QAction* m_todayAction = nullptr;
};
