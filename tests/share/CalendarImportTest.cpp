// Files of other programs, made here or real ones kept beside the source tree, and files made
// to hurt the import.

#include "share/CalendarZone.h"
#include "store/FileIo.h"
#include "tests/share/CalendarTexts.h"
#include "tests/support/EnvironmentScope.h"
#include "tests/support/TempFolder.h"

#include <QString>

#include <libical/ical.h>

#include <array>
#include <fstream>
#include <iterator>

namespace {

const char* const newYorkZone = "BEGIN:VTIMEZONE\r\nTZID:Eastern\r\n"
                                "BEGIN:STANDARD\r\nDTSTART:19701101T020000\r\n"
                                "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
                                "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
                                "BEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\n"
                                "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
                                "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\n"
                                "END:VTIMEZONE\r\n";

std::string Zone(const char* offset) {
    return std::string("BEGIN:VTIMEZONE\r\nTZID:Odd\r\nBEGIN:STANDARD\r\n"
                       "DTSTART:19700101T000000\r\nTZOFFSETFROM:") +
           offset + "\r\nTZOFFSETTO:" + offset + "\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
}

std::vector<std::string> Summaries(const std::vector<CImportRemark>& remarks) {
    std::vector<std::string> summaries;
    for (const CImportRemark& remark : remarks) {
        EXPECT_FALSE(remark.reason.empty()) << remark.summary;
        summaries.push_back(remark.summary);
    }
    return summaries;
}

// Real files of other calendar programs and libraries, kept beside the source tree in
// ../shared/ics-corpus (they are not ours to copy into it: see its MANIFEST.tsv).
std::filesystem::path CorpusFolder() {
    return std::filesystem::path(TAVELIN_SOURCE_DIR) / ".." / "shared" / "ics-corpus" / "files";
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int CountKind(icalcomponent* component, icalcomponent_kind kind) {
    int count = icalcomponent_isa(component) == kind ? 1 : 0;
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        count += CountKind(child, kind);
    }
    return count;
}

// What libical itself finds in a file, anywhere in it: whether it parses, and how many
// calendars, events and tasks it holds.
std::array<int, 4> CountEntries(std::string text) {
    std::erase(text, '\0'); // else libical stops at a NUL byte and misses the rest
    icalcomponent* root = icalparser_parse_string(text.c_str());
    if (!root) {
        return {0, 0, 0, 0};
    }
    const std::array<int, 4> counts = {1, CountKind(root, ICAL_VCALENDAR_COMPONENT),
                                       CountKind(root, ICAL_VEVENT_COMPONENT),
                                       CountKind(root, ICAL_VTODO_COMPONENT)};
    icalcomponent_free(root);
    return counts;
}

} // namespace

// Starts become the wall time of the system's zone, as the user in Berlin sees them; a zone
// unknown, planted outside the zone folder or too far from UTC keeps the time as written and
// is remarked on.
TEST(CalendarImport, StartsBecomeWallTimeOfTheSystemZone) {
    const CEnvironmentScope berlin("TZ", "Europe/Berlin");
    CTempFolder planted;
    std::filesystem::copy_file("/usr/share/zoneinfo/Asia/Tokyo", planted / "x");
    const std::string outside = "../../../../../../../../../.." + (planted / "x").string();
    const struct {
        std::string zone, start;
        const char* when;
        bool remarked;
    } cases[] = {
        {"", "DTSTART;VALUE=DATE:20261224", "2026-12-24 00:00:00", false},
        {"", "DTSTART:20260701T120000Z", "2026-07-01 14:00:00", false},
        {"", "DTSTART:20260115T120000Z", "2026-01-15 13:00:00", false},
        {newYorkZone, "DTSTART;TZID=Eastern:20260115T090000", "2026-01-15 15:00:00", false},
        {"", "DTSTART;TZID=Asia/Tokyo:20260115T090000", "2026-01-15 01:00:00", false},
        {"", "DTSTART:20260310T083015", "2026-03-10 08:30:15", false},
        {"", "DTSTART;TZID=Mars/Olympus:20260310T083000", "2026-03-10 08:30:00", true},
        {"", "DTSTART;TZID=" + outside + ":20260310T090000", "2026-03-10 09:00:00", true},
        {Zone("+1800"), "DTSTART;TZID=Odd:20260310T090000", "2026-03-09 16:00:00", false},
        {Zone("+1801"), "DTSTART;TZID=Odd:20260310T090000", "2026-03-10 09:00:00", true},
        {Zone("-9959"), "DTSTART;TZID=Odd:20260310T090000", "2026-03-10 09:00:00", true},
    };
    for (const auto& c : cases) {
        const CCalendarImport result =
            ParseCalendar(Calendar(c.zone + Event("SUMMARY:S\r\n" + c.start + "\r\n")));
        EXPECT_EQ(When(OnlyMeeting(result).record.date), c.when) << c.zone << c.start;
        EXPECT_EQ(result.remarks.size(), c.remarked ? 1u : 0u) << c.zone << c.start;
    }
    EXPECT_TRUE(IsPlainZoneName("/freeassociation.sourceforge.net/Tzfile/Europe/Berlin"));
    for (const char* name : {"Europe/../../x", "/freeassociation.sourceforge.net/../x", "./B"}) {
        EXPECT_FALSE(IsPlainZoneName(name)) << name;
    }
}

TEST(CalendarImport, FieldsOfAnotherProgramsEvent) {
    const CCalendarImport result = ParseCalendar(Calendar(
        Event("UID:board-1@example.org\r\n"
              "SUMMARY:Board\\, quarterly\r\n"
              "DTSTART:20260310T090000\r\n"
              "LOCATION:Room 4\\; east wing\r\n"
              "DESCRIPTION:Bring the figures.\\nAnd the plan\\, too.\\r\\nEnd\r\n"
              "ORGANIZER;CN=\"Chair, Anne\":mailto:anne@example.org\r\n"
              "ATTENDEE;CN=Bob ^'Bobby^' Ray;ROLE=REQ-PARTICIPANT:mailto:bob@example.org\r\n"
              "ATTENDEE:MAILTO:carol@example.org\r\n"
              "ATTENDEE;CN=\"  \":mailto:dave@example.org\r\n"
              "ATTENDEE;CN=A^^nB:mailto:a@example.org\r\n") +
        // Todos of the event, by every priority band and both ways of saying done; a child
        // or a sibling of the event is not one of its todos.
        "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Urgent\r\nPRIORITY:4\r\nSTATUS:COMPLETED\r\n"
        "RELATED-TO:board-1@example.org\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t2\r\nSUMMARY:Normal\r\nPRIORITY:5\r\nSTATUS:IN-PROCESS\r\n"
        "RELATED-TO;RELTYPE=PARENT:board-1@example.org\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t3\r\nSUMMARY:Later\r\nPRIORITY:6\r\n"
        "COMPLETED:20260101T100000Z\r\nRELATED-TO:board-1@example.org\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t4\r\nSUMMARY:Unranked\r\n"
        "RELATED-TO:board-1@example.org\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t5\r\nSUMMARY:Child\r\n"
        "RELATED-TO;RELTYPE=CHILD:board-1@example.org\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t6\r\nSUMMARY:Sibling\r\n"
        "RELATED-TO;RELTYPE=SIBLING:board-1@example.org\r\nEND:VTODO\r\n"));

    const CCalendarMeeting meeting = OnlyMeeting(result);
    EXPECT_EQ(meeting.record.id, "");
    EXPECT_EQ(meeting.record.title, "Board, quarterly");
    EXPECT_EQ(meeting.record.venue, "Room 4; east wing");
    EXPECT_EQ(meeting.record.notes, "Bring the figures.\r\nAnd the plan, too.\r\nEnd");
    EXPECT_EQ(meeting.record.presidedBy, "Chair, Anne");
    EXPECT_EQ(meeting.content.attendees,
              (std::vector<std::string>{"Bob \"Bobby\" Ray", "carol@example.org",
                                        "dave@example.org", "A^nB"}));
    EXPECT_FALSE(meeting.content.agenda) << "no agenda file for another program's event";
    EXPECT_FALSE(meeting.content.minutes);
    EXPECT_EQ(meeting.content.todos, (std::vector<CTodoItem>{{"Urgent", CTodoItem::high, 1},
                                                             {"Normal", CTodoItem::medium, 0},
                                                             {"Later", CTodoItem::low, 1},
                                                             {"Unranked", CTodoItem::low, 0}}));
    EXPECT_EQ(Summaries(result.skipped), (std::vector<std::string>{"Child", "Sibling"}));
}

TEST(CalendarImport, EntriesSkippedOrRemarkedWithAReasonAndNonCalendarsRefused) {
    const CCalendarImport result = ParseCalendar(
        Calendar(Event("UID:1\r\nDTSTART:20260310T090000\r\n") +
                 Event("UID:2\r\nSUMMARY:   \r\nDTSTART:20260311T090000\r\n") +
                 Event("UID:3\r\nSUMMARY:Undated\r\n") +
                 Event("UID:4\r\nSUMMARY:Weekly\r\nDTSTART:20260302T100000\r\n"
                       "RRULE:FREQ=WEEKLY;COUNT=10\r\n") +
                 Event("UID:4\r\nSUMMARY:Weekly moved\r\nRECURRENCE-ID:20260309T100000\r\n"
                       "DTSTART:20260309T120000\r\n") +
                 Event("UID:5\r\nSUMMARY:Moved alone\r\nRECURRENCE-ID:20260309T100000\r\n"
                       "DTSTART:20260309T120000\r\n") +
                 Event("UID:6\r\nSUMMARY:Two dates\r\nDTSTART:20260302T100000\r\n"
                       "RDATE:20260402T100000\r\n") +
                 Event("UID:7\r\nSUMMARY:Far past\r\nDTSTART:00500101T100000\r\n") +
                 "BEGIN:VTODO\r\nUID:t\r\nSUMMARY:Loose task\r\nEND:VTODO\r\n"
                 "BEGIN:VTODO\r\nUID:u\r\nSUMMARY:Of an undated "
                 "event\r\nRELATED-TO:3\r\nEND:VTODO\r\n") +
        // An event after the calendar's end, as a file glued from two makes it.
        Event("UID:8\r\nSUMMARY:Stray\r\nDTSTART:20260310T090000\r\n"));
    std::vector<std::string> titles;
    for (const CCalendarMeeting& meeting : result.meetings) {
        titles.push_back(meeting.record.title);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"No Subject", "No Subject", "Weekly", "Moved alone",
                                                "Two dates"}));
    EXPECT_EQ(Summaries(result.skipped),
              (std::vector<std::string>{"Undated", "Weekly moved", "Far past", "Loose task",
                                        "Of an undated event", "Stray"}));
    EXPECT_EQ(Summaries(result.remarks), (std::vector<std::string>{"Weekly", "Two dates"}));
    // Files that are no calendar throw.
    for (const std::string& file : {std::string(), std::string("this is no calendar at all"),
                                    std::string("\xFF\xFEthis is no calendar"),
                                    Event("SUMMARY:Bare\r\nDTSTART:20260310T090000\r\n")}) {
        EXPECT_THROW(ParseCalendar(file), CCalendarParseError) << file;
    }
}

// Whatever the encoding, texts are stored as UTF-8 with CR LF: Windows-1252 behind a byte
// order mark, UTF-16 of either order with or without one, bare LF lines; a NUL byte from a
// damaged file does not end the file there.
TEST(CalendarImport, TextsAreStoredAsUtf8WithCrLf) {
    const CCalendarMeeting old = OnlyMeeting(ParseCalendar(
        "\xEF\xBB\xBF" + Calendar(Event("SUMMARY:Caf\xe9 \x80\r\nDTSTART:20260310T090000\r\n"
                                        "DESCRIPTION:a\\nb\\r\\nc\r\nLOCATION:Zürich\r\n"))));
    EXPECT_EQ(old.record.title, "Café €");
    EXPECT_EQ(old.record.venue, "Zürich");
    EXPECT_EQ(old.record.notes, "a\r\nb\r\nc");

    const std::u16string wide =
        QString::fromStdString(Calendar(Event("SUMMARY:Café 日本\r\nDTSTART:20260310T090000\r\n")))
            .toStdU16String();
    for (const bool bigEndian : {false, true}) {
        for (const bool bom : {true, false}) {
            std::string bytes = bom ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
            for (const char16_t unit : wide) {
                const char high = static_cast<char>(unit >> 8);
                const char low = static_cast<char>(unit & 0xFF);
                bytes += bigEndian ? std::string{high, low} : std::string{low, high};
            }
            EXPECT_EQ(OnlyMeeting(ParseCalendar(bytes)).record.title, "Café 日本")
                << bigEndian << bom;
        }
    }
    const std::string bare = "BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:" + std::string(1000, 'b') +
                             "\nDESCRIPTION:one\\ntwo\nDTSTART:20260310T090000\nEND:VEVENT\n"
                             "END:VCALENDAR\n";
    const CCalendarMeeting lf = OnlyMeeting(ParseCalendar(bare));
    EXPECT_EQ(lf.record.title, std::string(1000, 'b')) << "bare LF lines are folded too";
    EXPECT_EQ(lf.record.notes, "one\r\ntwo");
    const CCalendarImport both = ParseCalendar(Calendar(
        Event(std::string("SUMMARY:First\r\nDTSTART:20260310T090000\r\nLOCATION:A\0B\r\n", 54)) +
        Event("SUMMARY:Second\r\nDTSTART:20260311T090000\r\n")));
    ASSERT_EQ(both.meetings.size(), 2u);
    EXPECT_EQ(both.meetings[0].record.venue, "AB");
}

// Far deeper than the stack takes when a tree of that depth is walked or freed recursively;
// as deep as the limit, split over folded lines and closed as it goes, still parses. Long
// lines are folded for the parser and read back whole.
TEST(CalendarImport, DeepNestingIsRefusedAndLongLinesReadWhole) {
    constexpr int depth = 300'000;
    std::string text = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < depth; ++i) {
        text += "BEGIN:VEVENT\r\n";
    }
    for (int i = 0; i < depth; ++i) {
        text += "END:VEVENT\r\n";
    }
    try {
        ParseCalendar(text + "END:VCALENDAR\r\n");
        ADD_FAILURE() << "a file nested that deep is refused";
    } catch (const CCalendarParseError& error) {
        EXPECT_NE(std::string(error.what()).find("nested"), std::string::npos) << error.what();
    }
    std::string deep = Calendar(Event("SUMMARY:Alarmed\r\nDTSTART:20260310T090000\r\n"
                                      "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\n"
                                      "END:VALARM\r\n"));
    for (int i = 0; i < 40; ++i) {
        deep += "BEG\r\n IN:X-D" + std::to_string(i) + "\r\nEND:X-D" + std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(ParseCalendar(deep).meetings.size(), 1u);

    std::string notes = "N"; // libical drops the blanks a value starts with
    for (int i = 0; notes.size() < 600'000; ++i) {
        notes += i % 3 == 0 ? "  Ærø  " : i % 3 == 1 ? "x\\, y" : "日本";
    }
    const std::string longText =
        Calendar(Event("SUMMARY:Long\r\nDTSTART:20260310T090000\r\nDESCRIPTION:" + notes + "\r\n"));
    std::string expected = notes;
    for (std::size_t at = 0; (at = expected.find("\\,", at)) != std::string::npos; ++at) {
        expected.erase(at, 1);
    }
    EXPECT_TRUE(OnlyMeeting(ParseCalendar(longText)).record.notes == expected) << "notes not whole";
}

// A meeting file larger than the readers take in would be found damaged at the next start,
// empty entries cost bytes too (13 for an agenda entry), and a megabyte of notes is kept.
// (Lines of a megabyte: libical takes time that grows with the square of a line's length.)
TEST(CalendarImport, EventTooLargeForItsFilesIsSkipped) {
    const std::string megabyte(std::size_t{1} << 20, 'x');
    std::string attendees, todos;
    for (std::size_t i = 0; i <= maxDataFileSize >> 20; ++i) {
        attendees += "ATTENDEE;CN=" + megabyte + ":mailto:a@example.org\r\n";
        todos += "BEGIN:VTODO\r\nSUMMARY:" + megabyte + "\r\nRELATED-TO:2\r\nEND:VTODO\r\n";
    }
    const CCalendarImport result = ParseCalendar(Calendar(
        Event("UID:1\r\nSUMMARY:Crowded\r\nDTSTART:20260310T090000\r\n" + attendees) +
        Event("UID:2\r\nSUMMARY:Busy\r\nDTSTART:20260310T090000\r\n") + todos +
        Event("UID:3\r\nSUMMARY:Large\r\nDTSTART:20260310T090000\r\nDESCRIPTION:" + megabyte +
              "\r\n")));
    EXPECT_EQ(OnlyMeeting(result).record.title, "Large");
    EXPECT_EQ(Summaries(result.skipped), (std::vector<std::string>{"Crowded", "Busy"}));

    CCalendarMeeting meeting{CMeeting(CDateTime(2026, 3, 10, 9, 0, 0)), {}};
    meeting.content.agenda = std::vector<CAgendaItem>(1'300'000);
    EXPECT_FALSE(FitsStoredFiles(meeting));
    meeting.content.agenda->resize(1'200'000);
    EXPECT_TRUE(FitsStoredFiles(meeting));
}

// A time status other than valid, invalid or null is read as invalid, as the agenda file
// reader does; no number at all as valid.
TEST(CalendarImport, AgendaTimeStatusesAreReadAsTheAgendaFileIsRead) {
    std::string items;
    for (const char* status : {"0", "1", "2", "3", "-1", "2147483647", "x"}) {
        items +=
            "X-TAVELIN-AGENDA;X-TAVELIN-TIME=46091.5;X-TAVELIN-TIME-STATUS=" + std::string(status) +
            ":item|\r\n";
    }
    const CCalendarMeeting meeting = OnlyMeeting(ParseCalendar(Calendar(
        Event("SUMMARY:Own\r\nDTSTART:20260310T090000\r\nX-TAVELIN-CONTENT:agenda\r\n" + items))));
    std::vector<int> statuses;
    for (const CAgendaItem& item : meeting.content.agenda.value_or(std::vector<CAgendaItem>{})) {
        statuses.push_back(item.time.GetStatus());
    }
    EXPECT_EQ(statuses, (std::vector<int>{0, 1, 2, 1, 1, 1, 0}));
}

// Every file imports without a crash, and every event and task in it becomes a meeting or a
// todo of one, or is named among the skipped: nothing is dropped without a word.
TEST(CalendarCorpus, EveryEntryOfRealFilesIsImportedOrReported) {
    const std::filesystem::path folder = CorpusFolder();
    if (!std::filesystem::is_directory(folder)) {
        GTEST_SKIP() << "no corpus of real iCalendar files at " << folder;
    }
    int files = 0, refused = 0, meetings = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string text = ReadAll(entry.path());
        const std::string name = entry.path().filename().string();
        const auto [parses, calendars, events, tasks] = CountEntries(text);
        ++files;
        try {
            const CCalendarImport result = ParseCalendar(text);
            int todos = 0;
            for (const CCalendarMeeting& meeting : result.meetings) {
                todos +=
                    meeting.content.todos ? static_cast<int>(meeting.content.todos->size()) : 0;
                EXPECT_FALSE(meeting.record.title.empty()) << name;
                EXPECT_TRUE(meeting.record.date.IsValid()) << name;
            }
            for (const CImportRemark& remark : result.skipped) {
                EXPECT_FALSE(remark.reason.empty()) << name;
            }
            EXPECT_EQ(result.meetings.size() + result.skipped.size(),
                      static_cast<std::size_t>(events + tasks - todos))
                << name << ": " << events << " events, " << tasks << " tasks, " << todos;
            meetings += static_cast<int>(result.meetings.size());
        } catch (const CCalendarParseError&) {
            ++refused;
            EXPECT_TRUE(!parses || calendars == 0) << name << " holds a calendar and was refused";
        }
    }
    EXPECT_GE(files, 200) << "the corpus is incomplete";
    // Most of the corpus is ordinary calendars: a reader refusing them all would pass the
    // counts above.
    EXPECT_GT(meetings, files);
    EXPECT_LT(refused, files / 5);
    std::cout << files << " files, " << meetings << " meetings, " << refused << " refused\n";
}
