#include "ui/DateTimeConversion.h"

QDateTime ToQDateTime(const CDateTime& value) {
    if (!value.IsValid()) {
        return {};
    }
    const CDateTime::Parts parts = value.GetParts();
    return QDateTime(QDate(parts.year, parts.month, parts.day),
                     QTime(parts.hour, parts.minute, parts.second));
}

CDateTime FromQDateTime(const QDateTime& value) {
    if (!value.isValid()) {
        return CDateTime(0.0, CDateTime::invalid);
    }
    const QDate date = value.date();
    const QTime time = value.time();
    return CDateTime(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                     time.second());
}
