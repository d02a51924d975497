#include "share/CalendarImport.h"
#include "store/ContentFiles.h"
#include "store/FileCalls.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/share/DateText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

// Sets the system zone for one test, as a user in that zone has it.
class CZoneFor {
public:
    explicit CZoneFor(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~CZoneFor() {
        if (m_old) {
            ::setenv("TZ", m_old->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    std::optional<std::string> m_old;
};

std::string Calendar(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Calendar//EN\r\n" + body +
           "END:VCALENDAR\r\n";
}

std::string Event(const std::string& lines) {
    return "BEGIN:VEVENT\r\nDTSTAMP:20260101T000000Z\r\n" + lines + "END:VEVENT\r\n";
}

const CCalendarMeeting* Find(const CCalendarImport& result, std::string_view title) {
    for (const CCalendarMeeting& meeting : result.meetings) {
        if (meeting.record.title == title) {
            return &meeting;
        }
    }
    return nullptr;
}

const char* const newYorkZone = "BEGIN:VTIMEZONE\r\n"
                                "TZID:Eastern\r\n"
                                "BEGIN:STANDARD\r\n"
                                "DTSTART:19701101T020000\r\n"
                                "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
                                "TZOFFSETFROM:-0400\r\n"
                                "TZOFFSETTO:-0500\r\n"
                                "END:STANDARD\r\n"
                                "BEGIN:DAYLIGHT\r\n"
                                "DTSTART:19700308T020000\r\n"
                                "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
                                "TZOFFSETFROM:-0500\r\n"
                                "TZOFFSETTO:-0400\r\n"
                                "END:DAYLIGHT\r\n"
                                "END:VTIMEZONE\r\n";

TEST(CalendarImport, StartsBecomeWallTimeOfTheSystemZone) {
    CZoneFor berlin("Europe/Berlin");
    const CCalendarImport result = ParseCalendar(Calendar(
        std::string(newYorkZone) +
        Event("UID:a\r\nSUMMARY:All day\r\nDTSTART;VALUE=DATE:20261224\r\n") +
        Event("UID:b\r\nSUMMARY:UTC summer\r\nDTSTART:20260701T120000Z\r\n") +
        Event("UID:c\r\nSUMMARY:UTC winter\r\nDTSTART:20260115T120000Z\r\n") +
        Event("UID:d\r\nSUMMARY:Zone in file\r\nDTSTART;TZID=Eastern:20260115T090000\r\n") +
        Event("UID:e\r\nSUMMARY:Zone by name\r\nDTSTART;TZID=Asia/Tokyo:20260115T090000\r\n") +
        Event("UID:f\r\nSUMMARY:Floating\r\nDTSTART:20260310T083015\r\n") +
        Event("UID:g\r\nSUMMARY:Unknown zone\r\nDTSTART;TZID=Mars/Olympus:20260310T083000\r\n")));

    const std::pair<const char*, const char*> expected[] = {
        {"All day", "2026-12-24 00:00:00"},      {"UTC summer", "2026-07-01 14:00:00"},
        {"UTC winter", "2026-01-15 13:00:00"},   {"Zone in file", "2026-01-15 15:00:00"},
        {"Zone by name", "2026-01-15 01:00:00"}, {"Floating", "2026-03-10 08:30:15"},
        {"Unknown zone", "2026-03-10 08:30:00"}};
    ASSERT_EQ(result.meetings.size(), std::size(expected));
    for (const auto& [title, when] : expected) {
        const CCalendarMeeting* meeting = Find(result, title);
        ASSERT_NE(meeting, nullptr) << title;
        EXPECT_EQ(When(meeting->record.date), when) << title;
    }
    EXPECT_TRUE(result.skipped.empty());
    ASSERT_EQ(result.remarks.size(), 1u) << "only the unknown zone is remarked on";
    EXPECT_EQ(result.remarks[0].summary, "Unknown zone");
}

TEST(CalendarImport, FieldsOfAnotherProgramsEvent) {
    const CCalendarImport result = ParseCalendar(Calendar(
        Event("UID:board-1@example.org\r\n"
              "SUMMARY:Board\\, quarterly\r\n"
              "DTSTART:20260310T090000\r\n"
              "LOCATION:Room 4\\; east wing\r\n"
              "DESCRIPTION:Bring the figures.\\nAnd the plan\\, too.\r\n"
              "ORGANIZER;CN=\"Chair, Anne\":mailto:anne@example.org\r\n"
              "ATTENDEE;CN=Bob ^'Bobby^' Ray;ROLE=REQ-PARTICIPANT:mailto:bob@example.org\r\n"
              "ATTENDEE:MAILTO:carol@example.org\r\n"
              "ATTENDEE;CN=\"  \":mailto:dave@example.org\r\n") +
        // Todos of the event, by every priority band and both ways of saying done.
        "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Urgent\r\nPRIORITY:2\r\nSTATUS:COMPLETED\r\n"
        "RELATED-TO:board-1@example.org\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t2\r\nSUMMARY:Normal\r\nPRIORITY:5\r\nSTATUS:IN-PROCESS\r\n"
        "RELATED-TO;RELTYPE=PARENT:board-1@example.org\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t3\r\nSUMMARY:Later\r\nPRIORITY:8\r\n"
        "COMPLETED:20260101T100000Z\r\nRELATED-TO:board-1@example.org\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t4\r\nSUMMARY:Unranked\r\n"
        "RELATED-TO:board-1@example.org\r\nEND:VTODO\r\n"));

    ASSERT_EQ(result.meetings.size(), 1u);
    const CCalendarMeeting& meeting = result.meetings[0];
    EXPECT_EQ(meeting.record.id, "");
    EXPECT_EQ(meeting.record.title, "Board, quarterly");
    EXPECT_EQ(meeting.record.venue, "Room 4; east wing");
    EXPECT_EQ(meeting.record.notes, "Bring the figures.\r\nAnd the plan, too.");
    EXPECT_EQ(meeting.record.presidedBy, "Chair, Anne");
    EXPECT_EQ(meeting.record.reference, "");
    EXPECT_EQ(meeting.record.icon, 0);
    EXPECT_EQ(
        meeting.content.attendees,
        (std::vector<std::string>{"Bob \"Bobby\" Ray", "carol@example.org", "dave@example.org"}));
    EXPECT_FALSE(meeting.content.agenda) << "no agenda file for another program's event";
    EXPECT_FALSE(meeting.content.minutes);
    EXPECT_EQ(meeting.content.todos, (std::vector<CTodoItem>{{"Urgent", CTodoItem::high, 1},
                                                             {"Normal", CTodoItem::medium, 0},
                                                             {"Later", CTodoItem::low, 1},
                                                             {"Unranked", CTodoItem::low, 0}}));
    EXPECT_TRUE(result.skipped.empty());
}

TEST(CalendarImport, EntriesSkippedOrRemarkedWithAReason) {
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

    std::vector<std::string> skipped;
    for (const CImportRemark& remark : result.skipped) {
        EXPECT_FALSE(remark.reason.empty());
        skipped.push_back(remark.summary);
    }
    EXPECT_EQ(skipped, (std::vector<std::string>{"Undated", "Weekly moved", "Far past",
                                                 "Loose task", "Of an undated event", "Stray"}));
    std::vector<std::string> remarked;
    for (const CImportRemark& remark : result.remarks) {
        EXPECT_NE(remark.reason.find("first occurrence"), std::string::npos) << remark.reason;
        remarked.push_back(remark.summary);
    }
    EXPECT_EQ(remarked, (std::vector<std::string>{"Weekly", "Two dates"}));
}

TEST(CalendarImport, TextsAreStoredAsUtf8WithCrLf) {
    // Windows-1252 from an old program: é is one byte there. The byte order mark in front is
    // how Windows programs often start a file.
    const CCalendarImport result = ParseCalendar(
        "\xEF\xBB\xBF" + Calendar(Event("SUMMARY:Caf\xe9 \x80\r\nDTSTART:20260310T090000\r\n"
                                        "DESCRIPTION:a\\nb\\r\\nc\r\nLOCATION:Zürich\r\n")));
    ASSERT_EQ(result.meetings.size(), 1u);
    EXPECT_EQ(result.meetings[0].record.title, "Café €");
    EXPECT_EQ(result.meetings[0].record.venue, "Zürich");
    EXPECT_EQ(result.meetings[0].record.notes, "a\r\nb\r\nc");

    // A NUL byte from a damaged file does not end the file there.
    const std::string damaged = Calendar(
        Event(std::string("SUMMARY:First\r\nDTSTART:20260310T090000\r\nLOCATION:A\0B\r\n", 54)) +
        Event("SUMMARY:Second\r\nDTSTART:20260311T090000\r\n"));
    const CCalendarImport both = ParseCalendar(damaged);
    ASSERT_EQ(both.meetings.size(), 2u);
    EXPECT_EQ(both.meetings[0].record.venue, "AB");
    EXPECT_EQ(both.meetings[1].record.title, "Second");
}

// A meeting file larger than the readers take in would be found damaged at the next start.
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
    ASSERT_EQ(result.meetings.size(), 1u);
    EXPECT_EQ(result.meetings[0].record.title, "Large") << "a megabyte of notes is kept";
    ASSERT_EQ(result.skipped.size(), 2u);
    EXPECT_EQ(result.skipped[0].summary, "Crowded") << "its attendee list is too large";
    EXPECT_EQ(result.skipped[1].summary, "Busy") << "its todo list is too large";
}

TEST(CalendarImport, UnparsableFilesThrowAndAddNothing) {
    CTempFolder folder;
    SetWorkingDirectory(folder.Path());
    CMeetingStore store;
    const std::string files[] = {
        "",
        "this is no calendar at all",
        "\x89PNG\r\n\x1a\n binary",
        // A lone event without its calendar.
        "BEGIN:VEVENT\r\nSUMMARY:Bare\r\nDTSTART:20260310T090000\r\nEND:VEVENT\r\n",
    };
    for (const std::string& file : files) {
        EXPECT_THROW(StoreImportedMeetings(store, ParseCalendar(file).meetings),
                     CCalendarParseError)
            << file;
    }
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    SetWorkingDirectory({});
}

TEST(CalendarImport, StoringWritesOnlyTheListsPresent) {
    CTempFolder folder;
    SetWorkingDirectory(folder.Path());
    CCalendarMeeting plain{CMeeting(CDateTime(2026, 3, 10, 9, 0, 0)), {}};
    plain.record.title = "Plain";
    CCalendarMeeting full = plain;
    full.record.title = "Full";
    full.record.id = "2026031009000010"; // an id from elsewhere is not kept
    full.content.attendees = std::vector<std::string>{"Ann"};
    full.content.agenda = std::vector<CAgendaItem>{};
    full.content.todos = std::vector<CTodoItem>{{"Call", CTodoItem::high, 0}};
    full.content.minutes = std::vector<std::string>{"Done."};

    CMeetingStore store;
    ASSERT_EQ(StoreImportedMeetings(store, {plain, full, plain}), 3u);
    ASSERT_EQ(store.GetCount(), 3u) << "each meeting gets an id of its own";

    int withLists = 0;
    for (const auto& entry : store) {
        const std::string& id = entry.Key();
        const bool isFull = entry.value.title == "Full";
        withLists += isFull;
        for (ContentKind kind : {ContentKind::agenda, ContentKind::attendees, ContentKind::minutes,
                                 ContentKind::todos}) {
            EXPECT_EQ(std::filesystem::exists(ContentFilePath(kind, id)), isFull)
                << entry.value.title << " list " << static_cast<int>(kind);
        }
        if (isFull) {
            EXPECT_EQ(ReadTodoFile(id), *full.content.todos);
            EXPECT_EQ(ReadAttendeeFile(id), *full.content.attendees);
        }
    }
    EXPECT_EQ(withLists, 1);
    SetWorkingDirectory({});
}

// Fails to create any todo file, as a disk that fills up at that moment does.
class CTodoFilesFail : public CFileCalls {
public:
    int Open(const char* path, int flags, mode_t mode) override {
        if (std::string_view(path).find("/todo") != std::string_view::npos) {
            errno = ENOSPC;
            return -1;
        }
        return CFileCalls::Open(path, flags, mode);
    }
};

TEST(CalendarImport, AMeetingWhoseListsCannotBeWrittenIsNotLeftHalfStored) {
    CTempFolder folder;
    SetWorkingDirectory(folder.Path());
    CCalendarMeeting first{CMeeting(CDateTime(2026, 3, 10, 9, 0, 0)), {}};
    first.record.title = "First";
    CCalendarMeeting second = first;
    second.record.title = "Second";
    second.content.agenda = std::vector<CAgendaItem>{{first.record.date, "Opening"}};
    second.content.todos = std::vector<CTodoItem>{{"Call", CTodoItem::high, 0}};
    CCalendarMeeting third = first;
    third.record.title = "Third";

    CMeetingStore store;
    CTodoFilesFail failing;
    SetFileCalls(&failing);
    EXPECT_THROW(StoreImportedMeetings(store, {first, second, third}), CFileError);
    SetFileCalls(nullptr);

    // The meetings are written together: a list that cannot be written stops them all, and
    // memory matches the folder.
    EXPECT_EQ(store.GetCount(), 0u);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_TRUE(names.empty()) << "no meeting, list or temporary file left behind";
    SetWorkingDirectory({});
}

} // namespace
