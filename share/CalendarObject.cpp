#include "share/CalendarObject.h"

#include "share/CalendarEventParts.h"
#include "share/CalendarSource.h"
#include "share/CalendarText.h"
#include "share/IcalHandle.h"
#include "share/ObjectMerge.h"
#include "share/ServerSafeText.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace {

CIcalComponent ParseObjectText(std::string_view text) {
    const std::string copy = ParserInput(text);
    // A broken object must come back as an error, whatever libical was built to do with one.
    icalerror_set_errors_are_fatal(0);
    CIcalComponent root(icalparser_parse_string(copy.c_str()));
    if (!root) {
        throw CCalendarParseError("The object is not iCalendar text.");
    }
    return root;
}

std::string Serialized(icalcomponent* component) {
    char* text = icalcomponent_as_ical_string_r(component);
    std::string serialized(text ? text : "");
    std::free(text);
    return serialized;
}

// The object's master event: the first without RECURRENCE-ID, else (an occurrence alone) the
// first event of its calendars.
icalcomponent* MasterEvent(icalcomponent* root) {
    std::vector<icalcomponent*> calendars;
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root);
    }
    for (icalcomponent* child = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
         child; child = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
        calendars.push_back(child);
    }
    icalcomponent* first = nullptr;
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* event =
                 icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             event; event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
            if (!icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
                return event;
            }
            first = first ? first : event;
        }
    }
    return first;
}

icalproperty* NewOwnWord(const char* xName, const std::string& value) {
    icalproperty* property = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(property, xName);
    return property;
}

template <typename Number> bool ParseWhole(std::string_view text, Number& number) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

icalproperty* NewTodoProperty(const CTodoItem& todo) {
    icalproperty* property = NewOwnText(CalendarNames::todo, todo.text);
    AddXParameter(property, CalendarNames::priority, std::to_string(todo.priority));
    AddXParameter(property, CalendarNames::done, std::to_string(todo.done));
    return property;
}

CTodoItem ReadTodoProperty(icalproperty* property) {
    CTodoItem todo;
    todo.text = OwnText(property);
    ParseWhole(XParameterValue(property, CalendarNames::priority), todo.priority);
    ParseWhole(XParameterValue(property, CalendarNames::done), todo.done);
    return todo;
}

// The meeting's event as the object holds it when no server object is there yet.
icalcomponent* NewObjectEvent(const CCalendarMeeting& meeting, std::string_view uid,
                              const icaltimetype& stamp) {
    icalcomponent* event = NewMeetingEvent(meeting, stamp);
    icalcomponent_set_uid(event, std::string(uid).c_str());
    // A phone edits DESCRIPTION: it holds the notes alone, so that an edit can be read back.
    RemoveProperties(event, ICAL_DESCRIPTION_PROPERTY);
    const std::string notes = ToCalendarText(meeting.record.notes);
    if (!notes.empty()) {
        icalcomponent_add_property(event, icalproperty_new_description(notes.c_str()));
    }
    // Without a start there is no DTSTART: the date, even one that is not valid, is kept
    // exactly in our own property.
    const CDateTime& date = meeting.record.date;
    if (!icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY)) {
        icalproperty* own = NewOwnWord(CalendarNames::date, DayCountText(date.GetDayCount()));
        if (date.GetStatus() != CDateTime::valid) {
            AddXParameter(own, CalendarNames::timeStatus, std::to_string(date.GetStatus()));
        }
        icalcomponent_add_property(event, own);
    }
    if (meeting.content.todos) {
        for (const CTodoItem& todo : *meeting.content.todos) {
            icalcomponent_add_property(event, NewTodoProperty(todo));
        }
    }
    return event;
}

// The date of our own event without a start, as NewObjectEvent wrote it.
CDateTime OwnDate(icalcomponent* event) {
    icalproperty* own = XProperty(event, CalendarNames::date);
    const char* value = own ? icalproperty_get_x(own) : nullptr;
    double dayCount = 0.0;
    if (!value || !ParseDayCount(value, dayCount)) {
        return CDateTime(0.0, CDateTime::invalid);
    }
    int status = CDateTime::valid;
    ParseWhole(XParameterValue(own, CalendarNames::timeStatus), status);
    if (status != CDateTime::valid && status != CDateTime::null) {
        status = CDateTime::invalid;
    }
    return CDateTime(dayCount, static_cast<CDateTime::Status>(status));
}

// A standard text property's text as libical gives it ("" when absent).
std::string StandardText(icalcomponent* event, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(event, kind);
    icalvalue* value = property ? icalproperty_get_value(property) : nullptr;
    const char* text =
        value && icalvalue_isa(value) == ICAL_TEXT_VALUE ? icalvalue_get_text(value) : nullptr;
    return text ? text : "";
}

// The names the ATTENDEE lines give, in order of name: the order of the lines is not ours to
// keep.
std::vector<std::string> AttendeeNames(icalcomponent* event) {
    std::vector<std::string> names;
    for (icalproperty* attendee = icalcomponent_get_first_property(event, ICAL_ATTENDEE_PROPERTY);
         attendee; attendee = icalcomponent_get_next_property(event, ICAL_ATTENDEE_PROPERTY)) {
        names.push_back(AttendeeKey(attendee));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> SortedStandardForms(const std::optional<std::vector<std::string>>& list) {
    std::vector<std::string> texts;
    for (const std::string& text : list.value_or(std::vector<std::string>())) {
        texts.push_back(StandardForm(text));
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

// A standard property that no longer says what our own field maps to was edited by another
// program after we wrote it: the edit wins.
void PreferEditedStandard(icalcomponent* event, CCalendarMeeting& meeting,
                          const CCalendarMeeting& standard) {
    CMeeting& record = meeting.record;
    if (StandardText(event, ICAL_SUMMARY_PROPERTY) != StandardForm(record.title)) {
        record.title = standard.record.title;
    }
    if (StandardText(event, ICAL_LOCATION_PROPERTY) != StandardForm(record.venue)) {
        record.venue = standard.record.venue;
    }
    // The export's file, put on a server, holds the whole description: no edit either.
    const std::string description = StandardText(event, ICAL_DESCRIPTION_PROPERTY);
    if (description != StandardForm(record.notes) &&
        description != StandardForm(ExportDescription(record, meeting.content))) {
        record.notes = standard.record.notes;
    }
    if (OrganizerName(event) != StandardForm(record.presidedBy)) {
        record.presidedBy = standard.record.presidedBy;
    }
    if (AttendeeNames(event) != SortedStandardForms(meeting.content.attendees)) {
        meeting.content.attendees = standard.content.attendees.value_or(std::vector<std::string>());
    }
}

CCalendarMeeting ReadObjectEvent(icalcomponent* event) {
    const bool marked = XProperty(event, CalendarNames::content) != nullptr;
    CEventStart start;
    start.time = icaltime_null_time();
    if (marked && !icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY)) {
        start.date = OwnDate(event);
    } else if (const char* fault = ReadEventStart(event, start)) {
        throw CCalendarParseError(fault);
    }
    CCalendarMeeting standard{CMeeting(start.date), {}};
    ReadStandardFields(event, standard);
    if (!marked) {
        return standard;
    }
    CCalendarMeeting meeting = standard;
    ReadOwnFields(event, meeting, start.time);
    if (meeting.content.todos) {
        for (icalproperty* property : XProperties(event, CalendarNames::todo)) {
            meeting.content.todos->push_back(ReadTodoProperty(property));
        }
    }
    PreferEditedStandard(event, meeting, standard);
    return meeting;
}

icaltimetype Now() {
    return icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());
}

} // namespace

std::string BuildMeetingObject(const CCalendarMeeting& meeting, std::string_view uid,
                               std::string_view base) {
    const icaltimetype stamp = Now();
    CIcalComponent fresh(NewObjectEvent(meeting, uid, stamp));
    if (base.empty()) {
        CIcalComponent calendar(NewCalendarComponent());
        icalcomponent_add_component(calendar.get(), fresh.release());
        return EscapeOwnValueSeparators(Serialized(calendar.get()));
    }
    const CCalendarMeeting old = ParseMeetingObject(base);
    CIcalComponent root = ParseObjectText(base);
    // libical's notes on what it could not read are no part of the object.
    RemovePropertiesEverywhere(root.get(), ICAL_XLICERROR_PROPERTY);
    MergeIntoBase(root.get(), MasterEvent(root.get()), {meeting, old, fresh.get(), uid, stamp});
    return EscapeOwnValueSeparators(Serialized(root.get()));
}

CCalendarMeeting ParseMeetingObject(std::string_view object) {
    CIcalComponent root = ParseObjectText(object);
    icalcomponent* event = MasterEvent(root.get());
    if (!event) {
        throw CCalendarParseError("The object holds no event.");
    }
    return ReadObjectEvent(event);
}

std::string ObjectUid(std::string_view object) {
    try {
        CIcalComponent root = ParseObjectText(object);
        icalcomponent* event = MasterEvent(root.get());
        const char* uid = event ? icalcomponent_get_uid(event) : nullptr;
        return uid ? uid : "";
    } catch (const CCalendarParseError&) {
        return "";
    }
}
