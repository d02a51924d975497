#pragma once

#include "share/CalendarExport.h"
#include "share/CalendarMeeting.h"
#include "sync/LocalMeetings.h"
#include "sync/SyncRules.h"
#include "sync/SyncState.h"
#include "sync/SyncSummary.h"
#include <QString>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

class CDavClient;
struct CDavReply;
class CSyncStoreGate;

// One sync of the working directory with one calendar, run on a worker thread from start to
// end: read what changed on the server (one request when nothing did), compare with the
// folder and the last sync's state, and carry every change over by DecideSync. The state is
// saved as it goes; its sync token moves on only after a complete sync, so a sync that stops
// anywhere is taken up again by the next one.
class CSyncRun {
public:
    // Runs `work` on the window's thread and waits for it.
    using OnWindowThread = std::function<void(const std::function<void()>& work)>;
    using Progress = std::function<void(int done, int total)>;

    // `changed`: the meetings written here since the last complete sync, when known (else the
    // folder is compared whole); `kept`: the state the last sync left in memory.
    CSyncRun(CDavClient& client, CSyncStoreGate& gate, OnWindowThread onWindowThread,
             std::filesystem::path folder, QUrl calendar, QString stateFile, Progress progress = {},
             std::optional<std::set<std::string>> changed = {}, CKeptSyncState* kept = nullptr);
    CSyncSummary Run();

private:
    struct CServerObject {
        QString etag;
        QByteArray data;
        bool gone = false;
    };
    struct CItem {
        std::string id; // the meeting here; empty when there is none
        QString href;   // the object there; empty when there is none yet
        QString uid;
        CSyncFacts facts;
        QString etag;
        QByteArray data;
        std::optional<CCalendarMeeting> serverMeeting;
    };

    bool ReadServerChanges();
    bool ReadWholeCalendar();
    bool Fetch(const std::vector<QString>& paths);
    void Plan();
    void PlanPairs(std::set<QString>& pairedPaths, std::vector<QString>& fetch);
    void PairUnpaired(std::vector<std::string>& localOnly, std::vector<QString>& serverOnly);
    bool SameAtHeart(const std::string& id, const QByteArray& object) const;
    void Judge(CItem& item);
    void Execute();
    void AddLocal(std::vector<CItem*>& items);
    bool Act(CItem& item, SyncAction action);
    bool SendMeeting(CItem& item, QString uid, const QByteArray& base, bool isNew);
    bool KeepBoth(CItem& item);
    bool Gate(const std::function<void()>& change);
    const std::unordered_set<std::string>& Listed();
    bool Failed(const CDavReply& reply, const QString& what);
    void Record(const std::string& id, const QString& href, const QString& uid, const QString& etag,
                const QByteArray& data);

    // The UID our own export gives the meeting `id`.
    static QString OwnUid(const std::string& id) { return QString::fromStdString(MeetingUid(id)); }
    QString PathOf(const QString& href) const;
    QUrl UrlOf(const QString& path) const;
    bool Stopped() const { return !m_summary.failure.isEmpty(); }

    CDavClient& m_client;
    CSyncStoreGate& m_gate;
    OnWindowThread m_onWindowThread;
    std::filesystem::path m_folder;
    QUrl m_calendar;
    QString m_stateFile;
    Progress m_progress;
    std::optional<std::set<std::string>> m_changed;
    CKeptSyncState* m_kept;

    CSyncState m_state;
    std::map<QString, CServerObject> m_server; // by path: what the listing said changed
    bool m_fullListing = false;
    QString m_newToken;
    std::map<std::string, CLocalMeeting> m_local;
    std::vector<CItem> m_items;
    CSyncSummary m_summary;
    bool m_stateChanged = false; // the state differs from its file
    std::optional<std::unordered_set<std::string>> m_listed;
};
