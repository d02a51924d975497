#pragma once

#include "share/CalendarMeeting.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class CMeetingStore;

// The UID a meeting's event carries: its id in this program's own domain.
std::string MeetingUid(std::string_view meetingId);

// The meetings as one iCalendar file (RFC 5545, UTF-8, CR LF, long lines folded): a VEVENT
// per meeting and a VTODO per todo, related to its meeting.
std::string BuildCalendar(const std::vector<CCalendarMeeting>& meetings);

// Writes the meetings `ids` of the store, with their content files, to `file` atomically;
// CFileError names the file and the reason.
void ExportCalendar(const CMeetingStore& store, const std::vector<std::string>& ids,
                    const std::filesystem::path& file);
