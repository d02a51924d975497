#pragma once

#include <string>
#include <string_view>

// How deep components may nest in a file the import takes. Real calendars nest three deep (a
// calendar, an event, its alarm); libical frees a parsed tree recursively, so tens of
// thousands of nested events would exhaust the stack before anything could be reported.
inline constexpr int maxCalendarNesting = 64;

// The longest line libical is given. It takes time that grows with the square of a line's
// length, but unfolds folded lines cheaply, so longer lines are folded first.
inline constexpr std::size_t maxParserLineLength = 256;

// The bytes of a calendar file as libical is to read them: UTF-16 (with a byte order mark, or
// plainly starting with "BEGIN") turned into UTF-8, NUL bytes dropped (libical would stop at
// the first and lose the rest of the file without a word) and every line longer than
// maxParserLineLength folded. CCalendarParseError when components nest deeper than
// maxCalendarNesting.
std::string ParserInput(std::string_view bytes);
