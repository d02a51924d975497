#pragma once

#include <string>
#include <string_view>

// How this program's own texts travel in an iCalendar file. Every name starts with X-TAVELIN-
// so that other programs keep them or drop them, and never read them as anything of theirs.
namespace CalendarNames {
// Ids become UIDs in this domain: ".invalid" is reserved (RFC 2606) and can belong to no one,
// so our UIDs and addresses can never clash with another program's or reach a real mailbox.
inline constexpr const char* domain = "tavelin.invalid";
// Which of the four lists the meeting had ("attendees,agenda,todos,minutes", or "none"); its
// presence also marks an event as one this program wrote.
inline constexpr const char* content = "X-TAVELIN-CONTENT";
inline constexpr const char* title = "X-TAVELIN-TITLE";
inline constexpr const char* venue = "X-TAVELIN-VENUE";
inline constexpr const char* reference = "X-TAVELIN-REFERENCE";
inline constexpr const char* presidedBy = "X-TAVELIN-PRESIDED-BY";
inline constexpr const char* notes = "X-TAVELIN-NOTES";
inline constexpr const char* icon = "X-TAVELIN-ICON";
// The exact stored day count of the meeting's date; DTSTART holds it only to the second.
inline constexpr const char* date = "X-TAVELIN-DATE";
inline constexpr const char* attendee = "X-TAVELIN-ATTENDEE";
inline constexpr const char* agendaItem = "X-TAVELIN-AGENDA";
inline constexpr const char* minute = "X-TAVELIN-MINUTE";
// A parameter of a text starting with blanks, which libical drops from a value it reads: the
// blanks as a word ("s" a space, "t" a tab).
inline constexpr const char* lead = "X-TAVELIN-LEAD";
// Parameters of an agenda item: its stored day count, and its status when not valid.
inline constexpr const char* time = "X-TAVELIN-TIME";
inline constexpr const char* timeStatus = "X-TAVELIN-TIME-STATUS";
// A todo's exact stored priority and done mark, which PRIORITY and STATUS only approximate.
inline constexpr const char* priority = "X-TAVELIN-PRIORITY";
inline constexpr const char* done = "X-TAVELIN-DONE";
inline constexpr const char* todoText = "X-TAVELIN-TEXT";
// A todo carried inside its meeting's event, where a calendar server takes no task beside it:
// its text as the value, its priority and done mark as the two parameters above.
inline constexpr const char* todo = "X-TAVELIN-TODO";
} // namespace CalendarNames

// A stored text (UTF-8, or Windows-1252 from older systems; CR LF line breaks) as an
// iCalendar text value: UTF-8 with "\n" line breaks, and without the control characters
// iCalendar text may not hold.
std::string ToCalendarText(std::string_view stored);

// An iCalendar text value as this program stores texts: UTF-8 (a value that is not valid
// UTF-8 is read as Windows-1252, as older programs wrote it) with CR LF line breaks.
std::string FromCalendarText(std::string_view value);

// libical drops a property with an empty value and the blanks at the end of a value when it
// reads a file, so the program's own texts carry an end mark: an empty text, an empty agenda
// item and a note ending in a blank come back whole.
std::string FramedText(std::string_view text);
// The text without its end mark; a value without one is taken whole.
std::string_view UnframedText(std::string_view value);

// The blanks (spaces and tabs) a text starts with, as the word of the lead parameter; and the
// blanks a word stands for (any other letter stands for none).
std::string LeadingBlanksWord(std::string_view text);
std::string LeadingBlanksFromWord(std::string_view word);

// A parameter value (a person's name) as libical is to write it. libical writes a double quote
// as ^' and a line break as ^n (RFC 6868) but a caret as it is, so "^n" in a name would read
// back as a line break: the caret is doubled here, and libical decodes all three on reading.
std::string EncodeParameterValue(std::string_view value);

// A day count written exactly, and read back; false when `text` is no number.
std::string DayCountText(double dayCount);
bool ParseDayCount(std::string_view text, double& dayCount);
