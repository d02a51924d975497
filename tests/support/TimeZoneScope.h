#pragma once

#include "tests/support/EnvironmentScope.h"

// Runs the test in another local time zone until the scope ends, then puts the old one back.
class CTimeZoneScope : public CEnvironmentScope {
public:
    explicit CTimeZoneScope(const char* zone) : CEnvironmentScope("TZ", zone) {}
};
