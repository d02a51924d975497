#pragma once

#include "store/DateTime.h"

// How far the calendar's back and forward keys move the selected date.
enum class DateStep { day, week, month };

// `date` moved by `count` steps, keeping its time of day. A month step keeps the day of the
// month where the target month has it, else takes that month's last day (31 January goes to
// the end of February). A date that is not valid, or a step that would leave the calendar's
// years, gives `date` back unchanged.
CDateTime StepDate(const CDateTime& date, DateStep step, int count);
