#pragma once

#include <libical/ical.h>

#include <string_view>

// Whether libical may look `tzid` up among the system's zone files: a plain zone name such as
// "Europe/Berlin" or "EST5EDT" (with or without libical's own prefix), never a path that could
// leave the zone folder ("../..", "/tmp/x"), since libical opens whatever file the name makes.
bool IsPlainZoneName(std::string_view tzid);

// The largest offset from UTC any place has ever used is 15 hours; beyond 18 hours (the most
// iCalendar's own time zones allow) a zone is damaged, not a place.
inline constexpr int maxZoneOffsetSeconds = 18 * 3600;

// Removes the TZID of a start that names neither a zone of the file nor a plain zone name,
// before libical resolves it; true when it did.
bool DropUnsafeZone(icalproperty* start, icalcomponent* event);

// Whether the start's zone puts it within maxZoneOffsetSeconds of UTC.
bool OffsetIsPlausible(icaltimetype start);
