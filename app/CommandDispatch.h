#pragma once

#include "app/FrameRoom.h"

class CFrameMeetingCommands;
class CQuickViewCommands;
class CSearchWiring;
class CSyncCommands;
class CShareCommands;
class CWorkingDirectoryCommands;

// Where a menu item, a toolbar button or a window-wide key lands: the command's id is handed
// to the room that carries it out. A file a command cannot change is reported, naming the
// file and the reason, and the command stops there; the command states follow every command.
class CCommandDispatch : public CFrameRoom {
public:
    CCommandDispatch(CFrameParts& parts, CFrameMeetingCommands& meetings,
                     CQuickViewCommands& quickView, CShareCommands& share, CSearchWiring& search,
                     CWorkingDirectoryCommands& directory, CSyncCommands& sync)
        : CFrameRoom(parts), m_meetings(meetings), m_quickView(quickView), m_share(share),
          m_search(search), m_directory(directory), m_sync(sync) {}

    void OnCommand(int id);

private:
    void RunCommand(int id);
    // Each group's commands; false for an id of another group.
    bool RunMeetingCommand(int id);
    bool RunShareCommand(int id);
    bool RunWindowCommand(int id);

    CFrameMeetingCommands& m_meetings;
    CQuickViewCommands& m_quickView;
    CShareCommands& m_share;
    CSearchWiring& m_search;
    CWorkingDirectoryCommands& m_directory;
    CSyncCommands& m_sync;
};
