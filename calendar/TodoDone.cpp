#include "calendar/TodoDone.h"

#include "store/ContentFiles.h"
#include "store/FileIo.h"

#include <string>

bool SetTodoDone(std::vector<CTodoItem>& items, std::size_t position, std::string_view text) {
    if (position >= items.size()) {
        return false;
    }
    CTodoItem& item = items[position];
    if (item.text != text || item.done != 0) {
        return false;
    }
    item.done = 1;
    return true;
}

TodoMarkResult MarkTodoDone(const COpenTodo& todo) {
    std::string bytes;
    ReadWholeFile(ContentFilePath(ContentKind::todos, todo.meetingId), bytes);
    std::vector<CTodoItem> items = DecodeTodos(bytes);
    if (bytes.empty()) {
        return TodoMarkResult::stale; // the file has gone
    }
    if (EncodeTodos(items) != bytes) {
        return TodoMarkResult::damaged;
    }
    if (!SetTodoDone(items, todo.position, todo.text)) {
        return TodoMarkResult::stale;
    }
    WriteTodoFile(todo.meetingId, items);
    return TodoMarkResult::marked;
}
