#pragma once

#include "store/DateTime.h"
#include "ui/DateTimeFormat.h"

#include <QString>

// The system locale's short date, and its time format without the seconds field. Both give
// an empty text for a value that is not a valid date-time.
QString FormatDate(const CDateTime& value);
QString FormatTime(const CDateTime& value);
