#include "share/CalendarExport.h"
#include "share/CalendarImport.h"
#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <libical/ical.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A meeting with every field: non-ASCII text, CR LF breaks, texts iCalendar must escape,
// every priority and done mark, an empty agenda item and minute.
CExportedMeeting FullMeeting() {
    CExportedMeeting meeting;
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
                                              {CDateTime(2026, 12, 7, 16, 0, 0), ""}};
    content.todos = std::vector<CTodoItem>{{"High and done", CTodoItem::high, 1},
                                           {"Medium, open", CTodoItem::medium, 0},
                                           {"Low\r\ndone twice", CTodoItem::low, 2},
                                           {"", CTodoItem::low, 0}};
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
    const CExportedMeeting original = FullMeeting();
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

} // namespace
