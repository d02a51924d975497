#include "fuzz/FuzzTarget.h"
#include "store/MeetingFile.h"

TAVELIN_FUZZ_TARGET(decode_meeting) {
    const std::optional<CMeeting> record = DecodeMeeting(AsBytes(data, size));
    if (record) {
        // What was read must write back and read again to the same bytes.
        const std::string bytes = EncodeMeeting(*record);
        const std::optional<CMeeting> again = DecodeMeeting(bytes);
        FuzzCheck(again && EncodeMeeting(*again) == bytes, "a meeting survives write and read");
        FuzzCheck(bytes.size() <= size, "a meeting never grows when written back");
        TouchDate(record->date);
        FuzzCheck(MakeMeetingIdAt(record->date).size() < 40, "an id fits its buffer");
    }
    return 0;
}
