#pragma once

#include "store/DateTime.h"

#include <functional>

// The one source of "now": new meeting ids, the default date of a record and "today" all
// read it, so tests can fix the time.
CDateTime CurrentDateTime();

// Replaces the clock; an empty function restores the system's local time.
void SetClock(std::function<CDateTime()> clock);
