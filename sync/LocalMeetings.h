#pragma once

#include "share/CalendarMeeting.h"
#include "sync/SyncState.h"
#include <QByteArray>
#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

// A meeting of the working directory as the sync sees it.
struct CLocalMeeting {
    QByteArray stamp;  // its files' names, sizes and times
    QByteArray digest; // MeetingDigest of what they hold
};

// What a meeting means, as a digest: equal for a meeting here and one read from the server
// exactly when the store would write the same files for both. `meeting.record.id` must be set.
QByteArray MeetingDigest(const CCalendarMeeting& meeting);

// Every meeting of `folder`, read on the calling thread (never the store's). A meeting whose
// files carry the stamp the state remembers keeps the state's digest without being read.
std::map<std::string, CLocalMeeting> ScanLocalMeetings(const std::filesystem::path& folder,
                                                       const CSyncState& state,
                                                       const std::atomic<bool>& cancelled);

// The same from the state alone for every meeting but `changed`, which are read afresh: what
// a sync with only a few changes heard of here costs.
std::map<std::string, CLocalMeeting> ScanChangedMeetings(const std::filesystem::path& folder,
                                                         const CSyncState& state,
                                                         const std::set<std::string>& changed);

// The meeting `id` with its lists as its files hold them now, and their stamp; nullopt when
// its meeting file is missing or damaged.
std::optional<CCalendarMeeting> ReadLocalMeeting(const std::filesystem::path& folder,
                                                 const std::string& id,
                                                 QByteArray* stamp = nullptr);
