// The bytes of the meeting file and of the four content files, as the program has always
// written them, and what the readers make of bytes cut short, oversized or lying about their
// lengths.

#include "store/Archive.h"
#include "store/ContentFiles.h"
#include "store/FileIo.h"
#include "tests/store/AllocationProbe.h"
#include "tests/support/StoreFolder.h"

#include <initializer_list>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view id = "2004030514070910";

// Byte strings written out as numbers, so that expected file contents read like a hex dump.
std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

CMeeting Sample() {
    CMeeting record(CDateTime(-1.25, CDateTime::null));
    record.id = std::string(id);
    record.reference = "REF-7";
    record.title = std::string("\0\xFF\x80 high bytes", 13);
    record.venue = "Room 2";
    record.presidedBy = "Ann";
    record.notes = "first line\r\nsecond line\r\n";
    record.icon = -3;
    return record;
}

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

using FileBytes = CStoreFolderTest;

} // namespace

// Every field distinct, so that two fields swapped in both the writer and the reader (which a
// round trip cannot see) change the bytes; the date is its status and a little-endian double.
TEST(MeetingFile, FieldsInFileOrder) {
    CMeeting record(CDateTime(2.0, CDateTime::null));
    record.id = std::string(id);
    record.reference = "R";
    record.title = "Ti";
    record.venue = "Ven";
    record.presidedBy = "Pres";
    record.notes = "Notes";
    record.icon = 0x0102;
    CMeeting empty(CDateTime(1.5));
    empty.id = std::string(id);
    empty.icon = 7;
    const std::pair<CMeeting, std::string> cases[] = {
        {record, Bytes({16}) + record.id + Bytes({1}) + "R" +
                     Bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40}) + Bytes({2}) + "Ti" +
                     Bytes({3}) + "Ven" + Bytes({4}) + "Pres" + Bytes({5}) + "Notes" +
                     Bytes({2, 1, 0, 0})},
        {empty, Bytes({0x10}) + empty.id + Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}) +
                    Bytes({0, 0, 0, 0, 7, 0, 0, 0})},
    };
    for (const auto& [meeting, bytes] : cases) {
        EXPECT_EQ(EncodeMeeting(meeting), bytes) << meeting.title;
        EXPECT_EQ(DecodeMeeting(bytes), meeting) << meeting.title;
    }
    // A length of 255 or more is told by a 0xFF byte and a 16-bit length, 65534 or more by
    // 0xFFFF and a 32-bit one.
    const std::pair<std::size_t, std::string> prefixes[] = {
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
    };
    for (const auto& [length, prefix] : prefixes) {
        const std::string text(length, 'x');
        CArchiveWriter out;
        out.WriteString(text);
        EXPECT_EQ(out.GetBytes(), prefix + text) << "length " << length;
        CArchiveReader in(out.GetBytes());
        EXPECT_EQ(in.ReadString(), text) << "length " << length;
        EXPECT_TRUE(in.AtEnd()) << "length " << length;
    }
    // Every byte and CR LF comes back; a meeting file cut anywhere is damaged, never half read.
    const std::string sample = EncodeMeeting(Sample());
    EXPECT_EQ(DecodeMeeting(sample), Sample());
    for (std::size_t length = 0; length < sample.size(); ++length) {
        EXPECT_FALSE(DecodeMeeting(std::string_view(sample).substr(0, length))) << length;
    }
}

TEST(ContentBytes, LayoutsEveryCutAndHugeCounts) {
    const std::string todo = Bytes({1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 3}) + "abc";
    EXPECT_EQ(EncodeTodos({{"abc", CTodoItem::high, 1}}), todo);
    EXPECT_EQ(DecodeTodos(todo), (std::vector<CTodoItem>{{"abc", CTodoItem::high, 1}}));
    EXPECT_EQ(EncodeAgenda({{CDateTime(0.5), ""}}),
              Bytes({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F, 0}));
    EXPECT_EQ(EncodeStringList({"ab"}), Bytes({1, 0, 0, 0, 2}) + "ab");

    // A negative count holds no entries even when entries follow it.
    const std::string minusOne = Bytes({0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_TRUE(DecodeStringList(minusOne + Bytes({3}) + "abc").empty());
    EXPECT_TRUE(DecodeTodos(minusOne + EncodeTodos(todos).substr(4)).empty());
    EXPECT_TRUE(DecodeAgenda(minusOne + EncodeAgenda(agenda).substr(4)).empty());

    ExpectEveryCutKeepsWholeEntries(agenda, EncodeAgenda, DecodeAgenda);
    ExpectEveryCutKeepsWholeEntries(todos, EncodeTodos, DecodeTodos);
    ExpectEveryCutKeepsWholeEntries(minutes, EncodeStringList, DecodeStringList);

    // A claimed count or length must never size a buffer: the bytes are not there.
    for (const std::string& bytes : {
             Bytes({0xFF, 0xFF, 0xFF, 0x7F, 1, 'a', 1, 'b'}),
             Bytes({2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}) + "xy",
             Bytes({0xFE}) + "short",
             Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + "short",
             Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}),
         }) {
        CLargestAllocation probe;
        const std::size_t read =
            DecodeAgenda(bytes).size() + DecodeStringList(bytes).size() + DecodeTodos(bytes).size();
        EXPECT_FALSE(DecodeMeeting(bytes));
        EXPECT_LE(probe.Get(), 256u);
        EXPECT_LE(read, 2u);
    }
}

// Each list has its file, named after the trimmed meeting id; a missing file is an empty list
// and a save replaces the whole file.
TEST_F(FileBytes, ContentFilesFollowTheMeetingId) {
    EXPECT_TRUE(ReadTodoFile(id).empty());
    WriteAgendaFile(id, agenda);
    WriteAttendeeFile(id, {"Ann", "Bob"});
    WriteMinutesFile(id, {"to be replaced", "whole"});
    WriteMinutesFile(id, minutes);
    WriteTodoFile(id, todos);
    EXPECT_EQ(Names(), (std::vector<std::string>{
                           "Attendees2004030514070910.atn", "agenda2004030514070910.agd",
                           "kes2004030514070910.kes", "todo2004030514070910.tdo"}));
    const std::string padded = " \t2004030514070910 ";
    EXPECT_EQ(ReadAgendaFile(padded), agenda);
    EXPECT_EQ(ReadAttendeeFile(padded), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(ReadMinutesFile(padded), minutes);
    EXPECT_EQ(ReadTodoFile(padded), todos);
}
