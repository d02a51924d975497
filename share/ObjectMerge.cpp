#include "share/ObjectMerge.h"

#include "share/CalendarEventParts.h"
#include "share/CalendarText.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

bool SameText(const std::string& a, const std::string& b) {
    return ToCalendarText(a) == ToCalendarText(b);
}

bool SameDate(const CDateTime& a, const CDateTime& b) {
    return a.GetStatus() == b.GetStatus() && a.GetDayCount() == b.GetDayCount();
}

// A missing list and an empty one differ: the meeting's files say which it has.
template <typename Item, typename Same>
bool SameList(const std::optional<std::vector<Item>>& a, const std::optional<std::vector<Item>>& b,
              Same same) {
    if (a.has_value() != b.has_value()) {
        return false;
    }
    return !a || std::equal(a->begin(), a->end(), b->begin(), b->end(), same);
}

using SameMeaning = bool (*)(const CCalendarMeeting&, const CCalendarMeeting&);

// Mapped properties that say one thing together: the standard ones other programs read and
// this program's own.
struct CGroup {
    std::vector<icalproperty_kind> standard;
    std::vector<const char*> own;
    SameMeaning same;
};

const std::vector<CGroup>& PlainGroups() {
    using M = const CCalendarMeeting&;
    static const std::vector<CGroup> groups = {
        {{ICAL_SUMMARY_PROPERTY},
         {CalendarNames::title},
         [](M a, M b) { return SameText(a.record.title, b.record.title); }},
        {{ICAL_LOCATION_PROPERTY},
         {CalendarNames::venue},
         [](M a, M b) { return SameText(a.record.venue, b.record.venue); }},
        {{ICAL_DESCRIPTION_PROPERTY},
         {CalendarNames::notes},
         [](M a, M b) { return SameText(a.record.notes, b.record.notes); }},
        {{ICAL_ORGANIZER_PROPERTY},
         {CalendarNames::presidedBy},
         [](M a, M b) { return SameText(a.record.presidedBy, b.record.presidedBy); }},
        {{},
         {CalendarNames::reference},
         [](M a, M b) { return SameText(a.record.reference, b.record.reference); }},
        {{}, {CalendarNames::icon}, [](M a, M b) { return a.record.icon == b.record.icon; }},
        {{},
         {CalendarNames::agendaItem},
         [](M a, M b) {
             return SameList(a.content.agenda, b.content.agenda,
                             [](const CAgendaItem& x, const CAgendaItem& y) {
                                 return SameDate(x.time, y.time) && SameText(x.text, y.text);
                             });
         }},
        {{},
         {CalendarNames::minute},
         [](M a, M b) { return SameList(a.content.minutes, b.content.minutes, SameText); }},
        {{},
         {CalendarNames::todo},
         [](M a, M b) {
             return SameList(a.content.todos, b.content.todos,
                             [](const CTodoItem& x, const CTodoItem& y) {
                                 return x.priority == y.priority && x.done == y.done &&
                                        SameText(x.text, y.text);
                             });
         }},
    };
    return groups;
}

void RemoveOwn(icalcomponent* component, const char* name) {
    for (icalproperty* property : XProperties(component, name)) {
        icalcomponent_remove_property(component, property);
        icalproperty_free(property);
    }
}

void CopyProperties(icalcomponent* from, icalcomponent* to, icalproperty_kind kind) {
    for (icalproperty* property = icalcomponent_get_first_property(from, kind); property;
         property = icalcomponent_get_next_property(from, kind)) {
        icalcomponent_add_property(to, icalproperty_new_clone(property));
    }
}

void CopyOwn(icalcomponent* from, icalcomponent* to, const char* name) {
    for (icalproperty* property : XProperties(from, name)) {
        icalcomponent_add_property(to, icalproperty_new_clone(property));
    }
}

void ReplaceGroup(icalcomponent* master, icalcomponent* fresh, const CGroup& group) {
    for (const icalproperty_kind kind : group.standard) {
        RemoveProperties(master, kind);
        CopyProperties(fresh, master, kind);
    }
    for (const char* name : group.own) {
        RemoveOwn(master, name);
        CopyOwn(fresh, master, name);
    }
}

// How long the event lasts, by its DURATION or from its start to its DTEND; `otherwise` when
// it says neither.
icaldurationtype Length(icalcomponent* event, icaldurationtype otherwise) {
    if (icalproperty* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        return icalproperty_get_duration(duration);
    }
    if (icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY) &&
        icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        const icaltimetype start = icalcomponent_get_dtstart(event);
        const icaltimetype end = icalcomponent_get_dtend(event);
        const long long seconds =
            static_cast<long long>(icaltime_as_timet_with_zone(end, end.zone)) -
            icaltime_as_timet_with_zone(start, start.zone);
        if (seconds > 0) {
            return icaldurationtype_from_int(static_cast<int>(seconds));
        }
    }
    return otherwise;
}

// A moved meeting starts at its new time and keeps the length the object gave it, which this
// program does not know.
void ReplaceDate(icalcomponent* master, icalcomponent* fresh) {
    icalproperty* ownLength = icalcomponent_get_first_property(fresh, ICAL_DURATION_PROPERTY);
    const icaldurationtype length = Length(master, ownLength ? icalproperty_get_duration(ownLength)
                                                             : icaldurationtype_null_duration());
    for (const icalproperty_kind kind :
         {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY, ICAL_DURATION_PROPERTY}) {
        RemoveProperties(master, kind);
    }
    RemoveOwn(master, CalendarNames::date);
    CopyProperties(fresh, master, ICAL_DTSTART_PROPERTY);
    CopyOwn(fresh, master, CalendarNames::date);
    if (icalcomponent_get_first_property(fresh, ICAL_DTSTART_PROPERTY)) {
        icalcomponent_add_property(master, icalproperty_new_duration(length));
    }
}

// The object's attendee lines of the names still listed stay, with their addresses and
// parameters (a reply, a role); the new names get lines of ours, the gone ones lose theirs.
void MergeAttendees(icalcomponent* master, const CObjectMerge& merge) {
    std::vector<icalproperty*> pool;
    while (icalproperty* line = icalcomponent_get_first_property(master, ICAL_ATTENDEE_PROPERTY)) {
        icalcomponent_remove_property(master, line);
        pool.push_back(line);
    }
    std::vector<icalproperty*> fresh;
    for (icalproperty* line = icalcomponent_get_first_property(merge.fresh, ICAL_ATTENDEE_PROPERTY);
         line; line = icalcomponent_get_next_property(merge.fresh, ICAL_ATTENDEE_PROPERTY)) {
        fresh.push_back(line);
    }
    const std::vector<std::string> names =
        merge.meeting.content.attendees.value_or(std::vector<std::string>());
    std::vector<icalproperty*> lines;
    std::set<std::string> addresses;
    for (const std::string& name : names) {
        const auto kept = std::find_if(pool.begin(), pool.end(), [&name](icalproperty* line) {
            return line && AttendeeKey(line) == StandardForm(name);
        });
        lines.push_back(kept == pool.end() ? nullptr : *kept);
        if (kept != pool.end()) {
            const char* address = icalproperty_get_attendee(*kept);
            addresses.insert(address ? address : "");
            *kept = nullptr;
        }
    }
    for (icalproperty* gone : pool) {
        if (gone) {
            icalproperty_free(gone);
        }
    }
    // A new line never takes a kept one's address: other programs would merge the two people.
    std::size_t number = names.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i] && i >= fresh.size()) {
            continue;
        }
        icalproperty* line = lines[i] ? lines[i] : icalproperty_new_clone(fresh[i]);
        if (!lines[i]) {
            std::string address = icalproperty_get_attendee(line);
            while (addresses.contains(address)) {
                address =
                    PersonAddress(merge.meeting.record.id, "attendee-" + std::to_string(++number));
            }
            icalproperty_set_attendee(line, address.c_str());
            addresses.insert(address);
        }
        icalcomponent_add_property(master, line);
    }
    RemoveOwn(master, CalendarNames::attendee);
    CopyOwn(merge.fresh, master, CalendarNames::attendee);
}

void ReplaceUid(icalcomponent* component, const std::string& from, const std::string& to) {
    if (icalcomponent_isa(component) == ICAL_VEVENT_COMPONENT) {
        const char* uid = icalcomponent_get_uid(component);
        if (uid && from == uid) {
            icalcomponent_set_uid(component, to.c_str());
        }
    }
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        ReplaceUid(child, from, to);
    }
}

// The master and its changed occurrences take the new UID; true when it is new.
bool SetUid(icalcomponent* root, icalcomponent* master, std::string_view uid) {
    const char* was = icalcomponent_get_uid(master);
    const std::string old = was ? was : "";
    if (old == uid) {
        return false;
    }
    ReplaceUid(root, old, std::string(uid));
    icalcomponent_set_uid(master, std::string(uid).c_str());
    return true;
}

void Stamp(icalcomponent* master, const icaltimetype& stamp, bool changed) {
    if (icalproperty* dtstamp = icalcomponent_get_first_property(master, ICAL_DTSTAMP_PROPERTY)) {
        icalproperty_set_dtstamp(dtstamp, stamp);
    } else {
        icalcomponent_add_property(master, icalproperty_new_dtstamp(stamp));
    }
    icalproperty* sequence = icalcomponent_get_first_property(master, ICAL_SEQUENCE_PROPERTY);
    if (changed && sequence) {
        icalproperty_set_sequence(sequence, icalproperty_get_sequence(sequence) + 1);
    }
}

} // namespace

void MergeIntoBase(icalcomponent* root, icalcomponent* master, const CObjectMerge& merge) {
    const CCalendarMeeting& meeting = merge.meeting;
    const CCalendarMeeting& old = merge.old;
    bool changed = false;
    for (const CGroup& group : PlainGroups()) {
        if (!group.same(meeting, old)) {
            ReplaceGroup(master, merge.fresh, group);
            changed = true;
        }
    }
    if (!SameDate(meeting.record.date, old.record.date)) {
        ReplaceDate(master, merge.fresh);
        changed = true;
    }
    if (!SameList(meeting.content.attendees, old.content.attendees, SameText)) {
        MergeAttendees(master, merge);
        changed = true;
    }
    // Another program's event that takes an edit of ours is marked as ours from then on, so
    // that our own fields are read back.
    const bool marked = XProperty(master, CalendarNames::content) != nullptr;
    if (ContentLists(meeting.content) != ContentLists(old.content) || (changed && !marked)) {
        ReplaceGroup(master, merge.fresh, {{}, {CalendarNames::content}, nullptr});
        changed = true;
    }
    changed = SetUid(root, master, merge.uid) || changed;
    Stamp(master, merge.stamp, changed);
}

void RemoveProperties(icalcomponent* component, icalproperty_kind kind) {
    while (icalproperty* property = icalcomponent_get_first_property(component, kind)) {
        icalcomponent_remove_property(component, property);
        icalproperty_free(property);
    }
}

void RemovePropertiesEverywhere(icalcomponent* component, icalproperty_kind kind) {
    RemoveProperties(component, kind);
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        RemovePropertiesEverywhere(child, kind);
    }
}

std::string StandardForm(std::string_view stored) {
    const std::string text = ToCalendarText(stored);
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos
               ? ""
               : text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::string AttendeeKey(icalproperty* attendee) {
    if (icalparameter* cn = icalproperty_get_first_parameter(attendee, ICAL_CN_PARAMETER)) {
        if (const char* name = icalparameter_get_cn(cn)) {
            return StandardForm(name);
        }
    }
    return StandardForm(PersonName(attendee, icalproperty_get_attendee(attendee)));
}

std::string OrganizerName(icalcomponent* event) {
    icalproperty* organizer = icalcomponent_get_first_property(event, ICAL_ORGANIZER_PROPERTY);
    icalparameter* cn =
        organizer ? icalproperty_get_first_parameter(organizer, ICAL_CN_PARAMETER) : nullptr;
    const char* name = cn ? icalparameter_get_cn(cn) : nullptr;
    return name ? StandardForm(name) : "";
}
