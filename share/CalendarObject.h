#pragma once

#include "share/CalendarMeeting.h"
#include "share/CalendarParseError.h"

#include <string>
#include <string_view>

// One meeting as one object of a calendar server (CalDAV), which takes components of one type
// with one UID only: a VCALENDAR holding one VEVENT, what the export writes for the meeting
// but with its todos inside the event (X-TAVELIN-TODO) and its notes alone as DESCRIPTION.
//
// With `base`, the server's current object of the meeting (perhaps another program's: a
// series, alarms, zones, properties this program does not know), the result is `base` with
// only those groups of mapped properties replaced whose meaning differs between `meeting` and
// ParseMeetingObject(base); everything else stays as libical writes it back. DTSTAMP becomes
// now, and a SEQUENCE goes up by one when anything changed. CCalendarParseError when `base`
// holds no usable event.
std::string BuildMeetingObject(const CCalendarMeeting& meeting, std::string_view uid,
                               std::string_view base = {});

// The meeting of an object's master event (the one without RECURRENCE-ID), as the import reads
// it, with its todos. Where another program edited a standard property after this program
// wrote its own field (the title, venue, notes, presided by, the attendees), the edit wins.
// The record's id is empty. CCalendarParseError when the text holds no usable event.
CCalendarMeeting ParseMeetingObject(std::string_view object);

// The UID of the object's master event ("" when none).
std::string ObjectUid(std::string_view object);
