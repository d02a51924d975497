#pragma once

#include "search/OpenTodo.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

// Open todos handed out in pages, as the index does, from a whole list a test keeps: each page
// starts after the todo given last, found again by its meeting and position.
inline std::function<std::vector<COpenTodo>(const COpenTodo*, std::size_t)>
TodoPages(std::function<std::vector<COpenTodo>()> all) {
    return [all = std::move(all)](const COpenTodo* after, std::size_t limit) {
        const std::vector<COpenTodo> todos = all();
        auto first = todos.begin();
        if (after != nullptr) {
            first = std::find_if(todos.begin(), todos.end(), [after](const COpenTodo& todo) {
                return todo.meetingId == after->meetingId && todo.position == after->position;
            });
            if (first != todos.end()) {
                ++first;
            }
        }
        const auto count =
            std::min(limit, static_cast<std::size_t>(std::distance(first, todos.end())));
        return std::vector<COpenTodo>(first, first + static_cast<std::ptrdiff_t>(count));
    };
}
