#pragma once

#include <string>
#include <string_view>

// An iCalendar text with the commas and semicolons in the values of this program's own
// properties (X-TAVELIN-...) escaped. libical writes them bare, and reads them back either way,
// but calendar servers built on other libraries take a bare comma in an unknown property as
// the end of its first value and store only that ("attendees,agenda" comes back as
// "attendees"). Folded lines are followed across their folds.
std::string EscapeOwnValueSeparators(std::string_view text);
