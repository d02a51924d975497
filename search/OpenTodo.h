#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A todo not yet done, as the index last saw its meeting's todo file. The list shows the
// meeting's title and date from the store.
struct COpenTodo {
    std::string meetingId;
    std::size_t position = 0; // the todo's place in its meeting's todo file
    std::string text;         // bytes as stored
    std::int32_t priority = 0;
    // Where the meeting sorts in the index: with priority and position, the key the next page
    // of the list starts after.
    std::int64_t meetingRow = 0;
};
