#include "share/CalendarExport.h"

#include "share/CalendarText.h"
#include "share/IcalHandle.h"
#include "store/FileIo.h"
#include "store/MeetingStore.h"

#include "Version.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Stands for every meeting's length: the program keeps only a start.
constexpr int defaultHours = 1;

std::string Uid(const std::string& meetingId) {
    return meetingId + "@" + CalendarNames::domain;
}

// Other programs expect a mailto: address for an attendee or organizer (Thunderbird and
// GNOME Calendar match people by it and drop or merge those without one), and keep two
// people with one address as one. The program keeps names only, so each person gets an
// address of their own in the reserved domain: unique, and no mail can ever reach it.
std::string Address(const std::string& meetingId, const std::string& who) {
    return "mailto:" + meetingId + "-" + who + "@" + CalendarNames::domain;
}

icalproperty* NewText(const char* xName, const std::string& stored) {
    icalproperty* property = icalproperty_new_x(FramedText(ToCalendarText(stored)).c_str());
    icalproperty_set_x_name(property, xName);
    return property;
}

void AddText(icalcomponent* component, const char* xName, const std::string& stored) {
    icalcomponent_add_property(component, NewText(xName, stored));
}

void AddWord(icalcomponent* component, const char* xName, const std::string& value) {
    icalproperty* property = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(property, xName);
    icalcomponent_add_property(component, property);
}

void AddNumber(icalcomponent* component, const char* xName, long long value) {
    AddWord(component, xName, std::to_string(value));
}

void AddXParameter(icalproperty* property, const char* xName, const std::string& value) {
    icalparameter* parameter = icalparameter_new_x(value.c_str());
    icalparameter_set_xname(parameter, xName);
    icalproperty_add_parameter(property, parameter);
}

std::string TimeOfDay(const CDateTime& time) {
    const CDateTime::Parts parts = time.GetParts();
    if (parts.hour < 0) {
        return "--:--";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", parts.hour, parts.minute);
    return text;
}

// What other programs show of the meeting: the fields they have no place for, as text.
std::string Description(const CMeeting& record, const CMeetingContent& content) {
    std::string text;
    const auto section = [&text](const std::string& part) {
        if (!part.empty()) {
            text += text.empty() ? "" : "\n\n";
            text += part;
        }
    };
    std::string header;
    if (!record.reference.empty()) {
        header += "Reference: " + ToCalendarText(record.reference);
    }
    if (!record.presidedBy.empty()) {
        header +=
            (header.empty() ? "" : "\n") + ("Presided by: " + ToCalendarText(record.presidedBy));
    }
    section(header);
    section(ToCalendarText(record.notes));
    if (content.agenda && !content.agenda->empty()) {
        std::string agenda = "Agenda:";
        for (const CAgendaItem& item : *content.agenda) {
            agenda += "\n" + TimeOfDay(item.time) + "  " + ToCalendarText(item.text);
        }
        section(agenda);
    }
    if (content.minutes && !content.minutes->empty()) {
        std::string minutes = "Minutes:";
        for (const std::string& minute : *content.minutes) {
            minutes += "\n- " + ToCalendarText(minute);
        }
        section(minutes);
    }
    return text;
}

std::string ContentLists(const CMeetingContent& content) {
    std::string lists;
    const auto add = [&lists](bool present, const char* name) {
        if (present) {
            lists += (lists.empty() ? "" : ",") + std::string(name);
        }
    };
    add(content.attendees.has_value(), "attendees");
    add(content.agenda.has_value(), "agenda");
    add(content.todos.has_value(), "todos");
    add(content.minutes.has_value(), "minutes");
    return lists.empty() ? "none" : lists;
}

icaltimetype FloatingTime(const CDateTime::Parts& parts) {
    icaltimetype time = icaltime_null_time();
    time.year = parts.year;
    time.month = parts.month;
    time.day = parts.day;
    time.hour = parts.hour;
    time.minute = parts.minute;
    time.second = parts.second;
    return time;
}

// The todo's priority as iCalendar ranks it: 1 highest, 9 lowest, 0 undefined.
int CalendarPriority(std::int32_t priority) {
    switch (priority) {
    case CTodoItem::high:
        return 1;
    case CTodoItem::medium:
        return 5;
    case CTodoItem::low:
        return 9;
    default:
        return 0;
    }
}

icalcomponent* BuildTodo(const std::string& meetingId, std::size_t index, const CTodoItem& todo,
                         const icaltimetype& stamp) {
    icalcomponent* component = icalcomponent_new(ICAL_VTODO_COMPONENT);
    icalcomponent_add_property(
        component, icalproperty_new_uid((meetingId + "-todo-" + std::to_string(index + 1) + "@" +
                                         CalendarNames::domain)
                                            .c_str()));
    icalcomponent_add_property(component, icalproperty_new_dtstamp(stamp));
    const std::string text = ToCalendarText(todo.text);
    if (!text.empty()) {
        icalcomponent_add_property(component, icalproperty_new_summary(text.c_str()));
    }
    icalcomponent_add_property(component,
                               icalproperty_new_priority(CalendarPriority(todo.priority)));
    icalcomponent_add_property(
        component,
        icalproperty_new_status(todo.done ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION));
    icalcomponent_add_property(component, icalproperty_new_relatedto(Uid(meetingId).c_str()));
    AddText(component, CalendarNames::todoText, todo.text);
    AddNumber(component, CalendarNames::priority, todo.priority);
    AddNumber(component, CalendarNames::done, todo.done);
    return component;
}

void AddMeeting(icalcomponent* calendar, const CExportedMeeting& meeting,
                const icaltimetype& stamp) {
    const CMeeting& record = meeting.record;
    const CMeetingContent& content = meeting.content;
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(Uid(record.id).c_str()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    const std::string title = ToCalendarText(record.title);
    if (!title.empty()) {
        icalcomponent_add_property(event, icalproperty_new_summary(title.c_str()));
    }
    const CDateTime::Parts parts = record.date.GetParts();
    if (parts.year >= 0) {
        // Floating: the meeting is at that wall-clock time wherever the file is opened, as
        // the program itself knows no time zones.
        icalcomponent_add_property(event, icalproperty_new_dtstart(FloatingTime(parts)));
        icaldurationtype duration = icaldurationtype_null_duration();
        duration.hours = defaultHours;
        icalcomponent_add_property(event, icalproperty_new_duration(duration));
    }
    // A meeting whose date is not valid goes without DTSTART: no made-up date; importing it
    // says it has none.
    const std::string venue = ToCalendarText(record.venue);
    if (!venue.empty()) {
        icalcomponent_add_property(event, icalproperty_new_location(venue.c_str()));
    }
    const std::string description = Description(record, content);
    if (!description.empty()) {
        icalcomponent_add_property(event, icalproperty_new_description(description.c_str()));
    }
    if (!record.presidedBy.empty()) {
        icalproperty* organizer =
            icalproperty_new_organizer(Address(record.id, "organizer").c_str());
        icalproperty_add_parameter(organizer,
                                   icalparameter_new_cn(ToCalendarText(record.presidedBy).c_str()));
        icalcomponent_add_property(event, organizer);
    }
    if (content.attendees) {
        std::size_t number = 0;
        for (const std::string& name : *content.attendees) {
            icalproperty* attendee = icalproperty_new_attendee(
                Address(record.id, "attendee-" + std::to_string(++number)).c_str());
            icalproperty_add_parameter(attendee,
                                       icalparameter_new_cn(ToCalendarText(name).c_str()));
            icalcomponent_add_property(event, attendee);
        }
    }

    // This program's own fields, exact, for its import.
    AddWord(event, CalendarNames::content, ContentLists(content));
    AddText(event, CalendarNames::reference, record.reference);
    AddText(event, CalendarNames::presidedBy, record.presidedBy);
    AddText(event, CalendarNames::notes, record.notes);
    AddNumber(event, CalendarNames::icon, record.icon);
    if (record.date.GetStatus() == CDateTime::valid && parts.year >= 0) {
        AddWord(event, CalendarNames::date, DayCountText(record.date.GetDayCount()));
    }
    if (content.attendees) {
        for (const std::string& name : *content.attendees) {
            AddText(event, CalendarNames::attendee, name);
        }
    }
    if (content.agenda) {
        for (const CAgendaItem& item : *content.agenda) {
            icalproperty* property = NewText(CalendarNames::agendaItem, item.text);
            AddXParameter(property, CalendarNames::time, DayCountText(item.time.GetDayCount()));
            if (item.time.GetStatus() != CDateTime::valid) {
                AddXParameter(property, CalendarNames::timeStatus,
                              std::to_string(item.time.GetStatus()));
            }
            icalcomponent_add_property(event, property);
        }
    }
    if (content.minutes) {
        for (const std::string& minute : *content.minutes) {
            AddText(event, CalendarNames::minute, minute);
        }
    }
    icalcomponent_add_component(calendar, event);

    if (content.todos) {
        for (std::size_t i = 0; i < content.todos->size(); ++i) {
            icalcomponent_add_component(calendar,
                                        BuildTodo(record.id, i, (*content.todos)[i], stamp));
        }
    }
}

} // namespace

std::string BuildCalendar(const std::vector<CExportedMeeting>& meetings) {
    CIcalComponent calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(
        calendar.get(), icalproperty_new_prodid("-//Tavelin//" TAVELIN_NAME_AND_VERSION "//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    const icaltimetype stamp = icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());
    for (const CExportedMeeting& meeting : meetings) {
        AddMeeting(calendar.get(), meeting, stamp);
    }
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    std::string result(text ? text : "");
    std::free(text);
    return result;
}

void ExportCalendar(const CMeetingStore& store, const std::vector<std::string>& ids,
                    const std::filesystem::path& file) {
    std::vector<CExportedMeeting> meetings;
    meetings.reserve(ids.size());
    for (const std::string& id : ids) {
        CExportedMeeting meeting{store.GetMeeting(id), {}};
        if (meeting.record.id.empty()) {
            continue; // deleted since the caller listed it
        }
        meeting.content = ReadMeetingContent(meeting.record.id);
        meetings.push_back(std::move(meeting));
    }
    WriteFileAtomically(file, BuildCalendar(meetings));
}
