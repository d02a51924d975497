#include "share/CalendarImport.h"

#include <libical/ical.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

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

} // namespace
