#pragma once

#include "app/FrameHost.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectoryLock.h"
#include "ui/DesktopServices.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <memory>

class CFileError;
class CMainFrame;
class CSearchKeeper;

// The application object: settles the working directory and the settings before the main
// window exists, then creates the main frame. It owns the program's one store and the desktop
// services, and hands both to the frame.
class CKesApp : public QApplication, public CFrameHost {
    Q_OBJECT

public:
    // `services` null: the system's own.
    CKesApp(int& argc, char** argv, std::unique_ptr<CDesktopServices> services = nullptr);
    ~CKesApp() override;

    static CKesApp* Instance();

    // The start-up sequence. False when the program is to end without a window.
    bool InitInstance();

    // First start, or the stored folder has gone: the user picks a folder and the working
    // directory becomes its "Meeting Files" folder. False when the user cancels.
    bool SelectWorkingDirectory();

    // The settings the quick view pane starts from, and those written when the frame goes.
    void LoadQuickViewSettings(CMainFrame& frame) override;
    void SaveSettings(const CMainFrame& frame) override;
    // After a change of the working directory: the new path, default bars, no shortcuts.
    void ResetSettings() override;

    // Takes the lock of `folder`, which is to become the working directory, in place of the
    // previous folder's, and clears what saves cut short by a crash left there. False when
    // another Tavelin window has the folder open, or when something other than a file takes
    // the lock file's name. A folder where no lock can be made (one we may only read) is used
    // without one, and the user is told so.
    bool LockWorkingDirectory(const std::filesystem::path& folder) override;
    const CWorkingDirectoryLock& GetWorkingDirectoryLock() const { return m_lock; }
    // Why `folder` cannot be opened: "The folder ... is already open in another Tavelin
    // window.", or, when its lock file's name is taken by a folder, a link or a pipe, that
    // and where.
    static QString FolderInUseText(const std::filesystem::path& folder);

    CMainFrame* GetMainFrame() const;
    CMeetingStore& GetStore() { return m_store; }
    CDesktopServices& GetServices() { return *m_services; }
    // The search index of the working directory, opened by InitInstance.
    CSearchKeeper& GetSearchKeeper() { return *m_searchKeeper; }

    // "The file ... could not be changed: reason."
    static QString FileErrorText(const CFileError& error);

    // Commands catch their file errors; one that still reaches the event loop is shown,
    // naming the file and the reason, and the operation that raised it stops there.
    bool notify(QObject* receiver, QEvent* event) override;
    // How many file errors reached the event loop so far (each one a command that missed it).
    int GetFileErrorsInEventLoop() const { return m_fileErrorsInEventLoop; }

private:
    // LockWorkingDirectory without clearing what crashed saves left: start-up does that
    // after the load.
    bool TakeLock(const std::filesystem::path& folder);
    // Opens the working directory's index, once per start.
    void OpenIndex();

    CMeetingStore m_store;
    std::unique_ptr<CDesktopServices> m_services;
    std::unique_ptr<CSearchKeeper> m_searchKeeper;
    QPointer<QMainWindow> m_mainFrame;
    // Held for the whole run; the system lets go of it when the process ends.
    CWorkingDirectoryLock m_lock;
    int m_fileErrorsInEventLoop = 0;
    bool m_indexOpened = false;
};
