#pragma once

#include <stdexcept>

// The file could not be parsed at all: nothing is imported.
class CCalendarParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
