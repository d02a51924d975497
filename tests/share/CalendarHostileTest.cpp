// Files made to hurt the import: each is built here, never stored.

#include "share/CalendarExport.h"
#include "share/CalendarImport.h"
#include "share/CalendarSource.h"
#include "share/CalendarZone.h"
#include "tests/share/DateText.h"
#include "tests/support/TempFolder.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string Calendar(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Calendar//EN\r\n" + body +
           "END:VCALENDAR\r\n";
}

std::string Event(const std::string& lines) {
    return "BEGIN:VEVENT\r\nDTSTAMP:20260101T000000Z\r\n" + lines + "END:VEVENT\r\n";
}

// Far deeper than the stack takes when a tree of that depth is walked or freed recursively.
TEST(CalendarHostile, DeeplyNestedEntriesAreRefusedWithAReason) {
    constexpr int depth = 300'000;
    std::string text = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < depth; ++i) {
        text += "BEGIN:VEVENT\r\n";
    }
    for (int i = 0; i < depth; ++i) {
        text += "END:VEVENT\r\n";
    }
    text += "END:VCALENDAR\r\n";
    try {
        ParseCalendar(text);
        ADD_FAILURE() << "a file nested that deep is refused";
    } catch (const CCalendarParseError& error) {
        EXPECT_NE(std::string(error.what()).find("nested"), std::string::npos) << error.what();
    }
    // As deep as the limit, split over folded lines and closed as it goes, still parses.
    std::string deep = Calendar(Event("SUMMARY:Alarmed\r\nDTSTART:20260310T090000\r\n"
                                      "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\n"
                                      "END:VALARM\r\n"));
    for (int i = 0; i < 40; ++i) {
        deep +=
            "BEG\r\n IN:X-DEEP" + std::to_string(i) + "\r\nEND:X-DEEP" + std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(ParseCalendar(deep).meetings.size(), 1u);
}

TEST(CalendarHostile, LongLinesAreFoldedForTheParserAndReadBackWhole) {
    // Blanks and multi-byte characters fall on the fold points.
    std::string notes = "N"; // libical drops the blanks a value starts with
    for (int i = 0; notes.size() < 600'000; ++i) {
        notes += i % 3 == 0 ? "  Ærø  " : i % 3 == 1 ? "x\\, y" : "日本";
    }
    const std::string text =
        Calendar(Event("SUMMARY:Long\r\nDTSTART:20260310T090000\r\nDESCRIPTION:" + notes + "\r\n"));
    const std::string input = ParserInput(text);
    std::size_t longest = 0;
    for (std::size_t start = 0; start < input.size();) {
        const std::size_t end = input.find("\r\n", start);
        longest = std::max(longest, end - start);
        start = end + 2;
    }
    EXPECT_LE(longest, maxParserLineLength);

    const CCalendarImport result = ParseCalendar(text);
    ASSERT_EQ(result.meetings.size(), 1u);
    std::string expected = notes;
    for (std::size_t at = 0; (at = expected.find("\\,", at)) != std::string::npos; ++at) {
        expected.erase(at, 1);
    }
    EXPECT_TRUE(result.meetings[0].record.notes == expected) << "the notes come back whole";

    // Lines ended by a bare LF, as some programs write them, fold too.
    std::string bare = "BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:" + std::string(1000, 'b') +
                       "\nDTSTART:20260310T090000\nEND:VEVENT\nEND:VCALENDAR\n";
    const CCalendarImport lf = ParseCalendar(bare);
    ASSERT_EQ(lf.meetings.size(), 1u);
    EXPECT_EQ(lf.meetings[0].record.title, std::string(1000, 'b'));
}

TEST(CalendarHostile, Utf16FilesAreRead) {
    const std::string text = Calendar(Event("SUMMARY:Café 日本\r\nDTSTART:20260310T090000\r\n"));
    const std::u16string wide = QString::fromStdString(text).toStdU16String();
    for (const bool bigEndian : {false, true}) {
        for (const bool bom : {true, false}) {
            std::string bytes = bom ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
            for (const char16_t unit : wide) {
                const char high = static_cast<char>(unit >> 8);
                const char low = static_cast<char>(unit & 0xFF);
                bytes += bigEndian ? std::string{high, low} : std::string{low, high};
            }
            const CCalendarImport result = ParseCalendar(bytes);
            ASSERT_EQ(result.meetings.size(), 1u) << bigEndian << bom;
            EXPECT_EQ(result.meetings[0].record.title, "Café 日本") << bigEndian << bom;
        }
    }
    EXPECT_THROW(ParseCalendar("\xFF\xFEthis is no calendar"), CCalendarParseError);
}

TEST(CalendarHostile, OnlyPlainZoneNamesAreLookedUpAsFiles) {
    const std::pair<const char*, bool> names[] = {
        {"Europe/Berlin", true},
        {"America/Argentina/Buenos_Aires", true},
        {"/freeassociation.sourceforge.net/Tzfile/Europe/Berlin", true},
        {"../../../../tmp/x", false},
        {"Europe/../../x", false},
        {"/tmp/x", false},
        {"/freeassociation.sourceforge.net/../x", false},
        {"Europe//Berlin", false},
        {"./Berlin", false},
        {"Europe\\Berlin", false},
    };
    for (const auto& [name, plain] : names) {
        EXPECT_EQ(IsPlainZoneName(name), plain) << name;
    }
}

// A zone file planted outside the zone folder is not read: the time stays as written.
TEST(CalendarHostile, ZoneNamesLeavingTheZoneFolderAreNotFollowed) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    CTempFolder folder;
    std::filesystem::copy_file("/usr/share/zoneinfo/Asia/Tokyo", folder / "x");
    const std::string tzid = "../../../../../../../../../.." + (folder / "x").string();
    const CCalendarImport result = ParseCalendar(
        Calendar(Event("SUMMARY:Planted\r\nDTSTART;TZID=" + tzid + ":20260310T090000\r\n")));
    ::unsetenv("TZ");
    ::tzset();
    ASSERT_EQ(result.meetings.size(), 1u);
    EXPECT_EQ(When(result.meetings[0].record.date), "2026-03-10 09:00:00");
    ASSERT_EQ(result.remarks.size(), 1u);
    EXPECT_NE(result.remarks[0].reason.find("unknown"), std::string::npos);
}

TEST(CalendarHostile, ZonesFarFromUtcAreRefusedWithAReason) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const auto zone = [](const char* offset) {
        return std::string("BEGIN:VTIMEZONE\r\nTZID:Odd\r\nBEGIN:STANDARD\r\n"
                           "DTSTART:19700101T000000\r\nTZOFFSETFROM:") +
               offset + "\r\nTZOFFSETTO:" + offset + "\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    };
    const std::string event = Event("SUMMARY:Odd\r\nDTSTART;TZID=Odd:20260310T090000\r\n");
    const std::pair<const char*, const char*> cases[] = {
        {"+9999", "2026-03-10 09:00:00"},
        {"-9959", "2026-03-10 09:00:00"},
        {"+1801", "2026-03-10 09:00:00"},
        {"+1800", "2026-03-09 15:00:00"},
    };
    for (const auto& [offset, when] : cases) {
        const CCalendarImport result = ParseCalendar(Calendar(zone(offset) + event));
        ASSERT_EQ(result.meetings.size(), 1u) << offset;
        EXPECT_EQ(When(result.meetings[0].record.date), when) << offset;
        const bool refused = std::string_view(when) == "2026-03-10 09:00:00";
        ASSERT_EQ(result.remarks.size(), refused ? 1u : 0u) << offset;
        if (refused) {
            EXPECT_NE(result.remarks[0].reason.find("18 hours"), std::string::npos);
        }
    }
    ::unsetenv("TZ");
    ::tzset();
}

TEST(CalendarHostile, DatesUpToTheYear9999GoOutAndComeBack) {
    for (const CDateTime date :
         {CDateTime(3001, 1, 1, 8, 0, 0), CDateTime(9999, 12, 31, 23, 59, 59),
          CDateTime(100, 1, 1, 0, 0, 0)}) {
        CCalendarMeeting meeting{CMeeting(date), {}};
        meeting.record.id = "2026031009000010";
        meeting.record.title = "Far";
        const std::string text = BuildCalendar({meeting});
        EXPECT_EQ(text.find("00000000T000000"), std::string::npos) << When(date);
        const CCalendarImport back = ParseCalendar(text);
        ASSERT_EQ(back.meetings.size(), 1u) << When(date);
        EXPECT_EQ(back.meetings[0].record.date, date) << When(date);
    }
    const CCalendarImport other =
        ParseCalendar(Calendar(Event("SUMMARY:Last\r\nDTSTART:99991231T235959\r\n")));
    ASSERT_EQ(other.meetings.size(), 1u);
    EXPECT_EQ(When(other.meetings[0].record.date), "9999-12-31 23:59:59");
}

// Empty entries cost bytes in a file too: the agenda file's entries take 13 bytes each.
TEST(CalendarHostile, ListsAreMeasuredAsTheirFilesAreWritten) {
    CCalendarMeeting meeting{CMeeting(CDateTime(2026, 3, 10, 9, 0, 0)), {}};
    meeting.content.agenda = std::vector<CAgendaItem>(1'300'000);
    EXPECT_FALSE(FitsStoredFiles(meeting));
    meeting.content.agenda->resize(1'200'000);
    EXPECT_TRUE(FitsStoredFiles(meeting));
}

TEST(CalendarHostile, AgendaTimeStatusesAreReadAsTheAgendaFileIsRead) {
    std::string items;
    for (const char* status : {"0", "1", "2", "3", "-1", "2147483647", "x"}) {
        items +=
            "X-TAVELIN-AGENDA;X-TAVELIN-TIME=46091.5;X-TAVELIN-TIME-STATUS=" + std::string(status) +
            ":item|\r\n";
    }
    const CCalendarImport result = ParseCalendar(Calendar(
        Event("SUMMARY:Own\r\nDTSTART:20260310T090000\r\nX-TAVELIN-CONTENT:agenda\r\n" + items)));
    ASSERT_EQ(result.meetings.size(), 1u);
    ASSERT_TRUE(result.meetings[0].content.agenda);
    std::vector<int> statuses;
    for (const CAgendaItem& item : *result.meetings[0].content.agenda) {
        statuses.push_back(item.time.GetStatus());
    }
    EXPECT_EQ(statuses, (std::vector<int>{0, 1, 2, 1, 1, 1, 0}));
}

} // namespace
