#pragma once

#include "share/CalendarMeeting.h"
#include "share/CalendarParseError.h"

#include <cstddef>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class CMeetingStore;

// An entry of the file that became no meeting, or became one with a remark.
struct CImportRemark {
    std::string summary; // the entry's SUMMARY, UTF-8
    std::string reason;  // UTF-8, for the summary the user reads
};

struct CCalendarImport {
    std::vector<CCalendarMeeting> meetings;
    std::vector<CImportRemark> skipped; // no meeting made
    std::vector<CImportRemark> remarks; // made, with something left out (a recurrence)
};

// Every VEVENT of an iCalendar text as a meeting; this program's own export comes back with
// its agenda, minutes and todos.
CCalendarImport ParseCalendar(std::string_view text);

// Whether each of the meeting's files stays within what the store's readers take in
// (maxDataFileSize, store/FileIo.h): a larger one would be written, then found damaged at the
// next start and the meeting lost with it.
bool FitsStoredFiles(const CCalendarMeeting& meeting);

// Hears how many meetings of how many are stored so far.
using ImportProgress = std::function<void(std::size_t stored, std::size_t total)>;

// Stores the meetings with their content files through the store's AddMeetings (so ids stay
// unique, and many meetings cost few flushes). Returns how many were stored; CFileError when a
// write fails (the meetings stored before it stay, each with all of its lists).
std::size_t StoreImportedMeetings(CMeetingStore& store, std::span<const CCalendarMeeting> meetings,
                                  const ImportProgress& progress = {});
inline std::size_t StoreImportedMeetings(CMeetingStore& store,
                                         const std::vector<CCalendarMeeting>& meetings,
                                         const ImportProgress& progress = {}) {
    return StoreImportedMeetings(store, std::span<const CCalendarMeeting>(meetings), progress);
}
