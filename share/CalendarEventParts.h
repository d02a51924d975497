#pragma once

#include "share/CalendarMeeting.h"

#include <libical/ical.h>

#include <string>
#include <vector>

// The export's and the import's handling of one event, shared with the calendar server's
// objects so that a meeting is mapped to iCalendar in one place only. Defined in
// CalendarExport.cpp and CalendarImport.cpp.

// --- Written as the export writes them.

// A VCALENDAR with this program's PRODID and VERSION, and nothing in it.
icalcomponent* NewCalendarComponent();
// The meeting's VEVENT as the export writes it, without its todos.
icalcomponent* NewMeetingEvent(const CCalendarMeeting& meeting, const icaltimetype& stamp);
// One of this program's own texts, exact (an end mark, leading blanks in a parameter).
icalproperty* NewOwnText(const char* xName, const std::string& stored);
void AddXParameter(icalproperty* property, const char* xName, const std::string& value);
// The address a person of the meeting gets ("organizer", "attendee-3").
std::string PersonAddress(const std::string& meetingId, const std::string& who);
// What the export's DESCRIPTION says: the fields other programs have no place for, as text.
std::string ExportDescription(const CMeeting& record, const CMeetingContent& content);
// The content mark's value: which lists the meeting has.
std::string ContentLists(const CMeetingContent& content);

// --- Read as the import reads them.

// Why a start's zone was not used: its time stays as written.
enum class ZoneTrouble { none, unknown, implausible };

struct CEventStart {
    CDateTime date;    // the start in this system's wall time
    icaltimetype time; // DTSTART as written
    ZoneTrouble zone = ZoneTrouble::none;
};

// The event's start as a meeting's date; nullptr, or why the event gives no meeting.
const char* ReadEventStart(icalcomponent* event, CEventStart& start);
// What every program writes: SUMMARY, LOCATION, DESCRIPTION, ORGANIZER and ATTENDEE names.
void ReadStandardFields(icalcomponent* event, CCalendarMeeting& meeting);
// What this program wrote of its own, in place of the standard fields.
void ReadOwnFields(icalcomponent* event, CCalendarMeeting& meeting, const icaltimetype& start);
// This program's own properties of a component by name, in file order; one of their texts.
std::vector<icalproperty*> XProperties(icalcomponent* component, const char* name);
icalproperty* XProperty(icalcomponent* component, const char* name);
std::string OwnText(icalproperty* property);
// A person as other programs name them: the CN, else the address without "mailto:".
std::string PersonName(icalproperty* property, const char* address);
// The value of a property's X- parameter `name` ("" when it has none).
std::string XParameterValue(icalproperty* property, const char* name);
