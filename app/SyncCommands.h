#pragma once

#include "app/FrameRoom.h"
#include "app/ServerSettings.h"
#include "store/FileListener.h"
#include "sync/SyncEngine.h"
#include "sync/SyncStoreGate.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

class CFrameMeetingCommands;
class CQuickViewCommands;
class CSecretStore;
class QStatusBar;
class QToolButton;

// The calendar server behind the window: Tools > Calendar Server... and Sync Now, a sync at
// start, a few seconds after each change made here and every few minutes, never two at once;
// the status line says how the last one went, backs off while the server cannot be reached,
// and lists the conflicts a sync kept both sides of. A background sync never opens a box of
// its own, except for the password the server no longer takes, asked once.
class CSyncCommands : public QObject, public CFrameRoom, CFileListener, CSyncStoreGate {
    Q_OBJECT

public:
    CSyncCommands(CFrameParts& parts, CFrameMeetingCommands& meetings,
                  CQuickViewCommands& quickView);
    ~CSyncCommands() override;

    // The status line's place in the status bar, and the first sync once the window runs.
    void Start(QStatusBar& bar);
    void SyncNow() { Sync(true); }
    void OpenServerDialog();
    void ShowConflicts();

    // Where the password is kept; the desktop's secret store unless another is handed over.
    void UseSecretStore(CSecretStore& secrets) { m_secrets = &secrets; }
    QToolButton* StatusLine() const { return m_status; }

signals:
    // A sync ended (successful or not) and its outcome is on show.
    void syncEnded();

private:
    CSecretStore& Secrets();
    void Sync(bool byUser);
    std::optional<QString> AskPassword(const CServerSettings& settings, const QString& why);
    void Finished(const CSyncSummary& summary);
    void RefreshViews();
    void Disconnect(const CServerSettings& settings);
    void ShowLine(const QString& text);

    // The store's listener: a change made here is sent a few seconds later.
    void FileWritten(const std::filesystem::path& path) override;
    void FileRemoved(const std::filesystem::path& path) override;
    void FilesWritten(const std::vector<std::filesystem::path>& paths) override;
    // The gate the engine changes the store through: the files it writes are no change to
    // send back.
    std::vector<std::string> Add(const std::vector<CCalendarMeeting>& meetings,
                                 const std::unordered_set<std::string>& listed) override;
    void Change(const CCalendarMeeting& meeting) override;
    void Delete(const std::string& id) override;

    CFrameMeetingCommands& m_meetings;
    CQuickViewCommands& m_quickView;
    CStoreSyncGate m_storeGate;
    CSyncEngine m_engine;
    std::unique_ptr<CSecretStore> m_desktopSecrets;
    CSecretStore* m_secrets = nullptr;
    QTimer m_afterChange;
    QTimer m_period;
    QTimer m_retry;
    QToolButton* m_status = nullptr;
    bool m_connected = false;     // the settings name a server and a calendar
    bool m_applying = false;      // the engine is changing the store
    bool m_syncAgain = false;     // a change came while a sync ran
    bool m_askedPassword = false; // this run asked for a missing password already
    bool m_askedAgain = false;    // a refused password was asked again already
    int m_failures = 0;
    QString m_forgetState; // a disconnect's state file, removed once the running sync ends
    std::vector<CSyncConflict> m_conflicts;
    CSyncSummary m_last;
    QString m_lastTime;
};
