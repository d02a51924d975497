#pragma once

#include "share/CalendarImport.h"
#include "store/DateTime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// A stored date as "YYYY-MM-DD hh:mm:ss", so that a failing import names the time it gave.
inline std::string When(const CDateTime& date) {
    const CDateTime::Parts p = date.GetParts();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second);
    return text;
}

// Another program's calendar around `body`, and an event of it.
inline std::string Calendar(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Calendar//EN\r\n" + body +
           "END:VCALENDAR\r\n";
}

inline std::string Event(const std::string& lines) {
    return "BEGIN:VEVENT\r\nDTSTAMP:20260101T000000Z\r\n" + lines + "END:VEVENT\r\n";
}

// The one meeting a file gives; a failed expectation where there is not exactly one.
inline CCalendarMeeting OnlyMeeting(const CCalendarImport& result) {
    EXPECT_EQ(result.meetings.size(), 1u);
    return result.meetings.empty() ? CCalendarMeeting{} : result.meetings[0];
}
