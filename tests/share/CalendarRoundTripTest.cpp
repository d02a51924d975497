// Export then import: our own file brings every stored byte back, and other programs read
// the standard properties of it.

#include "share/CalendarExport.h"
#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "tests/share/CalendarTexts.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/StoreFolder.h"

#include <libical/ical.h>

#include <random>

namespace {

// A meeting with every field: non-ASCII text, CR LF breaks, texts iCalendar must escape, a
// start between two whole seconds, every priority and done mark, an empty agenda item and
// minute.
CCalendarMeeting FullMeeting() {
    CCalendarMeeting meeting;
    CMeeting& record = meeting.record;
    record = CMeeting(CDateTime(CDateTime(2026, 12, 7, 14, 30, 0).GetDayCount() + 0.3 / 86400));
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

void ExpectSameMeeting(const CCalendarMeeting& back, const CCalendarMeeting& original,
                       const std::string& context) {
    CMeeting expected = original.record;
    expected.id = back.record.id;
    EXPECT_EQ(back.record, expected) << context;
    EXPECT_EQ(back.record.date.GetDayCount(), expected.date.GetDayCount()) << context;
    EXPECT_EQ(back.content.attendees, original.content.attendees) << context;
    EXPECT_EQ(back.content.agenda, original.content.agenda) << context;
    EXPECT_EQ(back.content.todos, original.content.todos) << context;
    EXPECT_EQ(back.content.minutes, original.content.minutes) << context;
}

// The file as a program that knows none of our own properties keeps it: libical writes those
// lines away, and our X- lines (and their folds) are taken out as text.
std::string WithoutOwnProperties(const std::string& text) {
    std::string others;
    bool own = false;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        own = line.starts_with("X-TAVELIN-") || (own && line.starts_with(" "));
        others += own ? "" : line + "\r\n";
    }
    return others;
}

int XLicErrors(icalcomponent* component) {
    int errors = icalcomponent_count_properties(component, ICAL_XLICERROR_PROPERTY);
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        errors += XLicErrors(child);
    }
    return errors;
}

using CalendarRoundTrip = CStoreFolderTest;

} // namespace

// Through the import's storing into an empty folder, a fresh load and an export of what was
// stored, every field and list comes back; a list without its file goes out as no list. A file
// that cannot be written is reported, and the old file stays whole.
TEST_F(CalendarRoundTrip, EveryFieldComesBackThroughTheFolderAndItsExport) {
    CCalendarMeeting original = FullMeeting();
    const CCalendarImport parsed = ParseCalendar(BuildCalendar({original}));
    EXPECT_TRUE(parsed.skipped.empty());
    EXPECT_TRUE(parsed.remarks.empty());
    ASSERT_EQ(StoreImportedMeetings(store, parsed.meetings), 1u);
    CMeetingStore reread;
    reread.LoadAll();
    ASSERT_EQ(reread.GetCount(), 1u);
    const std::string id = reread.begin()->Key();
    EXPECT_NE(id, original.record.id) << "an id from elsewhere is not kept";
    ExpectSameMeeting({reread.GetMeeting(id), ReadMeetingContent(id)}, original, "stored");

    std::filesystem::remove(ContentFilePath(ContentKind::attendees, id));
    original.content.attendees.reset();
    const std::filesystem::path file = folder / "out.ics";
    ExportCalendar(reread, {id, "2001010100000010"}, file);
    const std::string exported = folder.ReadFile("out.ics");
    ExpectSameMeeting(OnlyMeeting(ParseCalendar(exported)), original, "exported");

    CRecordingCalls fullDisk;
    fullDisk.Fail("write", ENOSPC);
    SetFileCalls(&fullDisk);
    try {
        ExportCalendar(reread, {id}, file);
        ADD_FAILURE() << "a file that cannot be written is reported";
    } catch (const CFileError& error) {
        EXPECT_NE(error.GetPath().find("out.ics"), std::string::npos) << error.what();
    }
    SetFileCalls(nullptr);
    EXPECT_EQ(folder.ReadFile("out.ics"), exported);
}

// Texts that libical trims, escapes or decodes, in every field our own file carries.
TEST(CalendarExport, OwnFileBringsBackEveryStoredTextExactly) {
    std::vector<std::string> pieces = {
        "",   " ", "\t", "  lead", "trail  ", "|",   "a|",   "^",      "^n",  "^'",   "^^",
        "\"", ",", ";",  ":",      "\\",      "\\n", "\r\n", "\r\n  ", "Ærø", "日本", "€"};
    pieces.push_back(std::string(300, ' ') + "x");
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
    meetings.push_back(FullMeeting());
    const CCalendarImport parsed = ParseCalendar(BuildCalendar(meetings));
    ASSERT_EQ(parsed.meetings.size(), meetings.size());
    for (std::size_t i = 0; i < meetings.size(); ++i) {
        ExpectSameMeeting(parsed.meetings[i], meetings[i], "meeting " + std::to_string(i));
    }
}

// What other programs read of the file: lines they can parse, the floating start of the whole
// second shown, an hour long, the texts they have a place for, the todos' priority bands and done
// marks, the people by a name that comes back whole (carets included), and the rest as a
// description.
TEST(CalendarExport, OtherProgramsReadTheStandardProperties) {
    CCalendarMeeting original = FullMeeting();
    const std::vector<std::string> names = {"A^B", "A^nB", "A^'B", "A^^B", "Quote \"q\" ^", "^"};
    original.content.attendees = names;
    for (int i = 0; i < 40; ++i) {
        original.record.notes += "Überstunden für Ærø ";
    }
    const std::string text = BuildCalendar({original});
    // Lines of CR LF no longer than 75 bytes, folded between characters, that libical reads
    // and checks without an error.
    bool folded = false;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        ASSERT_EQ(text[end - 1], '\r') << "a line ends with a lone LF";
        EXPECT_LE(end - 1 - start, 75u) << text.substr(start, end - start);
        folded = folded || text[start] == ' ';
    }
    EXPECT_TRUE(folded);
    icalcomponent* parsed = icalparser_parse_string(text.c_str());
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ(XLicErrors(parsed), 0) << "errors while parsing";
    EXPECT_TRUE(icalrestriction_check(parsed));
    EXPECT_EQ(XLicErrors(parsed), 0) << "errors from icalrestriction_check";
    icalcomponent_free(parsed);

    for (const char* line : {"\r\nUID:2026120709000010@tavelin.invalid\r\n",
                             "\r\nDTSTART:20261207T143000\r\n", "\r\nDURATION:PT1H\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    const CCalendarMeeting seen = OnlyMeeting(ParseCalendar(WithoutOwnProperties(text)));
    EXPECT_EQ(seen.record.title, original.record.title);
    EXPECT_EQ(seen.record.venue, original.record.venue);
    EXPECT_EQ(seen.record.presidedBy, original.record.presidedBy);
    EXPECT_EQ(When(seen.record.date), "2026-12-07 14:30:00");
    EXPECT_EQ(seen.content.attendees, names);
    EXPECT_EQ(seen.content.todos, (std::vector<CTodoItem>{{"High and done", CTodoItem::high, 1},
                                                          {"Medium, open", CTodoItem::medium, 0},
                                                          {"Low\r\ndone twice", CTodoItem::low, 1},
                                                          {"", CTodoItem::low, 0},
                                                          {"Odd values", CTodoItem::low, 1}}));
    for (const char* part :
         {"Reference: Ref; 7,\\ 2026", "Presided by: Zoë \"Zed\" Ångström",
          "First line\r\nSecond line, with; marks", "Agenda:\r\n14:30  Opening",
          "15:05  Zahlen\r\n2027", "Minutes:\r\n- Agreed:\r\nnew budget.", "- Ende — ok"}) {
        EXPECT_NE(seen.record.notes.find(part), std::string::npos) << part << " in:\n"
                                                                   << seen.record.notes;
    }
}

// Stored texts of an older system (Windows-1252) go out as UTF-8, and control characters
// iCalendar forbids, DEL among them, are left out: other programs refuse such a file.
TEST(CalendarExport, StoredTextsBecomeValidUtf8) {
    CCalendarMeeting meeting{CMeeting(CDateTime(2026, 3, 10, 9, 0, 0)), {}};
    meeting.record.id = "2026 0310\xe9"; // an odd id from a file someone named by hand
    meeting.content.attendees = std::vector<std::string>{"Ann"};
    meeting.record.title = "Caf\xe9 \x80";
    meeting.record.venue = std::string("Bell\x07 and\0NUL\x7f", 15);
    const std::string text = BuildCalendar({meeting});
    for (const char* line :
         {"SUMMARY:Café €\r\n", "LOCATION:Bell andNUL\r\n", "UID:2026 0310é@tavelin.invalid\r\n",
          ":mailto:20260310-attendee-1@tavelin.invalid\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << " in:\n" << text;
    }
    EXPECT_EQ(OnlyMeeting(ParseCalendar(text)).record.title, "Café €");
}

// Our own exact date stands only while the start is the one we wrote, to the second; dates
// to the ends of the calendar go out as text libical cannot spoil; a meeting without a valid
// date goes out without a start and is skipped on import.
TEST(CalendarExport, OwnDateGivesWayToAStartMovedByAnotherProgram) {
    const std::string text = BuildCalendar({FullMeeting()});
    const std::string start = "DTSTART:20261207T143000";
    for (const auto& [moved, when] :
         {std::pair{"DTSTART:20261208T100000", "2026-12-08 10:00:00"},
          std::pair{"DTSTART:20261207T143045", "2026-12-07 14:30:45"},
          std::pair{"DTSTART:20261207T143100", "2026-12-07 14:31:00"}}) {
        std::string changed = text;
        changed.replace(changed.find(start), start.size(), moved);
        const CDateTime date = OnlyMeeting(ParseCalendar(changed)).record.date;
        EXPECT_EQ(When(date), when) << moved;
        EXPECT_EQ(date, CDateTime::FromSerialSeconds(date.ToSerialSeconds())) << moved;
    }
    CCalendarMeeting meeting{CMeeting(CDateTime(0.0, CDateTime::invalid)), {}};
    meeting.record.id = "2026031009000010";
    meeting.record.title = "Undated";
    for (const CDateTime date :
         {CDateTime(9999, 12, 31, 23, 59, 59), CDateTime(100, 1, 1, 0, 0, 0)}) {
        meeting.record.date = date;
        EXPECT_EQ(When(OnlyMeeting(ParseCalendar(WithoutOwnProperties(BuildCalendar({meeting}))))
                           .record.date),
                  When(date));
    }
    meeting.record.date = CDateTime(0.0, CDateTime::invalid);
    const std::string none = BuildCalendar({meeting});
    EXPECT_EQ(none.find("DTSTART"), std::string::npos);
    const CCalendarImport parsed = ParseCalendar(none);
    EXPECT_TRUE(parsed.meetings.empty());
    ASSERT_EQ(parsed.skipped.size(), 1u);
    EXPECT_EQ(parsed.skipped[0].summary, "Undated");
}
