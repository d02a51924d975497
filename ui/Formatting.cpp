#include "ui/Formatting.h"

#include "ui/DateTimeFormat.h"

QString FormatDate(const CDateTime& value) {
    return CDateTimeFormat().Date(value);
}

QString FormatTime(const CDateTime& value) {
    return CDateTimeFormat().Time(value);
}
