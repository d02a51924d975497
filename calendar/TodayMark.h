#pragma once

class CDateTime;

// Which day of a run of `count` days beginning on the day of `first` is the day of `now`:
// 0 for that first day, -1 when `now` falls before or after the run (or a date is not valid).
// The month grid marks today's cell with it, the week header today's column.
int TodayIndex(const CDateTime& first, int count, const CDateTime& now);
