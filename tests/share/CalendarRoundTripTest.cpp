#include "share/CalendarExport.h"
#include "share/CalendarImport.h"
#include "store/ContentFiles.h"
#include "store/FileCalls.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <libical/ical.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <random>

namespace {

// A meeting with every field: non-ASCII text, CR LF breaks, texts iCalendar must escape,
// every priority and done mark, an empty agenda item and minute.
CCalendarMeeting FullMeeting() {
    CCalendarMeeting meeting;
    CMeeting& record = meeting.record;
    record = CMeeting(CDateTime(2026, 12, 7, 14, 30, 0));
    record.id = "2026120709000010";
    record.reference = "Ref; 7,\\ 2026 ";
    record.title = "Budget für Ærø, 2027; final";
    record.venue = "Salle 3 — Nord";
    record.presidedBy = "Zoë \"Zed\" Ångström";
    record.notes = "First line\r\nSecond line, with; marks\\\r\n\r\n  indented end ";
    record.icon = 5;
    CMeetingContent& content = meeting.content;
    content.attendees = std::vector<std::string>{"Jürgen Groß", "Ann, Lee", "日本語の名前"};
    content.agenda = std::vector<CAgendaItem>{{CDateTime(2026, 12, 7, 14, 30, 0), "Opening"},
                                              {CDateTime(2026, 12, 7, 15, 5, 0), "Zahlen\r\n2027"},
                                              {CDateTime(2026, 12, 7, 16, 0, 0), ""},
                                              {CDateTime(-1.25), "Before 1900"},
                                              {CDateTime(0.5, CDateTime::invalid), "No time"}};
    content.todos = std::vector<CTodoItem>{{"High and done", CTodoItem::high, 1},
                                           {"Medium, open", CTodoItem::medium, 0},
                                           {"Low\r\ndone twice", CTodoItem::low, 2},
                                           {"", CTodoItem::low, 0},
                                           {"Odd values", 7, -4}};
    content.minutes = std::vector<std::string>{"Agreed:\r\nnew budget.", "", "Ende — ok"};
    return meeting;
}

class CalendarRoundTrip : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override { SetWorkingDirectory({}); }

    CTempFolder folder;
};

TEST_F(CalendarRoundTrip, EveryFieldComesBackThroughAnEmptyFolder) {
    const CCalendarMeeting original = FullMeeting();
    const CCalendarImport parsed = ParseCalendar(BuildCalendar({original}));
    EXPECT_TRUE(parsed.skipped.empty());
    EXPECT_TRUE(parsed.remarks.empty());

    CMeetingStore store;
    ASSERT_EQ(StoreImportedMeetings(store, parsed.meetings), 1u);
    CMeetingStore reread;
    reread.LoadAll();
    ASSERT_EQ(reread.GetCount(), 1u);
    const std::string id = reread.begin()->Key();
    EXPECT_NE(id, original.record.id);

    CMeeting expected = original.record;
    expected.id = id;
    const CMeeting back = reread.GetMeeting(id);
    EXPECT_EQ(back.reference, expected.reference);
    EXPECT_EQ(back.title, expected.title);
    EXPECT_EQ(back.venue, expected.venue);
    EXPECT_EQ(back.presidedBy, expected.presidedBy);
    EXPECT_EQ(back.notes, expected.notes);
    EXPECT_EQ(back.icon, expected.icon);
    EXPECT_EQ(back.date.GetDayCount(), expected.date.GetDayCount());
    EXPECT_EQ(back, expected);

    const CMeetingContent content = ReadMeetingContent(id);
    EXPECT_EQ(content.attendees, original.content.attendees);
    EXPECT_EQ(content.agenda, original.content.agenda);
    EXPECT_EQ(content.todos, original.content.todos);
    EXPECT_EQ(content.minutes, original.content.minutes);
}

// The lines of an iCalendar text, without their CR LF; `bare` counts lines ended by a lone LF.
std::vector<std::string> Lines(const std::string& text, int& bare) {
    std::vector<std::string> lines;
    bare = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') {
            --stop;
        } else {
            ++bare;
        }
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

int XLicErrors(icalcomponent* component) {
    int errors = icalcomponent_count_properties(component, ICAL_XLICERROR_PROPERTY);
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        errors += XLicErrors(child);
    }
    return errors;
}

TEST(CalendarExport, PassesLibicalChecksAndFoldsLongLines) {
    CCalendarMeeting meeting = FullMeeting();
    // Long enough to need folding, with multi-byte characters across the fold points.
    for (int i = 0; i < 40; ++i) {
        meeting.record.notes += "Überstunden für Ærø ";
    }
    CCalendarMeeting second = FullMeeting();
    second.record.id = "2026120810000010";
    second.content = {};
    const std::string text = BuildCalendar({meeting, second});

    int bare = 0;
    const std::vector<std::string> lines = Lines(text, bare);
    EXPECT_EQ(bare, 0) << "every line ends with CR LF";
    bool folded = false;
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 75u) << line;
        folded = folded || line.starts_with(" ");
    }
    EXPECT_TRUE(folded);
    EXPECT_EQ(lines.front(), "BEGIN:VCALENDAR");
    EXPECT_NE(text.find("\r\nVERSION:2.0\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nPRODID:-//Tavelin//Tavelin "), std::string::npos);

    icalcomponent* parsed = icalparser_parse_string(text.c_str());
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ(XLicErrors(parsed), 0) << "errors while parsing";
    EXPECT_TRUE(icalrestriction_check(parsed));
    EXPECT_EQ(XLicErrors(parsed), 0) << "errors from icalrestriction_check";
    EXPECT_EQ(icalcomponent_count_components(parsed, ICAL_VEVENT_COMPONENT), 2);
    EXPECT_EQ(icalcomponent_count_components(parsed, ICAL_VTODO_COMPONENT), 5);
    icalcomponent_free(parsed);
}

// The file as a program that knows none of our X- properties keeps it.
std::string WithoutOwnProperties(const std::string& text) {
    icalcomponent* calendar = icalparser_parse_string(text.c_str());
    for (icalcomponent* child = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        while (icalproperty* own = icalcomponent_get_first_property(child, ICAL_X_PROPERTY)) {
            icalcomponent_remove_property(child, own);
            icalproperty_free(own);
        }
    }
    char* stripped = icalcomponent_as_ical_string_r(calendar);
    std::string result(stripped);
    std::free(stripped);
    icalcomponent_free(calendar);
    return result;
}

TEST(CalendarExport, OtherProgramsReadTheStandardProperties) {
    const CCalendarMeeting original = FullMeeting();
    const std::string text = BuildCalendar({original});
    EXPECT_NE(text.find("\r\nUID:2026120709000010@tavelin.invalid\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDTSTART:20261207T143000\r\n"), std::string::npos)
        << "floating local time";
    EXPECT_NE(text.find("\r\nDURATION:PT1H\r\n"), std::string::npos);

    const CCalendarImport parsed = ParseCalendar(WithoutOwnProperties(text));
    ASSERT_EQ(parsed.meetings.size(), 1u);
    const CCalendarMeeting& seen = parsed.meetings[0];
    EXPECT_EQ(seen.record.title, original.record.title);
    EXPECT_EQ(seen.record.venue, original.record.venue);
    EXPECT_EQ(seen.record.presidedBy, original.record.presidedBy);
    EXPECT_EQ(seen.record.date, original.record.date);
    EXPECT_EQ(seen.content.attendees, original.content.attendees);
    // PRIORITY 1, 5 and 9 and STATUS bring back the three priorities and a plain done mark.
    EXPECT_EQ(seen.content.todos, (std::vector<CTodoItem>{{"High and done", CTodoItem::high, 1},
                                                          {"Medium, open", CTodoItem::medium, 0},
                                                          {"Low\r\ndone twice", CTodoItem::low, 1},
                                                          {"", CTodoItem::low, 0},
                                                          {"Odd values", CTodoItem::low, 1}}));
    // The description is what they show of the rest.
    for (const char* part :
         {"Reference: Ref; 7,\\ 2026", "Presided by: Zoë \"Zed\" Ångström",
          "First line\r\nSecond line, with; marks", "Agenda:\r\n14:30  Opening",
          "15:05  Zahlen\r\n2027", "Minutes:\r\n- Agreed:\r\nnew budget.", "- Ende — ok"}) {
        EXPECT_NE(seen.record.notes.find(part), std::string::npos) << part << " in:\n"
                                                                   << seen.record.notes;
    }
}

TEST(CalendarExport, StoredTextsBecomeValidUtf8) {
    CCalendarMeeting meeting;
    meeting.record = CMeeting(CDateTime(2026, 3, 10, 9, 0, 0));
    meeting.record.id = "2026 0310\xe9"; // an odd id from a file someone named by hand
    meeting.content.attendees = std::vector<std::string>{"Ann"};
    meeting.record.title = "Caf\xe9 \x80"; // Windows-1252 from an older system
    meeting.record.venue = std::string("Bell\x07 and\0NUL", 14);
    const std::string text = BuildCalendar({meeting});
    EXPECT_NE(text.find("SUMMARY:Café €\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("LOCATION:Bell andNUL\r\n"), std::string::npos)
        << "control characters iCalendar forbids are left out:\n"
        << text;
    EXPECT_NE(text.find("UID:2026 0310é@tavelin.invalid\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(":mailto:20260310-attendee-1@tavelin.invalid\r\n"), std::string::npos)
        << "no blank in an address";
    const CCalendarImport parsed = ParseCalendar(text);
    ASSERT_EQ(parsed.meetings.size(), 1u);
    EXPECT_EQ(parsed.meetings[0].record.title, "Café €");
}

TEST(CalendarExport, MeetingWithoutValidDateHasNoStartAndIsSkippedOnImport) {
    CCalendarMeeting meeting;
    meeting.record = CMeeting(CDateTime(0.0, CDateTime::invalid));
    meeting.record.id = "2026031009000010";
    meeting.record.title = "Undated";
    const std::string text = BuildCalendar({meeting});
    EXPECT_EQ(text.find("DTSTART"), std::string::npos);
    const CCalendarImport parsed = ParseCalendar(text);
    EXPECT_TRUE(parsed.meetings.empty());
    ASSERT_EQ(parsed.skipped.size(), 1u);
    EXPECT_EQ(parsed.skipped[0].summary, "Undated");
}

TEST(CalendarExport, OwnFieldsGiveWayWhenAnotherProgramMovedTheMeeting) {
    CCalendarMeeting meeting = FullMeeting();
    std::string text = BuildCalendar({meeting});
    const std::string start = "DTSTART:20261207T143000";
    text.replace(text.find(start), start.size(), "DTSTART:20261208T100000");
    const CCalendarImport parsed = ParseCalendar(text);
    ASSERT_EQ(parsed.meetings.size(), 1u);
    EXPECT_EQ(parsed.meetings[0].record.date, CDateTime(2026, 12, 8, 10, 0, 0));
}

// Our own check that the start is still ours compares it to the second.
TEST(CalendarExport, OwnDateGivesWayToAStartMovedBySeconds) {
    const std::string text = BuildCalendar({FullMeeting()});
    for (const char* moved : {"DTSTART:20261207T143045", "DTSTART:20261207T143100"}) {
        std::string changed = text;
        const std::string start = "DTSTART:20261207T143000";
        changed.replace(changed.find(start), start.size(), moved);
        const CCalendarImport parsed = ParseCalendar(changed);
        ASSERT_EQ(parsed.meetings.size(), 1u);
        const CDateTime::Parts parts = parsed.meetings[0].record.date.GetParts();
        EXPECT_EQ(parts.minute * 60 + parts.second,
                  std::string_view(moved).ends_with("45") ? 30 * 60 + 45 : 31 * 60)
            << moved;
    }
}

// Texts that libical trims, escapes or decodes, in every field our own file carries.
TEST(CalendarExport, OwnFileBringsBackEveryStoredTextExactly) {
    const std::vector<std::string> pieces = {"",
                                             " ",
                                             "\t",
                                             "  lead",
                                             "trail  ",
                                             "|",
                                             "a|",
                                             "^",
                                             "^n",
                                             "^'",
                                             "^^",
                                             "\"",
                                             ",",
                                             ";",
                                             ":",
                                             "\\",
                                             "\\n",
                                             "\r\n",
                                             "\r\n  ",
                                             "Ærø",
                                             "日本",
                                             "€",
                                             std::string(300, ' ') + "x"};
    std::mt19937 random(17);
    const auto text = [&] {
        std::string made;
        for (int count = static_cast<int>(random() % 4); count > 0; --count) {
            made += pieces[random() % pieces.size()];
        }
        return made;
    };
    std::vector<CCalendarMeeting> meetings;
    for (int i = 0; i < 60; ++i) {
        CCalendarMeeting meeting{CMeeting(CDateTime(2026, 3, 10, 9, 0, i % 60)), {}};
        CMeeting& record = meeting.record;
        record.id = "20260310090000" + std::to_string(10 + i);
        record.title = i == 0 ? "" : text();
        record.venue = text();
        record.reference = text();
        record.presidedBy = i == 1 ? "   " : text();
        record.notes = text();
        meeting.content.attendees = std::vector<std::string>{text(), "  ", text()};
        meeting.content.agenda = std::vector<CAgendaItem>{{record.date, text()}};
        meeting.content.todos = std::vector<CTodoItem>{{text(), CTodoItem::high, 0}};
        meeting.content.minutes = std::vector<std::string>{text(), text()};
        meetings.push_back(meeting);
    }
    const CCalendarImport parsed = ParseCalendar(BuildCalendar(meetings));
    ASSERT_EQ(parsed.meetings.size(), meetings.size());
    for (std::size_t i = 0; i < meetings.size(); ++i) {
        CMeeting expected = meetings[i].record;
        expected.id.clear();
        EXPECT_EQ(parsed.meetings[i].record, expected) << i;
        EXPECT_EQ(parsed.meetings[i].content.attendees, meetings[i].content.attendees) << i;
        EXPECT_EQ(parsed.meetings[i].content.agenda, meetings[i].content.agenda) << i;
        EXPECT_EQ(parsed.meetings[i].content.todos, meetings[i].content.todos) << i;
        EXPECT_EQ(parsed.meetings[i].content.minutes, meetings[i].content.minutes) << i;
    }
}

// Names as other programs read them: a caret is written so that it reads back as itself.
TEST(CalendarExport, CaretsInNamesComeBackThroughOtherProgramsReading) {
    CCalendarMeeting meeting = FullMeeting();
    const std::vector<std::string> names = {"A^B", "A^nB", "A^'B", "A^^B", "Quote \"q\" ^", "^"};
    meeting.content.attendees = names;
    meeting.record.presidedBy = "Chair ^n";
    // Our own lines taken out as text: libical itself would write the names again, with the
    // very fault it has.
    const std::string text = BuildCalendar({meeting});
    std::string others;
    bool own = false;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        own = line.starts_with("X-TAVELIN-") || (own && line.starts_with(" "));
        others += own ? "" : line + "\r\n";
    }
    const CCalendarImport parsed = ParseCalendar(others);
    ASSERT_EQ(parsed.meetings.size(), 1u);
    EXPECT_EQ(parsed.meetings[0].content.attendees, names);
    EXPECT_EQ(parsed.meetings[0].record.presidedBy, "Chair ^n");

    const CCalendarImport other =
        ParseCalendar("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nSUMMARY:S\r\n"
                      "DTSTART:20260310T090000\r\nATTENDEE;CN=A^^nB:mailto:a@example.org\r\n"
                      "END:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_EQ(other.meetings.size(), 1u);
    EXPECT_EQ(other.meetings[0].content.attendees, (std::vector<std::string>{"A^nB"}));
}

// Every write fails, as on a full disk.
class CFullDisk : public CFileCalls {
public:
    ssize_t Write(int, const void*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

class CalendarExportFile : public CalendarRoundTrip {
protected:
    void TearDown() override {
        SetFileCalls(nullptr);
        CalendarRoundTrip::TearDown();
    }
};

TEST_F(CalendarExportFile, WritesStoredMeetingsWithTheirListsAndReportsFailures) {
    CMeetingStore store;
    const CCalendarMeeting full = FullMeeting();
    CMeeting record = full.record;
    const std::string id = store.AddMeeting(record);
    WriteAgendaFile(id, *full.content.agenda);
    WriteTodoFile(id, *full.content.todos);

    const std::filesystem::path file = folder / "out.ics";
    ExportCalendar(store, {id, "2001010100000010"}, file);
    const CCalendarImport parsed = ParseCalendar(folder.ReadFile("out.ics"));
    ASSERT_EQ(parsed.meetings.size(), 1u) << "an id no longer stored is left out";
    EXPECT_EQ(parsed.meetings[0].content.agenda, full.content.agenda);
    EXPECT_EQ(parsed.meetings[0].content.todos, full.content.todos);
    EXPECT_FALSE(parsed.meetings[0].content.attendees) << "no attendee file, no list";
    EXPECT_FALSE(parsed.meetings[0].content.minutes);

    const std::string before = folder.ReadFile("out.ics");
    CFullDisk fullDisk;
    SetFileCalls(&fullDisk);
    try {
        ExportCalendar(store, {id}, file);
        ADD_FAILURE() << "a file that cannot be written is reported";
    } catch (const CFileError& error) {
        EXPECT_NE(error.GetPath().find("out.ics"), std::string::npos) << error.what();
    }
    SetFileCalls(nullptr);
    EXPECT_EQ(folder.ReadFile("out.ics"), before) << "the old file stays whole";
}

} // namespace
