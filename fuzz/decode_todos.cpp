#include "fuzz/FuzzTarget.h"
#include "store/ContentFiles.h"

TAVELIN_FUZZ_TARGET(decode_todos) {
    const std::vector<CTodoItem> items = DecodeTodos(AsBytes(data, size));
    FuzzCheck(items.empty() || 4 + items.size() * 9 <= size, "a todo takes 9 bytes or more");
    FuzzCheck(DecodeTodos(EncodeTodos(items)) == items, "todos survive write and read");
    return 0;
}
