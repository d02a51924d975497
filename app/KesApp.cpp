#include "app/KesApp.h"

#include "Version.h"
#include "app/FolderTexts.h"
#include "app/MainFrame.h"
#include "app/PreferenceDlg.h"
#include "app/Settings.h"
#include "search/SearchKeeper.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgramStyle.h"
#include "ui/StringTable.h"
#include "ui/SystemServices.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

CKesApp::CKesApp(int& argc, char** argv, std::unique_ptr<CDesktopServices> services)
    : QApplication(argc, argv), m_services(std::move(services)),
      m_searchKeeper(std::make_unique<CSearchKeeper>()) {
    if (!m_services) {
        m_services = std::make_unique<CSystemServices>();
    }
    setApplicationName(QStringLiteral("Tavelin"));
    setApplicationVersion(QStringLiteral(TAVELIN_VERSION));
    setOrganizationName(QStringLiteral("Brindleware"));
    setDesktopFileName(QStringLiteral("tavelin"));
    setWindowIcon(QIcon(QStringLiteral(":/tavelin.svg")));
    setStyle(new CProgramStyle);
}

CKesApp::~CKesApp() = default;

CKesApp* CKesApp::Instance() {
    return qobject_cast<CKesApp*>(QCoreApplication::instance());
}

bool CKesApp::InitInstance() {
    SetWorkingDirectory({});
    const QString stored = Settings::ReadPath();
    bool found = false;
    if (!stored.isEmpty()) {
        const QFileInfo folder(stored);
        found = folder.exists() && folder.isDir();
        if (!found) {
            m_services->Inform(LoadResString(StringId::directoryGone), nullptr);
        }
    }
    if (found) {
        SetWorkingDirectory(stored.toStdString());
    } else if (!SelectWorkingDirectory()) {
        return false;
    }
    // Two copies saving into one folder would overwrite each other's changes: the user picks
    // another folder or quits.
    while (!TakeLock(GetWorkingDirectory())) {
        const QString question =
            FolderInUseText(GetWorkingDirectory()) +
            QStringLiteral("\n\nPick another folder for the meeting files, or quit?");
        if (!m_services->AskChoice(question, QStringLiteral("Pick Another Folder…"),
                                   QStringLiteral("Quit"), nullptr) ||
            !SelectWorkingDirectory()) {
            SetWorkingDirectory({});
            return false;
        }
    }

    // Nothing but the lock comes before the loading window. The index is opened once the
    // loop first runs, which the loading window lets it do as soon as it shows: its catch-up
    // then reads beside the load instead of before it. The temporary files of saves cut short
    // go once the meetings are in (the load never reads them).
    m_indexOpened = false;
    QTimer::singleShot(0, this, [this] { OpenIndex(); });
    auto* frame = new CMainFrame(m_store, *m_services);
    OpenIndex(); // the load was quick and showed no window
    frame->SetSearchKeeper(m_searchKeeper.get());
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_mainFrame = frame;
    frame->showMaximized();
    if (m_lock.IsHeld()) {
        RemoveStaleTemporaryFiles(GetWorkingDirectory());
    }
    return true;
}

void CKesApp::OpenIndex() {
    if (!m_indexOpened) {
        m_indexOpened = true;
        m_searchKeeper->Open(GetWorkingDirectory());
    }
}

bool CKesApp::SelectWorkingDirectory() {
    CPreferenceDlg dialog(*m_services);
    dialog.SetMode(CPreferenceDlg::firstSelection);
    dialog.SetChosenPath(QString());
    if (dialog.Run() != QDialog::Accepted) {
        SetWorkingDirectory({});
        return false;
    }
    const QString folder = dialog.GetMeetingFolder();
    SetWorkingDirectory(folder.toStdString());
    QDir().mkpath(folder);
    return true;
}

void CKesApp::LoadQuickViewSettings(CMainFrame& frame) {
    const QStringList ids = Settings::ReadItem().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString& id : ids) {
        const std::string key = id.toStdString();
        frame.GetQuickView().SetAt(key, frame.GetStore().GetMeeting(key));
    }
    frame.SetPercentages(Settings::ReadFirst(), Settings::ReadSecond());
}

void CKesApp::SaveSettings(const CMainFrame& frame) {
    QStringList ids;
    for (const std::string& key : frame.GetQuickView().GetKeys()) {
        ids.append(QString::fromStdString(key));
    }
    Settings::WriteItem(ids.join(QStringLiteral("\r\n")));
    Settings::WriteFirst(frame.GetFirstPercent());
    Settings::WriteSecond(frame.GetSecondPercent());
    Settings::WritePath(WorkingDirectoryText());
}

void CKesApp::ResetSettings() {
    Settings::WritePath(WorkingDirectoryText());
    Settings::WriteFirst(Settings::defaultFirst);
    Settings::WriteSecond(Settings::defaultSecond);
    Settings::WriteItem(QString());
}

bool CKesApp::LockWorkingDirectory(const std::filesystem::path& folder) {
    if (!TakeLock(folder)) {
        return false;
    }
    if (m_lock.IsHeld()) {
        RemoveStaleTemporaryFiles(folder);
    }
    return true;
}

bool CKesApp::TakeLock(const std::filesystem::path& folder) {
    switch (m_lock.Acquire(folder)) {
    case CWorkingDirectoryLock::Result::heldElsewhere:
    case CWorkingDirectoryLock::Result::blocked:
        return false;
    case CWorkingDirectoryLock::Result::locked:
        return true;
    case CWorkingDirectoryLock::Result::unavailable:
        break;
    }
    // A folder we may only read can still be looked at; the user hears that it is unguarded.
    m_services->Inform(
        QStringLiteral("The folder “%1” cannot be locked against a second Tavelin window (%2). "
                       "It is opened without a lock: do not open it in another window.")
            .arg(NativeText(folder), QString::fromStdString(m_lock.GetReason())),
        activeWindow());
    return true;
}

QString CKesApp::FolderInUseText(const std::filesystem::path& folder) {
    return ::FolderInUseText(folder);
}

CMainFrame* CKesApp::GetMainFrame() const {
    return qobject_cast<CMainFrame*>(m_mainFrame.data());
}

bool CKesApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const CFileError& error) {
        ++m_fileErrorsInEventLoop;
        m_services->ReportError(FileErrorText(error), activeWindow());
        return true;
    }
}

QString CKesApp::FileErrorText(const CFileError& error) {
    return ::FileErrorText(error);
}
