#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/WorkingDirectory.h"
#include "tests/store/AllocationProbe.h"
#include "tests/store/TestBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr std::string_view id = "2004030514070910";

const std::vector<CAgendaItem> agenda = {{CDateTime(2004, 3, 5, 9, 30, 0), "Welcome"},
                                         {CDateTime(-1.25), "Budget\r\nand plans"}};
const std::vector<CTodoItem> todos = {{"abc", CTodoItem::high, 1}, {"", 9, -4}};
const std::vector<std::string> minutes = {"Agreed.\r\nNext time: May.", "", "Closed"};

// A list cut anywhere reads back as exactly the entries whose bytes lie wholly before the cut.
template <typename Item, typename Encode, typename Decode>
void ExpectEveryCutKeepsWholeEntries(const std::vector<Item>& items, Encode encode, Decode decode) {
    const std::string bytes = encode(items);
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        auto whole = items.begin();
        while (whole != items.end() &&
               encode(std::vector<Item>(items.begin(), whole + 1)).size() <= length) {
            ++whole;
        }
        ASSERT_EQ(decode(std::string_view(bytes).substr(0, length)),
                  std::vector<Item>(items.begin(), whole))
            << "cut to " << length << " of " << bytes.size() << " bytes";
    }
}

class ContentFiles : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override { SetWorkingDirectory({}); }

    CTempFolder folder;
};

} // namespace

TEST(ContentBytes, Layouts) {
    const std::string todo = Bytes({1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 3}) + "abc";
    EXPECT_EQ(EncodeTodos({{"abc", CTodoItem::high, 1}}), todo);
    EXPECT_EQ(DecodeTodos(todo), (std::vector<CTodoItem>{{"abc", CTodoItem::high, 1}}));

    const std::string emptyEntry = Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F, 0});
    ASSERT_EQ(emptyEntry.size(), 13u);
    EXPECT_EQ(EncodeAgenda({{CDateTime(0.5), ""}}), Bytes({1, 0, 0, 0}) + emptyEntry);

    const std::string zero = Bytes({0, 0, 0, 0});
    EXPECT_EQ(EncodeStringList({}), zero);
    EXPECT_EQ(EncodeAgenda({}), zero);
    EXPECT_EQ(EncodeTodos({}), zero);

    // A negative count holds no entries even when entries follow it.
    const std::string minusOne = Bytes({0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_TRUE(DecodeStringList(minusOne + Bytes({3}) + "abc").empty());
    EXPECT_TRUE(DecodeTodos(minusOne + EncodeTodos(todos).substr(4)).empty());
    EXPECT_TRUE(DecodeAgenda(minusOne + EncodeAgenda(agenda).substr(4)).empty());
}

TEST(ContentBytes, EveryCutKeepsTheWholeEntriesBeforeIt) {
    ExpectEveryCutKeepsWholeEntries(agenda, EncodeAgenda, DecodeAgenda);
    ExpectEveryCutKeepsWholeEntries(todos, EncodeTodos, DecodeTodos);
    ExpectEveryCutKeepsWholeEntries(minutes, EncodeStringList, DecodeStringList);
}

TEST(ContentBytes, HugeCountOrLengthAllocatesNothingLarge) {
    for (const std::string& bytes : {
             Bytes({0xFF, 0xFF, 0xFF, 0x7F, 1, 'a', 1, 'b'}),
             Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
             Bytes({2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}) + "xy",
         }) {
        CLargestAllocation probe;
        const std::size_t read =
            DecodeAgenda(bytes).size() + DecodeStringList(bytes).size() + DecodeTodos(bytes).size();
        EXPECT_LE(probe.Get(), 256u) << "a claimed count or length must not size a buffer";
        EXPECT_LE(read, 2u);
    }
}

TEST_F(ContentFiles, NamesFollowTheMeetingId) {
    EXPECT_TRUE(ReadTodoFile(id).empty()) << "a missing file reads as an empty list";
    WriteAgendaFile(id, agenda);
    WriteAttendeeFile(id, {"Ann", "Bob"});
    WriteMinutesFile(id, minutes);
    WriteTodoFile(id, todos);
    for (const char* name : {"agenda2004030514070910.agd", "Attendees2004030514070910.atn",
                             "kes2004030514070910.kes", "todo2004030514070910.tdo"}) {
        EXPECT_TRUE(folder.Exists(name)) << name;
    }
    // Readers trim the id.
    const std::string padded = " \t2004030514070910 ";
    EXPECT_EQ(ReadAgendaFile(padded), agenda);
    EXPECT_EQ(ReadAttendeeFile(padded), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(ReadMinutesFile(padded), minutes);
    EXPECT_EQ(ReadTodoFile(padded), todos);
}

TEST_F(ContentFiles, ReplacingAndFailingWrites) {
    WriteMinutesFile(id, minutes);
    WriteMinutesFile(id, {"only one"});
    EXPECT_EQ(ReadMinutesFile(id), (std::vector<std::string>{"only one"}));

    // A write that cannot happen fails loudly and leaves the old list.
    SetWorkingDirectory(folder / "missing");
    EXPECT_THROW(WriteMinutesFile(id, {"lost"}), CFileError);
    SetWorkingDirectory(folder.Path());
    EXPECT_EQ(ReadMinutesFile(id), (std::vector<std::string>{"only one"}));
}
