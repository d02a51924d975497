#include "share/CalendarExport.h"

#include "share/CalendarEventParts.h"
#include "share/CalendarText.h"
#include "share/IcalHandle.h"
#include "store/ContentFiles.h"
#include "store/FileIo.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"

#include "Version.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unordered_set>

namespace {

// Stands for every meeting's length: the program keeps only a start.
constexpr int defaultHours = 1;

} // namespace

// Other programs expect a mailto: address for an attendee or organizer (Thunderbird and
// GNOME Calendar match people by it and drop or merge those without one), and keep two
// people with one address as one. The program keeps names only, so each person gets an
// address of their own in the reserved domain: unique, and no mail can ever reach it.
std::string PersonAddress(const std::string& meetingId, const std::string& who) {
    // Ids are digits; any other character of an odd one is left out of the address.
    std::string local;
    for (const char c : meetingId) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            local += c;
        }
    }
    return "mailto:" + local + "-" + who + "@" + CalendarNames::domain;
}

void AddXParameter(icalproperty* property, const char* xName, const std::string& value) {
    icalparameter* parameter = icalparameter_new_x(value.c_str());
    icalparameter_set_xname(parameter, xName);
    icalproperty_add_parameter(property, parameter);
}

// The blanks a text starts with go into a parameter: libical drops them from a value it reads.
icalproperty* NewOwnText(const char* xName, const std::string& stored) {
    const std::string text = ToCalendarText(stored);
    const std::string lead = LeadingBlanksWord(text);
    icalproperty* property =
        icalproperty_new_x(FramedText(std::string_view(text).substr(lead.size())).c_str());
    icalproperty_set_x_name(property, xName);
    if (!lead.empty()) {
        AddXParameter(property, CalendarNames::lead, lead);
    }
    return property;
}

namespace {

void AddText(icalcomponent* component, const char* xName, const std::string& stored) {
    icalcomponent_add_property(component, NewOwnText(xName, stored));
}

void AddWord(icalcomponent* component, const char* xName, const std::string& value) {
    icalproperty* property = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(property, xName);
    icalcomponent_add_property(component, property);
}

void AddNumber(icalcomponent* component, const char* xName, long long value) {
    AddWord(component, xName, std::to_string(value));
}

std::string PersonText(const std::string& stored) {
    return EncodeParameterValue(ToCalendarText(stored));
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

} // namespace

std::string ExportDescription(const CMeeting& record, const CMeetingContent& content) {
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

namespace {

// A floating DTSTART. libical writes a time after 2999 as 00000000T000000, which no reader
// takes; a value made from its text keeps that text and is written as it is.
icalproperty* FloatingStart(const CDateTime::Parts& parts) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d", parts.year, parts.month,
                  parts.day, parts.hour, parts.minute, parts.second);
    icalvalue* value = icalvalue_new_from_string(ICAL_DATETIME_VALUE, text);
    if (!value) {
        return nullptr;
    }
    icalproperty* start = icalproperty_new(ICAL_DTSTART_PROPERTY);
    icalproperty_set_value(start, value);
    return start;
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
    icalcomponent_add_property(component,
                               icalproperty_new_relatedto(MeetingUid(meetingId).c_str()));
    AddText(component, CalendarNames::todoText, todo.text);
    AddNumber(component, CalendarNames::priority, todo.priority);
    AddNumber(component, CalendarNames::done, todo.done);
    return component;
}

void AppendComponent(std::string& text, icalcomponent* component) {
    char* serialized = icalcomponent_as_ical_string_r(component);
    if (serialized) {
        text += serialized;
        std::free(serialized);
    }
    icalcomponent_free(component);
}

// The standard properties every calendar program shows. False when the meeting has no valid
// date and so goes without DTSTART.
bool AddStandardFields(icalcomponent* event, const CCalendarMeeting& meeting,
                       const icaltimetype& stamp) {
    const CMeeting& record = meeting.record;
    const CMeetingContent& content = meeting.content;
    icalcomponent_add_property(event, icalproperty_new_uid(MeetingUid(record.id).c_str()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    const std::string title = ToCalendarText(record.title);
    if (!title.empty()) {
        icalcomponent_add_property(event, icalproperty_new_summary(title.c_str()));
    }
    const CDateTime::Parts parts = record.date.GetParts();
    icalproperty* start = parts.year >= 0 ? FloatingStart(parts) : nullptr;
    if (start) {
        // Floating: the meeting is at that wall-clock time wherever the file is opened, as
        // the program itself knows no time zones.
        icalcomponent_add_property(event, start);
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
    const std::string description = ExportDescription(record, content);
    if (!description.empty()) {
        icalcomponent_add_property(event, icalproperty_new_description(description.c_str()));
    }
    return start != nullptr;
}

// Who presided as the ORGANIZER and the attendees as ATTENDEEs, each with the name as its CN.
void AddPeople(icalcomponent* event, const CMeeting& record, const CMeetingContent& content) {
    if (!record.presidedBy.empty()) {
        icalproperty* organizer =
            icalproperty_new_organizer(PersonAddress(record.id, "organizer").c_str());
        icalproperty_add_parameter(organizer,
                                   icalparameter_new_cn(PersonText(record.presidedBy).c_str()));
        icalcomponent_add_property(event, organizer);
    }
    if (content.attendees) {
        std::size_t number = 0;
        for (const std::string& name : *content.attendees) {
            icalproperty* attendee = icalproperty_new_attendee(
                PersonAddress(record.id, "attendee-" + std::to_string(++number)).c_str());
            icalproperty_add_parameter(attendee, icalparameter_new_cn(PersonText(name).c_str()));
            icalcomponent_add_property(event, attendee);
        }
    }
}

// This program's own fields, exact, for its import.
void AddOwnFields(icalcomponent* event, const CMeeting& record, const CMeetingContent& content,
                  bool start) {
    AddWord(event, CalendarNames::content, ContentLists(content));
    AddText(event, CalendarNames::title, record.title);
    AddText(event, CalendarNames::venue, record.venue);
    AddText(event, CalendarNames::reference, record.reference);
    AddText(event, CalendarNames::presidedBy, record.presidedBy);
    AddText(event, CalendarNames::notes, record.notes);
    AddNumber(event, CalendarNames::icon, record.icon);
    if (record.date.GetStatus() == CDateTime::valid && start) {
        AddWord(event, CalendarNames::date, DayCountText(record.date.GetDayCount()));
    }
    if (content.attendees) {
        for (const std::string& name : *content.attendees) {
            AddText(event, CalendarNames::attendee, name);
        }
    }
    if (content.agenda) {
        for (const CAgendaItem& item : *content.agenda) {
            icalproperty* property = NewOwnText(CalendarNames::agendaItem, item.text);
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
}

} // namespace

icalcomponent* NewMeetingEvent(const CCalendarMeeting& meeting, const icaltimetype& stamp) {
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    const bool start = AddStandardFields(event, meeting, stamp);
    AddPeople(event, meeting.record, meeting.content);
    AddOwnFields(event, meeting.record, meeting.content, start);
    return event;
}

icalcomponent* NewCalendarComponent() {
    icalcomponent* calendar = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(
        calendar, icalproperty_new_prodid("-//Tavelin//" TAVELIN_NAME_AND_VERSION "//EN"));
    icalcomponent_add_property(calendar, icalproperty_new_version("2.0"));
    return calendar;
}

namespace {

// The meeting's VEVENT and its VTODOs, appended to `text` one by one, so that the export of
// a whole folder never holds more than one meeting as components.
void AppendMeeting(std::string& text, const CCalendarMeeting& meeting, const icaltimetype& stamp) {
    const CMeeting& record = meeting.record;
    const CMeetingContent& content = meeting.content;
    AppendComponent(text, NewMeetingEvent(meeting, stamp));

    if (content.todos) {
        for (std::size_t i = 0; i < content.todos->size(); ++i) {
            AppendComponent(text, BuildTodo(record.id, i, (*content.todos)[i], stamp));
        }
    }
}

// The calendar's own lines around its meetings, as libical writes them.
struct CCalendarFrame {
    std::string start;
    std::string end;
};

CCalendarFrame CalendarFrame() {
    CIcalComponent calendar(NewCalendarComponent());
    char* serialized = icalcomponent_as_ical_string_r(calendar.get());
    const std::string text(serialized ? serialized : "");
    std::free(serialized);
    const std::size_t end = text.rfind("END:VCALENDAR");
    return {text.substr(0, end), text.substr(end)};
}

icaltimetype Now() {
    return icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());
}

// The names of the working directory's files, listed once: most meetings have no content
// files, and asking for four missing files per meeting costs more than the rest of the export.
std::unordered_set<std::string> FolderNames() {
    std::unordered_set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(GetWorkingDirectory(), error), end;
         !error && entry != end; entry.increment(error)) {
        names.insert(entry->path().filename().string());
    }
    return names;
}

// A content list as ReadMeetingContent reads it, for a file the listing holds.
template <typename Item, typename Decode>
std::optional<std::vector<Item>> ReadListed(const std::unordered_set<std::string>& names,
                                            ContentKind kind, const std::string& id,
                                            Decode decode) {
    const std::filesystem::path path = ContentFilePath(kind, TrimId(id));
    std::string bytes;
    if (!names.contains(path.filename().string()) ||
        ReadWholeFile(path, bytes) == ReadStatus::unreadable) {
        return std::nullopt;
    }
    return decode(bytes);
}

CMeetingContent ReadListedContent(const std::unordered_set<std::string>& names,
                                  const std::string& id) {
    CMeetingContent content;
    content.attendees =
        ReadListed<std::string>(names, ContentKind::attendees, id, DecodeStringList);
    content.agenda = ReadListed<CAgendaItem>(names, ContentKind::agenda, id, DecodeAgenda);
    content.todos = ReadListed<CTodoItem>(names, ContentKind::todos, id, DecodeTodos);
    content.minutes = ReadListed<std::string>(names, ContentKind::minutes, id, DecodeStringList);
    return content;
}

} // namespace

std::string MeetingUid(std::string_view meetingId) {
    return ToCalendarText(meetingId) + "@" + CalendarNames::domain;
}

std::string BuildCalendar(const std::vector<CCalendarMeeting>& meetings) {
    const CCalendarFrame frame = CalendarFrame();
    const icaltimetype stamp = Now();
    std::string text = frame.start;
    for (const CCalendarMeeting& meeting : meetings) {
        AppendMeeting(text, meeting, stamp);
    }
    return text + frame.end;
}

void ExportCalendar(const CMeetingStore& store, const std::vector<std::string>& ids,
                    const std::filesystem::path& file) {
    const CCalendarFrame frame = CalendarFrame();
    const icaltimetype stamp = Now();
    const std::unordered_set<std::string> names = FolderNames();
    std::string text = frame.start;
    for (const std::string& id : ids) {
        CCalendarMeeting meeting{store.GetMeeting(id), {}};
        if (meeting.record.id.empty()) {
            continue; // deleted since the caller listed it
        }
        meeting.content = ReadListedContent(names, meeting.record.id);
        AppendMeeting(text, meeting, stamp);
    }
    text += frame.end;
    WriteFileAtomically(file, text);
}
