#pragma once

#include "share/CalendarMeeting.h"
#include <string>
#include <unordered_set>
#include <vector>

class CMeetingStore;

// How the sync changes meetings here. Called on the window's thread only, which alone touches
// the store; each change is written through as any save is (the search index hears it too).
// CFileError when a write fails.
class CSyncStoreGate {
public:
    virtual ~CSyncStoreGate() = default;
    // New meetings with all their lists; returns their ids in order. `listed` are the ids that
    // files of the folder had when the sync listed it (the store's AddMeetings).
    virtual std::vector<std::string> Add(const std::vector<CCalendarMeeting>& meetings,
                                         const std::unordered_set<std::string>& listed) = 0;
    // The meeting `meeting.record.id` becomes `meeting`; a list that is nullopt loses its file.
    virtual void Change(const CCalendarMeeting& meeting) = 0;
    virtual void Delete(const std::string& id) = 0;
};

// The gate onto the program's one store.
class CStoreSyncGate : public CSyncStoreGate {
public:
    explicit CStoreSyncGate(CMeetingStore& store) : m_store(store) {}
    std::vector<std::string> Add(const std::vector<CCalendarMeeting>& meetings,
                                 const std::unordered_set<std::string>& listed) override;
    void Change(const CCalendarMeeting& meeting) override;
    void Delete(const std::string& id) override;

private:
    CMeetingStore& m_store;
};
