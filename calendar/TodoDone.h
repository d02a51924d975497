#pragma once

#include "search/OpenTodo.h"
#include "store/TodoItem.h"

#include <cstddef>
#include <string_view>
#include <vector>

// Marks the todo at `position` done, provided it is still there with `text` and not done;
// false (and nothing changed) when the list no longer holds it so.
bool SetTodoDone(std::vector<CTodoItem>& items, std::size_t position, std::string_view text);

enum class TodoMarkResult { marked, stale, damaged };

// Reads the todo's meeting's todo file, marks the todo done there and writes the file whole
// and atomically. A file changed since the index saw it (the todo moved, changed or was done
// already) is left alone: stale. So is a file that does not read back whole (truncated or
// with bytes after its todos): writing it would drop what could not be read, so it is
// damaged and left as it is. CFileError when the file cannot be written.
TodoMarkResult MarkTodoDone(const COpenTodo& todo);
