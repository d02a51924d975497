#pragma once

#include "share/CalendarMeeting.h"

#include <libical/ical.h>

#include <string>
#include <string_view>

// What goes into a calendar server's object of a meeting that is there already.
struct CObjectMerge {
    const CCalendarMeeting& meeting; // what the object is to say
    const CCalendarMeeting& old;     // what it says now
    icalcomponent* fresh;            // the meeting's event as if there were no object yet
    std::string_view uid;
    icaltimetype stamp;
};

// Replaces in `master`, the object's master event, every group of mapped properties whose
// meaning differs between `merge.meeting` and `merge.old` by the group of `merge.fresh`; sets
// the UID of every component of `root` that had the master's, DTSTAMP, and steps SEQUENCE
// when anything changed. Whatever this program does not map stays as it is.
void MergeIntoBase(icalcomponent* root, icalcomponent* master, const CObjectMerge& merge);

void RemoveProperties(icalcomponent* component, icalproperty_kind kind);
void RemovePropertiesEverywhere(icalcomponent* component, icalproperty_kind kind);

// A stored text as libical reads it back from a standard property or a parameter: it drops
// the blanks the text starts and ends with.
std::string StandardForm(std::string_view stored);
// An attendee as the object's attendee list names it, in that form: its CN, even a blank one,
// else the name other programs read from its address.
std::string AttendeeKey(icalproperty* attendee);
// The CN of the ORGANIZER in that form ("" when it has none).
std::string OrganizerName(icalcomponent* event);
