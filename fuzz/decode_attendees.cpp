#include "fuzz/FuzzTarget.h"
#include "store/ContentFiles.h"

TAVELIN_FUZZ_TARGET(decode_attendees) {
    const std::vector<std::string> items = DecodeStringList(AsBytes(data, size));
    std::size_t total = 4;
    for (const std::string& item : items) {
        total += item.size() + 1;
    }
    FuzzCheck(items.empty() || total <= size, "the attendees read fit in the file");
    FuzzCheck(DecodeStringList(EncodeStringList(items)) == items,
              "attendees survive write and read");
    return 0;
}
