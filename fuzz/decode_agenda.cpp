#include "fuzz/FuzzTarget.h"
#include "store/ContentFiles.h"

TAVELIN_FUZZ_TARGET(decode_agenda) {
    const std::vector<CAgendaItem> items = DecodeAgenda(AsBytes(data, size));
    FuzzCheck(items.empty() || 4 + items.size() * 13 <= size, "an agenda entry takes 13 bytes");
    for (const CAgendaItem& item : items) {
        TouchDate(item.time);
    }
    // Bytes, not values, are compared: a day count read from a file may be NaN.
    const std::string bytes = EncodeAgenda(items);
    FuzzCheck(EncodeAgenda(DecodeAgenda(bytes)) == bytes, "an agenda survives write and read");
    return 0;
}
