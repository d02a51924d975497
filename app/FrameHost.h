#pragma once

#include <QCoreApplication>

#include <filesystem>

class CMainFrame;

// What the main window asks of the program that runs it: the settings it starts from and
// leaves behind, and the lock of the working directory. The application object answers; a
// window made where no host runs (a test's own application) goes without.
class CFrameHost {
public:
    virtual ~CFrameHost() = default;

    // The settings the quick view pane starts from, and those written when the frame goes.
    virtual void LoadQuickViewSettings(CMainFrame& frame) = 0;
    virtual void SaveSettings(const CMainFrame& frame) = 0;
    // After a change of the working directory: the new path, default bars, no shortcuts.
    virtual void ResetSettings() = 0;
    // Takes the lock of `folder` in place of the previous folder's; false when it is in use.
    virtual bool LockWorkingDirectory(const std::filesystem::path& folder) = 0;

    // The application object, when it is a host.
    static CFrameHost* Find() { return dynamic_cast<CFrameHost*>(QCoreApplication::instance()); }
};
