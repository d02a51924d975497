#pragma once

#include "store/DateTime.h"

#include <QString>

// The system locale's short date, and its time format without the seconds field. Both give
// an empty text for a value that is not a valid date-time.
QString FormatDate(const CDateTime& value);
QString FormatTime(const CDateTime& value);

// The locale's short time pattern with its seconds field (and the separator before it) cut.
QString TimeFormatWithoutSeconds(const QString& shortTimeFormat);
