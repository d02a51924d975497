#include "share/CalendarImport.h"

#include "share/CalendarEventParts.h"
#include "share/CalendarSource.h"
#include "share/CalendarText.h"
#include "share/CalendarZone.h"
#include "share/IcalHandle.h"
#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <set>
#include <unordered_map>

namespace {

const char* const noSubject = "No Subject";

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::vector<icalproperty*> XProperties(icalcomponent* component, const char* name) {
    std::vector<icalproperty*> found;
    for (icalproperty* property = icalcomponent_get_first_property(component, ICAL_X_PROPERTY);
         property; property = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char* xName = icalproperty_get_x_name(property);
        if (xName && EqualsNoCase(xName, name)) {
            found.push_back(property);
        }
    }
    return found;
}

icalproperty* XProperty(icalcomponent* component, const char* name) {
    const std::vector<icalproperty*> found = XProperties(component, name);
    return found.empty() ? nullptr : found.front();
}

namespace {

std::string_view RawX(icalproperty* property) {
    const char* value = property ? icalproperty_get_x(property) : nullptr;
    return value ? std::string_view(value) : std::string_view();
}

// libical drops the blanks a value starts with, so the export names them in a parameter.
std::string LeadingBlanks(icalproperty* property) {
    std::string blanks;
    for (icalparameter* parameter =
             property ? icalproperty_get_first_parameter(property, ICAL_X_PARAMETER) : nullptr;
         parameter; parameter = icalproperty_get_next_parameter(property, ICAL_X_PARAMETER)) {
        const char* name = icalparameter_get_xname(parameter);
        const char* value = icalparameter_get_xvalue(parameter);
        if (name && value && EqualsNoCase(name, CalendarNames::lead)) {
            blanks = LeadingBlanksFromWord(value);
        }
    }
    return blanks;
}

} // namespace

std::string OwnText(icalproperty* property) {
    return FromCalendarText(LeadingBlanks(property) + std::string(UnframedText(RawX(property))));
}

std::string XParameterValue(icalproperty* property, const char* name) {
    for (icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_X_PARAMETER);
         parameter; parameter = icalproperty_get_next_parameter(property, ICAL_X_PARAMETER)) {
        const char* xName = icalparameter_get_xname(parameter);
        const char* value = icalparameter_get_xvalue(parameter);
        if (xName && value && EqualsNoCase(xName, name)) {
            return value;
        }
    }
    return {};
}

namespace {

template <typename Number> bool ParseNumber(std::string_view text, Number& number) {
    text = Trimmed(text);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// A text property's text, unescaped.
std::string TextOf(icalproperty* property) {
    icalvalue* value = property ? icalproperty_get_value(property) : nullptr;
    const char* text =
        value && icalvalue_isa(value) == ICAL_TEXT_VALUE ? icalvalue_get_text(value) : nullptr;
    return text ? FromCalendarText(text) : std::string();
}

std::string PropertyText(icalcomponent* component, icalproperty_kind kind) {
    return TextOf(icalcomponent_get_first_property(component, kind));
}

std::string SummaryOf(icalcomponent* component) {
    const std::string summary = PropertyText(component, ICAL_SUMMARY_PROPERTY);
    return Trimmed(summary).empty() ? std::string(noSubject) : summary;
}

std::string UidOf(icalcomponent* component) {
    icalproperty* property = icalcomponent_get_first_property(component, ICAL_UID_PROPERTY);
    const char* uid = property ? icalproperty_get_uid(property) : nullptr;
    return uid ? std::string(uid) : std::string();
}

} // namespace

std::string PersonName(icalproperty* property, const char* address) {
    if (icalparameter* cn = icalproperty_get_first_parameter(property, ICAL_CN_PARAMETER)) {
        const char* name = icalparameter_get_cn(cn);
        // libical has already decoded RFC 6868's ^n, ^' and ^^: decoding again would turn a
        // name's "^n" into a line break.
        if (name && !Trimmed(name).empty()) {
            return FromCalendarText(name);
        }
    }
    std::string_view value = address ? std::string_view(address) : std::string_view();
    if (value.size() >= 7 && EqualsNoCase(value.substr(0, 7), "mailto:")) {
        value.remove_prefix(7);
    }
    return FromCalendarText(value);
}

namespace {

CDateTime WallTime(const struct tm& local) {
    return CDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min, std::min(local.tm_sec, 59));
}

// A start of another program's as this program keeps dates: the wall time of this system's
// zone. A TZID that names no zone libical knows, or a zone that puts the start further from
// UTC than any place is, leaves the time as written and says so in `trouble`.
CDateTime LocalStart(icalproperty* property, icaltimetype start, ZoneTrouble& trouble) {
    if (start.is_date) {
        return CDateTime(start.year, start.month, start.day, 0, 0, 0);
    }
    const icaltimezone* zone =
        icaltime_is_utc(start) ? icaltimezone_get_utc_timezone() : start.zone;
    if (!zone) {
        if (icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
            const char* name = icalparameter_get_tzid(tzid);
            zone = name ? icaltimezone_get_builtin_timezone(name) : nullptr;
            trouble = zone ? trouble : ZoneTrouble::unknown;
        }
    }
    if (zone && !OffsetIsPlausible(icaltime_set_timezone(&start, zone))) {
        trouble = ZoneTrouble::implausible;
        zone = nullptr;
    }
    if (!zone) {
        return CDateTime(start.year, start.month, start.day, start.hour, start.minute,
                         std::min(start.second, 59));
    }
    const std::time_t moment = icaltime_as_timet_with_zone(start, zone);
    struct tm local {};
    if (!localtime_r(&moment, &local)) {
        return CDateTime(0.0, CDateTime::invalid);
    }
    return WallTime(local);
}

CTodoItem TodoOf(icalcomponent* component) {
    CTodoItem todo;
    if (icalproperty* own = XProperty(component, CalendarNames::todoText)) {
        todo.text = OwnText(own);
    } else {
        todo.text = PropertyText(component, ICAL_SUMMARY_PROPERTY);
    }
    std::int32_t value = 0;
    if (ParseNumber(RawX(XProperty(component, CalendarNames::priority)), value)) {
        todo.priority = value;
    } else if (icalproperty* priority =
                   icalcomponent_get_first_property(component, ICAL_PRIORITY_PROPERTY)) {
        // 1 to 4 is high, 5 medium, 6 to 9 low (RFC 5545); 0 means none given.
        const int rank = icalproperty_get_priority(priority);
        todo.priority = rank >= 1 && rank <= 4 ? CTodoItem::high
                        : rank == 5            ? CTodoItem::medium
                                               : CTodoItem::low;
    }
    if (ParseNumber(RawX(XProperty(component, CalendarNames::done)), value)) {
        todo.done = value;
    } else {
        icalproperty* status = icalcomponent_get_first_property(component, ICAL_STATUS_PROPERTY);
        const bool completed =
            (status && icalproperty_get_status(status) == ICAL_STATUS_COMPLETED) ||
            icalcomponent_get_first_property(component, ICAL_COMPLETED_PROPERTY) != nullptr;
        todo.done = completed ? 1 : 0;
    }
    return todo;
}

// Every VCALENDAR of a file, nested ones too (libical keeps what a broken file nests).
void CollectCalendars(icalcomponent* component, std::vector<icalcomponent*>& calendars) {
    if (icalcomponent_isa(component) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(component);
    }
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        CollectCalendars(child, calendars);
    }
}

bool IsEntry(icalcomponent* component) {
    const icalcomponent_kind kind = icalcomponent_isa(component);
    return kind == ICAL_VEVENT_COMPONENT || kind == ICAL_VTODO_COMPONENT;
}

// An agenda item as this program wrote it: its exact text, time and the time's status.
CAgendaItem ReadAgendaItem(icalproperty* property) {
    CAgendaItem item;
    item.text = OwnText(property);
    double time = 0.0;
    int status = CDateTime::valid;
    for (icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_X_PARAMETER);
         parameter; parameter = icalproperty_get_next_parameter(property, ICAL_X_PARAMETER)) {
        const char* name = icalparameter_get_xname(parameter);
        const char* value = icalparameter_get_xvalue(parameter);
        if (name && value && EqualsNoCase(name, CalendarNames::time)) {
            ParseDayCount(value, time);
        } else if (name && value && EqualsNoCase(name, CalendarNames::timeStatus)) {
            ParseNumber(std::string_view(value), status);
        }
    }
    // As the agenda file's reader takes a status: anything but valid or null is invalid.
    if (status != CDateTime::valid && status != CDateTime::null) {
        status = CDateTime::invalid;
    }
    item.time = CDateTime(time, static_cast<CDateTime::Status>(status));
    return item;
}

// Who presided (ORGANIZER with a name) and the attendees (every ATTENDEE) of another
// program's event.
void ReadPeople(icalcomponent* event, CCalendarMeeting& meeting) {
    if (icalproperty* organizer =
            icalcomponent_get_first_property(event, ICAL_ORGANIZER_PROPERTY)) {
        if (icalproperty_get_first_parameter(organizer, ICAL_CN_PARAMETER)) {
            meeting.record.presidedBy = PersonName(organizer, nullptr);
        }
    }
    for (icalproperty* attendee = icalcomponent_get_first_property(event, ICAL_ATTENDEE_PROPERTY);
         attendee; attendee = icalcomponent_get_next_property(event, ICAL_ATTENDEE_PROPERTY)) {
        if (!meeting.content.attendees) {
            meeting.content.attendees.emplace();
        }
        meeting.content.attendees->push_back(
            PersonName(attendee, icalproperty_get_attendee(attendee)));
    }
}

} // namespace

const char* ReadEventStart(icalcomponent* event, CEventStart& start) {
    icalproperty* startProperty = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    if (!startProperty) {
        return "It has no start date.";
    }
    start.zone = DropUnsafeZone(startProperty, event) ? ZoneTrouble::unknown : ZoneTrouble::none;
    start.time = icalcomponent_get_dtstart(event);
    // libical calls every date after 2999 invalid; the meeting's own range is checked below.
    if (icaltime_is_null_time(start.time) || start.time.year < 0) {
        return "Its start date cannot be read.";
    }
    start.date = LocalStart(startProperty, start.time, start.zone);
    if (!start.date.IsValid()) {
        return "Its start date lies outside the years 100 to 9999.";
    }
    return nullptr;
}

void ReadStandardFields(icalcomponent* event, CCalendarMeeting& meeting) {
    meeting.record.title = SummaryOf(event);
    meeting.record.venue = PropertyText(event, ICAL_LOCATION_PROPERTY);
    meeting.record.notes = PropertyText(event, ICAL_DESCRIPTION_PROPERTY);
    ReadPeople(event, meeting);
}

void ReadOwnFields(icalcomponent* event, CCalendarMeeting& meeting, const icaltimetype& start) {
    CMeeting& record = meeting.record;
    CMeetingContent& content = meeting.content;
    // Files of older versions have no title or venue of their own: SUMMARY and LOCATION stay.
    if (icalproperty* title = XProperty(event, CalendarNames::title)) {
        record.title = OwnText(title);
    }
    if (icalproperty* venue = XProperty(event, CalendarNames::venue)) {
        record.venue = OwnText(venue);
    }
    record.reference = OwnText(XProperty(event, CalendarNames::reference));
    record.presidedBy = OwnText(XProperty(event, CalendarNames::presidedBy));
    record.notes = OwnText(XProperty(event, CalendarNames::notes));
    std::int32_t icon = 0;
    record.icon = ParseNumber(RawX(XProperty(event, CalendarNames::icon)), icon) ? icon : 0;
    // The exact day count, unless another program has moved the meeting since.
    double dayCount = 0.0;
    if (ParseDayCount(Trimmed(RawX(XProperty(event, CalendarNames::date))), dayCount)) {
        const CDateTime exact(dayCount);
        const CDateTime::Parts parts = exact.GetParts();
        if (!start.is_date && parts.year == start.year && parts.month == start.month &&
            parts.day == start.day && parts.hour == start.hour && parts.minute == start.minute &&
            parts.second == start.second) {
            record.date = exact;
        }
    }

    const std::string_view lists = RawX(XProperty(event, CalendarNames::content));
    const auto has = [lists](std::string_view name) {
        return lists.find(name) != std::string_view::npos;
    };
    content.attendees.reset();
    if (has("attendees")) {
        content.attendees.emplace();
        for (icalproperty* property : XProperties(event, CalendarNames::attendee)) {
            content.attendees->push_back(OwnText(property));
        }
    }
    if (has("agenda")) {
        content.agenda.emplace();
        for (icalproperty* property : XProperties(event, CalendarNames::agendaItem)) {
            content.agenda->push_back(ReadAgendaItem(property));
        }
    }
    if (has("minutes")) {
        content.minutes.emplace();
        for (icalproperty* property : XProperties(event, CalendarNames::minute)) {
            content.minutes->push_back(OwnText(property));
        }
    }
    if (has("todos")) {
        content.todos.emplace();
    }
}

namespace {

class CImporter {
public:
    void Read(const std::vector<icalcomponent*>& calendars, icalcomponent* root);
    void DropOversized();
    CCalendarImport result;

private:
    void ReadEvent(icalcomponent* event);
    void ReadTodo(icalcomponent* todo);
    void SkipStrays(icalcomponent* component);

    // The UIDs of the events that are no changed occurrence of another.
    std::set<std::string> m_eventUids;
    // The meetings made, by their event's UID, for the todos related to them.
    std::unordered_map<std::string, std::size_t> m_byUid;
};

// Events and tasks of each calendar; the todos of any event in the file find it.
void CImporter::Read(const std::vector<icalcomponent*>& calendars, icalcomponent* root) {
    // A changed occurrence (RECURRENCE-ID) beside its recurring event is left out, as only
    // the first occurrence is imported; without its event it is an event of its own.
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* event =
                 icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             event; event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
            if (!icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
                m_eventUids.insert(UidOf(event));
            }
        }
    }
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* event =
                 icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             event; event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
            ReadEvent(event);
        }
    }
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* todo =
                 icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT);
             todo; todo = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT)) {
            ReadTodo(todo);
        }
    }
    SkipStrays(root);
}

// Checked once the todos are in: they are one of the meeting's files.
void CImporter::DropOversized() {
    std::vector<CCalendarMeeting> kept;
    kept.reserve(result.meetings.size());
    for (CCalendarMeeting& meeting : result.meetings) {
        if (FitsStoredFiles(meeting)) {
            kept.push_back(std::move(meeting));
        } else {
            result.skipped.push_back(
                {meeting.record.title, "It holds more text than a meeting can keep."});
        }
    }
    result.meetings = std::move(kept);
}

// An event or task outside any calendar, or inside another entry, is no entry of a calendar:
// it is named among the skipped rather than lost without a word.
void CImporter::SkipStrays(icalcomponent* component) {
    const bool inCalendar = icalcomponent_isa(component) == ICAL_VCALENDAR_COMPONENT;
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        if (IsEntry(child) && !inCalendar) {
            result.skipped.push_back(
                {SummaryOf(child), "It stands outside any calendar of the file."});
        }
        SkipStrays(child);
    }
}

void CImporter::ReadEvent(icalcomponent* event) {
    const std::string summary = SummaryOf(event);
    const std::string uid = UidOf(event);
    if (icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) &&
        m_eventUids.count(uid)) {
        result.skipped.push_back(
            {summary, "A changed occurrence of a recurring event: only the first occurrence "
                      "is imported."});
        return;
    }
    CEventStart start;
    if (const char* fault = ReadEventStart(event, start)) {
        result.skipped.push_back({summary, fault});
        return;
    }
    CCalendarMeeting meeting{CMeeting(start.date), {}};
    ReadStandardFields(event, meeting);
    if (XProperty(event, CalendarNames::content)) {
        ReadOwnFields(event, meeting, start.time);
    }

    if (icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) ||
        icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY)) {
        result.remarks.push_back(
            {summary, "A recurring event: only its first occurrence is imported."});
    }
    if (start.zone == ZoneTrouble::unknown) {
        result.remarks.push_back(
            {summary, "Its time zone is unknown: its time is taken as local time."});
    } else if (start.zone == ZoneTrouble::implausible) {
        result.remarks.push_back({summary, "Its time zone is more than 18 hours from UTC: its "
                                           "time is taken as local time."});
    }
    if (!uid.empty()) {
        m_byUid.emplace(uid, result.meetings.size());
    }
    result.meetings.push_back(std::move(meeting));
}

void CImporter::ReadTodo(icalcomponent* todo) {
    for (icalproperty* related = icalcomponent_get_first_property(todo, ICAL_RELATEDTO_PROPERTY);
         related; related = icalcomponent_get_next_property(todo, ICAL_RELATEDTO_PROPERTY)) {
        icalparameter* type = icalproperty_get_first_parameter(related, ICAL_RELTYPE_PARAMETER);
        if (type && icalparameter_get_reltype(type) != ICAL_RELTYPE_PARENT) {
            continue;
        }
        const char* uid = icalproperty_get_relatedto(related);
        const auto meeting = uid ? m_byUid.find(uid) : m_byUid.end();
        if (meeting != m_byUid.end()) {
            std::optional<std::vector<CTodoItem>>& todos =
                result.meetings[meeting->second].content.todos;
            if (!todos) {
                todos.emplace();
            }
            todos->push_back(TodoOf(todo));
            return;
        }
    }
    result.skipped.push_back({SummaryOf(todo), "A task that belongs to no imported meeting."});
}

} // namespace

bool FitsStoredFiles(const CCalendarMeeting& meeting) {
    const CMeeting& record = meeting.record;
    const CMeetingContent& content = meeting.content;
    // An upper bound of what a record or an entry costs beside its texts: counts, lengths, a
    // date, numbers.
    constexpr std::size_t perEntry = 32;
    std::size_t bytes = record.id.size() + record.reference.size() + record.title.size() +
                        record.venue.size() + record.presidedBy.size() + record.notes.size() +
                        perEntry * 4;
    const auto add = [&bytes](std::size_t count, std::size_t texts) {
        bytes += texts + count * perEntry;
    };
    const auto textsOf = [](const auto& items, auto text) {
        std::size_t sum = 0;
        for (const auto& item : items) {
            sum += text(item).size();
        }
        return sum;
    };
    const auto itself = [](const std::string& text) -> const std::string& { return text; };
    const auto itemText = [](const auto& item) -> const std::string& { return item.text; };
    if (content.attendees) {
        add(content.attendees->size(), textsOf(*content.attendees, itself));
    }
    if (content.minutes) {
        add(content.minutes->size(), textsOf(*content.minutes, itself));
    }
    if (content.agenda) {
        add(content.agenda->size(), textsOf(*content.agenda, itemText));
    }
    if (content.todos) {
        add(content.todos->size(), textsOf(*content.todos, itemText));
    }
    // No file can pass the limit when all of them together stay below it.
    if (bytes <= maxDataFileSize) {
        return true;
    }
    return EncodeMeeting(record).size() <= maxDataFileSize &&
           (!content.attendees || EncodeStringList(*content.attendees).size() <= maxDataFileSize) &&
           (!content.minutes || EncodeStringList(*content.minutes).size() <= maxDataFileSize) &&
           (!content.agenda || EncodeAgenda(*content.agenda).size() <= maxDataFileSize) &&
           (!content.todos || EncodeTodos(*content.todos).size() <= maxDataFileSize);
}

CCalendarImport ParseCalendar(std::string_view text) {
    const std::string copy = ParserInput(text);
    // A broken file must come back as an error, whatever libical was built to do with one.
    icalerror_set_errors_are_fatal(0);
    CIcalComponent root(icalparser_parse_string(copy.c_str()));
    if (!root) {
        throw CCalendarParseError("The file is not an iCalendar file.");
    }
    std::vector<icalcomponent*> calendars;
    CollectCalendars(root.get(), calendars);
    if (calendars.empty()) {
        throw CCalendarParseError("The file holds no calendar.");
    }
    CImporter importer;
    importer.Read(calendars, root.get());
    importer.DropOversized();
    return std::move(importer.result);
}

std::size_t StoreImportedMeetings(CMeetingStore& store, std::span<const CCalendarMeeting> meetings,
                                  const ImportProgress& progress) {
    const auto meetingAt = [&meetings](std::size_t i) {
        const CCalendarMeeting& meeting = meetings[i];
        CNewMeeting added{meeting.record, meeting.content.agenda, meeting.content.attendees,
                          meeting.content.todos, meeting.content.minutes};
        added.record.id.clear();
        return added;
    };
    return store.AddMeetings(meetings.size(), meetingAt, progress).size();
}
