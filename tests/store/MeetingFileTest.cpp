#include "store/MeetingFile.h"
#include "store/Archive.h"
#include "tests/store/AllocationProbe.h"
#include "tests/store/TestBytes.h"

#include <gtest/gtest.h>

namespace {

CMeeting SampleMeeting() {
    CMeeting record(CDateTime(2004, 3, 5, 14, 7, 9));
    record.id = "2004030514070910";
    record.reference = "REF-7";
    record.title = "Budget";
    record.venue = "Room 2";
    record.presidedBy = "Ann";
    record.notes = "first line\r\nsecond line\r\n";
    record.icon = 41;
    return record;
}

} // namespace

TEST(MeetingFile, EmptyRecordIsThirtyEightBytes) {
    CMeeting record(CDateTime(1.5));
    record.id = "2004030514070910";
    record.icon = 7;
    const std::string expected = Bytes({0x10}) + "2004030514070910" + Bytes({0x00}) +
                                 Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}) +
                                 Bytes({0, 0, 0, 0}) + Bytes({7, 0, 0, 0});
    ASSERT_EQ(expected.size(), 38u);
    EXPECT_EQ(EncodeMeeting(record), expected);
    EXPECT_EQ(DecodeMeeting(expected), record);
}

TEST(MeetingFile, StringPrefixesAtEachBoundary) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        const std::string text(c.length, 'x');
        CArchiveWriter out;
        out.WriteString(text);
        const std::string& bytes = out.GetBytes();
        EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix) << "length " << c.length;
        EXPECT_EQ(bytes.size(), c.prefix.size() + c.length) << "length " << c.length;

        CArchiveReader in(bytes);
        EXPECT_EQ(in.ReadString(), text) << "length " << c.length;
        EXPECT_TRUE(in.AtEnd()) << "length " << c.length;
    }
}

TEST(MeetingFile, RoundTripKeepsEveryByte) {
    CMeeting record = SampleMeeting();
    record.title = std::string("\0\xFF\x80 high bytes\r\n", 16);
    record.date = CDateTime(-1.25, CDateTime::null);
    record.icon = -3;
    const std::optional<CMeeting> back = DecodeMeeting(EncodeMeeting(record));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, record);
    EXPECT_EQ(back->notes, "first line\r\nsecond line\r\n") << "CR LF must survive";
}

TEST(MeetingFile, EveryTruncationIsRejected) {
    const std::string bytes = EncodeMeeting(SampleMeeting());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_FALSE(DecodeMeeting(std::string_view(bytes).substr(0, length)))
            << "a meeting file cut to " << length << " of " << bytes.size() << " bytes";
    }
}

TEST(MeetingFile, LengthPastTheEndAllocatesNothingLarge) {
    const std::string lengths[] = {
        Bytes({0xFE}) + "short",
        Bytes({0xFF, 0xFD, 0xFF}) + "short",
        Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + "short",
        Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}),
    };
    for (const std::string& bytes : lengths) {
        CLargestAllocation probe;
        EXPECT_FALSE(DecodeMeeting(bytes));
        EXPECT_LE(probe.Get(), 256u) << "a claimed length must not size a buffer";
    }
}
