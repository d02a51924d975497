// A meeting as a calendar server's object and back, and another program's object that takes
// our edits without losing what we do not map.

#include "share/CalendarObject.h"
#include "share/CalendarExport.h"
#include "share/CalendarSource.h"
#include "share/ServerSafeText.h"

#include <libical/ical.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>

namespace {

const char* const uid = "20261207090000@tavelin.invalid";

CCalendarMeeting Tricky(const char* id, CDateTime date) {
    CCalendarMeeting meeting{CMeeting(date), {}};
    CMeeting& record = meeting.record;
    record.id = id;
    record.title = "  Budget für Ærø;\r\nfinal ";
    record.venue = "\tSalle 3, Nord";
    record.reference = " Ref|";
    record.presidedBy = "Zoë \"Zed\" ^n";
    record.notes = "Line\r\n\r\n  indented end ";
    record.icon = 5;
    meeting.content.attendees = std::vector<std::string>{"Jürgen", "  ", "Ann, Lee", "Jürgen"};
    meeting.content.agenda = std::vector<CAgendaItem>{{date, "Opening"}, {CDateTime(-1.25), ""}};
    meeting.content.todos = std::vector<CTodoItem>{
        {"High and done", CTodoItem::high, 1}, {"  ", CTodoItem::low, 2}, {"Odd", 7, -4}};
    meeting.content.minutes = std::vector<std::string>{"Agreed:\r\nyes", ""};
    return meeting;
}

// Every field, lists missing and empty, texts libical trims, dates without a start.
std::vector<CCalendarMeeting> TrickyMeetings() {
    const CDateTime date(CDateTime(2026, 12, 7, 14, 30, 0).GetDayCount() + 0.3 / 86400);
    const CMeetingContent empty{std::vector<std::string>{}, {}, std::vector<CTodoItem>{}, {}};
    return {Tricky("1", date),
            {CMeeting(date), empty},
            Tricky("3", CDateTime(45000.5, CDateTime::invalid)),
            {CMeeting(CDateTime(0.0, CDateTime::null)), {}}};
}

void ExpectSame(const CCalendarMeeting& back, const CCalendarMeeting& sent, const std::string& at) {
    CMeeting expected = sent.record;
    expected.id.clear();
    EXPECT_EQ(back.record, expected) << at;
    EXPECT_EQ(back.content.attendees, sent.content.attendees) << at;
    EXPECT_EQ(back.content.agenda, sent.content.agenda) << at;
    EXPECT_EQ(back.content.todos, sent.content.todos) << at;
    EXPECT_EQ(back.content.minutes, sent.content.minutes) << at;
}

// A text as libical reads and writes it back (which is not always the same text again: it
// swaps some time zones each time), sent as an object goes to a server.
std::string Written(const std::string& text) {
    icalcomponent* parsed = icalparser_parse_string(ParserInput(text).c_str());
    char* written = icalcomponent_as_ical_string_r(parsed);
    const std::string rewritten(written ? written : "");
    std::free(written);
    icalcomponent_free(parsed);
    return EscapeOwnValueSeparators(rewritten);
}

// The unfolded lines of a text, without the lines named.
std::vector<std::string> Lines(std::string unfolded, std::initializer_list<const char*> left) {
    for (std::size_t fold; (fold = unfolded.find("\r\n ")) != std::string::npos;) {
        unfolded.erase(fold, 3);
    }
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < unfolded.size(); start = end + 2) {
        end = unfolded.find("\r\n", start);
        const std::string line = unfolded.substr(start, end - start);
        const bool dropped = std::any_of(
            left.begin(), left.end(), [&line](const char* name) { return line.starts_with(name); });
        lines.insert(lines.end(), dropped ? 0 : 1, line);
    }
    return lines;
}

const std::initializer_list<const char*> stamp = {"DTSTAMP", "X-LIC-ERROR"};

// std::out_of_range, failing the case, when `from` is not in the text.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

} // namespace

// Back exactly; one component type with one UID, as servers demand; sent back unchanged.
TEST(CalendarObject, TrickyMeetingsComeBackExactlyAsOneEventEach) {
    for (const CCalendarMeeting& meeting : TrickyMeetings()) {
        const std::string at = "meeting " + meeting.record.id;
        const std::string object = BuildMeetingObject(meeting, uid);
        ExpectSame(ParseMeetingObject(object), meeting, at);
        // The export's event, put on a server as it is, shows no edit of the notes either.
        EXPECT_EQ(ParseMeetingObject(BuildCalendar({meeting})).record.notes, meeting.record.notes);
        EXPECT_EQ(ObjectUid(object), uid) << at;
        icalcomponent* calendar = icalparser_parse_string(object.c_str());
        EXPECT_EQ(icalcomponent_count_components(calendar, ICAL_ANY_COMPONENT), 1) << at;
        icalcomponent_free(calendar);
        const std::string again = BuildMeetingObject(ParseMeetingObject(object), uid, object);
        EXPECT_EQ(Lines(again, stamp), Lines(Written(object), stamp)) << at;
    }
    EXPECT_THROW(ParseMeetingObject("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"), CCalendarParseError);
}

// A phone's edit of a standard property after ours arrives; the rest stays ours exactly, and
// the edited object goes back as it is.
TEST(CalendarObject, PhoneEditsOfStandardPropertiesArrive) {
    CCalendarMeeting meeting = Tricky("5", CDateTime(2026, 3, 10, 9, 0, 0));
    meeting.record.title = "Plan";
    meeting.record.venue = "Room";
    meeting.record.notes = "Short";
    meeting.record.presidedBy = "Eve";
    meeting.content.attendees = std::vector<std::string>{"Ann", "Bo"};
    const std::string object = BuildMeetingObject(meeting, uid);
    struct {
        std::string from, to;
        void (*edit)(CCalendarMeeting&);
    } const edits[] = {
        {"SUMMARY:Plan", "SUMMARY:Phone", [](CCalendarMeeting& m) { m.record.title = "Phone"; }},
        {"LOCATION:Room", "LOCATION:Hall", [](CCalendarMeeting& m) { m.record.venue = "Hall"; }},
        {"DESCRIPTION:Short", "DESCRIPTION:Long\\nnote",
         [](CCalendarMeeting& m) { m.record.notes = "Long\r\nnote"; }},
        {"DTSTART:20260310T090000", "DTSTART:20260311T100000",
         [](CCalendarMeeting& m) { m.record.date = CDateTime(2026, 3, 11, 10, 0, 0); }},
        {"CN=Eve", "CN=Max", [](CCalendarMeeting& m) { m.record.presidedBy = "Max"; }},
        {"CN=Bo", "CN=Cy", [](CCalendarMeeting& m) { (*m.content.attendees)[1] = "Cy"; }},
    };
    for (const auto& edit : edits) {
        const std::string edited = Replaced(object, edit.from, edit.to);
        CCalendarMeeting expected = meeting;
        edit.edit(expected);
        const CCalendarMeeting arrived = ParseMeetingObject(edited);
        ExpectSame(arrived, expected, edit.to);
        const std::string back = BuildMeetingObject(arrived, uid, edited);
        EXPECT_EQ(Lines(back, stamp), Lines(Written(edited), stamp)) << edit.to;
    }
    // Bo stays at his address: Cy, new, must not take it, or calendars make one of them.
    meeting.content.attendees = std::vector<std::string>{"Bo", "Cy"};
    const std::string swapped = BuildMeetingObject(meeting, uid, object);
    EXPECT_NE(swapped.find("CN=Bo:mailto:5-attendee-2@"), std::string::npos);
    EXPECT_NE(swapped.find("CN=Cy:mailto:5-attendee-3@"), std::string::npos);
}

namespace {

const std::string outside =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Cal//EN\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\n"
    "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
    "BEGIN:VEVENT\r\nUID:series-1\r\nDTSTAMP:20260101T000000Z\r\nSEQUENCE:3\r\n"
    "DTSTART;TZID=Europe/Berlin:20260105T090000\r\nDTEND;TZID=Europe/Berlin:20260105T103000\r\n"
    "RRULE:FREQ=WEEKLY;COUNT=10\r\nEXDATE;TZID=Europe/Berlin:20260112T090000\r\n"
    "SUMMARY:Standup\r\nLOCATION:Room 1\r\nX-FOO;X-BAR=1:keep me\r\nCATEGORIES:Work\r\n"
    "ORGANIZER;CN=Boss:mailto:boss@example.org\r\n"
    "ATTENDEE;CN=Ann;PARTSTAT=ACCEPTED;ROLE=CHAIR:mailto:ann@example.org\r\n"
    "ATTENDEE;PARTSTAT=TENTATIVE:mailto:bob@example.org\r\nCOMMENT:\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Soon\r\nTRIGGER:-PT10M\r\nEND:VALARM\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:series-1\r\nDTSTAMP:20260101T000000Z\r\n"
    "RECURRENCE-ID;TZID=Europe/Berlin:20260119T090000\r\n"
    "DTSTART;TZID=Europe/Berlin:20260119T110000\r\nSUMMARY:Late standup\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

// What this program does not map in an object: every line but the mapped ones.
const std::initializer_list<const char*> mapped = {
    "DTSTAMP",         "X-LIC-ERROR",    "SEQUENCE",       "X-TAVELIN-",
    "SUMMARY:Standup", "SUMMARY: Retro", "UID:",           "DTEND",
    "DURATION",        "ATTENDEE",       "DTSTART:202601", "DTSTART;TZID=Europe/Berlin:20260105"};

} // namespace

// Another program's series: our edits replace what they change, and nothing else.
TEST(CalendarObject, OutsideSeriesKeepsWhatWeDoNotMap) {
    const CCalendarMeeting seen = ParseMeetingObject(outside);
    const std::string same = BuildMeetingObject(seen, "series-1", outside);
    EXPECT_EQ(Lines(same, stamp), Lines(Written(outside), stamp));
    EXPECT_EQ(same.find("X-LIC-ERROR"), std::string::npos);

    CCalendarMeeting edited = seen;
    edited.record.title = " Retro"; // kept exactly only in our own field
    const std::string retitled = BuildMeetingObject(edited, "series-1", outside);
    EXPECT_EQ(Lines(retitled, mapped), Lines(Written(outside), mapped));
    EXPECT_NE(retitled.find("SEQUENCE:4"), std::string::npos);
    ExpectSame(ParseMeetingObject(retitled), edited, "retitled");

    // Moved, renamed, an attendee gone and one added: still the series, an hour and a half
    // long, Bob's reply kept, under our UID everywhere.
    edited.record.date = CDateTime(2026, 1, 6, 8, 0, 0);
    edited.content.attendees = std::vector<std::string>{"bob@example.org", "Cy"};
    const std::string moved = BuildMeetingObject(edited, uid, outside);
    EXPECT_EQ(Lines(moved, mapped), Lines(Written(outside), mapped));
    for (const char* line : {"DTSTART:20260106T080000", "DURATION:PT1H30M",
                             "ATTENDEE;PARTSTAT=TENTATIVE:mailto:bob@example.org", "CN=Cy"}) {
        EXPECT_NE(moved.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(moved.find("ann@example.org"), std::string::npos);
    EXPECT_EQ(moved.find("series-1"), std::string::npos);
    ExpectSame(ParseMeetingObject(moved), edited, "moved");
}

// Real files of other programs: merging the meeting they give changes nothing but DTSTAMP.
TEST(CalendarObject, RealObjectsMergeUnchanged) {
    const std::filesystem::path folder =
        std::filesystem::path(TAVELIN_SOURCE_DIR) / ".." / "shared" / "ics-corpus" / "files";
    if (!std::filesystem::is_directory(folder)) {
        GTEST_SKIP() << "no corpus of real iCalendar files at " << folder;
    }
    for (const char* name :
         {"ahical__recurring_with_single_change.ics", "goical__thunderbird.ics",
          "nodeical__google-calendar-kiev-tz.ics", "pyicalendar__alarm_etar_future.ics",
          "nodeical__exchange_whole_day_moved_recurrence.ics"}) {
        std::ifstream in(folder / name, std::ios::binary);
        const std::string base{std::istreambuf_iterator<char>(in), {}};
        const std::string merged =
            BuildMeetingObject(ParseMeetingObject(base), ObjectUid(base), base);
        EXPECT_EQ(Lines(merged, stamp), Lines(Written(base), stamp)) << name;
    }
}
