#include "app/WorkingDirectoryCommands.h"

#include "app/CalendarNavigation.h"
#include "app/FolderTexts.h"
#include "app/FrameHost.h"
#include "app/LoadingFeedback.h"
#include "app/PreferenceDlg.h"
#include "app/QuickViewCommands.h"
#include "app/RightListView.h"
#include "app/SkippedFilesNotice.h"
#include "search/SearchKeeper.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "ui/DesktopServices.h"

#include <QDir>
#include <QMainWindow>

void CWorkingDirectoryCommands::ReloadStore() {
    try {
        LoadMeetingsShowingProgress(m_store);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    ReportSkippedFiles();
    // Files changed behind the program's back are read into the search index too.
    if (m_searchKeeper != nullptr) {
        m_searchKeeper->CatchUp();
    }
}

void CWorkingDirectoryCommands::ReportSkippedFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& path : m_store.GetSkippedFiles()) {
        if (m_reportedSkips.insert(path).second) {
            files.push_back(path);
        }
    }
    if (files.empty()) {
        return;
    }
    const CSkippedFilesNotice notice = SkippedFilesNotice(files);
    m_services.Notify(notice.text, notice.details, m_window);
}

void CWorkingDirectoryCommands::ChangeWorkingDirectory() {
    try {
        DoChangeWorkingDirectory();
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
}

void CWorkingDirectoryCommands::DoChangeWorkingDirectory() {
    const QString remembered = WorkingDirectoryText();
    CPreferenceDlg dialog(m_services, m_window);
    dialog.SetMode(CPreferenceDlg::changeCurrent);
    dialog.SetChosenPath(remembered);
    if (dialog.Run() != QDialog::Accepted || !dialog.IsChanged()) {
        return;
    }
    const QString folder = dialog.GetMeetingFolder();
    if (folder == remembered) {
        return;
    }
    // The lock moves with the working directory; a folder another window has open is
    // refused, since the two would overwrite each other's changes.
    QDir().mkpath(folder);
    CFrameHost* app = CFrameHost::Find();
    if (app != nullptr && !app->LockWorkingDirectory(folder.toStdString())) {
        m_services.Inform(FolderInUseText(folder.toStdString()) +
                              QStringLiteral(" The working directory stays %1.")
                                  .arg(QDir::toNativeSeparators(remembered)),
                          m_window);
        return;
    }
    SetWorkingDirectory(folder.toStdString());
    if (app != nullptr) {
        app->ResetSettings();
    }
    if (m_searchKeeper != nullptr) {
        m_searchKeeper->Open(GetWorkingDirectory());
    }
    ReloadStore();
    m_navigation.ShowPickedDate();
    m_quickViewCommands.ClearQuickView();
    m_rightPane->RebuildShortcuts();
}
