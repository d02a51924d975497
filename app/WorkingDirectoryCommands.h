#pragma once

#include "app/FrameRoom.h"

#include <filesystem>
#include <set>

class CCalendarNavigation;
class CQuickViewCommands;

// The working directory's commands: Refresh reads every meeting file again, Preference moves
// to another folder (its lock, the settings, the index and the lists follow), and the damaged
// files a read skipped are reported once each.
class CWorkingDirectoryCommands : public CFrameRoom {
public:
    CWorkingDirectoryCommands(CFrameParts& parts, CCalendarNavigation& navigation,
                              CQuickViewCommands& quickView)
        : CFrameRoom(parts), m_navigation(navigation), m_quickViewCommands(quickView) {}

    // Tools > Preference: pick another working directory.
    void ChangeWorkingDirectory();
    // Tools > Refresh, and after the working directory changed: reload every meeting file.
    void ReloadStore();
    void ReportSkippedFiles();

private:
    void DoChangeWorkingDirectory();

    CCalendarNavigation& m_navigation;
    CQuickViewCommands& m_quickViewCommands;
    // The damaged files already reported, by their names as stored (two names that differ
    // only in bytes that are not UTF-8 are two files).
    std::set<std::filesystem::path> m_reportedSkips;
};
