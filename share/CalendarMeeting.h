#pragma once

#include "export/MeetingPage.h"
#include "store/Meeting.h"

// A meeting with its lists, as an iCalendar file carries it: what the export writes and the
// import reads (whose record has an empty id until the store gives one).
struct CCalendarMeeting {
    CMeeting record;
    CMeetingContent content;
};
