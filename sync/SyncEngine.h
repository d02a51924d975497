#pragma once

#include "sync/CalendarDiscovery.h"
#include "sync/DavClient.h"
#include "sync/LocalChanges.h"
#include "sync/SyncState.h"
#include "sync/SyncSummary.h"
#include <QObject>
#include <QString>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

class QThread;
class CSyncStoreGate;

// Runs syncs and discoveries on a thread of its own, one at a time; lives on the window's
// thread, which alone hears its signals and alone lets the gate touch the store.
class CSyncEngine : public QObject {
    Q_OBJECT

public:
    explicit CSyncEngine(CSyncStoreGate& gate, QObject* parent = nullptr);
    ~CSyncEngine() override;

    // False when a sync or a discovery is still running.
    bool StartSync(const CDavAccount& account, const QUrl& calendar,
                   const std::filesystem::path& folder, const QString& stateFile,
                   const CDavLimits& limits = {});
    bool StartDiscovery(const CDavAccount& account);
    // Makes a calendar named `name` in the account's calendar home `home` (from a discovery).
    bool StartMakeCalendar(const CDavAccount& account, const QUrl& home, const QString& name);
    void Cancel();
    // The next sync compares the whole folder, as after Refresh.
    void ForgetLocalChanges() { m_changes.Forget(); }
    bool IsRunning() const { return m_thread != nullptr; }

signals:
    void progress(int done, int total);
    void syncFinished(const CSyncSummary& summary);
    void discoveryFinished(const CDiscovery& discovery);
    // The calendar made, or nullopt with the reason in `failure`.
    void calendarMade(const std::optional<CServerCalendar>& calendar, const QString& failure);

private:
    template <typename Work>
    bool Start(const CDavAccount& account, const CDavLimits& limits, Work work);
    void Finish();

    CSyncStoreGate& m_gate;
    CLocalChanges m_changes;
    CKeptSyncState m_kept; // only the sync's thread touches it, one sync at a time
    bool m_lastComplete = false;
    QThread* m_thread = nullptr;
    std::mutex m_clientLock; // guards m_client against Cancel from this thread
    CDavClient* m_client = nullptr;
};
