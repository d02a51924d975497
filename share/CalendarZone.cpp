#include "share/CalendarZone.h"

#include <cstdlib>

namespace {

// What libical strips from a TZID before it looks the rest up as a file.
constexpr std::string_view ownPrefix = "/freeassociation.sourceforge.net/";
constexpr std::string_view fileTag = "Tzfile/";

bool IsZoneCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '+' || c == '.';
}

} // namespace

bool IsPlainZoneName(std::string_view tzid) {
    if (tzid.starts_with(ownPrefix)) {
        tzid.remove_prefix(ownPrefix.size());
        if (tzid.starts_with(fileTag)) {
            tzid.remove_prefix(fileTag.size());
        }
    }
    if (tzid.empty() || tzid.size() > 64) {
        return false;
    }
    std::size_t start = 0;
    while (start <= tzid.size()) {
        std::size_t end = tzid.find('/', start);
        end = end == std::string_view::npos ? tzid.size() : end;
        const std::string_view part = tzid.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        for (const char c : part) {
            if (!IsZoneCharacter(c)) {
                return false;
            }
        }
        start = end + 1;
    }
    return true;
}

bool DropUnsafeZone(icalproperty* start, icalcomponent* event) {
    icalparameter* parameter = icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER);
    const char* tzid = parameter ? icalparameter_get_tzid(parameter) : nullptr;
    if (!tzid || IsPlainZoneName(tzid)) {
        return false;
    }
    // A zone the file defines itself is only a name: libical finds it without any file.
    for (icalcomponent* parent = icalcomponent_get_parent(event); parent;
         parent = icalcomponent_get_parent(parent)) {
        if (icalcomponent_isa(parent) == ICAL_VCALENDAR_COMPONENT &&
            icalcomponent_get_timezone(parent, tzid)) {
            return false;
        }
    }
    icalproperty_remove_parameter_by_kind(start, ICAL_TZID_PARAMETER);
    return true;
}

bool OffsetIsPlausible(icaltimetype start) {
    icaltimezone* zone = const_cast<icaltimezone*>(start.zone);
    if (!zone || icaltime_is_utc(start)) {
        return true;
    }
    int daylight = 0;
    const int offset = icaltimezone_get_utc_offset(zone, &start, &daylight);
    return std::abs(offset) <= maxZoneOffsetSeconds;
}
