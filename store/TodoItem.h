#pragma once

#include <cstdint>
#include <string>

// One todo. Priority 0 Low, 1 Medium, 2 High; other values are kept as they are.
// Done is any nonzero value.
struct CTodoItem {
    enum Priority : std::int32_t { low = 0, medium = 1, high = 2 };

    std::string text;
    std::int32_t priority = low;
    std::int32_t done = 0;

    friend bool operator==(const CTodoItem&, const CTodoItem&) = default;
};
