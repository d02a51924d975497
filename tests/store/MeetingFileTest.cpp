#include "store/MeetingFile.h"
#include "store/Archive.h"
#include "tests/store/AllocationProbe.h"
#include "tests/store/TestBytes.h"

#include <gtest/gtest.h>

namespace {

CMeeting SampleMeeting() {
    CMeeting record(CDateTime(-1.25, CDateTime::null));
    record.id = "2004030514070910";
    record.reference = "REF-7";
    record.title = std::string("\0\xFF\x80 high bytes", 13);
    record.venue = "Room 2";
    record.presidedBy = "Ann";
    record.notes = "first line\r\nsecond line\r\n";
    record.icon = -3;
    return record;
}

} // namespace

TEST(MeetingFile, EmptyRecordIsThirtyEightBytes) {
    CMeeting record(CDateTime(1.5));
    record.id = "2004030514070910";
    record.icon = 7;
    // Id, empty reference, the date's status and day count (a little-endian double), four empty
    // strings, the icon.
    const std::string expected = Bytes({0x10}) + record.id + Bytes({0, 0, 0, 0, 0}) +
                                 Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}) +
                                 Bytes({0, 0, 0, 0, 7, 0, 0, 0});
    ASSERT_EQ(expected.size(), 38u);
    EXPECT_EQ(EncodeMeeting(record), expected);
    EXPECT_EQ(DecodeMeeting(expected), record);
}

// Every field distinct and non-empty, so that two fields swapped in both the writer and the
// reader (which a round trip cannot see) change the bytes.
TEST(MeetingFile, FieldsInFileOrder) {
    CMeeting record(CDateTime(2.0, CDateTime::null));
    record.id = "2004030514070910";
    record.reference = "R";
    record.title = "Ti";
    record.venue = "Ven";
    record.presidedBy = "Pres";
    record.notes = "Notes";
    record.icon = 0x0102;
    const std::string expected = Bytes({16}) + "2004030514070910" + Bytes({1}) + "R" +
                                 Bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40}) + Bytes({2}) +
                                 "Ti" + Bytes({3}) + "Ven" + Bytes({4}) + "Pres" + Bytes({5}) +
                                 "Notes" + Bytes({2, 1, 0, 0});
    EXPECT_EQ(EncodeMeeting(record), expected);
    EXPECT_EQ(DecodeMeeting(expected), record);
}

TEST(MeetingFile, StringPrefixesAtEachBoundary) {
    const std::pair<std::size_t, std::string> cases[] = {
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
    };
    for (const auto& [length, prefix] : cases) {
        const std::string text(length, 'x');
        CArchiveWriter out;
        out.WriteString(text);
        EXPECT_EQ(out.GetBytes(), prefix + text) << "length " << length;
        CArchiveReader in(out.GetBytes());
        EXPECT_EQ(in.ReadString(), text) << "length " << length;
        EXPECT_TRUE(in.AtEnd()) << "length " << length;
    }
}

TEST(MeetingFile, RoundTripKeepsEveryByteAndCrLf) {
    EXPECT_EQ(DecodeMeeting(EncodeMeeting(SampleMeeting())), SampleMeeting());
}

TEST(MeetingFile, EveryTruncationIsRejected) {
    const std::string bytes = EncodeMeeting(SampleMeeting());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_FALSE(DecodeMeeting(std::string_view(bytes).substr(0, length)))
            << "cut to " << length << " of " << bytes.size() << " bytes";
    }
}

TEST(MeetingFile, LengthPastTheEndAllocatesNothingLarge) {
    for (const std::string& bytes : {
             Bytes({0xFE}) + "short",
             Bytes({0xFF, 0xFD, 0xFF}) + "short",
             Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + "short",
             Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}),
         }) {
        CLargestAllocation probe;
        EXPECT_FALSE(DecodeMeeting(bytes));
        EXPECT_LE(probe.Get(), 256u) << "a claimed length must not size a buffer";
    }
}
