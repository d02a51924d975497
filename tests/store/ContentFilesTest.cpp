#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/WorkingDirectory.h"
#include "tests/store/AllocationProbe.h"
#include "tests/store/TestBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr std::string_view id = "2004030514070910";

class ContentFiles : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override { SetWorkingDirectory({}); }

    CTempFolder folder;
};

const std::vector<CAgendaItem> agenda = {
    {CDateTime(2004, 3, 5, 9, 30, 0), "Welcome"},
    {CDateTime(0.75), "Budget\r\nand plans"},
    {CDateTime(-1.25), ""},
};
const std::vector<CTodoItem> todos = {
    {"abc", CTodoItem::high, 1},
    {"", CTodoItem::low, 0},
    {"odd priority", 9, -4},
};
const std::vector<std::string> minutes = {"Agreed.\r\nNext time: May.", "", "Closed"};

// How many entries a reader must return from the first `length` bytes of a list's file:
// those whose bytes lie wholly inside.
template <typename Item, typename Encode>
std::size_t WholeEntriesIn(const std::vector<Item>& items, std::size_t length, Encode encode) {
    std::size_t whole = 0;
    for (std::size_t k = 1; k <= items.size(); ++k) {
        if (encode(std::vector<Item>(items.begin(), items.begin() + k)).size() <= length) {
            whole = k;
        }
    }
    return length < 4 ? 0 : whole;
}

template <typename Item, typename Encode, typename Decode>
void ExpectEveryTruncationKeepsWholeEntries(const std::vector<Item>& items, Encode encode,
                                            Decode decode, const char* what) {
    const std::string bytes = encode(items);
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const std::vector<Item> read = decode(std::string_view(bytes).substr(0, length));
        const std::size_t expected = WholeEntriesIn(items, length, encode);
        ASSERT_EQ(read.size(), expected) << what << " cut to " << length << " bytes";
        EXPECT_TRUE(std::equal(read.begin(), read.end(), items.begin()))
            << what << " cut to " << length << " bytes returned altered entries";
    }
}

} // namespace

TEST(ContentBytes, TodoEntryLayout) {
    const std::string expected = Bytes({1, 0, 0, 0}) + Bytes({2, 0, 0, 0, 1, 0, 0, 0, 3}) + "abc";
    EXPECT_EQ(EncodeTodos({{"abc", CTodoItem::high, 1}}), expected);
    EXPECT_EQ(DecodeTodos(expected), (std::vector<CTodoItem>{{"abc", CTodoItem::high, 1}}));
}

TEST(ContentBytes, EmptyAgendaEntryIsThirteenBytes) {
    const std::string bytes = EncodeAgenda({{CDateTime(0.5), ""}});
    const std::string expected = Bytes({1, 0, 0, 0}) + Bytes({0, 0, 0, 0}) +
                                 Bytes({0, 0, 0, 0, 0, 0, 0xE0, 0x3F}) + Bytes({0});
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size() - 4, 13u);
}

TEST(ContentBytes, EmptyListsAndNonPositiveCounts) {
    const std::string zero = Bytes({0, 0, 0, 0});
    EXPECT_EQ(EncodeStringList({}), zero) << "an empty list is a 4-byte count of 0";
    EXPECT_EQ(EncodeAgenda({}), zero);
    EXPECT_EQ(EncodeTodos({}), zero);
    EXPECT_TRUE(DecodeAgenda(zero).empty());
    EXPECT_TRUE(DecodeStringList(zero).empty());
    EXPECT_TRUE(DecodeTodos(zero).empty());
    EXPECT_TRUE(DecodeStringList("").empty()) << "an empty file holds no entries";

    // A negative count holds no entries even when entries follow it.
    const std::string minusOne = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 3}) + "abc";
    EXPECT_TRUE(DecodeStringList(minusOne).empty());
    EXPECT_TRUE(DecodeTodos(Bytes({0xFF, 0xFF, 0xFF, 0xFF}) + EncodeTodos(todos)).empty());
}

TEST(ContentBytes, EveryTruncationKeepsTheWholeEntriesBeforeIt) {
    ExpectEveryTruncationKeepsWholeEntries(agenda, EncodeAgenda, DecodeAgenda, "agenda");
    ExpectEveryTruncationKeepsWholeEntries(todos, EncodeTodos, DecodeTodos, "todos");
    ExpectEveryTruncationKeepsWholeEntries(minutes, EncodeStringList, DecodeStringList, "minutes");
}

TEST(ContentBytes, HugeCountOrLengthAllocatesNothingLarge) {
    const std::string inputs[] = {
        Bytes({0xFF, 0xFF, 0xFF, 0x7F}) + Bytes({1, 'a', 1, 'b'}),
        Bytes({0xFF, 0xFF, 0xFF, 0x7F}) + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
        Bytes({2, 0, 0, 0}) + Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}) + "xy",
    };
    for (const std::string& bytes : inputs) {
        CLargestAllocation probe;
        const std::size_t agendaCount = DecodeAgenda(bytes).size();
        const std::size_t stringCount = DecodeStringList(bytes).size();
        const std::size_t todoCount = DecodeTodos(bytes).size();
        EXPECT_LE(probe.Get(), 256u) << "a claimed count or length must not size a buffer";
        EXPECT_LE(agendaCount + stringCount + todoCount, 2u);
    }
}

TEST_F(ContentFiles, NamesFollowTheMeetingId) {
    WriteAgendaFile(id, agenda);
    WriteAttendeeFile(id, {"Ann", "Bob"});
    WriteMinutesFile(id, minutes);
    WriteTodoFile(id, todos);
    for (const char* name : {"agenda2004030514070910.agd", "Attendees2004030514070910.atn",
                             "kes2004030514070910.kes", "todo2004030514070910.tdo"}) {
        EXPECT_TRUE(folder.Exists(name)) << name;
    }
    EXPECT_EQ(folder.ReadFile("kes2004030514070910.kes"), EncodeStringList(minutes));

    // Readers trim the id; the attendee name is case-sensitive on this file system.
    const std::string padded = " \t2004030514070910 ";
    EXPECT_EQ(ReadAgendaFile(padded), agenda);
    EXPECT_EQ(ReadAttendeeFile(padded), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(ReadMinutesFile(padded), minutes);
    EXPECT_EQ(ReadTodoFile(padded), todos);
    std::filesystem::rename(folder / "Attendees2004030514070910.atn",
                            folder / "attendees2004030514070910.atn");
    EXPECT_TRUE(ReadAttendeeFile(id).empty());
}

TEST_F(ContentFiles, MissingZeroAndTruncatedFiles) {
    EXPECT_TRUE(ReadTodoFile(id).empty()) << "a missing file reads as an empty list";
    folder.WriteFile("todo2004030514070910.tdo", Bytes({0, 0, 0, 0}));
    EXPECT_TRUE(ReadTodoFile(id).empty());
    const std::string bytes = EncodeTodos(todos);
    folder.WriteFile("todo2004030514070910.tdo", bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(ReadTodoFile(id), (std::vector<CTodoItem>{todos[0], todos[1]}));
}

TEST_F(ContentFiles, ReplacingAndFailingWrites) {
    WriteMinutesFile(id, minutes);
    WriteMinutesFile(id, {"only one"});
    EXPECT_EQ(ReadMinutesFile(id), (std::vector<std::string>{"only one"}));

    // A folder standing where the file goes: the write fails loudly and the old list stays.
    std::filesystem::create_directory(folder / "agenda2004030514070910.agd");
    EXPECT_THROW(WriteAgendaFile(id, agenda), CFileError);
    SetWorkingDirectory(folder / "missing");
    EXPECT_THROW(WriteMinutesFile(id, {"lost"}), CFileError);
    SetWorkingDirectory(folder.Path());
    EXPECT_EQ(ReadMinutesFile(id), (std::vector<std::string>{"only one"}));
}
