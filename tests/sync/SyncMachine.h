#pragma once

#include "share/CalendarMeeting.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "sync/SyncEngine.h"
#include "sync/SyncStoreGate.h"
#include "tests/support/TempFolder.h"
#include <QString>
#include <QUrl>
#include <map>
#include <optional>
#include <string>

// One computer of a sync test: a working directory of its own with its store, synced by the
// real engine on its own thread; its sync state lives in the test's data folder.
class CSyncMachine {
public:
    explicit CSyncMachine(const QString& name);

    // Makes this machine's folder the working directory (the store writes there).
    CMeetingStore& Store();
    std::string Add(const CCalendarMeeting& meeting);
    void Change(const CCalendarMeeting& meeting);
    void Delete(const std::string& id);

    // One whole sync with `calendar` through `server` (the server itself, or a proxy in
    // front of it), waited for.
    CSyncSummary Sync(const QUrl& server, const QUrl& calendar, const CDavLimits& limits = {},
                      const QByteArray& trustedCertificate = {});
    QString StateFile(const QUrl& calendar) const;
    // The next change the sync makes here fails as a full disk would.
    void FailNextWrite() { m_gate.failures = 1; }
    // The program closes and starts again: what it heard of its own writes is gone.
    void Restart() { m_engine.emplace(m_gate); }
    // The next sync is cancelled this long after it starts.
    void CancelAfter(int ms) { m_cancelAfterMs = ms; }

    // Every meeting of the folder as its files hold it, by title (titles are unique in the
    // tests), ids blanked so two folders compare.
    std::map<std::string, CCalendarMeeting> Meetings() const;
    std::string IdOf(const std::string& title) const;
    const std::filesystem::path& Folder() const { return m_folder.Path(); }

    static inline const char* user = "ann";
    static inline const char* password = "secret";

private:
    QString m_name;
    CTempFolder m_folder;
    CMeetingStore m_store;
    // The store's gate, which can be told to fail.
    struct CFailingGate : CStoreSyncGate {
        using CStoreSyncGate::CStoreSyncGate;
        std::vector<std::string> Add(const std::vector<CCalendarMeeting>& meetings,
                                     const std::unordered_set<std::string>& listed) override {
            Check();
            return CStoreSyncGate::Add(meetings, listed);
        }
        void Change(const CCalendarMeeting& meeting) override {
            Check();
            CStoreSyncGate::Change(meeting);
        }
        void Check() {
            if (failures > 0 && failures--) {
                throw CFileError("meeting.mtg", "No space left on device");
            }
        }
        int failures = 0;
    };
    CFailingGate m_gate{m_store};
    std::optional<CSyncEngine> m_engine{std::in_place, m_gate};
    int m_cancelAfterMs = -1;
};

// A meeting with all its lists, for tests.
CCalendarMeeting SampleMeeting(const std::string& title, int day);
